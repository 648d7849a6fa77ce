#include "platform/gdi/pdf_page_writer.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstring>

namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// The picture as a cairo image, row by row with cairo's own stride.
cairo_surface_t* Image_Of(const TPage_Picture& picture) {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return image;
  cairo_surface_flush(image);
  unsigned char* bits = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(bits + size_t(y) * size_t(stride), picture.xrgb.data() + size_t(y) * size_t(picture.width),
                size_t(picture.width) * 4);
  cairo_surface_mark_dirty(image);
  return image;
}

bool Paint_Picture(cairo_t* cr, const TPdf_Page_Geometry& g, const TPage_Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.xrgb.size() != size_t(picture.width) * size_t(picture.height))
    return true;  // nothing to show
  cairo_surface_t* image = Image_Of(picture);
  const bool made = cairo_surface_status(image) == CAIRO_STATUS_SUCCESS;
  if (made) {
    const double px = 72.0 / g.dpi_x, py = 72.0 / g.dpi_y;
    cairo_save(cr);
    cairo_translate(cr, g.origin_x_pt + picture.placement.left * px, g.origin_y_pt + picture.placement.top * py);
    cairo_scale(cr, picture.placement.Width() * px / picture.width, picture.placement.Height() * py / picture.height);
    cairo_set_source_surface(cr, image, 0, 0);
    // The printed pixels are whole multiples of the picture's: no smoothing.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, picture.width, picture.height);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  cairo_surface_destroy(image);
  return made;
}

}  // namespace

std::vector<uint8_t> TPdf_Page_Writer::Write(const TPdf_Page_Geometry& geometry,
                                             const std::vector<TPage_Picture>& pictures) {
  std::vector<uint8_t> out;
  if (geometry.width_pt <= 0 || geometry.height_pt <= 0 || geometry.dpi_x <= 0 || geometry.dpi_y <= 0) return out;
  cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(&Append, &out, geometry.width_pt, geometry.height_pt);
  cairo_t* cr = cairo_create(pdf);
  bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  for (const TPage_Picture& picture : pictures) ok = ok && Paint_Picture(cr, geometry, picture);
  cairo_show_page(cr);
  ok = ok && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_finish(pdf);
  ok = ok && cairo_surface_status(pdf) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(pdf);
  if (!ok) out.clear();
  return out;
}

#include "platform/gdi/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct File_Closer {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void Append_To_Vector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void Flush_Nothing(png_structp) {}

// Where a PNG goes: a file, or memory (quick run-length compression, for a
// picture handed to another program at once).
struct Png_Target {
  std::FILE* file = nullptr;
  std::vector<uint8_t>* memory = nullptr;
};

// libpng reports errors by longjmp; nothing with a destructor may live
// between setjmp and the calls that can jump, so the rows are prepared by
// the caller and this function only hands them over.
bool Write_Rows(const Png_Target& target, int width, int height, int colour_type, const png_color* palette,
                int palette_size, png_bytep* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  if (target.file) png_init_io(png, target.file);
  else png_set_write_fn(png, target.memory, &Append_To_Vector, &Flush_Nothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (palette) png_set_PLTE(png, info, palette, palette_size);
  if (target.memory) {
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_strategy(png, Z_RLE);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool Write_File(const std::string& path, int width, int height, int colour_type,
                const png_color* palette, int palette_size, std::vector<png_bytep>& rows) {
  std::unique_ptr<std::FILE, File_Closer> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  bool written = Write_Rows({file.get(), nullptr}, width, height, colour_type, palette, palette_size, rows.data());
  // A full disk shows only when the buffered bytes are flushed.
  bool closed = std::fclose(file.release()) == 0;
  if (!written || !closed) std::remove(path.c_str());
  return written && closed;
}

// PNG limits each side to 2^31 - 1; we keep pictures far below that.
constexpr int Max_Side = 1 << 16;

bool Valid_Size(int width, int height) {
  return width > 0 && height > 0 && width <= Max_Side && height <= Max_Side;
}

}  // namespace

bool Write_PNG_RGB(const std::string& path, int width, int height, const uint32_t* pixels,
                   long stride_in_pixels) {
  if (!pixels || !Valid_Size(width, height) || path.empty()) return false;
  std::vector<png_byte> bytes(static_cast<size_t>(width) * height * 3);
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) {
    const uint32_t* source = pixels + static_cast<long>(y) * stride_in_pixels;
    png_bytep row = bytes.data() + static_cast<size_t>(y) * width * 3;
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<png_byte>(source[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(source[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(source[x]);
    }
    rows[y] = row;
  }
  return Write_File(path, width, height, PNG_COLOR_TYPE_RGB, nullptr, 0, rows);
}

bool Write_PNG_Indexed(const std::string& path, int width, int height, const uint8_t* top_row,
                       long stride_in_bytes, const uint32_t* colour_table_0x00RRGGBB,
                       int colour_count) {
  if (!top_row || !colour_table_0x00RRGGBB || colour_count < 1 || colour_count > 256 ||
      !Valid_Size(width, height) || path.empty())
    return false;
  // Every index that occurs must have a palette entry, or libpng refuses
  // the file (or a reader does); entries beyond the table are black.
  int used = colour_count;
  std::vector<png_byte> bytes(static_cast<size_t>(width) * height);
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* source = top_row + static_cast<long>(y) * stride_in_bytes;
    png_bytep row = bytes.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      row[x] = source[x];
      if (source[x] >= used) used = source[x] + 1;
    }
    rows[y] = row;
  }
  std::vector<png_color> palette(used, png_color{0, 0, 0});
  for (int i = 0; i < colour_count; ++i) {
    uint32_t c = colour_table_0x00RRGGBB[i];
    palette[i] = png_color{static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                           static_cast<png_byte>(c)};
  }
  return Write_File(path, width, height, PNG_COLOR_TYPE_PALETTE, palette.data(), used, rows);
}

std::vector<uint8_t> Encode_PNG_Indexed(int width, int height, const uint8_t* top_row, long stride_in_bytes,
                                        const uint32_t* colour_table_0x00RRGGBB, int colour_count) {
  std::vector<uint8_t> out;
  if (!top_row || !colour_table_0x00RRGGBB || colour_count < 1 || colour_count > 256 || !Valid_Size(width, height))
    return out;
  int used = colour_count;
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    // libpng only reads the rows; its interface is not const.
    auto* row = const_cast<uint8_t*>(top_row + static_cast<long>(y) * stride_in_bytes);
    if (used < 256)
      for (int x = 0; x < width; ++x)
        if (row[x] >= used) used = row[x] + 1;
    rows[static_cast<size_t>(y)] = row;
  }
  std::vector<png_color> palette(static_cast<size_t>(used), png_color{0, 0, 0});
  for (int i = 0; i < colour_count; ++i) {
    const uint32_t c = colour_table_0x00RRGGBB[i];
    palette[static_cast<size_t>(i)] =
        png_color{static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)};
  }
  out.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) / 8 + 1024);
  if (!Write_Rows({nullptr, &out}, width, height, PNG_COLOR_TYPE_PALETTE, palette.data(), used, rows.data()))
    out.clear();
  return out;
}

std::string Snapshot_Path(const std::string& name) {
  const char* dir = std::getenv("QUENDAR_SNAPSHOTS");
  if (!dir || !*dir) return "";
  return std::string(dir) + "/" + name + ".png";
}

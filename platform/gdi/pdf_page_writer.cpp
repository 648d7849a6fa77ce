#include "platform/gdi/pdf_page_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_map>

namespace {

// The document as it grows, with the offset of every object for the
// cross-reference table.
class Pdf_Out {
 public:
  Pdf_Out() { Text("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"); }
  void Text(const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
  void Raw(const std::vector<uint8_t>& data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
  // Starts object number id (numbers are handed out in order from 1).
  void Begin(int id) {
    if (int(offsets.size()) < id) offsets.resize(size_t(id));
    offsets[size_t(id - 1)] = bytes.size();
    Text(std::to_string(id) + " 0 obj\n");
  }
  void Stream(const std::string& dictionary, const std::vector<uint8_t>& data) {
    Text("<<" + dictionary + " /Length " + std::to_string(data.size()) + ">>\nstream\n");
    Raw(data);
    Text("\nendstream\nendobj\n");
  }
  std::vector<uint8_t> Finish() {
    const size_t xref = bytes.size();
    Text("xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n");
    char line[32];
    for (size_t offset : offsets) {
      std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
      Text(line);
    }
    Text("trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n");
    return std::move(bytes);
  }

 private:
  std::vector<uint8_t> bytes;
  std::vector<size_t> offsets;
};

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data) {
  uLongf size = compressBound(uLong(data.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), uLong(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK) return {};
  out.resize(size);
  return out;
}

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

// The image's samples and colour space: palette indices when the picture
// has at most 256 colours (as drawings do), else RGB triples.
std::string Indexed_Space(const std::vector<uint32_t>& palette) {
  std::string hex;
  char byte[8];
  for (uint32_t p : palette) {
    std::snprintf(byte, sizeof byte, "%06X", unsigned(p & 0xFFFFFF));
    hex += byte;
  }
  return "[/Indexed /DeviceRGB " + std::to_string(palette.size() - 1) + " <" + hex + ">]";
}

void Samples_Of(const TPage_Picture& picture, std::vector<uint8_t>& samples, std::string& colour_space) {
  if (!picture.indices.empty()) {
    // The picture's own indices and table; an index beyond the table
    // shows black, as on screen.
    std::vector<uint32_t> palette = picture.colours;
    uint8_t largest = 0;
    for (uint8_t i : picture.indices) largest = std::max(largest, i);
    if (palette.size() < size_t(largest) + 1) palette.resize(size_t(largest) + 1, 0);
    if (palette.size() > 256) palette.resize(256);
    samples = picture.indices;
    colour_space = Indexed_Space(palette);
    return;
  }
  std::unordered_map<uint32_t, uint8_t> index;
  std::vector<uint32_t> palette;
  samples.resize(picture.xrgb.size());
  uint32_t last = 0xFFFFFFFF;
  uint8_t last_index = 0;
  for (size_t i = 0; i < picture.xrgb.size(); ++i) {
    const uint32_t c = picture.xrgb[i] & 0xFFFFFF;
    if (c != last) {
      auto found = index.find(c);
      if (found == index.end()) {
        if (palette.size() == 256) break;
        found = index.emplace(c, uint8_t(palette.size())).first;
        palette.push_back(c);
      }
      last = c, last_index = found->second;
    }
    samples[i] = last_index;
    if (i + 1 == picture.xrgb.size()) {
      colour_space = Indexed_Space(palette);
      return;
    }
  }
  samples.clear();
  samples.reserve(picture.xrgb.size() * 3);
  for (uint32_t c : picture.xrgb) samples.insert(samples.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  colour_space = "/DeviceRGB";
}

bool Usable(const TPage_Picture& picture) {
  const size_t count = size_t(picture.width) * size_t(picture.height);
  return picture.width > 0 && picture.height > 0 &&
         (picture.indices.empty() ? picture.xrgb.size() == count : picture.indices.size() == count);
}

}  // namespace

std::vector<uint8_t> TPdf_Page_Writer::Write(const TPdf_Page_Geometry& g, const std::vector<TPage_Picture>& pictures) {
  if (!(g.width_pt > 0) || !(g.height_pt > 0) || g.dpi_x <= 0 || g.dpi_y <= 0) return {};
  // Objects: 1 catalogue, 2 page tree, 3 page, 4 contents, 5... images.
  std::string resources, contents;
  const double px = 72.0 / g.dpi_x, py = 72.0 / g.dpi_y;
  int image = 0;
  for (const TPage_Picture& picture : pictures) {
    if (!Usable(picture)) continue;
    const TRect& r = picture.placement;
    const double left = g.origin_x_pt + r.left * px, bottom = g.height_pt - (g.origin_y_pt + r.bottom * py);
    const std::string name = "/Im" + std::to_string(image);
    resources += " " + name + " " + std::to_string(5 + image) + " 0 R";
    contents += "q " + Number(r.Width() * px) + " 0 0 " + Number(r.Height() * py) + " " + Number(left) + " " +
                Number(bottom) + " cm " + name + " Do Q\n";
    ++image;
  }
  Pdf_Out pdf;
  pdf.Begin(1);
  pdf.Text("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
  pdf.Begin(2);
  pdf.Text("<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n");
  pdf.Begin(3);
  pdf.Text("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(g.width_pt) + " " + Number(g.height_pt) +
           "] /Resources << /XObject <<" + resources + " >> >> /Contents 4 0 R >>\nendobj\n");
  pdf.Begin(4);
  pdf.Stream("", std::vector<uint8_t>(contents.begin(), contents.end()));
  image = 0;
  for (const TPage_Picture& picture : pictures) {
    if (!Usable(picture)) continue;
    std::vector<uint8_t> samples;
    std::string colour_space;
    Samples_Of(picture, samples, colour_space);
    const std::vector<uint8_t> packed = Deflate(samples);
    if (packed.empty()) return {};
    pdf.Begin(5 + image++);
    pdf.Stream(" /Type /XObject /Subtype /Image /Width " + std::to_string(picture.width) + " /Height " +
                   std::to_string(picture.height) + " /ColorSpace " + colour_space +
                   " /BitsPerComponent 8 /Interpolate false /Filter /FlateDecode",
               packed);
  }
  return pdf.Finish();
}

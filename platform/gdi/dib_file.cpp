#include "platform/gdi/dib_file.h"

#include <cstring>

#include "platform/system/bmp_image.h"

namespace {

constexpr size_t File_Header_Size = 14;
constexpr uint32_t Info_Header_Size = 40;
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::optional<TDib> TDib_File::Read(const uint8_t* data, size_t size) {
  // One checked reader serves every BMP: files, resources and metafiles.
  const std::optional<TBmp_Image> image = Parse_Bmp(data, size);
  if (!image) return std::nullopt;
  TDib dib(image->width, image->height, image->bits_per_pixel, int(image->colors.size()));
  if (!dib.IsOK() || size_t(dib.Pitch()) != image->Stride()) return std::nullopt;
  for (size_t i = 0; i < image->colors.size(); ++i) dib.GetColors()[i] = image->colors[i].Xrgb();
  std::memcpy(dib.GetBits(), image->bits.data(), image->bits.size());  // both bottom row first
  return dib;
}

std::vector<uint8_t> TDib_File::Write(const TDib& dib, bool file_header) {
  std::vector<uint8_t> out;
  const uint32_t table_bytes = uint32_t(dib.NumColors()) * 4;
  const uint32_t bits_offset = (file_header ? uint32_t(File_Header_Size) : 0) + Info_Header_Size + table_bytes;
  if (file_header) {
    out.push_back('B');
    out.push_back('M');
    Put32(out, bits_offset + dib.SizeImage());
    Put32(out, 0);
    Put32(out, bits_offset);
  }
  Put32(out, Info_Header_Size);
  Put32(out, uint32_t(dib.Width()));
  Put32(out, uint32_t(dib.Height()));
  Put16(out, 1);
  Put16(out, uint32_t(dib.BitsPixel()));
  Put32(out, 0);
  Put32(out, dib.SizeImage());
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, uint32_t(dib.NumColors()));
  Put32(out, 0);
  for (int i = 0; i < dib.NumColors(); ++i) Put32(out, dib.GetColors()[i] & 0xFFFFFF);
  out.insert(out.end(), dib.GetBits(), dib.GetBits() + dib.SizeImage());
  return out;
}

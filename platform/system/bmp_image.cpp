#include "platform/system/bmp_image.h"

#include <cstring>

namespace {

constexpr size_t File_Header_Size = 14;
constexpr int32_t Largest_Side = 0x8000;

uint16_t Read_U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Read_U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

std::optional<TBmp_Image> Parse_Bmp(const uint8_t* data, size_t size) {
  if (!data) return std::nullopt;
  // With a file header the bits start where it says; without one they follow
  // the colour table.
  size_t info = 0;
  std::optional<uint64_t> bits_offset;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    if (size < File_Header_Size) return std::nullopt;
    bits_offset = Read_U32(data + 10);
    info = File_Header_Size;
  }
  if (size - info < 4) return std::nullopt;
  const uint32_t header_size = Read_U32(data + info);
  if (header_size != 12 && header_size < 40) return std::nullopt;
  if (header_size > size - info) return std::nullopt;
  const uint8_t* header = data + info;

  int64_t width, height;
  uint16_t planes, bits_per_pixel;
  uint32_t compression = 0, colors_used = 0;
  size_t color_size = 4;
  if (header_size == 12) {
    width = Read_U16(header + 4);
    height = Read_U16(header + 6);
    planes = Read_U16(header + 8);
    bits_per_pixel = Read_U16(header + 10);
    color_size = 3;
  } else {
    width = static_cast<int32_t>(Read_U32(header + 4));
    height = static_cast<int32_t>(Read_U32(header + 8));
    planes = Read_U16(header + 12);
    bits_per_pixel = Read_U16(header + 14);
    compression = Read_U32(header + 16);
    colors_used = Read_U32(header + 32);
  }
  if (planes != 1 || compression != 0) return std::nullopt;
  if (bits_per_pixel != 1 && bits_per_pixel != 4 && bits_per_pixel != 8) return std::nullopt;
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (width <= 0 || height <= 0 || width > Largest_Side || height > Largest_Side) return std::nullopt;

  const uint32_t table_limit = 1u << bits_per_pixel;
  if (colors_used == 0) colors_used = table_limit;
  if (colors_used > table_limit) return std::nullopt;

  TBmp_Image image;
  image.width = static_cast<int32_t>(width);
  image.height = static_cast<int32_t>(height);
  image.bits_per_pixel = bits_per_pixel;

  const uint64_t table_start = info + header_size;
  const uint64_t table_end = table_start + uint64_t{colors_used} * color_size;
  if (table_end > size) return std::nullopt;
  image.colors.resize(colors_used);
  for (uint32_t i = 0; i < colors_used; ++i) {
    const uint8_t* entry = data + table_start + i * color_size;
    image.colors[i] = TBmp_Color{entry[0], entry[1], entry[2], 0};
  }

  const uint64_t start = bits_offset.value_or(table_end);
  const uint64_t stride = image.Stride();
  const uint64_t length = stride * static_cast<uint64_t>(height);
  if (start < table_end || start > size || length > size - start) return std::nullopt;
  image.bits.resize(length);
  const uint8_t* bits = data + start;
  if (top_down) {
    for (int64_t row = 0; row < height; ++row)
      std::memcpy(image.bits.data() + (height - 1 - row) * stride, bits + row * stride, stride);
  } else {
    std::memcpy(image.bits.data(), bits, length);
  }
  return image;
}

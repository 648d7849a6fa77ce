#include "platform/gdi/dib_file.h"

#include <cstring>

namespace {

constexpr size_t File_Header_Size = 14;
constexpr uint32_t Info_Header_Size = 40;
// Larger pictures than this are refused rather than allocated.
constexpr int64_t Max_Side = 32768;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

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
  if (!data) return std::nullopt;
  size_t base = 0;        // where the info header starts
  size_t bits_at = 0;     // 0: right after the colour table
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    if (size < File_Header_Size) return std::nullopt;
    bits_at = U32(data + 10);
    base = File_Header_Size;
  }
  if (size - base < Info_Header_Size) return std::nullopt;
  const uint8_t* h = data + base;
  const uint32_t header_size = U32(h);
  const int32_t width = int32_t(U32(h + 4));
  const int32_t height = int32_t(U32(h + 8));
  const uint16_t planes = U16(h + 12), bits = U16(h + 14);
  const uint32_t compression = U32(h + 16), colours_used = U32(h + 32);
  if (header_size < Info_Header_Size || header_size > size - base) return std::nullopt;
  if (planes != 1 || (bits != 1 && bits != 4 && bits != 8) || compression != 0) return std::nullopt;
  const int64_t rows = height < 0 ? -int64_t(height) : int64_t(height);
  if (width <= 0 || rows == 0 || width > Max_Side || rows > Max_Side) return std::nullopt;
  const uint32_t full_table = 1u << bits;
  if (colours_used > full_table) return std::nullopt;
  const uint32_t table_entries = colours_used ? colours_used : full_table;

  const size_t table_at = base + header_size;
  if (size - table_at < size_t(table_entries) * 4) return std::nullopt;
  if (bits_at == 0) bits_at = table_at + size_t(table_entries) * 4;
  const size_t stride = (size_t(width) * bits + 31) / 32 * 4;
  if (bits_at > size || size - bits_at < stride * size_t(rows)) return std::nullopt;

  TDib dib(width, int(rows), bits, int(table_entries));
  if (!dib.IsOK()) return std::nullopt;
  for (uint32_t i = 0; i < table_entries; ++i) dib.GetColors()[i] = U32(data + table_at + i * 4) & 0xFFFFFF;
  for (int64_t r = 0; r < rows; ++r) {
    // Stored rows run bottom-up unless the height is negative.
    const int64_t stored = height < 0 ? rows - 1 - r : r;
    std::memcpy(dib.GetBits() + r * dib.Pitch(), data + bits_at + size_t(stored) * stride, stride);
  }
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

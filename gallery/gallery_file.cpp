#include "gallery/gallery_file.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "model/shape_drawing.h"
#include "platform/system/file_system.h"

uint32_t Gallery_File::Read_U32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

void Gallery_File::Write_U32(uint8_t* at, uint32_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
  at[2] = uint8_t(value >> 16);
  at[3] = uint8_t(value >> 24);
}

void Gallery_File::Write_Header(uint8_t* at, uint32_t length, int32_t row, int32_t column) {
  Write_U32(at, length);
  Write_U32(at + 4, uint32_t(row));
  Write_U32(at + 8, uint32_t(column));
}

bool Gallery_File::Picture_Header_Fits(const uint8_t* picture, uint64_t available) {
  if (available < Shape_Drawing::Record_Header_Size) return false;
  const uint32_t width = Read_U32(picture), height = Read_U32(picture + 4), packed = Read_U32(picture + 12);
  if (width == 0 || height == 0 || width > Shape_Drawing::Max_Record_Side || height > Shape_Drawing::Max_Record_Side)
    return false;
  const uint64_t body = available - Shape_Drawing::Record_Header_Size;
  const uint64_t raw = ((uint64_t(width) + 3) & ~uint64_t(3)) * height;
  return packed == 0 ? raw <= body : packed <= body;
}

Gallery_File::Contents Gallery_File::Scan(const uint8_t* bytes, uint64_t size) {
  return Scan(
      [bytes, size](uint64_t offset, uint8_t* out, size_t n) {
        if (offset > size || size - offset < n) return false;
        std::memcpy(out, bytes + offset, n);
        return true;
      },
      size);
}

Gallery_File::Contents Gallery_File::Scan(const Reader& read, uint64_t size) {
  Contents contents;
  if (size < 4) return contents;
  uint64_t offset = 0;
  uint8_t header[Smallest_Record];
  for (;;) {
    contents.end_offset = offset;
    // Room for the next length: a file cut short after a record has none.
    // One read for both headers where the file has room for them.
    const size_t first = size_t(std::min<uint64_t>(size - offset, Smallest_Record));
    if (first < 4 || !read(offset, header, first)) {
      contents.whole = false;
      return contents;
    }
    const uint32_t length = Read_U32(header);
    if (length == 0) return contents;
    // A record must hold its headers, and at least one byte must follow it
    // (a record that ends exactly at the end of the file is not read).
    if (length < Smallest_Record || length >= size - offset ||
        !Picture_Header_Fits(header + Header_Size, length - Header_Size)) {
      contents.whole = false;
      return contents;
    }
    const uint32_t row = Read_U32(header + 4), column = Read_U32(header + 8);
    if (row < Grid_Side && column < Grid_Side)
      contents.records.push_back({offset, length, int32_t(row), int32_t(column)});
    else
      contents.whole = false;  // outside the grid: skipped, the file kept aside
    offset += length;
  }
}

namespace {

bool Same_Contents(const std::string& a, const std::string& b) {
  std::error_code error;
  if (std::filesystem::file_size(a, error) != std::filesystem::file_size(b, error) || error) return false;
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  std::vector<char> p(1 << 16), q(1 << 16);
  while (x && y) {
    x.read(p.data(), std::streamsize(p.size()));
    y.read(q.data(), std::streamsize(q.size()));
    if (x.gcount() != y.gcount() || std::memcmp(p.data(), q.data(), size_t(x.gcount())) != 0) return false;
  }
  return x.eof() && y.eof();
}

// A copy kept aside earlier of the same bytes (the gallery opened again
// without a save in between), so that copies do not pile up.
std::string Earlier_Copy(const std::string& path) {
  const std::filesystem::path file(path);
  const std::string prefix = file.filename().string() + ".damaged-";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) == 0 && entry.is_regular_file(error) &&
        Same_Contents(entry.path().string(), path))
      return entry.path().string();
  }
  return std::string();
}

}  // namespace

std::string Gallery_File::Keep_Copy_Aside(const std::string& path) {
  const std::string earlier = Earlier_Copy(path);
  if (!earlier.empty()) return earlier;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = path + ".damaged-" + stamp;
  for (int n = 1; n < 100; ++n) {
    const std::string aside = n == 1 ? base : base + "-" + std::to_string(n);
    if (Get_File_Attributes(aside) != INVALID_FILE_ATTRIBUTES) continue;
    return Copy_New_File(path, aside) ? aside : std::string();
  }
  return std::string();
}

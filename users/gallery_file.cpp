#include "users/gallery_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "model/shape_drawing.h"
#include "platform/system/file_system.h"

bool Gallery_File::Read_At(int descriptor, uint64_t offset, uint8_t* out, size_t n) {
  while (n > 0) {
    const ssize_t got = pread(descriptor, out, n, off_t(offset));
    if (got <= 0) return false;
    out += got, offset += uint64_t(got), n -= size_t(got);
  }
  return true;
}

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

bool Gallery_File::Headers_Fit(const uint8_t* record, uint64_t room) {
  const uint32_t length = Read_U32(record);
  return length >= Smallest_Record && length < room && Picture_Header_Fits(record + Header_Size, length - Header_Size);
}

uint64_t Gallery_File::Digest(const uint8_t* bytes, size_t n, uint64_t digest) {
  // Eight bytes a step; each step is one-to-one in the digest, so that a
  // single changed word always changes the result.
  constexpr uint64_t prime = 0x100000001b3u;
  size_t at = 0;
  for (; at + 8 <= n; at += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + at, 8);
    digest = (digest ^ word) * prime;
    digest ^= digest >> 29;
  }
  for (; at < n; ++at) digest = (digest ^ bytes[at]) * prime;
  return digest;
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
    if (first < Smallest_Record || !Headers_Fit(header, size - offset)) {
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

// The reader's view of the regular file at path (a link followed); null
// when it is none.
bool Scan_File(const std::string& path, Gallery_File::Contents& contents) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (regular)
    contents = Gallery_File::Scan(
        [fd](uint64_t offset, uint8_t* out, size_t n) { return Gallery_File::Read_At(fd, offset, out, n); },
        uint64_t(info.st_size));
  close(fd);
  return regular;
}

}  // namespace

bool Gallery_File::Reads_As_Gallery(const std::string& path) {
  Contents contents;
  return Scan_File(path, contents) && (contents.whole || !contents.records.empty());
}

bool Gallery_File::Holds_Drawings(const std::string& path) {
  Contents contents;
  return Scan_File(path, contents) && !contents.records.empty();
}

namespace {

// The offset of the first byte at or after at that the file holds as data,
// size when only a hole follows. A file system that cannot tell holes has
// data everywhere.
uint64_t Next_Data(int fd, uint64_t at, uint64_t size) {
  const off_t data = lseek(fd, off_t(at), SEEK_DATA);
  if (data < 0) return errno == ENXIO ? size : at;
  return std::min<uint64_t>(uint64_t(data), size);
}

// The end of the data that begins at at (at itself inside a hole).
uint64_t Data_End(int fd, uint64_t at, uint64_t size) {
  const off_t hole = lseek(fd, off_t(at), SEEK_HOLE);
  return hole < 0 ? size : std::min<uint64_t>(uint64_t(hole), size);
}

bool Same_Range(int x, int y, uint64_t from, uint64_t to, std::vector<uint8_t>& p, std::vector<uint8_t>& q) {
  while (from < to) {
    const size_t n = size_t(std::min<uint64_t>(p.size(), to - from));
    if (pread(x, p.data(), n, off_t(from)) != ssize_t(n) || pread(y, q.data(), n, off_t(from)) != ssize_t(n) ||
        std::memcmp(p.data(), q.data(), n) != 0)
      return false;
    from += n;
  }
  return true;
}

// Whether two files hold the same bytes. Where both have a hole there is
// nothing to read: a sparse gallery is compared at the cost of its data.
bool Same_Contents(int x, int y) {
  struct stat a, b;
  if (fstat(x, &a) != 0 || fstat(y, &b) != 0 || !S_ISREG(a.st_mode) || !S_ISREG(b.st_mode) || a.st_size != b.st_size)
    return false;
  const uint64_t size = uint64_t(a.st_size);
  // One pair of buffers for every stretch of data, however many there are.
  std::vector<uint8_t> p(1 << 16), q(1 << 16);
  uint64_t at = 0;
  while (at < size) {
    const uint64_t start = std::min(Next_Data(x, at, size), Next_Data(y, at, size));
    if (start >= size) break;
    const uint64_t end = std::max(Data_End(x, start, size), Data_End(y, start, size));
    if (end <= start || !Same_Range(x, y, start, end, p, q)) return false;
    at = end;
  }
  return true;
}

bool Same_Contents(const std::string& a, const std::string& b) {
  const int x = open(a.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (x < 0) return false;
  const int y = open(b.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  const bool same = y >= 0 && Same_Contents(x, y);
  if (y >= 0) close(y);
  close(x);
  return same;
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

#include "users/file_fingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/system/file_system.h"

namespace {

// An open regular file, never followed through a link; closed on leaving.
struct Open_File {
  explicit Open_File(const std::string& path) {
    if (!Path_Fits(path)) return;
    fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info;
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
      close(fd);
      fd = -1;
    }
    if (fd >= 0) size = uint64_t(info.st_size);
  }
  ~Open_File() {
    if (fd >= 0) close(fd);
  }
  Open_File(const Open_File&) = delete;
  Open_File& operator=(const Open_File&) = delete;

  // Exactly n bytes at the offset; false on a read error or a file cut
  // short meanwhile.
  bool Read(uint64_t offset, uint8_t* into, size_t n) const {
    while (n > 0) {
      const ssize_t got = pread(fd, into, n, off_t(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      into += got;
      offset += uint64_t(got);
      n -= size_t(got);
    }
    return true;
  }

  int fd = -1;
  uint64_t size = 0;
};

uint32_t Part_Digest(std::span<const uint8_t> bytes) {
  const uint64_t digest = Bytes_Digest(bytes);
  return uint32_t(digest ^ (digest >> 32));
}

// The sampled digest of the file and the digest of each of its parts.
bool Sample(const Open_File& file, File_Fingerprint& print) {
  const uint64_t block = File_Fingerprint::Block, blocks = File_Fingerprint::Blocks;
  const uint64_t size = file.size;
  uint8_t size_bytes[8];
  for (int i = 0; i < 8; ++i) size_bytes[i] = uint8_t(size >> (8 * i));
  uint64_t digest = Bytes_Digest(size_bytes);
  const uint64_t parts = File_Fingerprint::Parts(size);
  std::vector<uint8_t> buffer(size_t(size <= block * blocks ? size : block));
  if (size <= block * blocks) {
    if (!file.Read(0, buffer.data(), buffer.size())) return false;
    print.sampled = Bytes_Digest(buffer, digest);
    for (uint64_t i = 0; i < parts; ++i)
      print.parts.push_back(Part_Digest(std::span(buffer).subspan(size_t(i * size / parts),
                                                                  size_t((i + 1) * size / parts - i * size / parts))));
    return true;
  }
  // Evenly spread, the first block at the start and the last at the end.
  for (uint64_t i = 0; i < blocks; ++i) {
    const uint64_t offset = i * ((size - block) / (blocks - 1));
    const uint64_t at = i + 1 == blocks ? size - block : offset;
    if (!file.Read(at, buffer.data(), buffer.size())) return false;
    digest = Bytes_Digest(buffer, digest);
    print.parts.push_back(Part_Digest(buffer));
  }
  print.sampled = digest;
  return true;
}

std::optional<uint64_t> Whole_Digest(const Open_File& file) {
  std::vector<uint8_t> buffer(1 << 20);
  uint64_t digest = 0xcbf29ce484222325ull;
  for (uint64_t at = 0; at < file.size;) {
    const size_t n = size_t(std::min<uint64_t>(buffer.size(), file.size - at));
    if (!file.Read(at, buffer.data(), n)) return std::nullopt;
    digest = Bytes_Digest(std::span(buffer.data(), n), digest);
    at += n;
  }
  return digest;
}

std::string Hex(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::optional<uint64_t> Number(std::string_view text, int base, size_t hex_digits = 16) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  // Written by the program: no sign, and digests in 16 digits (a part's in 8).
  if (base == 16 && text.size() != hex_digits) return std::nullopt;
  if (base == 10 && (text[0] == '+' || (text.size() > 1 && text[0] == '0'))) return std::nullopt;
  return value;
}

// Where a link leads, as the link says it; nothing for anything else.
std::optional<std::string> Link_Text(const std::string& path) {
  struct stat info;
  if (!Path_Fits(path) || lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return std::nullopt;
  std::string text(PATH_MAX, '\0');
  const ssize_t length = readlink(path.c_str(), text.data(), text.size());
  if (length <= 0 || size_t(length) >= text.size()) return std::nullopt;
  text.resize(size_t(length));
  return text;
}

}  // namespace

uint64_t Bytes_Digest(std::span<const uint8_t> bytes, uint64_t digest) {
  // Eight bytes a round (a multiply and a rotation), the tail one by one.
  constexpr uint64_t prime = 0x100000001b3ull;
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    digest = (digest ^ word) * prime;
    digest ^= digest >> 29;
  }
  for (; i < bytes.size(); ++i) digest = (digest ^ bytes[i]) * prime;
  return digest;
}

std::optional<File_Fingerprint> File_Fingerprint::Of(const std::string& path) {
  if (const std::optional<std::string> leads_to = Link_Text(path)) {
    File_Fingerprint print;
    print.link = true;
    print.size = leads_to->size();
    print.sampled = Bytes_Digest(std::span(reinterpret_cast<const uint8_t*>(leads_to->data()), leads_to->size()));
    return print;
  }
  const Open_File file(path);
  if (file.fd < 0) return std::nullopt;
  File_Fingerprint print;
  print.size = file.size;
  if (!Sample(file, print)) return std::nullopt;
  return print;
}

bool File_Fingerprint::Mostly(const File_Fingerprint& now) const {
  if (link || now.link || size != now.size || parts.empty() || now.parts.size() != parts.size()) return false;
  size_t same = 0;
  for (size_t i = 0; i < parts.size(); ++i) same += parts[i] == now.parts[i];
  return 2 * same > parts.size();
}

bool File_Fingerprint::Take_Whole(const std::string& path) {
  const Open_File file(path);
  if (file.fd < 0 || file.size != size) return false;
  const std::optional<uint64_t> digest = Whole_Digest(file);
  if (!digest) return false;
  whole = *digest;
  has_whole = true;
  return true;
}

std::string File_Fingerprint::Text() const {
  std::string text = (link ? "link:" : "") + std::to_string(size) + ":" + Hex(sampled) + (has_whole ? ":" + Hex(whole) : "");
  if (!parts.empty()) text += "/";
  for (uint32_t part : parts) text += Hex(part).substr(8);
  return text;
}

std::optional<File_Fingerprint> File_Fingerprint::Parse(std::string_view text) {
  constexpr std::string_view link_mark = "link:";
  if (text.substr(0, link_mark.size()) == link_mark) {
    std::optional<File_Fingerprint> print = Parse(text.substr(link_mark.size()));
    // A link's text is short: its sampled digest is all of it.
    if (!print || print->link || !print->parts.empty() || print->size == 0 || print->size >= PATH_MAX)
      return std::nullopt;
    print->link = true;
    return print;
  }
  // The parts' digests, after the rest; an earlier program noted none.
  std::vector<uint32_t> parts;
  if (const size_t slash = text.find('/'); slash != std::string_view::npos) {
    const std::string_view digits = text.substr(slash + 1);
    text = text.substr(0, slash);
    if (digits.empty() || digits.size() % 8 != 0) return std::nullopt;
    for (size_t at = 0; at < digits.size(); at += 8) {
      const std::optional<uint64_t> part = Number(digits.substr(at, 8), 16, 8);
      if (!part) return std::nullopt;
      parts.push_back(uint32_t(*part));
    }
  }
  const size_t first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = text.find(':', first + 1);
  const std::optional<uint64_t> size = Number(text.substr(0, first), 10);
  const std::optional<uint64_t> sampled = Number(text.substr(first + 1, second - first - 1), 16);
  if (!size || !sampled) return std::nullopt;
  File_Fingerprint print;
  print.size = *size;
  print.sampled = *sampled;
  if (second != std::string_view::npos) {
    const std::optional<uint64_t> whole = Number(text.substr(second + 1), 16);
    // A file read whole for its samples needs no other digest.
    if (!whole || print.Sampled_Whole()) return std::nullopt;
    print.whole = *whole;
    print.has_whole = true;
  }
  if (!parts.empty() && parts.size() != Parts(print.size)) return std::nullopt;
  print.parts = std::move(parts);
  return print;
}

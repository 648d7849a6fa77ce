#include "users/file_fingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
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

  // Every byte, in pieces of 1 MiB (the last shorter) handed to `take` in
  // order; false on a read error or when the file is not the size it had
  // when opened (written meanwhile).
  template <typename Take>
  bool Read_All(Take take) const {
    std::vector<uint8_t> buffer(Piece);
    uint64_t at = 0;
    for (;;) {
      size_t filled = 0;
      while (filled < buffer.size()) {
        const ssize_t got = pread(fd, buffer.data() + filled, buffer.size() - filled, off_t(at + filled));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        filled += size_t(got);
      }
      if (filled > 0) take(std::span<const uint8_t>(buffer.data(), filled));
      at += filled;
      if (filled < buffer.size()) return at == size;
    }
  }

  static constexpr size_t Piece = 1 << 20;
  int fd = -1;
  uint64_t size = 0;
};

// The earlier program's 64-bit digest of bytes, continued from `digest`.
uint64_t Earlier_Digest(std::span<const uint8_t> bytes, uint64_t digest = 0xcbf29ce484222325ull) {
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

// The earlier program read a file no larger than this whole for its
// sampled digest, which then began with the file's size.
constexpr uint64_t Earlier_Sampled_Whole = 4096 * 16;

// The earlier program's digest of every byte of the file, as it noted it.
std::optional<uint64_t> Earlier_Whole(const Open_File& file) {
  if (file.size > Earlier_Sampled_Whole) {
    // Its whole digest ran over 1 MiB pieces, each continuing the last.
    uint64_t digest = 0xcbf29ce484222325ull;
    if (!file.Read_All([&](std::span<const uint8_t> piece) { digest = Earlier_Digest(piece, digest); }))
      return std::nullopt;
    return digest;
  }
  uint8_t size_bytes[8];
  for (int i = 0; i < 8; ++i) size_bytes[i] = uint8_t(file.size >> (8 * i));
  std::vector<uint8_t> bytes;
  if (!file.Read_All([&](std::span<const uint8_t> piece) { bytes.insert(bytes.end(), piece.begin(), piece.end()); }))
    return std::nullopt;
  return Earlier_Digest(bytes, Earlier_Digest(size_bytes));
}

std::optional<XXH128_hash_t> Whole_Digest(const Open_File& file) {
  const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> state(XXH3_createState(), XXH3_freeState);
  if (!state || XXH3_128bits_reset(state.get()) != XXH_OK) return std::nullopt;
  bool fed = true;
  if (!file.Read_All([&](std::span<const uint8_t> bytes) {
        fed &= XXH3_128bits_update(state.get(), bytes.data(), bytes.size()) == XXH_OK;
      }) ||
      !fed)
    return std::nullopt;
  return XXH3_128bits_digest(state.get());
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
  // Written by the program: no sign, and digests in a fixed count of digits.
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

// A link's text: short, never empty.
bool Link_Size(uint64_t size) { return size > 0 && size < PATH_MAX; }

}  // namespace

std::optional<File_Fingerprint> File_Fingerprint::Of(const std::string& path, bool earlier) {
  File_Fingerprint print;
  print.earlier = earlier;
  if (const std::optional<std::string> leads_to = Link_Text(path)) {
    const std::span bytes(reinterpret_cast<const uint8_t*>(leads_to->data()), leads_to->size());
    print.link = true;
    print.size = bytes.size();
    if (earlier) {
      print.low = Earlier_Digest(bytes);
    } else {
      const XXH128_hash_t digest = XXH3_128bits(bytes.data(), bytes.size());
      print.high = digest.high64;
      print.low = digest.low64;
    }
    return print;
  }
  const Open_File file(path);
  if (file.fd < 0) return std::nullopt;
  print.size = file.size;
  if (earlier) {
    const std::optional<uint64_t> digest = Earlier_Whole(file);
    if (!digest) return std::nullopt;
    print.low = *digest;
    return print;
  }
  const std::optional<XXH128_hash_t> digest = Whole_Digest(file);
  if (!digest) return std::nullopt;
  print.high = digest->high64;
  print.low = digest->low64;
  return print;
}

std::string File_Fingerprint::Text() const {
  if (earlier) return earlier_text;
  return (link ? "link:" : "") + std::to_string(size) + ":" + Hex(high) + Hex(low);
}

std::optional<File_Fingerprint> File_Fingerprint::Parse(std::string_view text) {
  File_Fingerprint print;
  constexpr std::string_view link_mark = "link:";
  if (text.substr(0, link_mark.size()) == link_mark) {
    text.remove_prefix(link_mark.size());
    print.link = true;
  }
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || text.size() - colon - 1 != 32) return std::nullopt;
  const std::optional<uint64_t> size = Number(text.substr(0, colon), 10);
  const std::optional<uint64_t> high = Number(text.substr(colon + 1, 16), 16), low = Number(text.substr(colon + 17), 16);
  if (!size || !high || !low || (print.link && !Link_Size(*size))) return std::nullopt;
  print.size = *size;
  print.high = *high;
  print.low = *low;
  return print;
}

std::optional<File_Fingerprint> File_Fingerprint::Parse_Earlier(std::string_view text) {
  File_Fingerprint print;
  print.earlier = true;
  print.earlier_text = std::string(text);
  constexpr std::string_view link_mark = "link:";
  if (text.substr(0, link_mark.size()) == link_mark) {
    text.remove_prefix(link_mark.size());
    print.link = true;
  }
  // Its parts' digests showed only likeness: checked, and not kept.
  if (const size_t slash = text.find('/'); slash != std::string_view::npos) {
    const std::string_view digits = text.substr(slash + 1);
    text = text.substr(0, slash);
    if (print.link || digits.empty() || digits.size() % 8 != 0) return std::nullopt;
    for (size_t at = 0; at < digits.size(); at += 8)
      if (!Number(digits.substr(at, 8), 16, 8)) return std::nullopt;
    const std::optional<uint64_t> size = Number(text.substr(0, text.find(':')), 10);
    if (!size || digits.size() / 8 != std::min<uint64_t>(16, *size)) return std::nullopt;
  }
  const size_t first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = text.find(':', first + 1);
  const std::optional<uint64_t> size = Number(text.substr(0, first), 10);
  const std::optional<uint64_t> sampled = Number(text.substr(first + 1, second - first - 1), 16);
  if (!size || !sampled || (print.link && (!Link_Size(*size) || second != std::string_view::npos))) return std::nullopt;
  print.size = *size;
  print.low = *sampled;
  // A small file's sampled digest covered every byte; a larger one's only
  // when its whole digest was noted too (and a small one never has one).
  print.whole = print.link || *size <= Earlier_Sampled_Whole;
  if (second != std::string_view::npos) {
    const std::optional<uint64_t> whole = Number(text.substr(second + 1), 16);
    if (!whole || print.whole) return std::nullopt;
    print.low = *whole;
    print.whole = true;
  }
  return print;
}

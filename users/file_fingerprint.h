// What the journal of a change of users' names knows of a file's bytes:
// enough to tell the files of one change apart and to find each again under
// any of its names, whatever copy, backup or device the folder went through.
// A gallery can be hundreds of megabytes, so only a few blocks spread over
// the file are read (its first and last among them), with its size; every
// byte is read only for files of one change that those do not tell apart.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct File_Fingerprint {
  // Blocks read from a larger file; a file no larger than all of them is
  // read whole, and its sampled digest covers every byte.
  static constexpr uint64_t Block = 4096;
  static constexpr uint64_t Blocks = 16;

  uint64_t size = 0;
  uint64_t sampled = 0;
  // The digest of every byte, taken only when needed (has_whole).
  uint64_t whole = 0;
  bool has_whole = false;
  // A symbolic link, known by where it leads (size and sampled are those of
  // that text): a person's file may be a link, and moves as one.
  bool link = false;

  // Of the regular file or the link at the path, never what a link leads
  // to; nothing when there is neither or it cannot be read.
  static std::optional<File_Fingerprint> Of(const std::string& path);
  // Adds the digest of every byte; false when the file cannot be read or
  // is no longer the one fingerprinted.
  bool Take_Whole(const std::string& path);
  // Whether the sampled bytes cannot tell the two files apart.
  bool Ties_With(const File_Fingerprint& other) const {
    return link == other.link && size == other.size && sampled == other.sampled;
  }
  // Whether the sampled digest already covers every byte.
  bool Sampled_Whole() const { return size <= Block * Blocks; }
  bool operator==(const File_Fingerprint&) const = default;

  // "size:sampled" or "size:sampled:whole", digests in 16 hexadecimal digits;
  // "link:size:sampled" for a link.
  std::string Text() const;
  static std::optional<File_Fingerprint> Parse(std::string_view text);
};

// A 64-bit digest of bytes: only whether bytes differ matters here, not who
// could forge them.
uint64_t Bytes_Digest(std::span<const uint8_t> bytes, uint64_t digest = 0xcbf29ce484222325ull);

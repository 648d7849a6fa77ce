// What the journal of a change of users' names knows of a file's bytes:
// enough to tell the files of one change apart and to find each again under
// any of its names, whatever copy, backup or device the folder went through.
// A gallery can be hundreds of megabytes, so only a few blocks spread over
// the file are read (its first and last among them), with its size; every
// byte is read only for files of one change that those do not tell apart.
// A digest of each block (of each sixteenth of a smaller file) shows
// whether a file another program changed since is still mostly the one
// noted.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
  // A digest of each part of a regular file: the sampled blocks of a larger
  // one, a sixteenth (at least a byte) of a smaller one. They show whether
  // a file another program changed is still mostly this one. None in the
  // notes of an earlier program, and none for a link.
  std::vector<uint32_t> parts;

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
  // Whether a regular file of these bytes now is mostly this one, some of
  // its bytes rewritten in place: the same size, and more than half of the
  // parts noted hold the same bytes. Never for a link, nor for a file noted
  // without its parts: without them nothing shows it.
  bool Mostly(const File_Fingerprint& now) const;
  // How many parts a regular file of the size has.
  static uint64_t Parts(uint64_t size) { return size > Block * Blocks ? Blocks : std::min<uint64_t>(Blocks, size); }
  bool operator==(const File_Fingerprint&) const = default;

  // "size:sampled" or "size:sampled:whole", digests in 16 hexadecimal digits,
  // then "/" and the parts' digests in 8 digits each when noted;
  // "link:size:sampled" for a link.
  std::string Text() const;
  static std::optional<File_Fingerprint> Parse(std::string_view text);
};

// A 64-bit digest of bytes: only whether bytes differ matters here, not who
// could forge them.
uint64_t Bytes_Digest(std::span<const uint8_t> bytes, uint64_t digest = 0xcbf29ce484222325ull);

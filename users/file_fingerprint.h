// What the journal of a change of users' names knows of a file's bytes: its
// size and a digest of every one of its bytes, taken before the file moves.
// Afterwards a file is taken for the one noted only when both are the same:
// a file another program wrote since, however alike, is another file.
// Journals of the earlier program noted a 64-bit digest, of every byte of a
// small file but only of sampled blocks of a larger one; they are still
// read, and such a print of sampled blocks proves no file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct File_Fingerprint {
  uint64_t size = 0;
  // XXH3-128 of every byte (of where a link leads); an earlier program's
  // 64-bit digest in `low` alone.
  uint64_t high = 0, low = 0;
  // A symbolic link, known by where it leads: a person's file may be a link,
  // and moves as one.
  bool link = false;
  // Noted by the earlier program (its text kept as it was, to be written
  // back unchanged); `whole` only when its digest covers every byte.
  bool earlier = false;
  bool whole = true;
  std::string earlier_text;

  // Of the regular file or the link at the path, never what a link leads
  // to; nothing when there is neither or it cannot be read whole. With
  // `earlier`, the earlier program's digest of every byte, to compare with
  // what it noted.
  static std::optional<File_Fingerprint> Of(const std::string& path, bool earlier = false);
  // Whether the file now (taken the same way) is the very bytes noted.
  bool Same_Bytes(const File_Fingerprint& now) const {
    return whole && now.whole && earlier == now.earlier && link == now.link && size == now.size &&
           high == now.high && low == now.low;
  }
  bool operator==(const File_Fingerprint&) const = default;

  // "size:digest" with the digest in 32 hexadecimal digits; "link:size:digest"
  // for a link.
  std::string Text() const;
  static std::optional<File_Fingerprint> Parse(std::string_view text);
  // The earlier program's text: "size:sampled" or "size:sampled:whole" in 16
  // digits each, then "/" and its parts' digests in 8 digits each when noted;
  // "link:size:sampled" for a link.
  static std::optional<File_Fingerprint> Parse_Earlier(std::string_view text);
};

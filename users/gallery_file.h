// The gallery file's layout, and its reader: records back to back from
// offset 0, each a u32 length (the 12 header bytes included), a u32 row and a
// u32 column, then a picture record; after the last one a u32 0 and 8 bytes
// of no meaning. All little-endian.
//
// The reader trusts nothing: every length and offset is checked in 64 bits
// against the bytes there, and the picture header behind each record
// header must describe a picture that fits in the record. Reading stops at
// the first record that fails; only record and picture headers are read,
// never pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Gallery_File {
 public:
  static constexpr uint32_t Header_Size = 12;
  // The end marker and the bytes of no meaning after it.
  static constexpr uint32_t End_Size = 12;
  // A record header and a picture header with no pixels.
  static constexpr uint32_t Smallest_Record = 28;
  static constexpr uint32_t Grid_Side = 12;

  struct Record {
    uint64_t offset = 0;
    uint32_t length = 0;
    int32_t row = 0;
    int32_t column = 0;
  };

  struct Contents {
    // The records read whole, in file order.
    std::vector<Record> records;
    // Where the reading ended: the end marker, or the first bad record.
    uint64_t end_offset = 0;
    // Every byte up to a proper end marker was read (a file of fewer than 4
    // bytes counts as empty and whole).
    bool whole = true;
  };

  // Reads n bytes at an offset below the file's size into out; false when
  // they cannot be read.
  using Reader = std::function<bool(uint64_t offset, uint8_t* out, size_t n)>;

  // Reads the headers of a gallery file of size bytes through read, 28 bytes
  // at a time: the pixels are never read.
  static Contents Scan(const Reader& read, uint64_t size);
  // The same over the file's bytes in memory.
  static Contents Scan(const uint8_t* bytes, uint64_t size);
  // Whether a picture header describes a picture that fits in available
  // bytes: sides from 1 to the largest stored side, raw rows or a packed
  // size that fit. The packed bytes themselves are checked when decoded.
  static bool Picture_Header_Fits(const uint8_t* picture, uint64_t available);
  // The reader's checks of one record (its first 28 bytes are read): its
  // length covers both headers and leaves at least one byte of room behind
  // it, room being the bytes from the record's start to the file's end, and
  // its picture header fits in it. The writer makes the same checks.
  static bool Headers_Fit(const uint8_t* record, uint64_t room);
  // A digest of n bytes, continued from an earlier digest: the same bytes
  // given in the same pieces give the same digest.
  static constexpr uint64_t Digest_Start = 0xcbf29ce484222325u;
  static uint64_t Digest(const uint8_t* bytes, size_t n, uint64_t digest = Digest_Start);

  // Reads n bytes at an offset of an open file into out, however many reads
  // it takes; false when the file does not hold them all.
  static bool Read_At(int descriptor, uint64_t offset, uint8_t* out, size_t n);

  static uint32_t Read_U32(const uint8_t* at);
  static void Write_U32(uint8_t* at, uint32_t value);
  static void Write_Header(uint8_t* at, uint32_t length, int32_t row, int32_t column);

  // Whether the file at path (a link followed) reads as a gallery: a
  // regular file whose records the reader takes, whole or up to damage
  // behind at least one of them. A save holds nothing else aside.
  static bool Reads_As_Gallery(const std::string& path);
  // The same, with at least one drawing the reader takes.
  static bool Holds_Drawings(const std::string& path);

  // Keeps a copy of a file that could not be read whole beside it, as
  // "<name>.damaged-YYYYMMDD-HHMMSS" ("-2", "-3"... when taken), so that it
  // survives whatever replaces it; a copy of the same bytes kept earlier
  // serves again. The copy's path; empty when none could be made.
  static std::string Keep_Copy_Aside(const std::string& path);
};

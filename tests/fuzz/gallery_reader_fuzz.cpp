// The gallery file's reader alone, from untrusted bytes: the records it
// finds, or where it stops. Every record must lie inside the file, after the
// one before, in the grid and with a picture header that fits it; reading
// through a reader function must find exactly what reading the bytes does.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "users/gallery_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy, so that a read past the end is caught.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
  if (size) std::memcpy(bytes.get(), data, size);
  const Gallery_File::Contents contents = Gallery_File::Scan(bytes.get(), size);
  uint64_t previous_end = 0;
  for (const Gallery_File::Record& record : contents.records) {
    if (record.offset < previous_end || record.length < Gallery_File::Smallest_Record) __builtin_trap();
    if (record.offset + record.length >= size) __builtin_trap();
    if (record.row < 0 || record.row >= int32_t(Gallery_File::Grid_Side) || record.column < 0 ||
        record.column >= int32_t(Gallery_File::Grid_Side))
      __builtin_trap();
    if (Gallery_File::Read_U32(bytes.get() + record.offset) != record.length) __builtin_trap();
    if (!Gallery_File::Picture_Header_Fits(bytes.get() + record.offset + Gallery_File::Header_Size,
                                           record.length - Gallery_File::Header_Size))
      __builtin_trap();
    previous_end = record.offset + record.length;
  }
  if (contents.end_offset > size || contents.end_offset < previous_end) __builtin_trap();
  // Whole means a proper end marker where the reading ended.
  if (contents.whole && size >= 4 &&
      (size - contents.end_offset < 4 || Gallery_File::Read_U32(bytes.get() + contents.end_offset) != 0))
    __builtin_trap();

  const Gallery_File::Contents read = Gallery_File::Scan(
      [&](uint64_t offset, uint8_t* out, size_t n) {
        if (offset > size || size - offset < n) __builtin_trap();  // the reader asks only for bytes there
        std::memcpy(out, bytes.get() + offset, n);
        return true;
      },
      size);
  if (read.whole != contents.whole || read.end_offset != contents.end_offset ||
      read.records.size() != contents.records.size())
    __builtin_trap();
  for (size_t i = 0; i < read.records.size(); ++i)
    if (read.records[i].offset != contents.records[i].offset || read.records[i].length != contents.records[i].length)
      __builtin_trap();
  return 0;
}

// The gallery file reader over crafted bytes: it stops at the first bad
// record without reading outside the bytes, and says whether it read the
// file whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "users/gallery_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

// A record of a width x height raw picture (p 0), or with packed size p and
// body bytes; length overrides the computed length when not 0.
Bytes Record(uint32_t row, uint32_t column, uint32_t width = 4, uint32_t height = 2, uint32_t p = 0,
             uint32_t body = 0, uint32_t length = 0) {
  if (p == 0 && body == 0) body = ((width + 3) & ~3u) * height;
  Bytes bytes;
  Put(bytes, length ? length : 12 + 16 + body);
  Put(bytes, row);
  Put(bytes, column);
  Put(bytes, width);
  Put(bytes, height);
  Put(bytes, 0xFFFFFF);
  Put(bytes, p);
  bytes.resize(bytes.size() + body, 7);
  return bytes;
}

Bytes End() { return Bytes(12, 0); }

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct Case {
  const char* name;
  Bytes bytes;
  size_t records;
  bool whole;
  uint64_t end_offset;
};

TEST(Gallery_File_Scan, ChecksEveryLengthAndHeader) {
  const Bytes one = Record(0, 0);  // 36 bytes
  Bytes cut_after_one = Join({one, Bytes{0, 0}});
  Bytes no_marker = one;
  const std::vector<Case> cases = {
      {"empty file", {}, 0, true, 0},
      {"three bytes count as empty", {1, 2, 3}, 0, true, 0},
      {"end marker only", End(), 0, true, 0},
      {"one record", Join({one, End()}), 1, true, 36},
      {"end marker without its 8 bytes", Join({one, Bytes(4, 0)}), 1, true, 36},
      {"record ending at the end of the file", no_marker, 0, false, 0},
      {"fewer than 4 bytes after a record", cut_after_one, 1, false, 36},
      {"length 1", Join({Record(0, 0, 4, 2, 0, 0, 1), End()}), 0, false, 0},
      {"length 27 leaves no picture header", Join({Record(0, 0, 4, 2, 0, 0, 27), End()}), 0, false, 0},
      {"length wraps in 32 bits", Join({one, Record(0, 1, 4, 2, 0, 0, 0xFFFFFFF0), End()}), 1, false, 36},
      {"length past the end", Join({one, Record(0, 1, 4, 2, 0, 0, 5000), End()}), 1, false, 36},
      {"row 12 skipped", Join({Record(12, 0), one, End()}), 1, false, 72},
      {"column -1 skipped", Join({Record(0, 0xFFFFFFFF), End()}), 0, false, 36},
      {"width 0", Join({Record(0, 0, 0, 2, 0, 8), End()}), 0, false, 0},
      {"width 100000", Join({Record(0, 0, 100000, 1, 8, 8), End()}), 0, false, 0},
      {"height beyond the largest side", Join({Record(0, 0, 1, 0x80000000u, 8, 8), End()}), 0, false, 0},
      {"raw rows beyond the record", Join({Record(0, 0, 64, 64, 0, 100), End()}), 0, false, 0},
      {"packed size beyond the record", Join({Record(0, 0, 64, 64, 200, 100), End()}), 0, false, 0},
      {"packed record that fits", Join({Record(3, 4, 64, 64, 100, 100), End()}), 1, true, 128},
      {"second record bad, first kept", Join({one, Record(1, 1, 0, 0, 4, 4), End()}), 1, false, 36},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The reader gets exactly the bytes there, so a read past them is caught
    // by the address sanitizer.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[c.bytes.size() + 1]);
    std::copy(c.bytes.begin(), c.bytes.end(), exact.get());
    const Gallery_File::Contents contents = Gallery_File::Scan(exact.get(), c.bytes.size());
    EXPECT_EQ(contents.records.size(), c.records);
    EXPECT_EQ(contents.whole, c.whole);
    EXPECT_EQ(contents.end_offset, c.end_offset);
  }
}

TEST(Gallery_File_Scan, ReportsRowsColumnsAndOffsetsInFileOrder) {
  const Bytes bytes = Join({Record(11, 0), Record(2, 11, 8, 8), Record(11, 0), End()});
  const Gallery_File::Contents contents = Gallery_File::Scan(bytes.data(), bytes.size());
  ASSERT_EQ(contents.records.size(), 3u);
  EXPECT_EQ(contents.records[0].row, 11);
  EXPECT_EQ(contents.records[1].column, 11);
  EXPECT_EQ(contents.records[1].offset, 36u);
  EXPECT_EQ(contents.records[2].offset, 36u + 28 + 64);
  EXPECT_TRUE(contents.whole);
}

}  // namespace

#include "platform/system/address_range.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

namespace {

// Whether the byte may be read: the kernel reports an inaccessible page to
// write() as EFAULT instead of a fault.
bool Readable(const uint8_t* p) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  bool readable = write(fds[1], p, 1) == 1;
  close(fds[0]);
  close(fds[1]);
  return readable;
}

TEST(Address_Range, CommitAndDecommitWholePagesAtEitherEndButNotBeyond) {
  const size_t page = TAddress_Range::Page_Size();
  TAddress_Range range;
  ASSERT_TRUE(range.Reserve(8 * page - 100));
  EXPECT_EQ(range.Size(), 8 * page);
  uint8_t* base = range.Base();
  EXPECT_FALSE(Readable(base));

  // One byte past a page boundary commits both pages it touches.
  ASSERT_TRUE(range.Commit(page - 1, 2));
  std::memset(base + page - 1, 0xAB, 2);
  EXPECT_FALSE(Readable(base + 2 * page));

  // Grow at the top, then give back the bottom page.
  ASSERT_TRUE(range.Commit(2 * page, 3 * page));
  base[5 * page - 1] = 1;
  ASSERT_TRUE(range.Decommit(0, page));
  EXPECT_FALSE(Readable(base));
  EXPECT_EQ(base[page], 0xAB);
  // Give back the top two pages and commit the bottom one again: it reads zero.
  ASSERT_TRUE(range.Decommit(3 * page, 2 * page));
  EXPECT_TRUE(!Readable(base + 4 * page) && Readable(base + 3 * page - 1));
  ASSERT_TRUE(range.Commit(page - 1, 1));
  EXPECT_TRUE(base[page - 1] == 0 && base[page] == 0xAB);
  range.Release();
  EXPECT_FALSE(range.Commit(0, 1));  // nothing reserved
  ASSERT_TRUE(range.Reserve(4 * page));
  EXPECT_FALSE(range.Commit(3 * page, page + 1) || range.Commit(SIZE_MAX - 10, 20) || range.Decommit(5 * page, 1));
  EXPECT_TRUE(range.Commit(0, 4 * page));
  EXPECT_TRUE(range.Commit(4 * page, 0));  // an empty span at the end is fine
  range.Release();
  EXPECT_EQ(range.Base(), nullptr);
  EXPECT_FALSE(range.Reserve(0) || range.Reserve(SIZE_MAX));
}

}  // namespace

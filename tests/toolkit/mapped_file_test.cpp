#include "toolkit/mapped_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/system/temp_home.h"

namespace {

// Opening, second openers, growth and empty files are the platform handle's
// own tests; these are of what the wrapper adds.
using Mapped_File_Test = Temp_Home;

}  // namespace

TEST_F(Mapped_File_Test, MissingFileWithOpenExistingLeavesNothingOpen) {
  Mapped_File file(Work("missing"), GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  EXPECT_FALSE(file.Is_Open());
  file.Map(0, 100);
  EXPECT_EQ(file.View(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(Work("missing")));
}

TEST_F(Mapped_File_Test, ReadOnlyAndWritableViews) {
  Write(Work("a.bin"), "hello mapped world");
  Mapped_File reader;
  ASSERT_TRUE(reader.Open(Work("a.bin"), GENERIC_READ, OPEN_EXISTING));
  reader.Map(0, 0);
  ASSERT_NE(reader.View(), nullptr);
  EXPECT_FALSE(reader.Writable_View());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reader.View()), reader.View_Size()), "hello mapped world");
  // A read-only file cannot grow to a larger view.
  reader.Map(0, 4096);
  EXPECT_EQ(reader.View(), nullptr);
  // A view from an offset shows the bytes from there.
  reader.Map(6, 6);
  ASSERT_NE(reader.View(), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reader.View()), 6), "mapped");
  // Read counts from the view's offset too, and never reads past its end.
  char word[6] = {};
  EXPECT_TRUE(reader.Read(0, word, 6));
  EXPECT_EQ(std::string(word, 6), "mapped");
  EXPECT_FALSE(reader.Read(1, word, 6));
  reader.Close();
  EXPECT_FALSE(reader.Read(0, word, 1));

  Mapped_File writer(Work("a.bin"), GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  writer.Map(0, 64);  // grows the file
  ASSERT_NE(writer.View(), nullptr);
  EXPECT_TRUE(writer.Writable_View());
  EXPECT_EQ(writer.File_Size(), 64u);
  std::memcpy(writer.View(), "HELLO", 5);
  EXPECT_TRUE(writer.Flush());
  writer.Close();
  EXPECT_EQ(Read(Work("a.bin")), "HELLO mapped world" + std::string(64 - 18, '\0'));
}

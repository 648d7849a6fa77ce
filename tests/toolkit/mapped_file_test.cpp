#include "toolkit/mapped_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "toolkit/resource_data.h"

namespace {

class Mapped_File_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quendar_mapped_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string dir_;
};

}  // namespace

TEST_F(Mapped_File_Test, MissingFileWithOpenExistingLeavesNothingOpen) {
  Mapped_File file(Path("missing"), GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  EXPECT_FALSE(file.Is_Open());
  file.Map(0, 100);
  EXPECT_EQ(file.View(), nullptr);
  EXPECT_EQ(access(Path("missing").c_str(), F_OK), -1);
}

TEST_F(Mapped_File_Test, ReadOnlyAndWritableViews) {
  std::ofstream(Path("a.bin"), std::ios::binary) << "hello mapped world";
  Mapped_File reader;
  ASSERT_TRUE(reader.Open(Path("a.bin"), GENERIC_READ, OPEN_EXISTING));
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
  reader.Close();

  Mapped_File writer(Path("a.bin"), GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_TRUE(writer.Is_Open());
  writer.Map(0, 64);  // grows the file
  ASSERT_NE(writer.View(), nullptr);
  EXPECT_TRUE(writer.Writable_View());
  EXPECT_EQ(writer.File_Size(), 64u);
  std::memcpy(writer.View(), "HELLO", 5);
  EXPECT_TRUE(writer.Flush());
  writer.Close();
  std::ifstream in(Path("a.bin"), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(text.substr(0, 18), "HELLO mapped world");
  EXPECT_EQ(text.size(), 64u);
}

TEST_F(Mapped_File_Test, EmptyFileMapsToNothingAndASecondOpenerIsRefused) {
  Mapped_File file(Path("new.bin"), GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  ASSERT_TRUE(file.Is_Open());
  file.Map(0, 0);
  EXPECT_EQ(file.View(), nullptr);
  Mapped_File second(Path("new.bin"), GENERIC_READ, OPEN_EXISTING);
  EXPECT_FALSE(second.Is_Open());
}

// The built-in clips are found through the sound library's test.
TEST(Resource_Data, MissingOnesAreEmpty) {
  Resource_Data missing(4499);
  EXPECT_EQ(missing.Data(), nullptr);
  EXPECT_EQ(missing.Size(), 0u);
}

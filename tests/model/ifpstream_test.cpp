#include "model/ifpstream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/affine_transform_2d.h"
#include "platform/system/atomic_file.h"
#include "model/ofpstream.h"
#include "model/transform_set_2d.h"
#include "tests/model/stream_bytes.h"

namespace {

class File_Streams : public testing::Test {
 protected:
  ~File_Streams() override { std::filesystem::remove(path); }

  std::vector<uint8_t> File_Bytes() const {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

  const std::string path =
      (std::filesystem::temp_directory_path() / ("quendar_stream_" + std::to_string(::getpid()) + ".bin")).string();
};

}  // namespace

TEST_F(File_Streams, WriteThenReadASet) {
  Transform_Set_2D set;
  set.Add_Map(std::make_unique<Affine_Transform_2D>());
  {
    ofpstream out(path);
    ASSERT_TRUE(out.Is_Open());
    out.Write_Word(1);
    out << set;
    out.Close();
    EXPECT_TRUE(out.Good());
  }
  Bytes expected = Current("01000000 5B").Name("Transform_Set_2D").Word(1).Word(1).Word(0);
  EXPECT_EQ(File_Bytes(), Identity_Map(expected).Hex("5D").data);

  ifpstream in(path);
  ASSERT_TRUE(in.Good());
  EXPECT_EQ((std::pair{in.Read_Version(), in.Read_Word()}), std::pair(0x101u, 1u));
  Transform_Set_2D read;
  in >> read;
  EXPECT_TRUE(in.Good() && read.Count() == 1);
  in.Close();
  EXPECT_TRUE(in.Good() && !in.Is_Open());
}

TEST_F(File_Streams, OpeningRules) {
  ifpstream missing("/nonexistent/quendar/none.bin");
  EXPECT_TRUE(missing.Bad() && !missing.Is_Open() && missing.Read_Word() == 0);
  EXPECT_EQ(missing.Error_Text(), "The file cannot be opened");
  // A FIFO is refused, not waited on for ever.
  std::filesystem::remove(path);
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  ifpstream fifo(path);
  EXPECT_TRUE(fifo.Bad());
  EXPECT_EQ(fifo.Error_Text(), "Not a plain file");
  std::filesystem::remove(path);
  EXPECT_TRUE(ofpstream("/nonexistent/quendar/none.bin").Bad());

  ofpstream out(path);
  out.Open(path);  // already open
  EXPECT_TRUE(out.Fail());
  // Writes were dropped after the failure, so closing still reports it.
  out.Close();
  EXPECT_TRUE(out.Fail() && !out.Is_Open());
  out.Close();  // not open
  EXPECT_TRUE(out.Fail());
  // Reopening clears the state and starts a new stream.
  out.Open(path);
  EXPECT_TRUE(out.Good());
  out.Close();
  EXPECT_EQ(File_Bytes(), Header());

  ifpstream in(path);
  in.Open(path);
  EXPECT_TRUE(in.Fail());
  in.Close();
  EXPECT_TRUE(in.Good());
  // The permanent failure survives clearing.
  in.Set_State(pstream::hardfail);
  in.Clear();
  EXPECT_TRUE(in.Fail());
}

// A stream that failed, or a save that fails, leaves the old file whole.
TEST_F(File_Streams, AFailedSaveKeepsTheOldFile) {
  {
    ofpstream first(path);
    first.Close();
  }
  ofpstream out(path);
  out.Write_Word(7);
  out.Set_State(pstream::failbit);
  out.Close();
  EXPECT_TRUE(out.Fail());
  EXPECT_EQ(File_Bytes(), Header());
  out.Open(path);
  out.Write_Word(7);
  Fail_Atomic_Write_After(3);
  out.Close();
  Fail_Atomic_Write_After(-1);
  EXPECT_TRUE(out.Fail() && out.Error_Text() == "The file cannot be saved");
  EXPECT_EQ(File_Bytes(), Header());
}

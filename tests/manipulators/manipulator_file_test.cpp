// The manipulator record's stored form and the "man" file reader: golden
// bytes, round trips, and the refusal of every kind of damage.
#include "manipulators/manipulator_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "model/affine_transform_2d.h"
#include "model/ipstream.h"
#include "model/opstream.h"
#include "tests/model/stream_bytes.h"

namespace {

void Add(Shape_Transform& m, float a, float b, float c, float d, float e, float f, int32_t step = 0) {
  auto map = std::make_unique<Affine_Transform_2D>(a, b, e, c, d, f);
  map->Color_Step = step;
  m.Add_Map(std::move(map));
}

std::vector<uint8_t> Write(const std::vector<const Shape_Transform*>& list) {
  std::vector<uint8_t> bytes;
  opstream os(bytes);
  Write_Manipulator_Records(os, list);
  return bytes;
}

// Bytes of a file of one record, built field by field; each piece can be
// spoiled by a test.
struct Record_Bytes {
  uint32_t count = 1;
  std::string class_name = "Shape_Transform";
  uint32_t version = 1, base_version = 1, images = 1, kind = 0;
  std::string map_class = "Affine_Transform_2D";
  float a = 0.5f;
  uint32_t step = 3;
  uint32_t name_length = 2;
  std::string name = "ab";

  std::vector<uint8_t> Bytes_Of() const {
    Bytes b;
    b.Hex("3A 01 01 00 00").Word(count).Hex("5B").Name(class_name).Word(version).Word(base_version).Word(images);
    for (uint32_t i = 0; i < images && i < 20; ++i) {
      uint32_t bits;
      std::memcpy(&bits, &a, 4);
      b.Word(kind).Hex("5B").Name(map_class).Word(1).Word(bits).Word(0).Word(0).Hex("0000803F").Word(0).Word(0);
      b.Word(step).Hex("5D");
    }
    b.Word(name_length).Text(name).Hex("5D");
    return b.data;
  }
};

}  // namespace

TEST(Manipulator_File, Golden_Bytes_And_Round_Trip) {
  Shape_Transform m;
  Add(m, 0.5f, 0, 0, 1, 0, 0);
  Add(m, 0.5f, 0, 0, 1, 0, 0, 3);
  m.Set_Name("ab");
  const std::vector<uint8_t> bytes = Write({&m});
  Bytes expected;
  expected.Hex("3A 01 01 00 00").Word(1).Hex("5B").Name("Shape_Transform").Word(1).Word(1).Word(2);
  for (uint32_t step : {0u, 3u}) {
    expected.Word(0).Hex("5B").Name("Affine_Transform_2D").Word(1)
        .Hex("0000003F 00000000 00000000 0000803F 00000000 00000000").Word(step).Hex("5D");
  }
  expected.Word(2).Text("ab").Hex("5D");
  EXPECT_EQ(bytes, expected.data);

  auto read = Read_Manipulator_File(bytes);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 1u);
  EXPECT_STREQ((*read)[0]->Name(), "ab");
  EXPECT_EQ(Write({(*read)[0].get()}), bytes);
  // A copy has maps of its own.
  Shape_Transform copy(m);
  EXPECT_NE(copy.Map(0), m.Map(0));
  EXPECT_STREQ(copy.Name(), "ab");
  EXPECT_EQ(copy.Diagram(), nullptr);
}

TEST(Manipulator_File, A_File_Cut_At_Any_Byte_Is_Refused) {
  const std::vector<uint8_t> whole = Record_Bytes().Bytes_Of();
  ASSERT_TRUE(Read_Manipulator_File(whole));
  for (size_t n = 0; n < whole.size(); ++n) {
    EXPECT_FALSE(Read_Manipulator_File(std::span(whole.data(), n))) << n;
  }
}

// Cut anywhere, a file of three records keeps exactly the records that end
// before the cut; only the whole file reads whole.
TEST(Manipulator_File, A_Cut_File_Keeps_The_Records_Before_The_Damage) {
  Shape_Transform m[3];
  std::vector<size_t> ends;
  std::vector<const Shape_Transform*> list;
  for (int i = 0; i < 3; ++i) {
    Add(m[i], 0.5f, 0, 0, 1, 0.1f * float(i), 0);
    m[i].Set_Name(std::string(1, char('a' + i)).c_str());
    list.push_back(&m[i]);
    // Where record i ends in the file: the header, the count, the records.
    ends.push_back(Write(list).size());
  }
  const std::vector<uint8_t> whole = Write(list);
  for (size_t n = 0; n <= whole.size(); ++n) {
    ipstream is(std::span(whole.data(), n));
    is.Read_Version();
    const Manipulator_Records read = Read_Manipulator_Records_Kept(is);
    size_t expected = 0;
    while (expected < 3 && ends[expected] <= n) ++expected;
    ASSERT_EQ(read.records.size(), expected) << n;
    ASSERT_EQ(read.whole, n == whole.size()) << n;
    for (size_t i = 0; i < read.records.size(); ++i) ASSERT_STREQ(read.records[i]->Name(), m[i].Name()) << n;
  }
  // A count beyond what the bytes could hold keeps what is there.
  std::vector<uint8_t> huge = whole;
  huge[5] = 0xFF, huge[6] = 0xFF, huge[7] = 0xFF, huge[8] = 0x0F;
  ipstream is(huge);
  is.Read_Version();
  const Manipulator_Records read = Read_Manipulator_Records_Kept(is);
  EXPECT_EQ(read.records.size(), 3u);
  EXPECT_FALSE(read.whole);
}

TEST(Manipulator_File, Damaged_Fields_Are_Refused) {
  const struct {
    const char* what;
    void (*spoil)(Record_Bytes&);
  } cases[] = {
      {"count above the records", [](Record_Bytes& r) { r.count = 2; }},
      {"negative count", [](Record_Bytes& r) { r.count = 0xFFFFFFFF; }},
      {"huge count", [](Record_Bytes& r) { r.count = 0x7FFFFFFF; }},
      {"13 images", [](Record_Bytes& r) { r.images = 13; }},
      {"-1 images", [](Record_Bytes& r) { r.images = 0xFFFFFFFF; }},
      {"map kind 1", [](Record_Bytes& r) { r.kind = 1; }},
      {"record class", [](Record_Bytes& r) { r.class_name = "Shape_Transfore"; }},
      {"other registered class", [](Record_Bytes& r) { r.class_name = "Transform_Set_2D"; }},
      {"map class", [](Record_Bytes& r) { r.map_class = "Transform_Set_2D"; }},
      {"class version", [](Record_Bytes& r) { r.version = 2; }},
      {"base version", [](Record_Bytes& r) { r.base_version = 0; }},
      {"null name", [](Record_Bytes& r) { r.name_length = 0xFFFFFFFF; r.name = ""; }},
      {"name past the end", [](Record_Bytes& r) { r.name_length = 1000; }},
      {"negative colour step", [](Record_Bytes& r) { r.step = 0xFFFFFFFE; }},
      {"NaN coefficient", [](Record_Bytes& r) { r.a = std::numeric_limits<float>::quiet_NaN(); }},
      {"infinite coefficient", [](Record_Bytes& r) { r.a = std::numeric_limits<float>::infinity(); }},
      {"minus infinite coefficient", [](Record_Bytes& r) { r.a = -std::numeric_limits<float>::infinity(); }},
  };
  for (const auto& c : cases) {
    Record_Bytes r;
    c.spoil(r);
    EXPECT_FALSE(Read_Manipulator_File(r.Bytes_Of())) << c.what;
  }
}

TEST(Manipulator_File, Names_Are_Kept_Empty_Or_Cut_To_79_Bytes_On_A_Character) {
  const struct {
    std::string stored, read;
  } cases[] = {
      {"", ""},
      {std::string(78, 'x') + "\xC3\xA9" + std::string(120, 'y'), std::string(78, 'x')},  // 'é' across byte 79
  };
  for (const auto& c : cases) {
    Record_Bytes r;
    r.name = c.stored;
    r.name_length = uint32_t(c.stored.size());
    std::vector<uint8_t> bytes = r.Bytes_Of();
    bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE});  // bytes after the records are ignored
    auto read = Read_Manipulator_File(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::string((*read)[0]->Name()), c.read);
  }
  Shape_Transform m;
  m.Set_Name(std::string(200, 'z'));
  EXPECT_EQ(std::strlen(m.Name()), Shape_Transform::Longest_Name);
}

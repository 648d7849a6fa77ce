#include "model/opstream.h"

#include <gtest/gtest.h>

#include "model/affine_transform_2d.h"
#include "model/ipstream.h"
#include "model/transform_set_2d.h"
#include "model/tstreamableclass.h"
#include "tests/model/stream_bytes.h"

namespace {

// A stream writing to sink; Written() is what follows the stream's header.
class opstream_Test : public testing::Test {
 protected:
  std::vector<uint8_t> Written() const { return std::vector<uint8_t>(sink.begin() + 5, sink.end()); }
  std::vector<uint8_t> sink;
  opstream os{sink};
};

// A class no one registered.
class Unlisted : public TStreamableBase {
 public:
  const char* Streamable_Name() const override { return "Unlisted"; }
};

}  // namespace

TEST_F(opstream_Test, HeaderWordsAndStrings) {
  EXPECT_EQ(sink, Header());
  os.Write_Byte(0x7F);
  os.Write_Word(0x01020304);
  os.Write_Word(static_cast<uint32_t>(-3));
  os.Write_String(static_cast<const char*>(nullptr));
  os.Write_String("");
  os.Write_String(std::string("ab"));
  const float half = 0.5f;
  os.Write_Bytes(&half, 4);
  EXPECT_TRUE(os.Good());
  EXPECT_EQ(Written(), Bytes().Hex("7F 04030201 FDFFFFFF FFFFFFFF 00000000 02000000").Text("ab").Hex("0000003F").data);
}

TEST_F(opstream_Test, SetOfOneIdentityMapAndASignedColorStep) {
  Transform_Set_2D set;
  set.Add_Map(std::make_unique<Affine_Transform_2D>());
  Affine_Transform_2D map;
  map.Color_Step = -3;
  os << set;
  os << map;
  Bytes expected;
  expected.Hex("5B 10000000").Text("Transform_Set_2D").Hex("01000000 01000000 00000000");
  Identity_Map(expected).Hex("5D");
  EXPECT_EQ(Written(), Identity_Map(expected, 0xFFFFFFFD).data);
}

TEST_F(opstream_Test, PointersNumberObjectsInPreOrder) {
  Transform_Set_2D set;
  set.Add_Map(std::make_unique<Affine_Transform_2D>());
  Affine_Transform_2D other;
  // The set is object 1, its map object 2, the other map object 3.
  os << &set << &set << static_cast<const Affine_Transform_2D*>(nullptr) << &other << &other;
  Bytes expected;
  expected.Hex("02 5B 10000000").Text("Transform_Set_2D").Hex("01000000 01000000 00000000");
  Identity_Map(expected).Hex("5D");
  expected.Hex("01 01000000 00 02");
  Identity_Map(expected).Hex("01 03000000");
  EXPECT_EQ(Written(), expected.data);
}

TEST_F(opstream_Test, UnregisteredClassFailsTheStream) {
  Unlisted object;
  os.Write_Object(object);
  EXPECT_TRUE(os.Fail());
  EXPECT_EQ(os.Error_Text(), "Attempt to stream unregistered type 'Unlisted'");
  // Nothing is written for it, nor once the stream has failed.
  os.Write_Word(1);
  os << Affine_Transform_2D();
  EXPECT_EQ(sink, Header());
}

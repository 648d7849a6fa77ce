// A program that only reads streams: nothing here names a map class, so the
// classes must be registered by the stream itself.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/ipstream.h"
#include "tests/model/stream_bytes.h"

TEST(Stream_Registration, AFreshProgramReadsEveryModelClass) {
  Bytes b = Current("02 5B").Name("Transform_2D").Word(1).Hex("5D 02");
  Identity_Map(b);
  b.Hex("02 5B").Name("Transform_Set_2D").Word(1).Word(1).Word(0);
  Identity_Map(b).Hex("5D");
  ipstream is(b.data);
  is.Read_Version();
  for (std::string name : {"Transform_2D", "Affine_Transform_2D", "Transform_Set_2D"}) {
    std::unique_ptr<TStreamableBase> object(is.Read_Object_Pointer());
    ASSERT_NE(object, nullptr) << name << ": " << is.Error_Text();
    EXPECT_EQ(object->Streamable_Name(), name);
  }
  EXPECT_TRUE(is.Good());
}

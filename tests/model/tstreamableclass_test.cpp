#include "model/tstreamableclass.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "model/affine_transform_2d.h"
#include "model/transform_set_2d.h"

namespace {

std::unique_ptr<TStreamer> No_Streamer(TStreamableBase*) { return nullptr; }
std::unique_ptr<TStreamer> Other_Streamer(TStreamableBase*) { return nullptr; }

}  // namespace

TEST(TStreamableClass, ModelClassesAreRegisteredOnFirstLookupOthersComeAndGoWithTheirRecords) {
  for (const char* name : {"Transform_2D", "Affine_Transform_2D", "Transform_Set_2D"}) {
    const TStreamableClass* record = TStreamableClass::Lookup(name, 1);
    ASSERT_NE(record, nullptr) << name;
    EXPECT_EQ(std::tuple(std::string(record->Name()), record->Delta(), record->Module()), std::tuple(name, -1, 1));
  }
  // Case matters, and the whole name.
  EXPECT_TRUE(!TStreamableClass::Lookup("affine_transform_2d", 1) && !TStreamableClass::Lookup("Affine_Transform_2", 1));

  // The builders make new objects of their class, or wrap a given one.
  std::unique_ptr<TStreamableBase> made(TStreamableClass::Lookup("Affine_Transform_2D", 1)->Build()(nullptr)->Get_Object());
  EXPECT_STREQ(made->Streamable_Name(), "Affine_Transform_2D");
  Transform_Set_2D set;
  EXPECT_EQ(TStreamableClass::Lookup("Affine_Transform_2D", 1)->Build()(&set), nullptr);
  {
    TStreamableClass record("Short_Lived", &No_Streamer, 0, 3);
    EXPECT_EQ(TStreamableClass::Lookup("Short_Lived", 3), &record);
    EXPECT_EQ(TStreamableClass::Lookup("Short_Lived", 0), &record);  // any module
    EXPECT_EQ(TStreamableClass::Lookup("Short_Lived", 1), nullptr);
    // A second record of the same name and module leaves the first in charge.
    TStreamableClass twin("Short_Lived", &Other_Streamer, 0, 3);
    EXPECT_EQ(TStreamableClass::Lookup("Short_Lived", 3), &record);
  }
  EXPECT_EQ(TStreamableClass::Lookup("Short_Lived", 0), nullptr);
  // Module 0 records are not entered.
  TStreamableClass unlisted("Module_Zero", &No_Streamer, -1, 0);
  EXPECT_EQ(TStreamableClass::Lookup("Module_Zero", 0), nullptr);
}

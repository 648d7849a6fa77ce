// The program's own cursors and icons read back as the window system reads
// them.
#include <gtest/gtest.h>

#include "platform/system/resource.h"
#include "platform/window/cursor.h"
#include "platform/window/icon.h"

namespace {

TEST(Program_Resources_Test, Cursors_Are_32_Square_With_The_Hot_Spot_On_The_Drawing) {
  const struct {
    uint32_t id;
    TPoint hot_spot;
  } cases[] = {{4201, {4, 4}}, {4202, {8, 8}}, {4203, {7, 10}}, {4204, {8, 8}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const TResource bytes = Find_Resource(RT_CURSOR, c.id);
    ASSERT_TRUE(bytes);
    const auto cursor = TCursor::From_Resource(bytes.data, bytes.size);
    ASSERT_NE(cursor, nullptr);
    const TCursor_Image& image = cursor->Image();
    EXPECT_EQ(TSize(image.width, image.height), TSize(32, 32));
    EXPECT_EQ(image.hotspot, c.hot_spot);
    EXPECT_FALSE(image.And_Bit(c.hot_spot.x, c.hot_spot.y));  // not see-through
    EXPECT_TRUE(image.And_Bit(31, 31));
  }
}

TEST(Program_Resources_Test, Icons_Are_Round_And_Opaque_Inside) {
  for (const auto& [id, side] : {std::pair{4001u, 32}, std::pair{4002u, 16}}) {
    SCOPED_TRACE(id);
    const TResource bytes = Find_Resource(RT_ICON, id);
    ASSERT_TRUE(bytes);
    const auto icon = TIcon::From_Resource(bytes.data, bytes.size);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->Size(), TSize(side, side));
    EXPECT_EQ(icon->Argb().front() >> 24, 0u);
    EXPECT_EQ(icon->Argb()[size_t(side / 2 * side + side / 2)] >> 24, 0xFFu);
  }
}

}  // namespace

#include "model/bit_masks.h"

#include <gtest/gtest.h>

TEST(Bit_Masks, Masks_And_Complements) {
  EXPECT_EQ(Bit_Clear_Mask_8[7], 0x7F);
  EXPECT_EQ(Bit_Mask_8[0], 0x01);
  EXPECT_EQ(Bit_Mask_32[31], 0x80000000u);
  EXPECT_EQ(Bit_Clear_Mask_16[0], 0xFFFE);
  EXPECT_EQ(Bit_Mask_16[15], 0x8000);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(Bit_Mask_32[i] ^ Bit_Clear_Mask_32[i], 0xFFFFFFFFu);
}

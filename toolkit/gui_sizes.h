// The layout sizes: 39 pixel sizes from which every window lays itself out,
// chosen for the screen at start-up and never changed afterwards.
#pragma once

#include <array>
#include <cstdint>

// Numbers 0 to 38 of the layout sizes.
using GUI_Size_Index = int32_t;

// Size 10 is the side of the square drawing area.
inline constexpr GUI_Size_Index Drawing_Side_Size = 10;

class GUI_Sizes {
 public:
  static constexpr int Size_Count = 39;

  // Lays out for a screen of the given pixel size and makes this object the
  // one that The_GUI_Sizes points at.
  GUI_Sizes(int32_t screen_width, int32_t screen_height);
  ~GUI_Sizes();
  GUI_Sizes(const GUI_Sizes&) = delete;
  GUI_Sizes& operator=(const GUI_Sizes&) = delete;

  int32_t operator[](GUI_Size_Index index) const { return Sizes[index]; }

  // The width the layout rule sees: a wide screen is treated as the 4:3
  // screen of its height, so the layout always fits.
  static int32_t Layout_Width(int32_t screen_width, int32_t screen_height);

 private:
  std::array<int32_t, Size_Count> Sizes{};
};

extern GUI_Sizes* The_GUI_Sizes;

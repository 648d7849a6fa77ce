// The layout sizes: 39 pixel sizes from which every window lays itself out,
// chosen for the screen at start-up and never changed afterwards.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdi/geometry.h"

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

  // Sizes 0 and 1 as a screen of that size gets them: the title window
  // asks before the sizes exist.
  static TSize Layout_Size(int32_t screen_width, int32_t screen_height);
  // Where the layout's top left corner goes so that a layout smaller than
  // the screen stands in its middle.
  static TPoint Layout_Origin(int32_t screen_width, int32_t screen_height);
  // The same for the screen these sizes were chosen for.
  TPoint Origin_On_Screen() const { return Origin; }

 private:
  std::array<int32_t, Size_Count> Sizes{};
  TPoint Origin;
};

extern GUI_Sizes* The_GUI_Sizes;

// What each user level allows: five entries, indexed by the current user's
// level index (0 to 4 for levels 1 to 5). A level outside that range counts
// as the nearest one, so a damaged user record never reads past a table.
#pragma once

#include <array>
#include <cstdint>

using Level_Table = std::array<uint8_t, 5>;

// The user's own manipulator file and the colour cycles' popup menu.
inline constexpr Level_Table Custom_Files_Level_Table = {0, 0, 0, 1, 1};
inline constexpr Level_Table Manipulator_Tabs_Level_Table = {0, 0, 0, 1, 1};
// The shape palette: whether the last button is the overlay button; whether
// a button's hit area keeps the shape's outline (clear: its bounding box);
// whether the buttons tell the hover tip about the pointer.
inline constexpr Level_Table Overlay_Level_Table = {0, 0, 0, 1, 1};
inline constexpr Level_Table Shape_Box_Level_Table = {0, 0, 0, 0, 0};
inline constexpr Level_Table Shape_Tips_Level_Table = {1, 1, 1, 1, 1};
// Colour steps and the colour cycles window.
inline constexpr Level_Table Color_Step_Level_Table = {0, 0, 0, 0, 1};
// The match game ("Match This!").
inline constexpr Level_Table Safari_Enabled_Level_Table = {1, 1, 1, 1, 0};

inline uint8_t Level_Entry(const Level_Table& table, int32_t level) {
  return table[level < 0 ? 0 : level > 4 ? 4 : level];
}

#include "toolkit/gui_sizes.h"

#include <algorithm>

GUI_Sizes* The_GUI_Sizes = nullptr;

namespace {

constexpr int32_t Design_Width[3] = {640, 800, 1024};
constexpr int32_t Design_Height[3] = {480, 600, 768};

// For each size, its value in the columns designed for 640, 800 and 1024.
constexpr int32_t Design_Table[GUI_Sizes::Size_Count][3] = {
    {640, 800, 1024}, {480, 600, 768}, {640, 800, 1024}, {480, 600, 768}, {1, 1, 1},
    {4, 5, 6},        {40, 50, 64},    {112, 140, 180},  {54, 68, 86},    {32, 40, 50},
    {360, 456, 576},  {55, 68, 88},    {24, 28, 36},     {72, 90, 115},   {40, 50, 64},
    {34, 44, 56},     {2, 3, 4},       {40, 50, 64},     {34, 44, 56},    {64, 80, 102},
    {56, 70, 90},     {2, 3, 4},       {5, 5, 6},        {5, 5, 7},       {3, 4, 5},
    {2, 3, 4},        {3, 4, 5},       {2, 3, 4},        {2, 2, 4},       {2, 3, 4},
    {12, 16, 20},     {14, 16, 22},    {13, 16, 20},     {16, 20, 26},    {19, 23, 31},
    {20, 24, 33},     {16, 20, 26},    {7, 9, 10},       {9, 11, 13},
};

}  // namespace

int32_t GUI_Sizes::Layout_Width(int32_t screen_width, int32_t screen_height) {
  int64_t four_thirds = int64_t{screen_height} * 4 / 3;
  return static_cast<int32_t>(std::min<int64_t>(screen_width, four_thirds));
}

GUI_Sizes::GUI_Sizes(int32_t screen_width, int32_t screen_height) {
  The_GUI_Sizes = this;
  const int32_t w = Layout_Width(screen_width, screen_height);
  int column = 0;
  if (w <= 1024) {
    column = w >= 1024 ? 2 : w >= 800 ? 1 : 0;
    for (int i = 0; i < Size_Count; ++i) Sizes[i] = Design_Table[i][column];
  } else if (w > 2048) {
    const float factor = static_cast<float>(w) / 640.0f;
    for (int i = 0; i < Size_Count; ++i)
      Sizes[i] = static_cast<int32_t>(static_cast<float>(Design_Table[i][0]) * factor);
  } else if (w < 1280) {
    // Doubling the smallest column would overflow these screens: take the
    // largest column as it stands.
    column = 2;
    for (int i = 0; i < Size_Count; ++i) Sizes[i] = Design_Table[i][column];
  } else {
    column = w >= 2048 ? 2 : w >= 1600 ? 1 : 0;
    for (int i = 0; i < Size_Count; ++i) Sizes[i] = 2 * Design_Table[i][column];
  }
  Sizes[2] = Design_Width[column];
  Sizes[3] = Design_Height[column];
}

GUI_Sizes::~GUI_Sizes() {
  if (The_GUI_Sizes == this) The_GUI_Sizes = nullptr;
}

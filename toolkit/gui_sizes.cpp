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

// A design column taken as it stands, doubled, or (column 0 only) scaled.
struct Layout_Choice {
  int column = 0;
  int multiple = 1;
  float factor = 0.0f;  // non-zero: column 0 times this factor

  int32_t Value(int index) const {
    if (factor != 0.0f) return static_cast<int32_t>(static_cast<float>(Design_Table[index][0]) * factor);
    return multiple * Design_Table[index][column];
  }
  bool Fits(int32_t width, int32_t height) const { return Value(0) <= width && Value(1) <= height; }
};

// The choice made from the screen width alone, as the design columns were
// meant to be picked.
Layout_Choice Width_Choice(int32_t w) {
  if (w <= 1024) return {w >= 1024 ? 2 : w >= 800 ? 1 : 0, 1};
  if (w > 2048) return {0, 1, static_cast<float>(w) / 640.0f};
  return {w >= 2048 ? 2 : w >= 1600 ? 1 : 0, 2};
}

// The width rule overflows screens that are wide for their height (every
// 16:9 screen above 1024 pixels) and those between 1024 and 1280 pixels
// wide. There the largest layout that fits both ways is taken: a design
// column (doubled where that fits) or, where it is larger still, column 0
// scaled by the factor that the width and the height both allow.
Layout_Choice Choose(int32_t w, int32_t h) {
  const Layout_Choice by_width = Width_Choice(w);
  if (by_width.Fits(w, h)) return by_width;
  Layout_Choice best{0, 1};
  for (const Layout_Choice c : {Layout_Choice{2, 2}, Layout_Choice{1, 2}, Layout_Choice{0, 2}, Layout_Choice{2, 1},
                                Layout_Choice{1, 1}}) {
    if (c.Fits(w, h)) {
      best = c;
      break;
    }
  }
  const Layout_Choice scaled{0, 1, std::min(static_cast<float>(w) / 640.0f, static_cast<float>(h) / 480.0f)};
  return scaled.Value(0) > best.Value(0) ? scaled : best;
}

}  // namespace

TSize GUI_Sizes::Layout_Size(int32_t screen_width, int32_t screen_height) {
  const Layout_Choice choice = Choose(screen_width, screen_height);
  return TSize(choice.Value(0), choice.Value(1));
}

TPoint GUI_Sizes::Layout_Origin(int32_t screen_width, int32_t screen_height) {
  const TSize size = Layout_Size(screen_width, screen_height);
  return TPoint(std::max(0, (screen_width - size.cx) / 2), std::max(0, (screen_height - size.cy) / 2));
}

GUI_Sizes::GUI_Sizes(int32_t screen_width, int32_t screen_height) {
  The_GUI_Sizes = this;
  const Layout_Choice choice = Choose(screen_width, screen_height);
  for (int i = 0; i < Size_Count; ++i) Sizes[i] = choice.Value(i);
  Sizes[2] = Design_Width[choice.column];
  Sizes[3] = Design_Height[choice.column];
  Origin = Layout_Origin(screen_width, screen_height);
}

GUI_Sizes::~GUI_Sizes() {
  if (The_GUI_Sizes == this) The_GUI_Sizes = nullptr;
}

// The widget stage with what the colour tools add: the picture pool and the
// crayon pointer.
#pragma once

#include <memory>

#include "model/color_wheel_table.h"
#include "model/dib_allocator.h"
#include "workspace/color_mixer.h"
#include "workspace/color_wheel.h"
#include "tests/toolkit/widget_fixture.h"
#include "workspace/fill_pointer.h"

struct Colours_Stage : Widget_Stage {
  explicit Colours_Stage(int screen_width = 1024) : Widget_Stage(screen_width) {}
  // The widgets go before the pool their pictures come from.
  ~Colours_Stage() {
    pointer.reset();
    delete parent;
    parent = nullptr;
  }
  void Advance(uint32_t ms, uint32_t step = 11) { Widget_Stage::Advance(ms, step); }
  // The screen's pixels inside r, row by row, every step-th of each way.
  std::vector<uint32_t> Pixels(const TRect& r, int step = 1) {
    std::vector<uint32_t> out;
    for (int y = r.top; y < r.bottom; y += step)
      for (int x = r.left; x < r.right; x += step) out.push_back(Pixel(TPoint(x, y)));
    return out;
  }

  DIB_Allocator pool{2, 5, sizes[10]};
  std::unique_ptr<Fill_Pointer> pointer = std::make_unique<Fill_Pointer>();
};

inline TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// The colours stage with the colour wheel and its mixer at Origin.
class Wheel_Stage : public Colours_Stage {
 public:
  explicit Wheel_Stage(int width) : Colours_Stage(width) {
    wheel = new Color_Wheel(parent, Origin);
    EXPECT_TRUE(wheel->Create());
    Idle();
  }
  // Ticks until the wheel rests; the number of ticks it took.
  int Settle(int limit = 200) {
    int ticks = 0;
    for (; wheel->Animating() && ticks < limit; ++ticks) Advance(Color_Wheel::Tick_Ms, Color_Wheel::Tick_Ms);
    return ticks;
  }
  static TPoint Screen(TPoint client) { return client + Origin; }
  // A client point of the mixer that hits the region, found by scanning.
  TPoint Mixer_Point(int region) const {
    const TRect area = wheel->Mixer->Area;
    for (int y = area.bottom - 1; y >= area.top; --y)
      for (int x = area.left; x < area.right; ++x)
        if (wheel->Mixer->Hit_Test(TPoint(x, y)) == region) return TPoint(x, y);
    ADD_FAILURE() << "no point of region " << region;
    return TPoint(0, 0);
  }
  void Choose(int color) { Click(wheel->Color_Screen_Point(color)), Settle(); }
  void Click_Mixer(int region) {
    Click(Screen(region == Color_Mixer::Spot_Region ? Centre(wheel->Mixer->Spot) : Mixer_Point(region)));
  }
  // The colour the needle shows half way up.
  uint32_t Needle_Pixel() { return Pixel(Screen(TPoint(wheel->Cx, wheel->Tip_Y) + wheel->Needle_Seeds[2])); }

  static constexpr TPoint Origin{10, 10};
  Color_Wheel* wheel = nullptr;
};

// The three design screens.
inline const int Design_Widths[] = {640, 800, 1024};

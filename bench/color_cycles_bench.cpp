// The colour cycles' hot paths, each beside a baseline timed in the same run:
// - a full redraw of the panel (all ten diagrams drawn and the panel
//   painted) beside a memcpy of its pixels;
// - one recolouring step of a drawing of side 1440 through a six-colour
//   cycle beside a memcpy of the picture.
#include <benchmark/benchmark.h>

#include "bench/bench_stores.h"

#include <cstring>
#include <memory>
#include <vector>

#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "platform/backend/headless/headless_backend.h"
#include "platform/window/desktop.h"
#include "platform/window/window.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "workspace/color_cycle_window.h"

namespace {

const TRect Place(0, 0, 640, 96);

struct Panel_Stores : Bench_Stores {
  Panel_Stores() {
    panel = new Color_Cycle_Window(main, Place, nullptr);
    panel->Create();
    // Shown whatever the level.
    panel->EnableWindow(true);
    panel->ShowWindow(SW_SHOW);
    TDesktop::Current().Run_Until_Idle();
  }
  Color_Cycle_Window* panel = nullptr;
};

void BM_Color_Cycles_Full_Redraw(benchmark::State& state) {
  Panel_Stores stores;
  for (auto _ : state) {
    stores.panel->Cmd_Recall_All();  // every diagram drawn again, then a paint
    stores.panel->UpdateWindow();
  }
}
BENCHMARK(BM_Color_Cycles_Full_Redraw)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Memcpy_Panel_Pixels(benchmark::State& state) {
  const size_t bytes = size_t(Place.Width()) * size_t(Place.Height()) * 4;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
  }
}
BENCHMARK(BM_Baseline_Memcpy_Panel_Pixels)->Unit(benchmark::kMicrosecond);

constexpr int Side = 1440;

struct Picture_Stores {
  Picture_Stores() {
    for (int i = 0; i < 6; ++i) {
      PALETTEENTRY e;
      colors.Palette->GetPaletteEntry(colors.Palette->GetNearestPaletteIndex(TColor(40 * i, 233 - 30 * i, 90)), e);
      cycle.colors[size_t(i)] = TColor(e.peRed, e.peGreen, e.peBlue);
    }
    cycle.count = 6;
    picture = std::make_unique<Shape_Drawing>(Side, Side, colors.Palette.get(), TColor::White);
    // Six bands, one in each colour of the cycle, and white between.
    for (int i = 0; i < 6; ++i)
      picture->Paint_Shape(square, TRect(i * Side / 6, Side / 8, (i + 1) * Side / 6 - 8, Side - Side / 8),
                           cycle.colors[size_t(i)], TColor(No_Color));
  }
  GUI_Colors colors;
  DIB_Allocator pool{2, 5, Side};
  Square square;
  Color_Transform cycle;
  std::unique_ptr<Shape_Drawing> picture;
};

void BM_Recolour_Step_1440_Six_Colours(benchmark::State& state) {
  Picture_Stores stores;
  for (auto _ : state) {
    bool changed = false;
    Shape_Drawing next(*stores.picture, stores.cycle, 1, changed);
    benchmark::DoNotOptimize(changed);
  }
}
BENCHMARK(BM_Recolour_Step_1440_Six_Colours)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Memcpy_Picture_1440(benchmark::State& state) {
  const size_t bytes = size_t(Side) * Side;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
  }
}
BENCHMARK(BM_Baseline_Memcpy_Picture_1440)->Unit(benchmark::kMicrosecond);

}  // namespace

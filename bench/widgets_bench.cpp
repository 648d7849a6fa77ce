// The widgets' hot paths at the 1024 column, each beside a memcpy of the
// pixels it touches, timed in the same run:
// - a round window's full paint (frame band, four corners, client circle);
// - a sprite carried across the screen, one Move per mouse move.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/bench_stores.h"
#include "model/gui_colors.h"
#include "platform/backend/headless/headless_backend.h"
#include "platform/gdi/brush.h"
#include "platform/window/desktop.h"
#include "platform/window/window.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mobile_object.h"
#include "toolkit/round_border.h"
#include "toolkit/round_window.h"

namespace {

using Clock = std::chrono::steady_clock;

using Stores = Bench_Stores;

class Drawing_Panel : public Round_Window {
 public:
  using Round_Window::Round_Window;
  void Paint_Client(TDC& dc) override {
    dc.SelectObject(TBrush(TColor::White));
    dc.PatBlt(Frame_Rect, PATCOPY);
  }
};

// Copies a w x h block of 32-bit pixels between two buffers of the
// screen's width, row by row, as often as asked; returns seconds.
double Seconds_Of_Memcpy(std::vector<uint32_t>& to, const std::vector<uint32_t>& from, int w, int h, int times) {
  auto start = Clock::now();
  for (int t = 0; t < times; ++t)
    for (int y = 0; y < h; ++y) std::memcpy(&to[size_t(y) * 1024], &from[size_t(y) * 1024], size_t(w) * 4);
  benchmark::DoNotOptimize(to.data());
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_Round_Window_Full_Paint(benchmark::State& state) {
  Stores stores;
  const int side = (*The_GUI_Sizes)[10] + 2 * (*The_GUI_Sizes)[22];
  auto* panel = new Drawing_Panel(stores.main, "Panel", 500, TRect(20, 20, 20 + side, 20 + side));
  panel->Create();
  const int pictures[4] = {10, 8, 12, 11};
  for (int i = 0; i < 4; ++i) {
    stores.bitmaps->Get(pictures[i], panel->Picture_Size);
    panel->Set_Corner_Button(i, *stores.bitmaps->Pictures[size_t(pictures[i])], nullptr, true, true, true);
  }
  std::vector<uint32_t> from(1024 * 768, 0x123456), to(1024 * 768);
  double ours = 0, baseline = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    {
      TWindowDC dc(*panel);
      TRect all(0, 0, side, side);
      panel->Paint(dc, false, all);
    }
    ours += std::chrono::duration<double>(Clock::now() - start).count();
    baseline += Seconds_Of_Memcpy(to, from, side, side, 1);
  }
  state.counters["side"] = side;
  state.counters["times_memcpy"] = ours / baseline;
}
BENCHMARK(BM_Round_Window_Full_Paint)->Unit(benchmark::kMicrosecond);

// The fill pointer's size at the 1024 column, a solid crayon tip.
class Pointer_Sprite : public Mobile_Object {
 public:
  void Draw(TDC& dc, const TRect& r) override {
    dc.SelectObject(TBrush(TColor(40, 90, 220)));
    dc.SelectObject(TPen(TColor::Black));
    const TPoint tip[3] = {{r.left, r.top}, {r.right - 1, r.top + r.Height() / 3}, {r.left + r.Width() / 3, r.bottom - 1}};
    dc.Polygon(tip, 3);
  }
};

void BM_Sprite_Across_The_Screen(benchmark::State& state) {
  Stores stores;
  const int size = 50, steps = int(state.range(0));
  std::vector<uint32_t> from(1024 * 768, 0x654321), to(1024 * 768);
  double ours = 0, baseline = 0;
  for (auto _ : state) {
    TClientDC dc(*stores.main);
    Pointer_Sprite sprite;
    sprite.Show(dc, TRect(0, 0, size, size));
    // A diagonal sweep with the step of a brisk mouse move.
    const int dx = (1024 - size) / steps, dy = (768 - size) / steps;
    auto start = Clock::now();
    for (int i = 1; i <= steps; ++i) sprite.Move(TRect(TPoint(i * dx, i * dy), TSize(size, size)));
    ours += std::chrono::duration<double>(Clock::now() - start).count();
    sprite.Hide(false);
    // The pixels a move touches: the screen under both places read, the
    // new background saved, and the composite written back.
    const int w = size + dx, h = size + dy;
    baseline += Seconds_Of_Memcpy(to, from, w, h, 2 * steps) + Seconds_Of_Memcpy(to, from, size, size, steps);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * steps);
  state.counters["times_memcpy"] = ours / baseline;
}
BENCHMARK(BM_Sprite_Across_The_Screen)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

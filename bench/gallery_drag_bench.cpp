// The gallery's dragged miniature at 1920 x 1080: one drag move (the
// miniature composed off the screen over what it uncovers and covers and put
// on the screen in one copy), beside a memcpy of the dragged rectangle,
// timed in the same run. A counter gives the pixels handed to the display
// per move against the miniature's own: a move that presented more than
// the rectangle it changed would show there.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "bench/bench_stores.h"
#include "gallery/gallery_dragger.h"
#include "model/dib_allocator.h"
#include "model/shape_drawing.h"
#include "platform/window/desktop.h"

namespace {

using Clock = std::chrono::steady_clock;

void BM_Gallery_Drag_Move_1920(benchmark::State& state) {
  Bench_Stores stores(TSize(1920, 1080));
  DIB_Allocator pool(2, 5, (*The_GUI_Sizes)[10]);
  const int side = (*The_GUI_Sizes)[10] / 3;  // the 3 by 3 view's miniature
  Shape_Drawing picture(side, side, The_GUI_Colors->Palette.get(), TColor(240, 240, 240));
  Gallery_Dragger dragger(stores.main, TRect(0, 0, 1920, 1080), 0);
  const int steps = int(state.range(0)), step = 6;  // a brisk mouse move
  std::vector<uint32_t> from(size_t(1920) * 1080, 0x654321), to(size_t(1920) * 1080);
  double ours = 0, baseline = 0;
  int64_t presented = 0, moves = 0;
  for (auto _ : state) {
    TPoint mouse(side / 2 + 10, side / 2 + 10);
    dragger.Start_Drag(mouse, TRect(10, 10, 10 + side, 10 + side), picture, picture);
    stores.Run_Until_Idle();
    for (int i = 0; i < steps; ++i) {
      mouse = TPoint(mouse.x + step, mouse.y + step / 2);
      auto start = Clock::now();
      dragger.Drag_To(mouse);
      ours += std::chrono::duration<double>(Clock::now() - start).count();
      // The headless backend's presentation copies its whole screen for the
      // test's reading; what it is given to present is what counts here.
      stores.Run_Until_Idle();
      for (const TRect& r : stores.headless->Last_Changed()) presented += int64_t(r.Width()) * r.Height();
      ++moves;
    }
    dragger.End_Drag(false);
    stores.Run_Until_Idle();
    auto base = Clock::now();
    for (int i = 0; i < steps; ++i)
      for (int y = 0; y < side; ++y) std::memcpy(&to[size_t(y) * 1920], &from[size_t(y) * 1920 + size_t(i % 64)], size_t(side) * 4);
    benchmark::DoNotOptimize(to.data());
    baseline += std::chrono::duration<double>(Clock::now() - base).count();
  }
  state.SetItemsProcessed(moves);
  state.counters["side"] = side;
  state.counters["times_memcpy"] = ours / baseline;
  state.counters["presented_per_miniature"] = double(presented) / double(moves) / (double(side) * side);
}
BENCHMARK(BM_Gallery_Drag_Move_1920)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

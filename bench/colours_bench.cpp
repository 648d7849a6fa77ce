// The colour tools' hot paths, each beside a memory copy or fill of the
// pixels it touches, timed in the same run:
// - one colour-wheel animation tick (the whole buffer redrawn and shown) at
//   the 1024 column and at a 1920 x 1080 layout; a tick that moves nothing;
// - one move of the crayon over the drawing on a 2560-wide screen (drawing
//   side 1440);
// - the drawing window adding a filled circle to a drawing of side 1440
//   (recording the state before it, painting, showing the area, packing
//   the recorded picture), beside a memset of the picture.
#include <benchmark/benchmark.h>

#include "bench/bench_stores.h"

#include <cstring>
#include <memory>
#include <vector>

#include "model/color_wheel_table.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "platform/backend/headless/headless_backend.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "platform/window/window.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/fill_pointer.h"

namespace {

// The stores with the picture pool and the crayon the drawing panels use.
struct Stores : Bench_Stores {
  explicit Stores(TSize screen)
      : Bench_Stores(screen), pool(std::make_unique<DIB_Allocator>(2, 5, (*sizes)[10])),
        pointer(std::make_unique<Fill_Pointer>()) {}
  ~Stores() {
    // The crayon goes first, then the windows it was shown over.
    pointer.reset();
    delete main;
    main = nullptr;
  }
  std::unique_ptr<DIB_Allocator> pool;
  std::unique_ptr<Fill_Pointer> pointer;
};

void Wheel_Tick(benchmark::State& state, TSize screen) {
  Stores stores(screen);
  auto* wheel = new Color_Wheel(stores.main, TPoint(0, 0));
  wheel->Create();
  for (auto _ : state) {
    wheel->Turn_Left = 30;  // a turn under way: every tick moves
    wheel->Step_Start = GetTickCount() - 33;
    stores.headless->Virtual_Clock().Advance(0);
    wheel->Animation_Step();
  }
  state.counters["pixels"] = double(wheel->Client.Width()) * wheel->Client.Height();
}

void Wheel_Pixels_Memcpy(benchmark::State& state, TSize screen) {
  GUI_Sizes sizes(screen.cx, screen.cy);
  const size_t n = size_t(sizes[7] + sizes[5] + 1) * size_t(sizes[7] + sizes[5] + sizes[8] + 1);
  std::vector<uint32_t> a(n, 1), b(n);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), n * 4);
    benchmark::DoNotOptimize(b.data());
  }
}

void Wheel_Still_Tick(benchmark::State& state) {
  Stores stores(TSize(1024, 768));
  auto* wheel = new Color_Wheel(stores.main, TPoint(0, 0));
  wheel->Create();
  for (auto _ : state) {
    wheel->Step_Start = GetTickCount() - 33;
    wheel->Animation_Step();
  }
}

void Crayon_Move(benchmark::State& state) {
  Stores stores(TSize(2560, 1920));
  Fill_Pointer& pointer = *stores.pointer;
  pointer.Set_Color(TColor(Wheel_Colors[16]), The_GUI_Colors->Palette.get());
  stores.headless->Move_To(TPoint(600, 600));
  TDesktop::Current().Run_Until_Idle();
  pointer.Show_At_Cursor();
  int i = 0;
  for (auto _ : state) {
    const TRect place = pointer.Place_For(TPoint(600 + (i % 400), 600 + (i % 300)));
    pointer.Move(place);
    ++i;
  }
  pointer.Hide();
  state.counters["side"] = pointer.Frame.Width();
}

void Crayon_Pixels_Memcpy(benchmark::State& state) {
  GUI_Sizes sizes(2560, 1920);
  // A move puts back the old place and draws the new one: two squares.
  const size_t n = 2 * size_t(sizes[9]) * size_t(sizes[9]);
  std::vector<uint32_t> a(n, 1), b(n);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), n * 4);
    benchmark::DoNotOptimize(b.data());
  }
}

void Add_Circle(benchmark::State& state) {
  Stores stores(TSize(2560, 1920));
  const int side = (*stores.sizes)[Drawing_Side_Size];
  const int w = side + 2 * (*stores.sizes)[22];
  auto* window = new Drawing_Window(stores.main, TRect(0, 0, w, w));
  window->Create();
  TDesktop::Current().Run_Until_Idle();
  auto circle = Make_Palette_Shape(5);
  int i = 0;
  for (auto _ : state) {
    const TColor color(Wheel_Colors[size_t(i++ % 36)]);
    window->Add_Shape(*circle, color, The_GUI_Colors->Contrast_Color(color));
  }
  state.counters["side"] = window->current.picture->Width();
}

void Picture_Memset(benchmark::State& state) {
  const size_t n = 1440 * 1440;
  std::vector<uint8_t> a(n);
  for (auto _ : state) {
    std::memset(a.data(), 7, n);
    benchmark::DoNotOptimize(a.data());
  }
}

BENCHMARK_CAPTURE(Wheel_Tick, column_1024, TSize(1024, 768))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Wheel_Pixels_Memcpy, column_1024, TSize(1024, 768))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Wheel_Tick, layout_1920x1080, TSize(1920, 1080))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Wheel_Pixels_Memcpy, layout_1920x1080, TSize(1920, 1080))->Unit(benchmark::kMicrosecond);
BENCHMARK(Wheel_Still_Tick)->Unit(benchmark::kMicrosecond);
BENCHMARK(Crayon_Move)->Unit(benchmark::kMicrosecond);
BENCHMARK(Crayon_Pixels_Memcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(Add_Circle)->Unit(benchmark::kMicrosecond);
BENCHMARK(Picture_Memset)->Unit(benchmark::kMicrosecond);

}  // namespace

// The manipulator editor's hot paths, each beside a memcpy of the pixels it
// touches, timed in the same run:
// - one drag move of a group of twelve copies (the outline feedback erased
//   and drawn again for every copy and the frame);
// - a full paint of the editor at the 1024 column and on a 1920 x 1080
//   screen.
#include <benchmark/benchmark.h>

#include "bench/bench_stores.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "manipulators/transform_edit_window.h"
#include "model/gui_colors.h"
#include "platform/backend/headless/headless_backend.h"
#include "platform/window/desktop.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"

namespace {

using Clock = std::chrono::steady_clock;

// The interface stores and an open editor on a headless screen.
struct Editor_Stores : Bench_Stores {
  Editor_Stores(int width, int height) : Bench_Stores(TSize(width, height)) {
    side = (*The_GUI_Sizes)[10] + 2 * (*The_GUI_Sizes)[22];
    editor = new Transform_Edit_Window(main, TRect(width - side - 20, 20, width - 20, 20 + side));
    editor->Create();
    for (int i = 0; i < 12; ++i) {
      Affine_Transform_2D map(0.2f, 0.05f, 0.1f + 0.06f * i, -0.05f, 0.2f, 0.1f + 0.05f * i);
      images.Add_Map(map.Clone());
    }
    editor->Open(&images, name, main);
    TDesktop::Current().Run_Until_Idle();
  }
  Transform_Edit_Window* editor = nullptr;
  Transform_Set_2D images;
  char name[80] = "Bench";
  int side = 0;
};

// Copies a w x h block of 32-bit pixels row by row; returns seconds.
double Seconds_Of_Memcpy(std::vector<uint32_t>& to, const std::vector<uint32_t>& from, int stride, int w, int h) {
  auto start = Clock::now();
  for (int y = 0; y < h; ++y) std::memcpy(&to[size_t(y) * stride], &from[size_t(y) * stride], size_t(w) * 4);
  benchmark::DoNotOptimize(to.data());
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_Editor_Group_Drag_Move(benchmark::State& state) {
  Editor_Stores stores(1024, 768);
  Transform_Edit_Window& editor = *stores.editor;
  for (int i = 0; i < editor.Image_Count(); ++i) editor.Toggle_Selected(*editor.Image(i));
  editor.Compute_Group_Frame();
  editor.Select_Map(&editor.Group_Frame);
  editor.Repaint_Client();
  editor.Manipulator_Tool.Handle = 8;
  editor.Manipulator_Tool.Handle_Code = 2;
  editor.Manipulator_Tool.Update_Pins();
  editor.Begin_Handle_Drag(8);
  const TRect a = editor.Edit_Area;
  std::vector<uint32_t> from(1024 * 768, 0x123456), to(1024 * 768);
  double ours = 0, baseline = 0;
  int step = 0;
  for (auto _ : state) {
    const TPoint p(a.left + a.Width() / 2 + (step % 40) - 20, a.top + a.Height() / 2 + (step % 30) - 15);
    ++step;
    auto start = Clock::now();
    editor.Client_Mouse_Move(0, p);
    ours += std::chrono::duration<double>(Clock::now() - start).count();
    baseline += Seconds_Of_Memcpy(to, from, 1024, a.Width(), a.Height());
  }
  state.counters["move_ms"] = ours * 1000.0 / double(state.iterations());
  state.counters["times_memcpy"] = ours / baseline;
}
BENCHMARK(BM_Editor_Group_Drag_Move)->Unit(benchmark::kMicrosecond);

void BM_Editor_Full_Paint(benchmark::State& state) {
  const int width = int(state.range(0)), height = int(state.range(1));
  Editor_Stores stores(width, height);
  Transform_Edit_Window& editor = *stores.editor;
  editor.Selected_Image = 0;
  editor.Select_Map(editor.Image(0));
  std::vector<uint32_t> from(size_t(width) * height, 0x123456), to(size_t(width) * height);
  double ours = 0, baseline = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    {
      TWindowDC dc(editor);
      TRect all(0, 0, stores.side, stores.side);
      editor.Paint(dc, false, all);
    }
    ours += std::chrono::duration<double>(Clock::now() - start).count();
    baseline += Seconds_Of_Memcpy(to, from, width, stores.side, stores.side);
  }
  state.counters["side"] = stores.side;
  state.counters["paint_ms"] = ours * 1000.0 / double(state.iterations());
  state.counters["times_memcpy"] = ours / baseline;
}
BENCHMARK(BM_Editor_Full_Paint)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace

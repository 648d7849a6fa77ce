// The diagrams of a whole level-4 palette (48 manipulators) built afresh, as
// a change of user or level does, against a memcpy of the same pixels; at
// the 1024 design column and on a 1920 x 1080 screen.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "manipulators/diagram_frame.h"
#include "manipulators/manipulator_file.h"
#include "manipulators/transform_diagram.h"
#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "platform/system/resource.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"

namespace {

double Seconds(auto&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Diagrams(benchmark::State& state, int width, int height) {
  GUI_Sizes sizes(width, height);
  GUI_Colors colors;
  Round_Border border;
  const int side = sizes[11] + 2 * sizes[25];
  const TResource block = Find_Resource(RT_RCDATA, 4404);
  auto set = Read_Manipulator_File(std::span(block.data, block.size));
  auto reference = GUI_Bitmaps::Screen_Reference();
  Diagram_Frame frame(*reference, side, side, sizes[25], 1);
  std::vector<uint8_t> from(size_t(side) * side * 4 * set->size()), to(from.size());
  double built = 0, copied = 0;
  for (auto _ : state) {
    const double t = Seconds([&] {
      for (const auto& m : *set) m->Set_Diagram(std::make_unique<Transform_Diagram>(*reference, *m, frame));
    });
    copied += Seconds([&] { std::memcpy(to.data(), from.data(), from.size()); });
    built += t;
    state.SetIterationTime(t);
    benchmark::ClobberMemory();
  }
  state.counters["side"] = side;
  state.counters["ratio"] = built / copied;
  state.counters["memcpy_us"] = 1e6 * copied / double(state.iterations());
}

void BM_Level_4_Diagrams_1024(benchmark::State& state) { Diagrams(state, 1024, 768); }
void BM_Level_4_Diagrams_1920x1080(benchmark::State& state) { Diagrams(state, 1920, 1080); }

BENCHMARK(BM_Level_4_Diagrams_1024)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Level_4_Diagrams_1920x1080)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

// The toolkit's pictures, each beside a plain memory pass over the same
// number of pixels measured in the same run: "ratio" is the time of the work
// divided by the time of the baseline.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <vector>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"

namespace {

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Measure(benchmark::State& state, const std::function<void()>& work, size_t pixels) {
  std::vector<uint32_t> memory(pixels);
  double base = 1e9;
  for (int i = 0; i < 25; ++i)
    base = std::min(base, Seconds([&] {
                      std::memset(memory.data(), int(i), pixels * sizeof(uint32_t));
                      benchmark::DoNotOptimize(memory.data());
                    }));
  double total = 0;
  for (auto _ : state) total += Seconds(work);
  state.counters["baseline_us"] = base * 1e6;
  state.counters["ratio"] = total / double(state.iterations()) / base;
  state.counters["pixels"] = double(pixels);
}

struct Picture_Size {
  int id;
  TSize size;
};

// Every drawn picture at the size its users ask for on a 1024-wide screen.
const Picture_Size Column_1024[] = {
    {1, {50, 50}},    {2, {50, 50}},    {7, {88, 88}},    {8, {142, 142}},  {9, {142, 142}},
    {10, {142, 142}}, {11, {142, 142}}, {12, {142, 142}}, {13, {142, 142}}, {14, {142, 142}},
    {15, {142, 142}}, {16, {142, 142}}, {17, {142, 142}}, {18, {142, 142}}, {19, {76, 76}},
    {20, {76, 76}},   {21, {115, 115}}, {22, {97, 97}},   {23, {102, 90}},  {24, {64, 56}},
    {25, {64, 56}},   {26, {64, 56}},   {27, {115, 115}}, {28, {115, 115}}, {29, {86, 58}},
    {30, {86, 58}},   {31, {86, 58}},   {35, {80, 40}},
};

void BM_Whole_Picture_Set_1024(benchmark::State& state) {
  GUI_Sizes sizes(1024, 768);
  GUI_Colors colors;
  GUI_Metafiles metafiles;
  size_t pixels = 0;
  for (const Picture_Size& p : Column_1024) pixels += size_t(p.size.cx) * size_t(p.size.cy);
  Measure(state,
          [&] {
            GUI_Bitmaps bitmaps;
            for (const Picture_Size& p : Column_1024) bitmaps.Get(p.id, p.size);
            benchmark::DoNotOptimize(bitmaps.Pictures[8].get());
          },
          pixels);
}
BENCHMARK(BM_Whole_Picture_Set_1024)->Unit(benchmark::kMillisecond);

// The ring of the largest round window (the drawing square of a 2048-wide
// screen plus its frame and margins), drawn afresh each time, and the band
// cut from it.
void BM_Frame_Ring_Largest(benchmark::State& state) {
  GUI_Sizes sizes(2048, 1536);
  GUI_Colors colors;
  Round_Border border;
  const int side = 1200;
  Measure(state,
          [&] {
            auto ring = border.Render_Ring(side + 2, side + 2, 0);
            benchmark::DoNotOptimize(ring.get());
          },
          size_t(side + 2) * size_t(side + 2));
}
BENCHMARK(BM_Frame_Ring_Largest)->Unit(benchmark::kMillisecond);

void BM_Frame_Band_Largest(benchmark::State& state) {
  GUI_Sizes sizes(2048, 1536);
  GUI_Colors colors;
  Round_Border border;
  const int side = 1200;
  TBitmap target(side, side);
  TMemoryDC dc(target);
  border.Blit_Clipped(dc, TRect(0, 0, side, side), 12, 0);  // the ring is made once
  Measure(state, [&] { border.Blit_Clipped(dc, TRect(0, 0, side, side), 12, 0); }, size_t(side) * size_t(side));
}
BENCHMARK(BM_Frame_Band_Largest)->Unit(benchmark::kMillisecond);

}  // namespace

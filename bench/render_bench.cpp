// The iteration step and its neighbours, each beside a plain memory pass of
// the same size measured in the same run: "ratio" is the time of the work
// divided by the time of the baseline.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "model/affine_transform_2d.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"

namespace {

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The fastest of several runs of the baseline, then the work timed per
// iteration.
void Measure(benchmark::State& state, const std::function<void()>& work, const std::function<void()>& baseline) {
  double base = 1e9;
  for (int i = 0; i < 25; ++i) base = std::min(base, Seconds(baseline));
  double total = 0;
  for (auto _ : state) total += Seconds(work);
  state.counters["baseline_us"] = base * 1e6;
  state.counters["ratio"] = total / double(state.iterations()) / base;
}

struct Stores {
  GUI_Colors colors;
  std::unique_ptr<DIB_Allocator> pool;
  int32_t side = 0;
  void For_Side(int32_t s) {
    if (s == side) return;
    pool.reset();
    pool = std::make_unique<DIB_Allocator>(2, 5, s);
    side = s;
  }
};

Stores& The_Stores() {
  static Stores stores;
  return stores;
}

enum Drawing_Kind { Typical, Inked };

// Mostly background with a few filled shapes, or every pixel inked.
std::unique_ptr<Shape_Drawing> Make_Drawing(int32_t side, Drawing_Kind kind) {
  auto picture = std::make_unique<Shape_Drawing>(side, side, nullptr, TColor(255, 255, 255));
  uint8_t* bits = picture->Bitmap->GetBits();
  const int64_t stride = picture->Bitmap->Pitch();
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      uint8_t& p = bits[y * stride + x];
      if (kind == Inked) {
        p = uint8_t(10 + ((x / 7) * 3 + (y / 5)) % 200);
        continue;
      }
      const int64_t dx = x - side / 2, dy = y - side / 3;
      if (dx * dx + dy * dy < int64_t(side) * side / 36) p = 70;                               // a disc
      if (x > side / 10 && x < side / 4 && y > side / 2 && y < side * 3 / 4) p = 90;           // a square
      if (y > side / 8 && y < side / 8 + side / 5 && x > side * 3 / 5 && x - side * 3 / 5 < (y - side / 8)) p = 120;  // a triangle
    }
  }
  return picture;
}

Transform_Set_2D Make_Set(int which) {
  Transform_Set_2D set;
  auto add = [&](float a, float b, float c, float d, float e, float f) {
    set.Add_Map(std::make_unique<Affine_Transform_2D>(a, b, e, c, d, f));
  };
  if (which == 0) {  // "Five": five maps of scale 1/3
    const float places[5][2] = {{0, 0.6667f}, {0.6667f, 0.6667f}, {0.6667f, 0}, {0, 0}, {0.3333f, 0.3333f}};
    for (auto& p : places) add(0.3333f, 0, 0, 0.3333f, p[0], p[1]);
  } else if (which == 1) {  // twelve quarter-size squares along the border
    const float places[12][2] = {{0, 0.75f}, {0.25f, 0.75f}, {0.5f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.5f}, {0.75f, 0.25f},
                                 {0.75f, 0}, {0.5f, 0},      {0.25f, 0},    {0, 0},         {0, 0.25f},    {0, 0.5f}};
    for (auto& p : places) add(0.25f, 0, 0, 0.25f, p[0], p[1]);
  } else {  // four maps turned by 45 degrees
    for (int i = 0; i < 4; ++i)
      set.Add_Map(std::make_unique<Affine_Transform_2D>(0.5f, 45.0f + 90.0f * i, 0.5f + 0.25f * (i % 2),
                                                        0.5f, 45.0f + 90.0f * i, 0.2f + 0.2f * (i / 2), 0));
  }
  return set;
}

void BM_Render_Set(benchmark::State& state) {
  const int32_t side = int32_t(state.range(0));
  const int which = int(state.range(1));
  const auto kind = Drawing_Kind(state.range(2));
  The_Stores().For_Side(side);
  auto source = Make_Drawing(side, kind);
  const Transform_Set_2D set = Make_Set(which);
  Shape_Drawing next(side, side, nullptr, TColor(255, 255, 255));
  std::vector<uint8_t> a(size_t(side) * side), b(size_t(side) * side, 1);
  Measure(
      state, [&] { next.Render_Set(*source, set); benchmark::ClobberMemory(); },
      [&] {
        for (int i = 0; i < set.Count(); ++i) std::memcpy(a.data(), b.data(), a.size());
        benchmark::ClobberMemory();
      });
}

void BM_Is_Similar(benchmark::State& state) {
  const int32_t side = int32_t(state.range(0));
  The_Stores().For_Side(side);
  auto first = Make_Drawing(side, Drawing_Kind(state.range(1)));
  Shape_Drawing second(*first, false);
  const size_t n = size_t(side) * side;
  volatile bool similar = false;
  volatile int compared = 0;
  Measure(
      state, [&] { similar = first->Is_Similar(second, true); },
      [&] { compared = std::memcmp(first->Bitmap->GetBits(), second.Bitmap->GetBits(), n); });
}

void BM_Pack_Unpack(benchmark::State& state) {
  const int32_t side = int32_t(state.range(0));
  The_Stores().For_Side(side);
  auto picture = Make_Drawing(side, Typical);
  std::vector<uint8_t> a(size_t(side) * side), b(size_t(side) * side, 1);
  const bool unpack = state.range(1) != 0;
  Measure(
      state,
      [&] {
        picture->Pack(true, true);
        if (unpack) picture->Unpack(false, nullptr);
        else picture->Packed.reset();
        benchmark::ClobberMemory();
      },
      [&] {
        std::memcpy(a.data(), b.data(), a.size());
        benchmark::ClobberMemory();
      });
}

void BM_Fill_At(benchmark::State& state) {
  const int32_t side = int32_t(state.range(0));
  The_Stores().For_Side(side);
  auto picture = Make_Drawing(side, Typical);
  std::vector<uint8_t> a(size_t(side) * side), b(size_t(side) * side, 1);
  bool toggle = false;
  Measure(
      state,
      [&] {
        toggle = !toggle;
        picture->Fill_At({1, 1}, toggle ? TColor(0, 0, 255) : TColor(255, 255, 255));
      },
      [&] {
        std::memcpy(a.data(), b.data(), a.size());
        benchmark::ClobberMemory();
      });
}

}  // namespace

// Sides 576 and 1440; sets: 0 "Five", 1 twelve border squares, 2 four turned
// maps; drawings: 0 typical, 1 fully inked.
BENCHMARK(BM_Render_Set)
    ->ArgsProduct({{576, 1440}, {0, 1, 2}, {0, 1}})
    ->ArgNames({"side", "set", "inked"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Is_Similar)->ArgsProduct({{576, 1440}, {0, 1}})->ArgNames({"side", "inked"})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pack_Unpack)->ArgsProduct({{576, 1440}, {0, 1}})->ArgNames({"side", "unpack"})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fill_At)->Args({1440})->ArgNames({"side"})->Unit(benchmark::kMicrosecond);

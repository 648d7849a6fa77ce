// Rasterisers against the cost of writing the same area with memset: each
// benchmark paints its spans into an 8-bit 1440 × 1440 picture and reports
// its time per run divided by that of one memset of the whole picture,
// measured in the same run (ratio_to_memset).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi/flood_fill.h"
#include "platform/gdi/region.h"
#include "platform/gdi/scan_converter.h"

namespace {

constexpr int Side = 1440;
using Clock = std::chrono::steady_clock;

struct TCanvas {
  std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t(Side) * Side, 0);
  uint8_t colour = 1;
  TSpan_Sink Sink() {
    return [this](int y, int x0, int x1) {
      std::memset(pixels.data() + size_t(y) * Side + x0, colour, size_t(x1 - x0));
    };
  }
};

// Seconds for one memset of the whole picture: the best of many, so that
// noise only makes the ratios look worse.
double Memset_Seconds() {
  std::vector<uint8_t> pixels(size_t(Side) * Side);
  double best = 1e9;
  for (int i = 0; i < 200; ++i) {
    auto t0 = Clock::now();
    std::memset(pixels.data(), i & 0xFF, pixels.size());
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

template <typename Work>
void Run_Against_Memset(benchmark::State& state, Work work) {
  double baseline = Memset_Seconds();
  auto t0 = Clock::now();
  for (auto _ : state) {
    work();
    benchmark::ClobberMemory();
  }
  double each = std::chrono::duration<double>(Clock::now() - t0).count() / double(state.iterations());
  state.counters["ratio_to_memset"] = each / baseline;
  state.counters["memset_us"] = baseline * 1e6;
}

const TRect Whole(0, 0, Side, Side);

void BM_Memset(benchmark::State& state) {
  std::vector<uint8_t> pixels(size_t(Side) * Side);
  int i = 0;
  Run_Against_Memset(state, [&] {
    std::memset(pixels.data(), ++i & 0xFF, pixels.size());
    benchmark::DoNotOptimize(pixels.data());
  });
}

void BM_Polygon_Octagon(benchmark::State& state) {
  TCanvas canvas;
  const int a = 420, s = Side;
  TPoint pts[8] = {{a, 0}, {s - a, 0}, {s, a}, {s, s - a}, {s - a, s}, {a, s}, {0, s - a}, {0, a}};
  int count = 8;
  TSpan_Sink sink = canvas.Sink();
  Run_Against_Memset(state, [&] {
    Scan::Polygons(pts, &count, 1, TFill_Rule::Alternate, Whole, sink);
  });
}

void BM_Polygon_Star_Winding(benchmark::State& state) {
  TCanvas canvas;
  std::vector<TPoint> pts;
  for (int k = 0; k < 9; ++k) {  // a nine-pointed star drawn in one stroke
    double angle = k * 4 * 3.14159265358979 / 9;
    pts.emplace_back(int(720 + 719 * std::sin(angle)), int(720 - 719 * std::cos(angle)));
  }
  int count = int(pts.size());
  TSpan_Sink sink = canvas.Sink();
  Run_Against_Memset(state, [&] {
    Scan::Polygons(pts.data(), &count, 1, TFill_Rule::Winding, Whole, sink);
  });
}

void BM_Ellipse(benchmark::State& state) {
  TCanvas canvas;
  TSpan_Sink sink = canvas.Sink();
  Run_Against_Memset(state, [&] { Scan::Ellipse(Whole, Whole, sink); });
}

void BM_Ellipse_Region_Fill(benchmark::State& state) {
  TCanvas canvas;
  TSpan_Sink sink = canvas.Sink();
  TRegion ring = TRegion::Ellipse(Whole) - TRegion::Ellipse(Whole.Inflated_By(-200, -200));
  Run_Against_Memset(state, [&] { ring.For_Each_Span(Whole, sink); });
}

void BM_Region_Ring_Build(benchmark::State& state) {
  Run_Against_Memset(state, [&] {
    TRegion ring = TRegion::Ellipse(Whole) - TRegion::Ellipse(Whole.Inflated_By(-200, -200));
    benchmark::DoNotOptimize(ring);
  });
}

void BM_Flood_Fill_Whole(benchmark::State& state) {
  TCanvas canvas;
  TPixel_View view{canvas.pixels.data() + size_t(Side - 1) * Side, Side, Side, -long(Side), 8};
  TSpan_Sink sink = canvas.Sink();
  // Each run paints the area with the other colour, so the next run has
  // all of it to fill again.
  Run_Against_Memset(state, [&] {
    uint8_t surface = canvas.pixels[0];
    canvas.colour = uint8_t(surface ^ 1);
    Flood_Fill(view, {Side / 2, Side / 2}, surface, TFlood_Mode::Surface, Whole, sink);
  });
}

}  // namespace

BENCHMARK(BM_Memset);
BENCHMARK(BM_Polygon_Octagon);
BENCHMARK(BM_Polygon_Star_Winding);
BENCHMARK(BM_Ellipse);
BENCHMARK(BM_Ellipse_Region_Fill);
BENCHMARK(BM_Region_Ring_Build);
BENCHMARK(BM_Flood_Fill_Whole);

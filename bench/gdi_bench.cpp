// Device-context primitives against plain memory operations on the same
// bytes, measured in the same iterations; each benchmark reports its ratio.
// - fills of a 1440 x 1440 8-bit picture (polygon, ellipse, rectangle) and a
//   flood fill of the whole picture, against memset of its bytes;
// - BitBlt 8 -> 32 bits of 1440 x 1440 and StretchBlt 720 -> 1440 against
//   memcpy of the target's bytes;
// - a thousand 20-pixel glyphs through TextOut against a thousand 20 x 20
//   FillRects;
// - sixty thousand glyphs of a 2048-pixel face, all but one outside a
//   48 x 32 surface, against one such glyph drawn whole: the glyphs that
//   cannot show cost only their advances: together about what the one
//   drawn costs, where drawing them would cost sixty thousand times as much.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/memory_dc.h"

namespace {

constexpr int Side = 1440;

double Seconds(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TDib Picture(int side) {
  TDib dib(side, side);
  std::vector<uint32_t> table(256);
  for (int i = 0; i < 256; ++i) table[size_t(i)] = uint32_t(i) << 16 | uint32_t(255 - i) << 8 | uint32_t(i / 2);
  dib.SetColorTable(0, 256, table.data());
  for (size_t i = 0; i < dib.SizeImage(); ++i) dib.GetBits()[i] = uint8_t(i * 7);
  return dib;
}

// Runs op and baseline alternately; the figure is op's time, with the ratio
// op / baseline beside it.
void Compare(benchmark::State& state, const std::function<void(int)>& op, const std::function<void(int)>& baseline) {
  double op_seconds = 0, base_seconds = 0;
  int round = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { op(round); });
    base_seconds += Seconds([&] { baseline(round); });
    op_seconds += t;
    state.SetIterationTime(t);
    ++round;
    benchmark::ClobberMemory();
  }
  state.counters["ratio"] = op_seconds / base_seconds;
  state.counters["baseline_ms"] = 1e3 * base_seconds / double(round);
}

void Fill_Benchmark(benchmark::State& state, const std::function<void(TDC&)>& draw) {
  TDib dib = Picture(Side);
  TDibDC dc(dib);
  dc.SelectStockObject(NULL_PEN);
  const TBrush brushes[2] = {TBrush(TColor(255, 0, 127)), TBrush(TColor(0, 255, 0))};
  Compare(
      state,
      [&](int round) {
        dc.SelectObject(brushes[round & 1]);
        draw(dc);
      },
      [&](int round) { std::memset(dib.GetBits(), round & 0xFF, dib.SizeImage()); });
}

void BM_Fill_Polygon_8bit(benchmark::State& state) {
  const TPoint quad[] = {{0, 0}, {Side, 0}, {Side, Side}, {0, Side}};
  Fill_Benchmark(state, [&](TDC& dc) { dc.Polygon(quad, 4); });
}

void BM_Fill_Ellipse_8bit(benchmark::State& state) {
  Fill_Benchmark(state, [](TDC& dc) { dc.Ellipse(0, 0, Side + 1, Side + 1); });
}

void BM_Fill_Rectangle_8bit(benchmark::State& state) {
  Fill_Benchmark(state, [](TDC& dc) { dc.Rectangle(0, 0, Side + 1, Side + 1); });
}

void BM_Flood_Fill_8bit(benchmark::State& state) {
  TDib dib = Picture(Side);
  std::memset(dib.GetBits(), 0, dib.SizeImage());
  TDibDC dc(dib);
  const TColor colours[2] = {dc.GetPixel(0, 0), TColor::From_Xrgb(dib.GetColors()[200])};
  std::vector<uint8_t> other(dib.SizeImage());
  Compare(
      state,
      [&](int round) {
        dc.SelectObject(TBrush(colours[(round + 1) & 1]));
        dc.ExtFloodFill(TPoint(Side / 2, Side / 2), colours[round & 1], FLOODFILLSURFACE);
      },
      [&](int round) { std::memset(other.data(), round & 0xFF, other.size()); });
  if (dib.GetBits()[0] == dib.GetBits()[dib.SizeImage() - 1] && state.iterations() > 0) return;
  state.SkipWithError("the flood fill did not cover the picture");
}

void BM_BitBlt_8_To_32(benchmark::State& state) {
  TDib dib = Picture(Side);
  TDibDC source(dib);
  TBitmap target(Side, Side);
  TMemoryDC dc(target);
  std::vector<uint8_t> copy(target.Surface()->Size_Bytes());
  Compare(
      state, [&](int) { dc.BitBlt(0, 0, Side, Side, source, 0, 0, SRCCOPY); },
      [&](int) { std::memcpy(target.Surface()->Bits(), copy.data(), copy.size()); });
}

void BM_StretchBlt_720_To_1440(benchmark::State& state) {
  TDib dib = Picture(Side / 2);
  TDibDC source(dib);
  TBitmap target(Side, Side);
  TMemoryDC dc(target);
  dc.SetStretchBltMode(COLORONCOLOR);
  std::vector<uint8_t> copy(target.Surface()->Size_Bytes());
  Compare(
      state, [&](int) { dc.StretchBlt(0, 0, Side, Side, source, 0, 0, Side / 2, Side / 2, SRCCOPY); },
      [&](int) { std::memcpy(target.Surface()->Bits(), copy.data(), copy.size()); });
}

void BM_Text_Thousand_Glyphs(benchmark::State& state) {
  TBitmap target(1100, 500);
  TMemoryDC dc(target);
  dc.SelectObject(TFont("Arial", 20));
  dc.SetBkMode(TRANSPARENT);
  const char* line = "The quick brown fox jumps over the lazy dog 012345";  // 50 glyphs
  const TBrush brush(TColor(0, 0, 255));
  dc.TextOut(0, 0, line);  // glyphs cached, as in a running program
  Compare(
      state,
      [&](int) {
        for (int i = 0; i < 20; ++i) dc.TextOut(0, i * 24, line);
      },
      [&](int) {
        for (int i = 0; i < 1000; ++i) dc.FillRect(TRect((i % 50) * 21, (i / 50) * 24, (i % 50) * 21 + 20, (i / 50) * 24 + 20), brush);
      });
}

void BM_Text_Long_Line_Mostly_Clipped(benchmark::State& state) {
  TBitmap small(48, 32), whole(2000, 2100);
  TMemoryDC clipped(small), drawn(whole);
  for (TDC* dc : {static_cast<TDC*>(&clipped), static_cast<TDC*>(&drawn)}) {
    dc->SelectObject(TFont("Arial", 2048));
    dc->SetBkMode(TRANSPARENT);
    dc->TextOut(0, 0, "M");  // the glyph is made once
  }
  const std::string long_text(60000, 'M');
  Compare(
      state, [&](int) { clipped.TextOut(-10, -500, long_text); }, [&](int) { drawn.TextOut(0, 0, "M"); });
}

}  // namespace

BENCHMARK(BM_Fill_Polygon_8bit)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fill_Ellipse_8bit)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fill_Rectangle_8bit)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Flood_Fill_8bit)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BitBlt_8_To_32)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchBlt_720_To_1440)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Text_Thousand_Glyphs)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Text_Long_Line_Mostly_Clipped)->UseManualTime()->Unit(benchmark::kMillisecond);

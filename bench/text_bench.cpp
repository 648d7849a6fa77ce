// Text rendering against plain rectangle fills: a thousand glyphs of a
// 20-pixel sans face drawn as spans into an 8-bit buffer, beside a thousand
// 20 x 20 rectangles filled with memset into the same buffer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/font_engine.h"

namespace {

constexpr int Buffer_Width = 1024;
constexpr int Buffer_Height = 64;
constexpr int Glyphs = 1000;
const std::string Line = "The quick brown fox jumps over the lazy dog 012345";  // 50 glyphs

double Seconds_For_Glyphs(std::vector<uint8_t>& buffer) {
  const TFont_Spec font{"Arial", 20};
  auto start = std::chrono::steady_clock::now();
  for (int drawn = 0; drawn < Glyphs; drawn += static_cast<int>(Line.size()))
    TFont_Engine::Instance().Render(font, Line, [&](int y, int x0, int x1) {
      if (x1 > Buffer_Width) x1 = Buffer_Width;
      if (x0 < x1) std::memset(&buffer[y * Buffer_Width + x0], 1, x1 - x0);
    });
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Seconds_For_Rectangles(std::vector<uint8_t>& buffer) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < Glyphs; ++i) {
    int left = (i * 20) % (Buffer_Width - 20);
    for (int y = 0; y < 20; ++y) std::memset(&buffer[(y + 4) * Buffer_Width + left], 2, 20);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reports the time for a thousand glyphs (the measured figure) and its ratio
// to a thousand rectangle fills measured in the same iterations.
void BM_Thousand_Glyphs_Versus_Rectangles(benchmark::State& state) {
  std::vector<uint8_t> buffer(Buffer_Width * Buffer_Height);
  Seconds_For_Glyphs(buffer);  // the glyph cache is filled once, as in a running program
  double glyph_seconds = 0, rectangle_seconds = 0;
  for (auto _ : state) {
    glyph_seconds += Seconds_For_Glyphs(buffer);
    rectangle_seconds += Seconds_For_Rectangles(buffer);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["glyphs_us"] = glyph_seconds / n * 1e6;
  state.counters["rectangles_us"] = rectangle_seconds / n * 1e6;
  state.counters["ratio"] = rectangle_seconds > 0 ? glyph_seconds / rectangle_seconds : 0;
}
BENCHMARK(BM_Thousand_Glyphs_Versus_Rectangles);

}  // namespace

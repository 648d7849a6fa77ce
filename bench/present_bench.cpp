// Presenting the screen in a real window on an X server, both ways the
// window surface can reach it: through X shared memory (what the program
// uses) and through a GL texture. Each presentation is timed until the
// server has shown it, beside a baseline of copying the same pixels once
// in memory. Needs a display; scripts/bench starts a virtual one when
// there is none.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/backend/sdl/sdl_backend.h"
#include "platform/window/screen.h"

namespace {

using Clock = std::chrono::steady_clock;

enum Path { Shared_Memory = 0, Gl_Texture = 1 };
enum Area { Whole_Screen = 0, Drawing = 1, Button = 2, Nothing = 3 };

// What one presentation shows: the whole screen, an area the size of the
// drawing (fireworks, iterating), a button's face, or nothing (the time of
// the round trip to the server alone).
TRect Changed_Area(TSize screen, Area area) {
  if (area == Whole_Screen) return TRect(0, 0, screen.cx, screen.cy);
  if (area == Nothing) return TRect();
  const int side = area == Drawing ? screen.cy * 600 / 768 : 64;
  const int left = (screen.cx - side) / 2, top = (screen.cy - side) / 2;
  return TRect(left, top, left + side, top + side);
}

void Fill(TScreen& screen, const TRect& r, uint32_t rgb) {
  TSurface& s = *screen.Surface();
  for (int y = r.top; y < r.bottom; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(s.Bits() + size_t(y) * s.Stride());
    for (int x = r.left; x < r.right; ++x) row[x] = rgb;
  }
}

double Seconds_Of_Copy(const TScreen& screen, const TRect& r, std::vector<uint8_t>& into) {
  const TSurface& s = *screen.Surface();
  const size_t row_bytes = size_t(r.Width()) * 4;
  auto start = Clock::now();
  for (int y = r.top; y < r.bottom; ++y)
    std::memcpy(into.data() + size_t(y - r.top) * row_bytes, s.Bits() + size_t(y) * s.Stride() + size_t(r.left) * 4,
                row_bytes);
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_Present(benchmark::State& state) {
  const TSize size(int(state.range(0)), int(state.range(1)));
  const auto path = Path(state.range(2));
  const auto area = Area(state.range(3));
  // The environment overrides the backend's own choice of path; SDL reads
  // it when the window surface is first made, at the first presentation.
  setenv("SDL_FRAMEBUFFER_ACCELERATION", path == Gl_Texture ? "1" : "0", 1);
  auto backend = TSDL_Backend::Open(size);
  if (!backend) {
    state.SkipWithError("no display (scripts/bench starts a virtual one)");
    return;
  }
  TScreen screen(size);
  Fill(screen, screen.Bounds(), 0x336699);
  backend->Present(screen, {screen.Bounds()}, nullptr, TPoint());
  backend->Wait_Until_Shown();
  const TRect changed = Changed_Area(size, area);
  std::vector<uint8_t> copy(size_t(changed.Width()) * changed.Height() * 4 + 4);
  std::vector<TRect> rects;
  if (!changed.IsEmpty()) rects.push_back(changed);
  double ours = 0, baseline = 0;
  uint32_t rgb = 0;
  for (auto _ : state) {
    Fill(screen, changed, rgb += 0x010203);
    auto start = Clock::now();
    backend->Present(screen, rects, nullptr, TPoint());
    backend->Wait_Until_Shown();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    ours += seconds;
    baseline += Seconds_Of_Copy(screen, changed, copy);
  }
  backend.reset();
  unsetenv("SDL_FRAMEBUFFER_ACCELERATION");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(copy.size()));
  if (baseline > 0) state.counters["times_memcpy"] = ours / baseline;
  state.counters["ms_per_present"] = 1000 * ours / double(state.iterations());
}

void Cases(benchmark::internal::Benchmark* b) {
  b->ArgNames({"w", "h", "gl", "area"});
  for (auto [w, h] : {std::pair{1024, 768}, std::pair{1920, 1080}})
    for (int area : {Whole_Screen, Drawing, Button, Nothing})
      for (int path : {Shared_Memory, Gl_Texture}) b->Args({w, h, path, area});
}
BENCHMARK(BM_Present)->Apply(Cases)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

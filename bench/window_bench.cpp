// The window system's hot paths, each beside a baseline from the same run:
// - posting and dispatching messages, against a plain loop of as many
//   indirect function calls;
// - a full-screen invalidate, paint and present on the headless backend,
//   against one memcpy of the screen.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/backend/headless/headless_backend.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "platform/window/window.h"

namespace {

using Clock = std::chrono::steady_clock;

class Counter_Window : public TWindow {
 public:
  Counter_Window() : TWindow(nullptr) {}
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_USER) {
      count += int64_t(wp);
      return 0;
    }
    return TWindow::WindowProc(msg, wp, lp);
  }
  int64_t count = 0;
};

struct Handler {
  virtual ~Handler() = default;
  virtual void Handle(WPARAM wp) = 0;
};
struct Adding : Handler {
  void Handle(WPARAM wp) override { sum += int64_t(wp); }
  int64_t sum = 0;
};

double Seconds_Of_Call_Loop(int n) {
  Adding adding;
  Handler* volatile handler = &adding;
  auto start = Clock::now();
  for (int i = 0; i < n; ++i) handler->Handle(1);
  benchmark::DoNotOptimize(adding.sum);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_Post_And_Dispatch(benchmark::State& state) {
  const int n = int(state.range(0));
  TDesktop::Start(std::make_unique<THeadless_Backend>(TSize(320, 240)));
  {
    Counter_Window w;
    w.Create();
    TDesktop::Current().Run_Until_Idle();
    double ours = 0, baseline = 0;
    for (auto _ : state) {
      auto start = Clock::now();
      for (int i = 0; i < n; ++i) w.PostMessage(WM_USER, 1);
      TDesktop::Current().Pump_Waiting_Messages();
      ours += std::chrono::duration<double>(Clock::now() - start).count();
      baseline += Seconds_Of_Call_Loop(n);
    }
    benchmark::DoNotOptimize(w.count);
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
    state.counters["times_call_loop"] = ours / baseline;
  }
  TDesktop::Stop();
}
BENCHMARK(BM_Post_And_Dispatch)->Arg(10000);

class Full_Screen : public TWindow {
 public:
  explicit Full_Screen(TSize s) : TWindow(nullptr) {
    Attr.W = s.cx;
    Attr.H = s.cy;
  }
  bool EvEraseBkgnd(TDC&) override { return true; }
  void Paint(TDC& dc, bool, TRect&) override {
    TBrush brush(TColor(0, 128, uint8_t(frame++ & 0xFF)));
    dc.FillRect(GetClientRect(), brush);
  }
  int frame = 0;
};

void BM_Full_Screen_Paint_And_Present(benchmark::State& state) {
  TSize size(int(state.range(0)), int(state.range(1)));
  TDesktop::Start(std::make_unique<THeadless_Backend>(size));
  {
    Full_Screen w(size);
    w.Create();
    TDesktop::Current().Run_Until_Idle();
    const TSurface& screen = *TDesktop::Current().Screen().Surface();
    std::vector<uint8_t> copy(screen.Size_Bytes());
    double ours = 0, baseline = 0;
    for (auto _ : state) {
      auto start = Clock::now();
      w.Invalidate(false);
      TDesktop::Current().Pump_Waiting_Messages();
      auto middle = Clock::now();
      std::memcpy(copy.data(), screen.Bits(), copy.size());
      benchmark::ClobberMemory();
      ours += std::chrono::duration<double>(middle - start).count();
      baseline += std::chrono::duration<double>(Clock::now() - middle).count();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(screen.Size_Bytes()));
    state.counters["times_memcpy"] = ours / baseline;
    state.counters["ms_per_frame"] = 1000 * ours / double(state.iterations());
  }
  TDesktop::Stop();
}
BENCHMARK(BM_Full_Screen_Paint_And_Present)->Args({1024, 768})->Args({2560, 1440})->Unit(benchmark::kMillisecond);

}  // namespace

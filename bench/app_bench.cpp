// The program's start and its main window's repaint, each beside a baseline
// from the same run:
// - from the start of the program (window system up) to the main window's
//   first paint, headless, against starting the window system alone; the
//   title's pace does not count (start-up tells the title it is over when
//   the frame is set up, reported as ms_to_finish);
// - a full repaint of the main window with every panel, against one memcpy
//   of the screen.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "tests/program/program_session.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds_Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void BM_Start_To_First_Paint(benchmark::State& state) {
  Program_Options options;
  options.screen = TSize(int(state.range(0)), int(state.range(1)));
  double to_paint = 0, to_finish = 0, baseline = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    { THeadless_Session bare(options.screen); }
    baseline += Seconds_Since(start);

    state.PauseTiming();
    Program_Session program(options);
    state.ResumeTiming();
    start = Clock::now();
    program.Start_Only();
    to_finish += Seconds_Since(start);
    while (!program.Main()->first_painted) TDesktop::Current().Pump_Waiting_Messages();
    to_paint += Seconds_Since(start);
    state.PauseTiming();
    program.Stop();
    state.ResumeTiming();
  }
  const double n = double(state.iterations());
  state.counters["ms_to_first_paint"] = 1000 * to_paint / n;
  state.counters["ms_to_finish"] = 1000 * to_finish / n;
  state.counters["times_bare_start"] = to_paint / baseline;
}
BENCHMARK(BM_Start_To_First_Paint)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_Main_Window_Repaint(benchmark::State& state) {
  Program_Options options;
  options.screen = TSize(int(state.range(0)), int(state.range(1)));
  Program_Session program(options);
  program.Start();
  IFS_Main_Window& main = *program.Main();
  const TSurface& screen = *TDesktop::Current().Screen().Surface();
  std::vector<uint8_t> copy(screen.Size_Bytes());
  double ours = 0, baseline = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    main.RedrawWindow(nullptr);
    TDesktop::Current().Pump_Waiting_Messages();
    auto middle = Clock::now();
    std::memcpy(copy.data(), screen.Bits(), copy.size());
    benchmark::ClobberMemory();
    ours += std::chrono::duration<double>(middle - start).count();
    baseline += Seconds_Since(middle);
  }
  state.counters["times_memcpy"] = ours / baseline;
  state.counters["ms_per_repaint"] = 1000 * ours / double(state.iterations());
}
BENCHMARK(BM_Main_Window_Repaint)->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

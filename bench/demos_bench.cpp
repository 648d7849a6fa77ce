// The demonstration's playback pace at 1920 x 1080: pointer glides played
// while the drawing iterates a pattern, against the same glides over an
// idle drawing in the same run. The program runs on the virtual clock, so
// each played event is due 33 ms after the one before; what the program
// spends in wall time between two events (painting, the iteration's steps,
// the dispatch) is what a real clock would add once it passes 33 ms. The
// figures are both, median and worst, per visible pointer move.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "demos/simulated_user.h"
#include "platform/system/clock.h"
#include "platform/window/user.h"
#include "tests/program/program_session.h"
#include "manipulators/transform_palette.h"
#include "workspace/drawing_window.h"

namespace {

using Wall = std::chrono::steady_clock;

// Per pointer move: the clock time since the move before (what the pace
// asks to be 33 ms) and the wall time the program spent meanwhile.
struct Delays {
  std::vector<double> due_iterating, spent_iterating, due_idle, spent_idle;
};

TPoint Pointer() {
  TPoint p;
  GetCursorPos(p);
  return p;
}

// Glides back and forth across the screen, recording each pointer event's
// effective delay, split by whether the drawing was iterating meanwhile.
void Glide_And_Measure(Program_Session& program, Delays& out, int glides) {
  Simulated_User& driver = *The_Simulated_User;
  for (int i = 0; i < glides; ++i) driver.Glide(i % 2 ? TPoint(300, 200) : TPoint(1600, 900));
  driver.Start_Playback();
  TPoint last = Pointer();
  uint32_t due_from = GetTickCount();
  auto wall_from = Wall::now();
  for (int ms = 0; ms < 200000 && driver.Playing(); ++ms) {
    program.Advance(1);
    const TPoint now = Pointer();
    if (now == last) continue;
    const double due = double(GetTickCount() - due_from);
    const double spent = std::chrono::duration<double, std::milli>(Wall::now() - wall_from).count();
    const bool iterating = program.Main()->drawing_window->Is_Iterating();
    (iterating ? out.due_iterating : out.due_idle).push_back(due);
    (iterating ? out.spent_iterating : out.spent_idle).push_back(spent);
    last = now;
    due_from = GetTickCount();
    wall_from = Wall::now();
  }
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Worst(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

void BM_Demo_Playback_Pace_While_A_Pattern_Iterates(benchmark::State& state) {
  Program_Options options;
  options.screen = TSize(1920, 1080);
  Program_Session program(options);
  program.Start();
  Delays delays;
  for (auto _ : state) {
    // The idle baseline first; then a block, a manipulator chosen from the
    // palette and the drawing iterating it while the pointer glides.
    Glide_And_Measure(program, delays, 4);
    Drawing_Window& drawing = *program.Main()->drawing_window;
    program.Draw_Block();
    TPoint tab;
    program.Click(program.Main()->manipulator_palette->Slot_Screen_Points(0, 4, &tab));
    program.Advance(2000);
    drawing.Start_Iterating();
    Glide_And_Measure(program, delays, 8);
    drawing.Stop_Iterating();
    program.Run_Until_Idle();
  }
  state.counters["moves_iterating"] = double(delays.due_iterating.size());
  state.counters["moves_idle"] = double(delays.due_idle.size());
  state.counters["ms_median_iterating"] = Median(delays.due_iterating);
  state.counters["ms_worst_iterating"] = Worst(delays.due_iterating);
  state.counters["ms_median_idle"] = Median(delays.due_idle);
  state.counters["ms_worst_idle"] = Worst(delays.due_idle);
  state.counters["wall_ms_median_iterating"] = Median(delays.spent_iterating);
  state.counters["wall_ms_worst_iterating"] = Worst(delays.spent_iterating);
  state.counters["wall_ms_median_idle"] = Median(delays.spent_idle);
  state.counters["wall_ms_worst_idle"] = Worst(delays.spent_idle);
}
BENCHMARK(BM_Demo_Playback_Pace_While_A_Pattern_Iterates)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

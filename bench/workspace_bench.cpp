// The drawing window's costs at the drawing sides of the 1024 and the 2560
// columns, each beside a baseline measured in the same run: one accepted step
// against the model's own render and a memory pass of the same size, the
// wait a click sees while a run goes on at full speed, and a full paint of
// the drawing against a copy of the window's pixels.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "model/affine_transform_2d.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/window/desktop.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/tip_window.h"
#include "workspace/drawing_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Fastest(const std::function<void()>& work, int runs = 15) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) best = std::min(best, Seconds(work));
  return best;
}

// A drawing window that notes when a click reaches it.
class Timed_Window : public Drawing_Window {
 public:
  using Drawing_Window::Drawing_Window;
  void Client_Button_Down(UINT, const TPoint&) override { clicked_at = Clock::now(); }
  // A click that comes while a tick runs waits for the tick to end.
  void EvTimer(UINT id) override {
    const auto start = Clock::now();
    Drawing_Window::EvTimer(id);
    longest_tick = std::max(longest_tick, std::chrono::duration<double>(Clock::now() - start).count());
  }
  Clock::time_point clicked_at{};
  double longest_tick = 0;
};

class Main_Window : public TWindow {
 public:
  explicit Main_Window(TSize size) : TWindow(nullptr, "Main") {
    Attr.Style = WS_POPUP | WS_VISIBLE;
    Attr.W = size.cx;
    Attr.H = size.cy;
  }
};

// The stores and a drawing window for the screen whose column gives side.
struct Bench_Desk {
  explicit Bench_Desk(TSize screen)
      : session(screen),
        sizes(screen.cx, screen.cy),
        pool(2, 5, sizes[Drawing_Side_Size]) {
    TDesktop::Current().Pre_Dispatch_Hook = [](MSG& m) {
      if (The_Mouse) The_Mouse->Note_Message(m.message);
      return false;
    };
    main = new Main_Window(screen);
    main->Create();
    tip = new Tip_Window(main);
    tip->Create();
    const int w = sizes[Drawing_Side_Size] + 2 * sizes[22];
    window = new Timed_Window(main, TRect(10, 10, 10 + w, 10 + w));
    window->Create();
    session.Run_Until_Idle();
  }
  ~Bench_Desk() { delete main; }
  int Side() const { return sizes[Drawing_Side_Size]; }
  std::unique_ptr<Shape_Drawing> Square_Drawing(TColor colour = TColor(233, 0, 0)) {
    static const Square square;
    auto picture = std::make_unique<Shape_Drawing>(Side(), Side(), colors.Palette.get(), TColor(255, 255, 255));
    picture->Paint_Shape(square, window->geometry.area_rel, colour, TColor(No_Color));
    return picture;
  }

  THeadless_Session session;
  GUI_Sizes sizes;
  GUI_Colors colors;
  DIB_Allocator pool;
  Round_Border border;
  GUI_Metafiles metafiles;
  GUI_Bitmaps bitmaps;
  Mouse mouse;
  Main_Window* main = nullptr;
  Tip_Window* tip = nullptr;
  Timed_Window* window = nullptr;
};

TSize Screen_For(int64_t side) { return side >= 1440 ? TSize(2560, 1920) : TSize(1024, 768); }

std::shared_ptr<const Transform_Set_2D> Five(int32_t step = 0) {
  auto set = std::make_shared<Transform_Set_2D>();
  const float e[5][2] = {{0, 0.6667f}, {0.6667f, 0.6667f}, {0.6667f, 0}, {0, 0}, {0.3333f, 0.3333f}};
  for (auto& t : e) {
    auto m = std::make_unique<Affine_Transform_2D>(0.3333f, 0.0f, t[0], 0.0f, 0.3333f, t[1]);
    m->Color_Step = step;
    set->Add_Map(std::move(m));
  }
  return set;
}

// Four half-size copies, each turned a little, one per quarter.
std::shared_ptr<const Transform_Set_2D> Turned_Four(int32_t step = 0) {
  auto set = std::make_shared<Transform_Set_2D>();
  const float t = 0.35f, c = 0.45f * std::cos(t), s = 0.45f * std::sin(t);
  for (auto [x, y] : {std::pair{0.05f, 0.05f}, {0.5f, 0.05f}, {0.5f, 0.5f}, {0.05f, 0.5f}}) {
    auto m = std::make_unique<Affine_Transform_2D>(c, -s, x + 0.1f, s, c, y);
    m->Color_Step = step;
    set->Add_Map(std::move(m));
  }
  return set;
}

void BM_Accepted_Step(benchmark::State& state) {
  Bench_Desk desk(Screen_For(state.range(0)));
  const auto set = state.range(1) == 0 ? Five() : Turned_Four();
  Drawing_Window& w = *desk.window;
  w.Set_Drawing(desk.Square_Drawing(), true);
  // Into the steady state of restarts from the current picture.
  for (int i = 0; i < 3; ++i) w.Apply_Manipulator(set, true);
  Transform_Set_2D fitted;
  w.centering.Fit(fitted, *set);
  Shape_Drawing source(*w.current.picture, true);
  const double render = Fastest([&] { Shape_Drawing out(source, fitted); });
  const size_t n = size_t(desk.Side()) * size_t(desk.Side());
  std::vector<uint8_t> from(n, 1), to(n);
  const double copy = Fastest([&] {
    for (int32_t i = 0; i < set->Count(); ++i) std::memcpy(to.data(), from.data(), n);
    benchmark::DoNotOptimize(to.data());
  });
  double total = 0;
  for (auto _ : state) total += Seconds([&] { w.Apply_Manipulator(set, true); });
  const double step = total / double(state.iterations());
  state.counters["side"] = double(desk.Side());
  state.counters["render_us"] = render * 1e6;
  state.counters["memcpy_us"] = copy * 1e6;
  state.counters["step_over_render"] = step / render;
  state.counters["step_over_memcpy"] = step / copy;
}
BENCHMARK(BM_Accepted_Step)->Args({576, 0})->Args({576, 1})->Args({1440, 0})->Args({1440, 1})
    ->Unit(benchmark::kMillisecond)->Iterations(20);

// A run that recolours every step keeps going at the user's speed, here 0:
// clicks land at random moments of it and wait for the tick in progress.
void BM_Click_Latency_During_Run(benchmark::State& state) {
  Bench_Desk desk(Screen_For(1440));
  Timed_Window& w = *desk.window;
  w.input_enabled = true;
  Color_Transform cycle;
  cycle.count = 2;
  cycle.colors = {TColor(233, 0, 0), TColor(0, 0, 0)};
  w.Set_Drawing(desk.Square_Drawing(cycle.colors[0]), true);
  w.Set_Color_Cycle(cycle);
  w.Apply_Manipulator(Turned_Four(1), false);
  // The virtual clock moves with the wall clock, so the tick's timed wait
  // ends as it would on the real one.
  std::atomic<bool> running{true};
  std::thread ticker([&] {
    while (running) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      desk.session.Backend().Virtual_Clock().Advance(1);
    }
  });
  w.Start_Iterating();
  for (int i = 0; i < 12; ++i) w.Faster();
  const TPoint inside = [&] {
    TPoint p((w.Inner_Rect.left + w.Inner_Rect.right) / 2, (w.Inner_Rect.top + w.Inner_Rect.bottom) / 2);
    w.ClientToScreen(p);
    return p;
  }();
  uint32_t seed = 12345;
  double worst = 0, sum = 0;
  int clicks = 0;
  for (auto _ : state) {
    // Let the run go on for a random while.
    seed = seed * 1103515245u + 12345u;
    const auto until = Clock::now() + std::chrono::milliseconds(5 + (seed >> 16) % 60);
    while (Clock::now() < until) desk.session.Run_Until_Idle();
    w.clicked_at = {};
    const auto sent = Clock::now();
    desk.session.Backend().Press(inside);
    desk.session.Backend().Release(inside);
    while (w.clicked_at == Clock::time_point{}) desk.session.Run_Until_Idle();
    const double waited = std::chrono::duration<double>(w.clicked_at - sent).count();
    worst = std::max(worst, waited);
    sum += waited;
    ++clicks;
  }
  const bool still_running = w.Is_Iterating();
  w.Stop_Iterating();
  running = false;
  ticker.join();
  state.counters["worst_ms"] = worst * 1e3;
  state.counters["longest_tick_ms"] = w.longest_tick * 1e3;
  state.counters["mean_ms"] = sum / std::max(clicks, 1) * 1e3;
  state.counters["run_went_on"] = still_running ? 1 : 0;
  state.counters["steps"] = double(w.history.size());
}
BENCHMARK(BM_Click_Latency_During_Run)->Iterations(40)->Unit(benchmark::kMillisecond);

void BM_Full_Paint(benchmark::State& state) {
  Bench_Desk desk(Screen_For(1440));
  Drawing_Window& w = *desk.window;
  w.Set_Drawing(desk.Square_Drawing(), true);
  for (int i = 0; i < 3; ++i) w.Apply_Manipulator(Five(), true);
  // One piece, so the paint draws its outline over a copy.
  w.current.pieces = std::make_unique<Virtual_Drawing>(w.geometry.area_rel, Affine_Transform_2D());
  const size_t n = size_t(w.Attr.W) * size_t(w.Attr.H) * 4;
  std::vector<uint8_t> from(n, 1), to(n);
  const double copy = Fastest([&] {
    std::memcpy(to.data(), from.data(), n);
    benchmark::DoNotOptimize(to.data());
  });
  TClientDC dc(w);
  dc.SelectClipRgn(w.Inner_Region);
  double total = 0;
  for (auto _ : state) total += Seconds([&] { w.Paint_Client(dc); });
  state.counters["memcpy_us"] = copy * 1e6;
  state.counters["ratio"] = total / double(state.iterations()) / copy;
}
BENCHMARK(BM_Full_Paint)->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace

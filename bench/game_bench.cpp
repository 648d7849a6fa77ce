// The match game's hot paths, each beside a baseline measured in the same
// run: the match test against a memcmp of the same two pictures, realising a
// target against rendering its composed maps straight through the model,
// and the time from a target request to the realised target.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "game/shape_target.h"
#include "game/target_generator.h"
#include "manipulators/transform_palette.h"
#include "model/affine_transform_2d.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_catalogue.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/window/desktop.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/tip_window.h"
#include "workspace/drawing_window.h"
#include "workspace/shape_palette.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The fastest of several runs of the baseline, then the work timed per
// iteration; "ratio" is work over baseline.
void Measure(benchmark::State& state, const std::function<void()>& work, const std::function<void()>& baseline) {
  double base = 1e9;
  for (int i = 0; i < 25; ++i) base = std::min(base, Seconds(baseline));
  double total = 0;
  for (auto _ : state) total += Seconds(work);
  state.counters["baseline_us"] = base * 1e6;
  state.counters["ratio"] = total / double(state.iterations()) / base;
}

constexpr int32_t Big_Side = 1440;

struct Picture_Stores {
  GUI_Colors colors;
  DIB_Allocator pool{2, 5, Big_Side};
};

Picture_Stores& Pictures() {
  static Picture_Stores stores;
  return stores;
}

std::shared_ptr<const Transform_Set_2D> Set_Of(std::initializer_list<std::array<float, 6>> rows) {
  auto set = std::make_shared<Transform_Set_2D>();
  for (const auto& r : rows) set->Add_Map(std::make_unique<Affine_Transform_2D>(r[0], r[1], r[4], r[2], r[3], r[5]));
  return set;
}

// Three steps of 2, 1 and 3 images: one batch of six maps.
std::vector<std::shared_ptr<const Transform_Set_2D>> Three_Steps() {
  return {Set_Of({{0.5f, 0, 0, 0.5f, 0, 0}, {0.5f, 0, 0, 0.5f, 0.5f, 0.5f}}),
          Set_Of({{0, -1, 1, 0, 1, 0}}),
          Set_Of({{0.4f, 0, 0, 0.4f, 0, 0}, {0.4f, 0, 0, 0.4f, 0.6f, 0}, {0.4f, 0, 0, 0.4f, 0.3f, 0.6f}})};
}

const Drawing_Area_Geometry& Big_Geometry() {
  static const Drawing_Area_Geometry geometry(Big_Side, Big_Side, 0, 0);
  return geometry;
}

void BM_Matches_Against_Memcmp(benchmark::State& state) {
  Pictures();
  static const Triangle triangle;
  const Centering_Transform centering(Big_Geometry());
  Shape_Target target(Big_Side, Big_Side, &triangle, Big_Geometry().area_rel, centering);
  for (const auto& s : Three_Steps()) target.Add_Step(s, 0, 0, false);
  target.Realize(-1);
  // The player's drawing: the same coverage in another colour on white,
  // so the test scans every row.
  Shape_Drawing player(target, true);
  player.Replace_Colors(TColor(255, 255, 255), TColor(200, 30, 30));
  player.Set_Background(TColor(255, 255, 255));
  bool matched = false;
  // The baseline compares the target's bytes with an equal copy: one full
  // pass over both pictures.
  const uint8_t* a = target.Bitmap->GetBits();
  const size_t n = size_t(target.Bitmap->Pitch()) * size_t(target.Bitmap->Height());
  const std::vector<uint8_t> copy(a, a + n);
  const uint8_t* b = copy.data();
  int same = 0;
  Measure(
      state, [&] { matched = target.Matches(player, nullptr, nullptr); },
      [&] { same += std::memcmp(a, b, n) == 0; });
  benchmark::DoNotOptimize(same);
  if (!matched) state.SkipWithError("the pictures should match");
}
BENCHMARK(BM_Matches_Against_Memcmp)->Unit(benchmark::kMicrosecond);

void BM_Realize_Against_Composed_Render(benchmark::State& state) {
  Pictures();
  static const Triangle triangle;
  const Centering_Transform centering(Big_Geometry());
  const TRect frame = Big_Geometry().area_rel;
  const auto steps = Three_Steps();
  // The baseline: the start shape painted, then one rendering through the
  // composed, rounded and fitted maps.
  Transform_Set_2D composed = *steps[0];
  composed.Compose_With(*steps[1]);
  composed.Compose_With(*steps[2]);
  Transform_Set_2D rounded, fitted;
  for (int32_t i = 0; i < composed.Count(); ++i)
    rounded.Add_Map(std::make_unique<Affine_Transform_2D>(
        Affine_Transform_2D::Quantize(*static_cast<const Affine_Transform_2D*>(composed.Map(i)), 1e-4f, 1e-4f, 0)));
  centering.Fit(fitted, rounded);
  Shape_Drawing start(Big_Side, Big_Side, Pictures().colors.Palette.get(), Shape_Target::Target_Background());
  Shape_Target target(Big_Side, Big_Side, &triangle, frame, centering);
  for (const auto& s : steps) target.Add_Step(s, 0, 0, false);
  Measure(
      state, [&] { target.Realize(-1); },
      [&] {
        start.Clear();
        start.Paint_Shape(triangle, frame, Shape_Target::Target_Shape_Color(), TColor(No_Color));
        Shape_Drawing out(start, fitted);
        benchmark::DoNotOptimize(out.Bitmap);
      });
}
BENCHMARK(BM_Realize_Against_Composed_Render)->Unit(benchmark::kMillisecond);

// ---- Request to ready on a headless desk at side 576

class Bench_Users : public Palette_Users {
 public:
  explicit Bench_Users(int32_t level) : person{"Bench", level} {}
  Person Current() const override { return person; }
  Person Previous() const override { return person; }
  bool Same_Person() const override { return true; }
  bool Previous_Exists() const override { return true; }
  bool Previous_Removed_With_Files() const override { return false; }
  bool File_Flag(const std::string&, int32_t) const override { return false; }
  void Set_File_Flag(const std::string&, int32_t, bool) override {}
  std::string File_Path(const std::string&, int32_t) const override { return "/nonexistent/bench.man"; }
  void Save_Database() override {}
  bool Data_Directory_Writable() const override { return false; }
  bool Demonstration_Running() const override { return false; }
  Person person;
};

class No_Editor : public Manipulator_Editor {
 public:
  void Open(Shape_Transform&, char*, TWindow&) override {}
};

class Plain_Main : public TWindow {
 public:
  explicit Plain_Main(TSize size) : TWindow(nullptr, "Main") {
    Attr.Style = WS_POPUP | WS_VISIBLE;
    Attr.W = size.cx;
    Attr.H = size.cy;
  }
};

struct Game_Desk {
  explicit Game_Desk(int32_t level)
      : session(TSize(1024, 768)), sizes(1024, 768), pool(2, 5, sizes[Drawing_Side_Size]), users(level) {
    main = new Plain_Main(TSize(1024, 768));
    main->Create();
    tip = new Tip_Window(main);
    tip->Create();
    shapes = new Shape_Palette(main, TPoint(10, 10), level);
    shapes->Create();
    const int w = sizes[Drawing_Side_Size] + 2 * sizes[22];
    drawing = new Drawing_Window(main, TRect(200, 10, 200 + w, 10 + w));
    drawing->Create();
    palette = new Transform_Palette(main, TPoint(210 + w, 10), 500, &editor, users);
    palette->Create();
    session.Run_Until_Idle();
    generator = std::make_unique<Target_Generator>(shapes, palette, drawing);
    generator->Seed(2026);
  }
  ~Game_Desk() {
    generator.reset();
    delete main;
  }

  THeadless_Session session;
  GUI_Sizes sizes;
  GUI_Colors colors;
  DIB_Allocator pool;
  Round_Border border;
  GUI_Metafiles metafiles;
  GUI_Bitmaps bitmaps;
  Mouse mouse;
  Bench_Users users;
  No_Editor editor;
  TWindow* main = nullptr;
  Tip_Window* tip = nullptr;
  Shape_Palette* shapes = nullptr;
  Drawing_Window* drawing = nullptr;
  Transform_Palette* palette = nullptr;
  std::unique_ptr<Target_Generator> generator;
};

// Median and worst of 200 targets from request to realised (ms), and how
// many requests came to nothing.
void BM_Request_To_Ready(benchmark::State& state) {
  const int32_t level = int32_t(state.range(0)), a = int32_t(state.range(1));
  Game_Desk desk(level);
  std::vector<double> ms, request_ms;
  int refused = 0;
  for (auto _ : state) {
    ms.clear();
    request_ms.clear();
    refused = 0;
    while (ms.size() < 200) {
      const auto start = Clock::now();
      desk.generator->Request(a, nullptr);
      const auto requested = Clock::now();
      auto target = desk.generator->Take();
      const auto ready = Clock::now();
      if (!target) {
        ++refused;
        if (refused > 400) break;
        continue;
      }
      ms.push_back(std::chrono::duration<double, std::milli>(ready - start).count());
      request_ms.push_back(std::chrono::duration<double, std::milli>(requested - start).count());
    }
  }
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  std::sort(request_ms.begin(), request_ms.end());
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["worst_ms"] = ms.back();
  state.counters["recipe_median_ms"] = request_ms[request_ms.size() / 2];
  state.counters["recipe_worst_ms"] = request_ms.back();
  state.counters["refused"] = refused;
}
// Levels 3 and 5 (indices 2 and 4) with 3 and 6 steps.
BENCHMARK(BM_Request_To_Ready)->Args({2, 3})->Args({2, 6})->Args({4, 3})->Args({4, 6})->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The fireworks show against memcpy of the same pixels measured in the same
// run (ratio_to_memcpy):
// - preparing the largest show (36 fireworks) for a 1920 x 1080 screen, per
//   frame: three simulation steps, the drawing and the packing of a frame;
//   a frame stands for 90 ms of show, which bounds it;
// - the player's work for each frame of a show at side 1440 (a 2560-wide
//   screen): the frame drawn over the dimmed drawing where the last frame
//   drew, and the part that changed put on the 32-bit screen, against a
//   memcpy of the 32-bit pixels put on the screen, beside the share of the
//   picture they are (presented_share); and, once a show, the dimming of
//   the drawing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "game/fireworks_factory.h"
#include "game/fireworks_viewer.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/region.h"
#include "toolkit/frame_presenter.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/small_utilities.h"
#include "toolkit/standard_random.h"
#include "users/user_database.h"

namespace {

using Clock = std::chrono::steady_clock;

double Memcpy_Seconds(size_t bytes) {
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  double best = 1e9;
  for (int i = 0; i < 100; ++i) {
    auto t0 = Clock::now();
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

// The program's stores for a screen, with a level-5 player (every type).
struct Stores {
  Stores(int width, int height) : sizes(width, height), pool(2, 8, sizes[Drawing_Side_Size]) {
    users.default_user.level = 4;
    The_User_Database = &users;
  }
  ~Stores() { The_User_Database = nullptr; }
  GUI_Sizes sizes;
  GUI_Colors colors;
  DIB_Allocator pool;
  User_Database users{For_Stream};
};

void BM_Prepare_Largest_Show_Per_Frame(benchmark::State& state) {
  Stores stores(1920, 1080);
  const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
  const double baseline = Memcpy_Seconds(size_t(side) * side);
  Fireworks_Factory factory;
  double seconds = 0.0;
  int64_t frames = 0;
  int32_t seed = 1;
  for (auto _ : state) {
    Set_Random_State(seed++);
    auto t0 = Clock::now();
    factory.Start(6, 6);
    std::unique_ptr<Animation_Sequence> sequence = factory.Take_Sequence();
    seconds += std::chrono::duration<double>(Clock::now() - t0).count();
    frames += sequence ? sequence->Frame_Count() : 0;
  }
  const double each = seconds / double(std::max<int64_t>(frames, 1));
  state.counters["side"] = side;
  state.counters["frames_per_show"] = double(frames) / double(state.iterations());
  state.counters["frame_ms"] = each * 1e3;
  state.counters["frame_share_of_90ms"] = each / 0.090;
  state.counters["ratio_to_memcpy"] = each / baseline;
  state.counters["memcpy_us"] = baseline * 1e6;
}
BENCHMARK(BM_Prepare_Largest_Show_Per_Frame)->Iterations(3)->Unit(benchmark::kMillisecond);

// The player's work for each frame of a show at side 1440: the last
// frame's runs put back to the dimmed drawing and the new frame's drawn,
// straight on a 32-bit screen, which is told of the box the two drew in
// and presents it. The baseline of a frame is a memcpy of as many 32-bit
// pixels as that box holds, out of a picture of its own. Each frame's time and baseline are the fastest of several
// plays of the same show, so that other work on the machine does not count.
void BM_Viewer_Frame(benchmark::State& state) {
  Stores stores(2560, 1920);
  const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
  const size_t bytes = size_t(side) * side;
  TDiBitmap dimmed(side, side, 8), work(side, side, 8);
  for (size_t i = 0; i < bytes; ++i) dimmed.GetBits()[i] = uint8_t(i * 7 / side);
  TDibDC work_dc(work);
  TBitmap screen(side, side);
  TMemoryDC screen_dc(screen);
  const TRect rect(0, 0, side, side);
  // The drawing window shows its picture within a circle, and the show's
  // context has that clip.
  screen_dc.SelectClipRgn(TRegion::Ellipse(rect));
  std::vector<uint8_t> from(bytes * 4, 1), to(bytes * 4);
  Fireworks_Factory factory;
  std::vector<double> prepare, show, baseline, row_baseline;
  std::vector<int64_t> presented;
  for (auto _ : state) {
    Set_Random_State(77);
    factory.Start(3, 3);
    std::unique_ptr<Animation_Sequence> sequence = factory.Take_Sequence();
    if (!sequence) break;
    Frame_Presenter presenter;
    presenter.Start(true);
    for (size_t k = 0; sequence->Frames_Remain(); ++k) {
      auto t0 = Clock::now();
      presenter.Prepare(*sequence, dimmed, work);
      auto t1 = Clock::now();
      presenter.Show(screen_dc, rect, work_dc);
      benchmark::ClobberMemory();
      auto t2 = Clock::now();
      const TRect changed = presenter.Changed();
      const size_t pixels = changed.IsEmpty() ? 0 : size_t(changed.Width()) * size_t(changed.Height());
      // Copied once, as the frame's pixels are: in one piece, and row by row
      // as they lie in the pictures.
      auto c0 = Clock::now();
      std::memcpy(to.data(), from.data(), pixels * 4);
      benchmark::ClobberMemory();
      auto c1 = Clock::now();
      for (int y = changed.top; y < changed.bottom; ++y)
        std::memcpy(to.data() + (size_t(y) * side + changed.left) * 4, from.data() + (size_t(y) * side + changed.left) * 4,
                    size_t(changed.Width()) * 4);
      benchmark::ClobberMemory();
      auto c2 = Clock::now();
      const double copy = std::chrono::duration<double>(c1 - c0).count();
      const double rows = std::chrono::duration<double>(c2 - c1).count();
      if (k == prepare.size()) {
        prepare.push_back(1e9), show.push_back(1e9), baseline.push_back(1e9), row_baseline.push_back(1e9);
        presented.push_back(int64_t(pixels));
      }
      prepare[k] = std::min(prepare[k], std::chrono::duration<double>(t1 - t0).count());
      show[k] = std::min(show[k], std::chrono::duration<double>(t2 - t1).count());
      baseline[k] = std::min(baseline[k], copy);
      row_baseline[k] = std::min(row_baseline[k], rows);
    }
  }
  // The first frame of a show puts the whole drawing:
  // once a show, counted apart as the dimming is.
  double prepared = 0, shown = 0, base = 0, row_base = 0, share = 0;
  for (size_t k = 1; k < prepare.size(); ++k) {
    prepared += prepare[k], shown += show[k], base += baseline[k], row_base += row_baseline[k];
    share += double(presented[k]) / double(bytes);
  }
  const double frames = double(std::max<size_t>(prepare.size(), 2) - 1);
  state.counters["side"] = side;
  state.counters["frames"] = frames;
  state.counters["presented_share"] = share / frames;
  state.counters["frame_us"] = (prepared + shown) / frames * 1e6;
  state.counters["memcpy_presented_us"] = base / frames * 1e6;
  state.counters["prepare_ratio"] = prepared / base;
  state.counters["show_ratio"] = shown / base;
  state.counters["ratio_to_memcpy_presented"] = (prepared + shown) / base;
  state.counters["ratio_to_row_memcpy"] = (prepared + shown) / row_base;
  if (!prepare.empty()) {
    state.counters["first_frame_us"] = (prepare[0] + show[0]) * 1e6;
    state.counters["first_frame_ratio"] = (prepare[0] + show[0]) / baseline[0];
  }
}
BENCHMARK(BM_Viewer_Frame)->Iterations(12)->Unit(benchmark::kMillisecond);

void BM_Viewer_Dim_Once_A_Show(benchmark::State& state) {
  Stores stores(2560, 1920);
  const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
  const size_t bytes = size_t(side) * side;
  const double baseline = Memcpy_Seconds(bytes);
  Fireworks_Viewer viewer;
  const std::array<uint8_t, 256>& map = viewer.Dimming_Map();
  std::vector<uint8_t> picture(bytes);
  for (size_t i = 0; i < bytes; ++i) picture[i] = uint8_t(i * 7 / side);
  auto t0 = Clock::now();
  for (auto _ : state) {
    for (uint8_t& p : picture) p = map[p];
    benchmark::ClobberMemory();
  }
  const double each = std::chrono::duration<double>(Clock::now() - t0).count() / double(state.iterations());
  state.counters["ratio_to_memcpy"] = each / baseline;
}
BENCHMARK(BM_Viewer_Dim_Once_A_Show)->Unit(benchmark::kMillisecond);

}  // namespace

// The fireworks show against memcpy of the same pixels measured in the same
// run (ratio_to_memcpy):
// - preparing the largest show (36 fireworks) for a 1920 x 1080 screen, per
//   frame: three simulation steps, the drawing and the packing of a frame;
//   a frame stands for 90 ms of show, which bounds it;
// - the player's work for one frame of a show at side 1440 (a 2560-wide
//   screen): the dimmed drawing copied under the frame, the frame unpacked
//   over it and the result put on the 32-bit screen (each part's ratio
//   beside the total; box_share is the part of the picture that the boxes
//   of two frames in a row cover, what a player that put only changed boxes
//   on the screen would touch); and, once a show, the dimming of the
//   drawing.
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
#include "toolkit/frame_run_code.h"
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

// Frames of a show at side 1440, packed as the sequence keeps them.
std::vector<std::vector<uint8_t>> Packed_Frames(int side) {
  Fireworks_Factory factory;
  Set_Random_State(77);
  factory.Start(3, 3);
  std::unique_ptr<Animation_Sequence> sequence = factory.Take_Sequence();
  std::vector<std::vector<uint8_t>> packed;
  TDib frame(side, side, 8);
  const size_t bound = Frame_Run_Code::Max_Packed_Size(size_t(side) * side, size_t(side));
  while (sequence && sequence->Frames_Remain()) {
    std::memset(frame.GetBits(), 0, frame.SizeImage());
    sequence->Next_Frame(frame);
    std::vector<uint8_t> out(bound);
    out.resize(Frame_Run_Code::Pack(frame.GetBits(), side, side, 0, out.data(), bound));
    packed.push_back(std::move(out));
  }
  return packed;
}

void BM_Viewer_Frame(benchmark::State& state) {
  Stores stores(2560, 1920);
  const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
  const size_t bytes = size_t(side) * side;
  const double baseline = Memcpy_Seconds(bytes);
  const std::vector<std::vector<uint8_t>> frames = Packed_Frames(side);
  TDiBitmap dimmed(side, side, 8), work(side, side, 8);
  for (size_t i = 0; i < bytes; ++i) dimmed.GetBits()[i] = uint8_t(i * 7 / side);
  TDibDC work_dc(work);
  TBitmap screen(side, side);
  TMemoryDC screen_dc(screen);
  size_t k = 0;
  double copy = 0.0, unpack = 0.0, blit = 0.0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    std::memcpy(work.GetBits(), dimmed.GetBits(), bytes);
    auto t1 = Clock::now();
    const std::vector<uint8_t>& f = frames[k++ % frames.size()];
    Frame_Run_Code::Unpack(f.data(), f.size(), work.GetBits(), bytes);
    auto t2 = Clock::now();
    screen_dc.BitBlt(0, 0, side, side, work_dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
    auto t3 = Clock::now();
    copy += std::chrono::duration<double>(t1 - t0).count();
    unpack += std::chrono::duration<double>(t2 - t1).count();
    blit += std::chrono::duration<double>(t3 - t2).count();
  }
  const double n = double(state.iterations());
  {
    // How much of the frame the frames touch: the box of two frames in a row.
    TDib f(side, side, 8);
    std::vector<TRect> boxes;
    for (const auto& p : frames) {
      std::memset(f.GetBits(), 0, bytes);
      Frame_Run_Code::Unpack(p.data(), p.size(), f.GetBits(), bytes);
      TRect b(side, side, 0, 0);
      for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
          if (f.GetBits()[size_t(y) * side + x]) b = TRect(std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1), std::max(b.bottom, y + 1));
      boxes.push_back(b);
    }
    double area = 0;
    for (size_t i = 1; i < boxes.size(); ++i) {
      TRect u(std::min(boxes[i].left, boxes[i-1].left), std::min(boxes[i].top, boxes[i-1].top), std::max(boxes[i].right, boxes[i-1].right), std::max(boxes[i].bottom, boxes[i-1].bottom));
      if (u.right > u.left && u.bottom > u.top) area += double(u.Width()) * u.Height();
    }
    state.counters["box_share"] = area / double(boxes.size() - 1) / double(bytes);
  }
  const double each = (copy + unpack + blit) / n;
  state.counters["copy_ratio"] = copy / n / baseline;
  state.counters["unpack_ratio"] = unpack / n / baseline;
  state.counters["blit_ratio"] = blit / n / baseline;
  state.counters["side"] = side;
  state.counters["ratio_to_memcpy"] = each / baseline;
  state.counters["memcpy_us"] = baseline * 1e6;
}
BENCHMARK(BM_Viewer_Frame)->Unit(benchmark::kMillisecond);

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

// Packing and unpacking animation frames, and mixing sound, against memcpy
// of the same bytes measured in the same run: each benchmark reports its
// time per run divided by that of the memcpy (ratio_to_memcpy).
//
// Frames are the drawing area at the 1024-pixel layout (layout size 10 of
// GUI_Sizes); the track is one second of 16-bit sound.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "toolkit/frame_run_code.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/sound_wave.h"

namespace {

using Clock = std::chrono::steady_clock;

int Frame_Side() {
  static const int side = GUI_Sizes(1024, 768)[Drawing_Side_Size];
  return side;
}

// Seconds for one memcpy of bytes: the best of many, so that noise only
// makes the ratios look worse.
double Memcpy_Seconds(size_t bytes) {
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  double best = 1e9;
  for (int i = 0; i < 300; ++i) {
    auto t0 = Clock::now();
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

template <typename Work>
void Run_Against_Memcpy(benchmark::State& state, size_t bytes, Work work) {
  double baseline = Memcpy_Seconds(bytes);
  auto t0 = Clock::now();
  for (auto _ : state) {
    work();
    benchmark::ClobberMemory();
  }
  double each = std::chrono::duration<double>(Clock::now() - t0).count() / double(state.iterations());
  state.counters["ratio_to_memcpy"] = each / baseline;
  state.counters["memcpy_us"] = baseline * 1e6;
}

enum class Frame_Kind { Fireworks, Alternating, Solid };

// A fireworks frame is mostly key (0) with trails and sparkles: short runs
// of colour scattered over about a twentieth of the picture.
std::vector<uint8_t> Make_Frame(Frame_Kind kind) {
  const size_t n = size_t(Frame_Side()) * Frame_Side();
  std::vector<uint8_t> frame(n, 0);
  std::mt19937 random(42);
  switch (kind) {
    case Frame_Kind::Fireworks:
      for (int dots = 0; dots < 4000; ++dots) {
        size_t at = random() % n;
        size_t run = 1 + random() % 8;
        for (size_t i = at; i < std::min(n, at + run); ++i) frame[i] = uint8_t(1 + random() % 200);
      }
      break;
    case Frame_Kind::Alternating:
      for (size_t i = 0; i < n; i += 2) frame[i] = 7;
      break;
    case Frame_Kind::Solid:
      std::fill(frame.begin(), frame.end(), 9);
      break;
  }
  return frame;
}

void Pack_Frame(benchmark::State& state, Frame_Kind kind) {
  const int side = Frame_Side();
  std::vector<uint8_t> frame = Make_Frame(kind);
  std::vector<uint8_t> out(Frame_Run_Code::Max_Packed_Size(frame.size(), side));
  size_t packed = 0;
  Run_Against_Memcpy(state, frame.size(), [&] {
    packed = Frame_Run_Code::Pack(frame.data(), side, side, 0, out.data(), out.size());
    benchmark::DoNotOptimize(out.data());
  });
  state.counters["packed_per_pixel"] = double(packed) / double(frame.size());
}

void Unpack_Frame(benchmark::State& state, Frame_Kind kind) {
  const int side = Frame_Side();
  std::vector<uint8_t> frame = Make_Frame(kind);
  std::vector<uint8_t> out(Frame_Run_Code::Max_Packed_Size(frame.size(), side));
  size_t packed = Frame_Run_Code::Pack(frame.data(), side, side, 0, out.data(), out.size());
  std::vector<uint8_t> target(frame.size(), 50);
  Run_Against_Memcpy(state, frame.size(), [&] {
    Frame_Run_Code::Unpack(out.data(), packed, target.data(), target.size());
    benchmark::DoNotOptimize(target.data());
  });
}

void BM_Pack_Fireworks_Frame(benchmark::State& state) { Pack_Frame(state, Frame_Kind::Fireworks); }
void BM_Pack_Alternating_Frame(benchmark::State& state) { Pack_Frame(state, Frame_Kind::Alternating); }
void BM_Pack_Solid_Frame(benchmark::State& state) { Pack_Frame(state, Frame_Kind::Solid); }
void BM_Unpack_Fireworks_Frame(benchmark::State& state) { Unpack_Frame(state, Frame_Kind::Fireworks); }
void BM_Unpack_Solid_Frame(benchmark::State& state) { Unpack_Frame(state, Frame_Kind::Solid); }

// One second of 16-bit track, with a clip of the given width mixed over
// all of it.
void Mix_Second(benchmark::State& state, uint16_t clip_bits, int shift) {
  Sound_Wave track(1000, Sound_Milliseconds, true, 16, 22050, 1);
  Sound_Wave clip(1000, Sound_Milliseconds, false, clip_bits, 22050, 1);
  std::mt19937 random(3);
  for (int64_t i = 0; i < clip.Get_Length(Sound_Bytes); ++i) clip.Samples()[i] = uint8_t(random());
  Run_Against_Memcpy(state, size_t(track.Get_Length(Sound_Bytes)), [&] {
    track.Mix_From(clip, -1, Sound_Frames, shift);
    benchmark::DoNotOptimize(track.Samples());
  });
}

void BM_Mix_Second_16_Into_16(benchmark::State& state) { Mix_Second(state, 16, 0); }
void BM_Mix_Second_8_Into_16_Shifted(benchmark::State& state) { Mix_Second(state, 8, 1); }

}  // namespace

BENCHMARK(BM_Pack_Fireworks_Frame);
BENCHMARK(BM_Pack_Alternating_Frame);
BENCHMARK(BM_Pack_Solid_Frame);
BENCHMARK(BM_Unpack_Fireworks_Frame);
BENCHMARK(BM_Unpack_Solid_Frame);
BENCHMARK(BM_Mix_Second_16_Into_16);
BENCHMARK(BM_Mix_Second_8_Into_16_Shifted);

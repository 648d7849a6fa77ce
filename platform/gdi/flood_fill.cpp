// Span flood fill.
//
// The area grows by runs: a run is a maximal horizontal stretch of matching
// pixels on one row. When a run is found it is marked in a visited bitmap
// (one bit per pixel of the clip), reported and pushed on a stack; popping
// it scans the rows above and below over its extent for unvisited matching
// pixels, each of which starts a new run. Every run is found once, so the
// work is bounded by the area plus its border and the fill always ends, also
// when the caller paints each reported run at once with any colour (painted
// pixels are visited and never looked at again).
//
// The pixel format is resolved once (a template per bit depth). For 8-bit
// pixels, runs are extended eight pixels at a time and the visited bitmap is
// searched 64 pixels at a time, so a large plain area costs little more than
// reading it.
#include "platform/gdi/flood_fill.h"

#include <bit>
#include <cstring>
#include <vector>

uint32_t TPixel_View::Pixel(int x, int y) const {
  const uint8_t* row = bits + y * stride;
  switch (bits_per_pixel) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
      return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    case 8:
      return row[x];
    case 32: {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      return v;
    }
  }
  return 0;
}

namespace {

constexpr uint64_t Ones = 0x0101010101010101ull;
constexpr uint64_t Low7 = 0x7F7F7F7F7F7F7F7Full;

// The high bit of every byte of v that is zero (exactly, no false hits).
inline uint64_t Zero_Bytes(uint64_t v) { return ~(((v & Low7) + Low7) | v | Low7); }

template <int Bpp>
inline uint32_t Read(const uint8_t* row, int x) {
  if constexpr (Bpp == 1) return (row[x >> 3] >> (7 - (x & 7))) & 1u;
  if constexpr (Bpp == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
  if constexpr (Bpp == 8) return row[x];
  if constexpr (Bpp == 32) {
    uint32_t v;
    std::memcpy(&v, row + 4 * x, 4);
    return v;
  }
}

// Which pixels belong to the area, and how far a run of them reaches.
template <int Bpp, bool Surface>
class TMatcher {
 public:
  explicit TMatcher(uint32_t value) : value_(value), wide_(Ones * (value & 0xFF)) {}

  bool Match(const uint8_t* row, int x) const { return (Read<Bpp>(row, x) == value_) == Surface; }

  // The first x in [x, limit) that does not match, or limit.
  int Run_End(const uint8_t* row, int x, int limit) const {
    if constexpr (Bpp == 8) {
      while (x + 8 <= limit) {
        uint64_t stop = Stops(row + x);
        if (stop) return x + std::countr_zero(stop) / 8;
        x += 8;
      }
    }
    while (x < limit && Match(row, x)) ++x;
    return x;
  }
  // The first x in [limit, x] such that all of [x, x_given) match.
  int Run_Start(const uint8_t* row, int x, int limit) const {
    if constexpr (Bpp == 8) {
      while (x - 8 >= limit) {
        uint64_t stop = Stops(row + x - 8);
        if (stop) return x - std::countl_zero(stop) / 8;
        x -= 8;
      }
    }
    while (x > limit && Match(row, x - 1)) --x;
    return x;
  }

 private:
  // The high bit of each of the 8 bytes at p that does not match.
  uint64_t Stops(const uint8_t* p) const {
    uint64_t v;
    std::memcpy(&v, p, 8);
    uint64_t equal = Zero_Bytes(v ^ wide_);
    return Surface ? (~equal & (Ones << 7)) : equal;
  }
  uint32_t value_;
  uint64_t wide_;
};

// One bit per pixel of the area: set once the pixel's run has been found.
class TVisited {
 public:
  TVisited(const TRect& area)
      : left_(area.left), top_(area.top), words_((area.Width() + 63) / 64),
        bits_(size_t(words_) * area.Height(), 0) {}

  // The first unvisited x in [x, end), or end.
  int Next_Free(int y, int x, int end) const {
    const uint64_t* row = &bits_[size_t(y - top_) * words_];
    int i = x - left_, stop = end - left_;
    while (i < stop) {
      uint64_t free = ~row[i >> 6] >> (i & 63);
      if (free) return std::min(stop, i + std::countr_zero(free)) + left_;
      i = (i | 63) + 1;
    }
    return end;
  }
  void Mark(int y, int x0, int x1) {
    uint64_t* row = &bits_[size_t(y - top_) * words_];
    int i = x0 - left_, stop = x1 - left_;
    while (i < stop) {
      int bit = i & 63, count = std::min(64 - bit, stop - i);
      row[i >> 6] |= (count == 64 ? ~0ull : ((1ull << count) - 1)) << bit;
      i += count;
    }
  }

 private:
  int left_, top_, words_;
  std::vector<uint64_t> bits_;
};

struct TRun {
  int y, x0, x1;
};

template <int Bpp, bool Surface>
void Fill(const TPixel_View& view, TPoint seed, uint32_t value, const TRect& area,
          const TSpan_Sink& sink) {
  TMatcher<Bpp, Surface> matcher(value);
  auto row_of = [&](int y) { return view.bits + long(y) * view.stride; };
  if (!matcher.Match(row_of(seed.y), seed.x)) return;
  TVisited visited(area);
  std::vector<TRun> stack;
  auto found = [&](int y, int x0, int x1) {
    visited.Mark(y, x0, x1);
    stack.push_back({y, x0, x1});
    sink(y, x0, x1);
  };
  const uint8_t* seed_row = row_of(seed.y);
  found(seed.y, matcher.Run_Start(seed_row, seed.x, area.left),
        matcher.Run_End(seed_row, seed.x + 1, area.right));
  while (!stack.empty()) {
    TRun run = stack.back();
    stack.pop_back();
    for (int y : {run.y - 1, run.y + 1}) {
      if (y < area.top || y >= area.bottom) continue;
      const uint8_t* row = row_of(y);
      for (int x = visited.Next_Free(y, run.x0, run.x1); x < run.x1;
           x = visited.Next_Free(y, x, run.x1)) {
        if (!matcher.Match(row, x)) {
          ++x;
          continue;
        }
        int end = matcher.Run_End(row, x + 1, area.right);
        found(y, matcher.Run_Start(row, x, area.left), end);
        x = end;
      }
    }
  }
}

template <int Bpp>
void Fill_Mode(const TPixel_View& view, TPoint seed, uint32_t value, TFlood_Mode mode,
               const TRect& area, const TSpan_Sink& sink) {
  if (mode == TFlood_Mode::Surface)
    Fill<Bpp, true>(view, seed, value, area, sink);
  else
    Fill<Bpp, false>(view, seed, value, area, sink);
}

}  // namespace

void Flood_Fill(const TPixel_View& view, TPoint seed, uint32_t value, TFlood_Mode mode,
                const TRect& clip, const TSpan_Sink& sink) {
  if (view.bits == nullptr || view.width <= 0 || view.height <= 0) return;
  TRect area = clip.Intersection(TRect(0, 0, view.width, view.height));
  if (!area.Contains(seed)) return;
  if (view.bits_per_pixel < 32 && value >= (1u << view.bits_per_pixel)) {
    // No pixel can hold the value: a surface fill finds nothing, a border
    // fill everything.
    if (mode == TFlood_Mode::Border)
      for (int y = area.top; y < area.bottom; ++y) sink(y, area.left, area.right);
    return;
  }
  switch (view.bits_per_pixel) {
    case 1: return Fill_Mode<1>(view, seed, value, mode, area, sink);
    case 4: return Fill_Mode<4>(view, seed, value, mode, area, sink);
    case 8: return Fill_Mode<8>(view, seed, value, mode, area, sink);
    case 32: return Fill_Mode<32>(view, seed, value, mode, area, sink);
  }
}

#include "model/render_core.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/trunc_i32.h"

namespace {

constexpr float Accumulator_Limit = 2147483648.0f;

float Limit_Accumulator(float v) {
  if (v > Accumulator_Limit) return Accumulator_Limit;
  if (v < -Accumulator_Limit) return -Accumulator_Limit;
  return v;
}

int32_t Limit_Step(int64_t step) { return static_cast<int32_t>(std::clamp<int64_t>(step, -128, 127)); }

// trunc(F) - S with both terms and the result 32-bit integers. An accumulator
// held at +2^31 truncates to INT32_MIN, and the difference from a position
// already ahead of 0 wraps round to a large step forward: the position goes on
// catching up instead of turning back into the picture.
int32_t Step_Toward(float accumulator, int64_t position) {
  return static_cast<int32_t>(static_cast<uint32_t>(Trunc_I32(accumulator)) - static_cast<uint32_t>(position));
}

bool Outside_I32(float v) { return !(v >= -2147483648.0f && v <= 2147483647.0f); }

bool Any_Outside_I32(const Map_Coefficients& m) {
  return Outside_I32(m.a) || Outside_I32(m.b) || Outside_I32(m.c) || Outside_I32(m.d) ||
         Outside_I32(m.e) || Outside_I32(m.f);
}

// The running sums of a step table: where each step lands relative to the
// start, as x, y and buffer offset, and the range of x and y over all steps.
struct Step_Sums {
  std::vector<int64_t> x, y, offset;
  int64_t min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  // Every x step and every y step keeps one sign, so positions along the
  // table only move one way (false only for coefficients near the limits).
  bool monotone = true;

  void Build(const Step_Table& table, int32_t row_length) {
    const size_t n = table.x.size();
    x.resize(n);
    y.resize(n);
    offset.resize(n);
    int64_t sx = 0, sy = 0;
    bool x_up = false, x_down = false, y_up = false, y_down = false;
    for (size_t i = 0; i < n; ++i) {
      x_up |= table.x[i] > 0, x_down |= table.x[i] < 0;
      y_up |= table.y_steps[i] > 0, y_down |= table.y_steps[i] < 0;
      sx += table.x[i];
      sy += table.y_steps[i];
      x[i] = sx;
      y[i] = sy;
      offset[i] = sx + sy * row_length;
    }
    monotone = !(x_up && x_down) && !(y_up && y_down);
    if (n > 0) {
      auto [lx, hx] = std::minmax_element(x.begin(), x.end());
      auto [ly, hy] = std::minmax_element(y.begin(), y.end());
      min_x = *lx, max_x = *hx, min_y = *ly, max_y = *hy;
    }
  }
};

// The tables of a map over a picture: columns step with (p, q) = (a, c),
// rows with (b, d).
struct Map_Walk {
  Step_Sums columns, rows;
  int64_t x0 = 0, y0 = 0;

  void Build(const Map_Coefficients& m, int32_t columns_n, int32_t rows_n, int32_t row_length,
             int32_t origin_width, int32_t origin_height) {
    Step_Table table;
    table.Build(columns_n, m.a, m.c, row_length);
    columns.Build(table, row_length);
    table.Build(rows_n, m.b, m.d, row_length);
    rows.Build(table, row_length);
    const float e = std::isnan(m.e) ? m.e : std::clamp(m.e, -1024.0f, 1024.0f);
    const float f = std::isnan(m.f) ? m.f : std::clamp(m.f, -1024.0f, 1024.0f);
    x0 = Trunc_I32(double(e) * origin_width);
    y0 = Trunc_I32(double(f) * origin_height);
  }

  // Whether every position lies inside a width x height picture.
  bool Stays_Inside(int32_t width, int32_t height) const {
    return x0 + rows.min_x + columns.min_x >= 0 && x0 + rows.max_x + columns.max_x < width &&
           y0 + rows.min_y + columns.min_y >= 0 && y0 + rows.max_y + columns.max_y < height;
  }
};

// The indices [first, last) of a monotone table whose positions
// base + v[i] lie in [low, high): one run, since the positions move one way.
struct Index_Range {
  int32_t first = 0, last = 0;
};

Index_Range Inside_Range(const std::vector<int64_t>& v, int64_t base, int64_t low, int64_t high) {
  const int32_t n = int32_t(v.size());
  if (n == 0) return {};
  const bool rising = v[n - 1] >= v[0];
  // The first index at which a condition that holds from some index on
  // becomes true.
  auto first_where = [&](auto&& holds) {
    int32_t lo = 0, hi = n;
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo) / 2;
      if (holds(base + v[mid])) hi = mid;
      else lo = mid + 1;
    }
    return lo;
  };
  Index_Range r;
  if (rising) {
    r.first = first_where([&](int64_t p) { return p >= low; });
    r.last = first_where([&](int64_t p) { return p >= high; });
  } else {
    r.first = first_where([&](int64_t p) { return p < high; });
    r.last = first_where([&](int64_t p) { return p < low; });
  }
  if (r.last < r.first) r.last = r.first;
  return r;
}

// The indices where both the x and the y position of a step lie inside a
// width x height picture.
Index_Range Inside_Both(const Step_Sums& sums, int64_t base_x, int64_t base_y, int32_t width, int32_t height) {
  const Index_Range rx = Inside_Range(sums.x, base_x, 0, width);
  const Index_Range ry = Inside_Range(sums.y, base_y, 0, height);
  Index_Range r{std::max(rx.first, ry.first), std::min(rx.last, ry.last)};
  if (r.last < r.first) r.last = r.first;
  return r;
}

bool All_Equal_16(const uint8_t* p, uint8_t v) {
  uint64_t a, b;
  std::memcpy(&a, p, 8);
  std::memcpy(&b, p + 8, 8);
  const uint64_t w = 0x0101010101010101ull * v;
  return a == w && b == w;
}

constexpr uint64_t Broadcast(uint8_t v) { return 0x0101010101010101ull * v; }

}  // namespace

void Step_Table::Build(int32_t n, float p, float q, int32_t row_length) {
  x.resize(n);
  y_steps.resize(n);
  y.resize(n);
  float fx = 0.0f, fy = 0.0f;
  int64_t sx = 0, sy = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t tx = Limit_Step(Step_Toward(fx, sx));
    x[i] = static_cast<int8_t>(tx);
    sx += tx;
    fx = Limit_Accumulator(fx + p);
    const int32_t ty = Limit_Step(Step_Toward(fy, sy));
    sy += ty;
    y_steps[i] = static_cast<int8_t>(ty);
    y[i] = ty * row_length;
    fy = Limit_Accumulator(fy + q);
  }
}

void Render_Forward(const Pixel_Buffer& destination, const Pixel_Buffer& source, uint8_t b0,
                    const Map_Coefficients& map) {
  const int32_t sw = source.width, sh = source.height;
  const int32_t dw = destination.width, dh = destination.height;
  const int64_t stride = destination.stride;
  Map_Walk walk;
  walk.Build(map, sw, sh, destination.stride, sw, sh);
  const bool tested = Any_Outside_I32(map) || !walk.Stays_Inside(dw, dh);
  const uint64_t background = Broadcast(b0);
  const int64_t* column_offset = walk.columns.offset.data();
  uint8_t* out = destination.bits;

  // Runs of source columns that land on one destination pixel: of a run,
  // only its last inked pixel shows.
  std::vector<int32_t> run_last;
  for (int32_t xs = 0; xs < sw; ++xs)
    if (xs + 1 == sw || column_offset[xs + 1] != column_offset[xs]) run_last.push_back(xs);

  for (int32_t ys = 0; ys < sh;) {
    // Rows that land on the same place form a group; where the group's last
    // row is inked throughout, it alone decides every pixel the group paints.
    int32_t group_end = ys + 1;
    while (group_end < sh && walk.rows.x[group_end] == walk.rows.x[ys] && walk.rows.y[group_end] == walk.rows.y[ys])
      ++group_end;
    const int64_t row_x = walk.x0 + walk.rows.x[ys];
    const int64_t row_y = walk.y0 + walk.rows.y[ys];
    int32_t from = 0, end = sw;
    if (tested) {
      if (!walk.columns.monotone) {
        for (; ys < group_end; ++ys) {
          const uint8_t* row = source.bits + int64_t{ys} * source.stride;
          for (int32_t xs = 0; xs < sw; ++xs) {
            const uint8_t v = row[xs];
            if (v == b0) continue;
            const int64_t x = row_x + walk.columns.x[xs];
            const int64_t y = row_y + walk.columns.y[xs];
            if (x >= 0 && x < dw && y >= 0 && y < dh) out[y * stride + x] = v;
          }
        }
        continue;
      }
      // The pixels of these rows that land inside form one run.
      const Index_Range inside = Inside_Both(walk.columns, row_x, row_y, dw, dh);
      from = inside.first;
      end = inside.last;
    }
    const int64_t base = row_y * stride + row_x;
    if (from >= end) {
      ys = group_end;
      continue;
    }
    const uint8_t* last_row = source.bits + int64_t{group_end - 1} * source.stride;
    const bool shrinking = group_end - ys > 1 || int32_t(run_last.size()) < sw;
    if (shrinking && !std::memchr(last_row + from, b0, size_t(end - from))) {
      auto run = std::lower_bound(run_last.begin(), run_last.end(), from);
      for (; run != run_last.end(); ++run) {
        const int32_t last = std::min(*run, end - 1);
        out[base + column_offset[last]] = last_row[last];
        if (*run >= end - 1) break;
      }
      ys = group_end;
      continue;
    }
    for (; ys < group_end; ++ys) {
      const uint8_t* row = source.bits + int64_t{ys} * source.stride;
      int32_t xs = from;
      for (; xs + 8 <= end; xs += 8) {
        uint64_t word;
        std::memcpy(&word, row + xs, 8);
        if (word == background) continue;
        for (int k = 0; k < 8; ++k) {
          const uint8_t v = row[xs + k];
          if (v != b0) out[base + column_offset[xs + k]] = v;
        }
      }
      for (; xs < end; ++xs) {
        const uint8_t v = row[xs];
        if (v != b0) out[base + column_offset[xs]] = v;
      }
    }
  }
}

Ink_Map::Ink_Map(const Pixel_Buffer& picture, uint8_t b0)
    : columns((picture.width + Block - 1) / Block), rows((picture.height + Block - 1) / Block),
      sums(size_t(columns + 1) * (rows + 1), 0) {
  std::vector<uint8_t> inked(size_t(columns) * rows, 0);
  const uint64_t background = Broadcast(b0);
  for (int32_t y = 0; y < picture.height; ++y) {
    const uint8_t* row = picture.bits + int64_t{y} * picture.stride;
    uint8_t* flags = inked.data() + size_t(y / Block) * columns;
    int32_t x = 0;
    for (; x + 8 <= picture.width; x += 8) {
      uint64_t word;
      std::memcpy(&word, row + x, 8);
      if (word != background) flags[x / Block] = 1;
    }
    for (; x < picture.width; ++x)
      if (row[x] != b0) flags[x / Block] = 1;
  }
  for (int32_t by = 0; by < rows; ++by)
    for (int32_t bx = 0; bx < columns; ++bx)
      sums[size_t(by + 1) * (columns + 1) + bx + 1] = inked[size_t(by) * columns + bx] +
                                                      sums[size_t(by) * (columns + 1) + bx + 1] +
                                                      sums[size_t(by + 1) * (columns + 1) + bx] -
                                                      sums[size_t(by) * (columns + 1) + bx];
}

bool Ink_Map::Blank(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const {
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  const int64_t bx0 = x0 / Block, bx1 = x1 / Block + 1, by0 = y0 / Block, by1 = y1 / Block + 1;
  const int64_t w = columns + 1;
  return sums[by1 * w + bx1] - sums[by0 * w + bx1] - sums[by1 * w + bx0] + sums[by0 * w + bx0] == 0;
}

void Render_Backward(const Pixel_Buffer& destination, const Pixel_Buffer& source, uint8_t b0,
                     const Map_Coefficients& inverse, const Ink_Map* ink) {
  const int32_t sw = source.width, sh = source.height;
  const int32_t dw = destination.width, dh = destination.height;
  const int64_t stride = destination.stride;
  Map_Walk walk;
  walk.Build(inverse, dw, dh, source.stride, dw, dh);
  const bool tested = Any_Outside_I32(inverse) || !walk.Stays_Inside(sw, sh);
  const int64_t* column_offset = walk.columns.offset.data();
  uint8_t* out = destination.bits;
  std::optional<Ink_Map> own_ink;
  if (!ink) ink = &own_ink.emplace(source, b0);

  for (int32_t y = 0; y < dh; ++y) {
    const int64_t row_x = walk.x0 + walk.rows.x[y];
    const int64_t row_y = walk.y0 + walk.rows.y[y];
    const bool inner_row = y >= 1 && y <= dh - 2;
    uint8_t* o = out + int64_t{y} * stride;
    // The hole rule: a background pixel whose four neighbours are all inked
    // takes its right neighbour's colour; neighbours are read as they are.
    auto fill_hole = [&](int32_t x) {
      uint8_t* p = o + x;
      if (inner_row && *p == b0 && p[-1] != b0 && p[1] != b0 && p[-stride] != b0 && p[stride] != b0)
        *p = p[1];
    };
    int32_t x = 0, end = dw;
    if (tested) {
      if (!walk.columns.monotone) {
        for (; x < dw; ++x) {
          const int64_t sx = row_x + walk.columns.x[x];
          const int64_t sy = row_y + walk.columns.y[x];
          if (sx < 0 || sx >= sw || sy < 0 || sy >= sh) continue;
          const uint8_t s = source.bits[sy * source.stride + sx];
          if (s != b0) o[x] = s;
          else fill_hole(x);
        }
        continue;
      }
      // The pixels of this row that read inside the source form one run.
      const Index_Range inside = Inside_Both(walk.columns, row_x, row_y, sw, sh);
      x = inside.first;
      end = inside.last;
    }
    const int64_t base = row_y * source.stride + row_x;
    // Blocks of pixels that read only background, over a destination block
    // that is all background, change nothing: no pixel is inked and no hole
    // has four inked neighbours.
    for (; x + 16 <= end; x += 16) {
      if (ink->Blank(row_x + walk.columns.x[x], row_y + walk.columns.y[x], row_x + walk.columns.x[x + 15],
                    row_y + walk.columns.y[x + 15]) &&
          All_Equal_16(o + x, b0))
        continue;
      for (int k = x; k < x + 16; ++k) {
        const uint8_t s = source.bits[base + column_offset[k]];
        if (s != b0) o[k] = s;
        else if (inner_row && o[k] == b0) fill_hole(k);
      }
    }
    for (; x < end; ++x) {
      const uint8_t s = source.bits[base + column_offset[x]];
      if (s != b0) o[x] = s;
      else if (inner_row && o[x] == b0) fill_hole(x);
    }
  }
}

namespace {

// The count over bytes [i, n), stopping as soon as differing exceeds limit.
void Count_Bytes(const uint8_t* first, const uint8_t* second, size_t i, size_t n, uint8_t background,
                 int64_t limit, Likeness_Count& count) {
  for (; i < n; ++i) {
    if (first[i] != background || second[i] != background) {
      ++count.inked;
      if (first[i] != second[i] && ++count.differing > limit) return;
    }
  }
}

}  // namespace

Likeness_Count Count_Likeness(const uint8_t* first, const uint8_t* second, size_t n, uint8_t background,
                              int64_t limit) {
  Likeness_Count count;
  size_t i = 0;
#if defined(__SSE2__)
  // Chunks of up to 64 blocks of 16 pixels, counted in byte lanes: per lane,
  // how many pixels are background in both and how many are equal. A chunk
  // that would pass the limit is counted again pixel by pixel, so the count
  // stops at exactly the same pixel.
  const __m128i bg = _mm_set1_epi8(char(background));
  const __m128i zero = _mm_setzero_si128();
  constexpr size_t Chunk = 64 * 16;
  auto lane_sum = [&](__m128i v) {
    const __m128i s = _mm_sad_epu8(v, zero);
    return int64_t(_mm_cvtsi128_si32(s)) + int64_t(_mm_cvtsi128_si32(_mm_srli_si128(s, 8)));
  };
  while (i + 16 <= n) {
    const size_t end = std::min(n - (n - i) % 16, i + Chunk);
    __m128i both_background = zero, equal = zero;
    for (size_t k = i; k < end; k += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + k));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + k));
      both_background = _mm_sub_epi8(both_background, _mm_and_si128(_mm_cmpeq_epi8(a, bg), _mm_cmpeq_epi8(b, bg)));
      equal = _mm_sub_epi8(equal, _mm_cmpeq_epi8(a, b));
    }
    const int64_t pixels = int64_t(end - i);
    const int64_t differing = pixels - lane_sum(equal);
    if (count.differing + differing > limit) {
      Count_Bytes(first, second, i, end, background, limit, count);
      return count;
    }
    count.differing += differing;
    count.inked += pixels - lane_sum(both_background);
    i = end;
  }
#endif
  Count_Bytes(first, second, i, n, background, limit, count);
  return count;
}

bool Map_Pixels(uint8_t* destination, const uint8_t* source, size_t n, const uint8_t* table) {
  uint8_t changed = 0;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t v = table[source[i]];
    changed |= v ^ source[i];
    destination[i] = v;
  }
  return changed != 0;
}

bool Axis_Stretched(float p, float q, bool shorter) {
  const double length = double(p) * p + double(q) * q;
  return shorter ? length < 1.0 : length > 1.0;
}

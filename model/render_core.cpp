#include "model/render_core.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "model/trunc_i32.h"

namespace {

constexpr float Accumulator_Limit = 2147483648.0f;

float Limit_Accumulator(float v) {
  if (v > Accumulator_Limit) return Accumulator_Limit;
  if (v < -Accumulator_Limit) return -Accumulator_Limit;
  return v;
}

int32_t Limit_Step(int64_t step) { return static_cast<int32_t>(std::clamp<int64_t>(step, -128, 127)); }

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

  void Build(const Step_Table& table, int32_t row_length) {
    const size_t n = table.x.size();
    x.resize(n);
    y.resize(n);
    offset.resize(n);
    int64_t sx = 0, sy = 0;
    for (size_t i = 0; i < n; ++i) {
      sx += table.x[i];
      sy += table.y_steps[i];
      x[i] = sx;
      y[i] = sy;
      offset[i] = sx + sy * row_length;
    }
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

constexpr uint64_t Broadcast(uint8_t v) { return 0x0101010101010101ull * v; }

}  // namespace

void Step_Table::Build(int32_t n, float p, float q, int32_t row_length) {
  x.resize(n);
  y_steps.resize(n);
  y.resize(n);
  float fx = 0.0f, fy = 0.0f;
  int64_t sx = 0, sy = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t tx = Limit_Step(int64_t{Trunc_I32(fx)} - sx);
    x[i] = static_cast<int8_t>(tx);
    sx += tx;
    fx = Limit_Accumulator(fx + p);
    const int32_t ty = Limit_Step(int64_t{Trunc_I32(fy)} - sy);
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

  for (int32_t ys = 0; ys < sh; ++ys) {
    const uint8_t* row = source.bits + int64_t{ys} * source.stride;
    const int64_t row_x = walk.x0 + walk.rows.x[ys];
    const int64_t row_y = walk.y0 + walk.rows.y[ys];
    if (tested) {
      for (int32_t xs = 0; xs < sw; ++xs) {
        const uint8_t v = row[xs];
        if (v == b0) continue;
        const int64_t x = row_x + walk.columns.x[xs];
        const int64_t y = row_y + walk.columns.y[xs];
        if (x >= 0 && x < dw && y >= 0 && y < dh) out[y * stride + x] = v;
      }
      continue;
    }
    const int64_t base = row_y * stride + row_x;
    int32_t xs = 0;
    for (; xs + 8 <= sw; xs += 8) {
      uint64_t word;
      std::memcpy(&word, row + xs, 8);
      if (word == background) continue;
      for (int k = 0; k < 8; ++k) {
        const uint8_t v = row[xs + k];
        if (v != b0) out[base + column_offset[xs + k]] = v;
      }
    }
    for (; xs < sw; ++xs) {
      const uint8_t v = row[xs];
      if (v != b0) out[base + column_offset[xs]] = v;
    }
  }
}

void Render_Backward(const Pixel_Buffer& destination, const Pixel_Buffer& source, uint8_t b0,
                     const Map_Coefficients& inverse) {
  const int32_t sw = source.width, sh = source.height;
  const int32_t dw = destination.width, dh = destination.height;
  const int64_t stride = destination.stride;
  Map_Walk walk;
  walk.Build(inverse, dw, dh, source.stride, dw, dh);
  const bool tested = Any_Outside_I32(inverse) || !walk.Stays_Inside(sw, sh);
  const int64_t* column_offset = walk.columns.offset.data();
  uint8_t* out = destination.bits;

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
    if (tested) {
      for (int32_t x = 0; x < dw; ++x) {
        const int64_t sx = row_x + walk.columns.x[x];
        const int64_t sy = row_y + walk.columns.y[x];
        if (sx < 0 || sx >= sw || sy < 0 || sy >= sh) continue;
        const uint8_t s = source.bits[sy * source.stride + sx];
        if (s != b0) o[x] = s;
        else fill_hole(x);
      }
      continue;
    }
    const int64_t base = row_y * source.stride + row_x;
    for (int32_t x = 0; x < dw; ++x) {
      const uint8_t s = source.bits[base + column_offset[x]];
      if (s != b0) o[x] = s;
      else if (inner_row && o[x] == b0) fill_hole(x);
    }
  }
}

Likeness_Count Count_Likeness(const uint8_t* first, const uint8_t* second, size_t n, uint8_t background,
                              int64_t limit) {
  constexpr uint64_t low7 = 0x7F7F7F7F7F7F7F7Full, high = 0x8080808080808080ull;
  // High bit of each byte that is not zero.
  auto nonzero = [](uint64_t v) { return (((v & low7) + low7) | v) & high; };
  const uint64_t bg = Broadcast(background);
  Likeness_Count count;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t a, b;
    std::memcpy(&a, first + i, 8);
    std::memcpy(&b, second + i, 8);
    if (a == bg && b == bg) continue;
    const int differing = std::popcount(nonzero(a ^ b));
    if (count.differing + differing > limit) break;  // finish this word pixel by pixel
    count.differing += differing;
    count.inked += std::popcount(nonzero(a ^ bg) | nonzero(b ^ bg));
  }
  for (; i < n; ++i) {
    if (first[i] != background || second[i] != background) {
      ++count.inked;
      if (first[i] != second[i] && ++count.differing > limit) break;
    }
  }
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

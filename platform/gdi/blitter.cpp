#include "platform/gdi/blitter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "platform/gdi/color.h"
#include "platform/gdi/raster_op.h"
#include "platform/gdi/span_filler.h"

namespace {

struct TPlan;
using TColumn_Reader = void (*)(const TPlan&, const uint8_t* row, int x0, int x1, uint32_t* out);

// Everything a row routine needs, worked out once per call.
struct TPlan {
  TColumn_Reader reader = nullptr;
  const TBlit_Job* job;
  const TSurface* src;
  TSurface* dst;
  std::vector<int> columns;  // source x of each target x, from target x = base_x
  std::vector<int> rows;     // source y of each target y, from base_y
  int base_x = 0, base_y = 0;
  // For shrinking with BLACKONWHITE / WHITEONBLACK: the end (exclusive) of
  // each target pixel's block of source pixels; empty when not combining.
  std::vector<int> column_ends, row_ends;
  bool combine_and = true;
  bool one_to_one = false;  // columns[i] == i + column_shift
  int column_shift = 0;
  // Source value -> target value.
  bool indexed_source = false;
  uint32_t map[256] = {};
  enum class TConvert { Map, Identity, Nearest, To_Mono } convert = TConvert::Identity;
  const uint32_t* target_table = nullptr;
  int target_table_size = 0;
  uint32_t value_mask = 0xFFFFFF;
  mutable uint32_t cache_key[1024];
  mutable uint32_t cache_value[1024];
  mutable bool cache_used[1024] = {};
};

uint32_t Nearest_Cached(const TPlan& plan, uint32_t xrgb) {
  const uint32_t slot = (xrgb * 2654435761u) >> 22;
  if (plan.cache_used[slot] && plan.cache_key[slot] == xrgb) return plan.cache_value[slot];
  const int i = Nearest_Color_Index(plan.target_table, plan.target_table_size, xrgb);
  plan.cache_used[slot] = true;
  plan.cache_key[slot] = xrgb;
  plan.cache_value[slot] = uint32_t(i < 0 ? 0 : i);
  return plan.cache_value[slot];
}

template <int Bits>
inline uint32_t Raw(const uint8_t* row, int x) {
  if constexpr (Bits == 8) return row[x];
  else if constexpr (Bits == 32) return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
  else if constexpr (Bits == 1) return row[x >> 3] >> (7 - (x & 7)) & 1;
  else return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
}

// Raw source value at (x, y) of the source.
inline uint32_t Source_Raw(const TSurface& s, const uint8_t* row, int x) {
  switch (s.Bits_Per_Pixel()) {
    case 8: return row[x];
    case 32: return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    case 1: return row[x >> 3] >> (7 - (x & 7)) & 1;
    default: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
  }
}

inline uint32_t Convert(const TPlan& plan, uint32_t raw) {
  switch (plan.convert) {
    case TPlan::TConvert::Map: return plan.map[raw & 0xFF];
    case TPlan::TConvert::Identity: return raw;
    case TPlan::TConvert::Nearest: return Nearest_Cached(plan, raw);
    default: return raw == plan.job->source_back_xrgb ? 1u : 0u;
  }
}

template <TPlan::TConvert C>
inline uint32_t Convert_As(const TPlan& plan, uint32_t raw) {
  if constexpr (C == TPlan::TConvert::Map) return plan.map[raw & 0xFF];
  else if constexpr (C == TPlan::TConvert::Identity) return raw;
  else if constexpr (C == TPlan::TConvert::Nearest) return Nearest_Cached(plan, raw);
  else return raw == plan.job->source_back_xrgb ? 1u : 0u;
}

// Reads and converts the source pixels of target columns x0..x1 from one
// source row; one instance per (depth, conversion), chosen once per call.
template <int Bits, TPlan::TConvert C>
void Read_Columns(const TPlan& plan, const uint8_t* row, int x0, int x1, uint32_t* out) {
  const int* columns = plan.columns.data() - plan.base_x;
  for (int x = x0; x < x1; ++x) out[x - x0] = Convert_As<C>(plan, Raw<Bits>(row, columns[x]));
}

TColumn_Reader Choose_Reader(int bits, TPlan::TConvert convert) {
  using C = TPlan::TConvert;
  switch (bits) {
    case 1: return convert == C::Map ? Read_Columns<1, C::Map> : Read_Columns<1, C::Identity>;
    case 4: return convert == C::Map ? Read_Columns<4, C::Map> : Read_Columns<4, C::Identity>;
    case 8: return convert == C::Map ? Read_Columns<8, C::Map> : Read_Columns<8, C::Identity>;
    default:
      return convert == C::Nearest ? Read_Columns<32, C::Nearest>
             : convert == C::To_Mono ? Read_Columns<32, C::To_Mono>
                                     : Read_Columns<32, C::Identity>;
  }
}

// Converted source values for target columns x0..x1 of target row y.
void Read_Source(const TPlan& plan, int y, int x0, int x1, uint32_t* out) {
  const TSurface& s = *plan.src;
  const int first_row = plan.rows[size_t(y - plan.base_y)];
  const bool combine = !plan.column_ends.empty();
  if (!combine) {
    plan.reader(plan, s.Row(first_row), x0, x1, out);
    return;
  }
  const int row_end = plan.row_ends[size_t(y - plan.base_y)];
  const int step_y = row_end > first_row ? 1 : -1;
  for (int x = x0; x < x1; ++x) {
    const int c0 = plan.columns[size_t(x - plan.base_x)], c1 = plan.column_ends[size_t(x - plan.base_x)];
    const int step_x = c1 > c0 ? 1 : -1;
    uint32_t v = plan.combine_and ? ~0u : 0u;
    for (int sy = first_row; sy != row_end; sy += step_y) {
      const uint8_t* row = s.Row(sy);
      for (int sx = c0; sx != c1; sx += step_x) {
        const uint32_t c = Convert(plan, Source_Raw(s, row, sx));
        v = plan.combine_and ? (v & c) : (v | c);
      }
    }
    out[x - x0] = v & plan.value_mask;
  }
}

// ---- Row routines ----------------------------------------------------------------

using TRow_Routine = void (*)(const TPlan&, int y, int x0, int x1);

void Copy_Index_To_32(const TPlan& plan, int y, int x0, int x1) {
  const uint8_t* s = plan.src->Row(plan.rows[size_t(y - plan.base_y)]);
  uint32_t* d = plan.dst->Row32(y);
  if (plan.one_to_one) {
    s += plan.column_shift;
    for (int x = x0; x < x1; ++x) d[x] = plan.map[s[x]];
  } else {
    const int* c = plan.columns.data() - plan.base_x;
    for (int x = x0; x < x1; ++x) d[x] = plan.map[s[c[x]]];
  }
}

void Copy_32_To_32(const TPlan& plan, int y, int x0, int x1) {
  const uint32_t* s = plan.src->Row32(plan.rows[size_t(y - plan.base_y)]);
  uint32_t* d = plan.dst->Row32(y);
  if (plan.one_to_one) {
    std::memcpy(d + x0, s + x0 + plan.column_shift, size_t(x1 - x0) * 4);
  } else {
    const int* c = plan.columns.data() - plan.base_x;
    for (int x = x0; x < x1; ++x) d[x] = s[c[x]];
  }
}

void Copy_Index_To_Index(const TPlan& plan, int y, int x0, int x1) {
  const uint8_t* s = plan.src->Row(plan.rows[size_t(y - plan.base_y)]);
  uint8_t* d = plan.dst->Row(y);
  if (plan.one_to_one) {
    s += plan.column_shift;
    for (int x = x0; x < x1; ++x) d[x] = uint8_t(plan.map[s[x]]);
  } else {
    const int* c = plan.columns.data() - plan.base_x;
    for (int x = x0; x < x1; ++x) d[x] = uint8_t(plan.map[s[c[x]]]);
  }
}

// Named operations on (pattern, source, destination).
struct Op_Copy { static uint32_t F(uint32_t, uint32_t s, uint32_t) { return s; } };
struct Op_And { static uint32_t F(uint32_t, uint32_t s, uint32_t d) { return s & d; } };
struct Op_Paint { static uint32_t F(uint32_t, uint32_t s, uint32_t d) { return s | d; } };
struct Op_Invert { static uint32_t F(uint32_t, uint32_t s, uint32_t d) { return s ^ d; } };
struct Op_Erase { static uint32_t F(uint32_t, uint32_t s, uint32_t d) { return s & ~d; } };
struct Op_Not_Copy { static uint32_t F(uint32_t, uint32_t s, uint32_t) { return ~s; } };
struct Op_Not_Erase { static uint32_t F(uint32_t, uint32_t s, uint32_t d) { return ~(s | d); } };
struct Op_Merge_Copy { static uint32_t F(uint32_t p, uint32_t s, uint32_t) { return p & s; } };
struct Op_Merge_Paint { static uint32_t F(uint32_t, uint32_t s, uint32_t d) { return ~s | d; } };
struct Op_Pat_Paint { static uint32_t F(uint32_t p, uint32_t s, uint32_t d) { return p | ~s | d; } };
struct Op_Any {};  // evaluates the truth table

template <class T, class Op>
void Combine_Row(const TPlan& plan, int y, int x0, int x1) {
  uint32_t source[512];
  T* d = reinterpret_cast<T*>(plan.dst->Row(y));
  const uint32_t* tile = plan.job->pattern + ((y - plan.job->pattern_y) & 7) * 8;
  const uint8_t table = plan.job->table;
  for (int start = x0; start < x1; start += 512) {
    const int end = std::min(x1, start + 512);
    Read_Source(plan, y, start, end, source);
    for (int x = start; x < end; ++x) {
      const uint32_t p = tile[(x - plan.job->pattern_x) & 7], s = source[x - start], dv = d[x];
      uint32_t r;
      if constexpr (std::is_same_v<Op, Op_Any>) r = Rop3_Eval(table, p, s, dv);
      else r = Op::F(p, s, dv);
      d[x] = T(r & plan.value_mask);
    }
  }
}

// Any depth, any operation, pixel by pixel.
void Generic_Row(const TPlan& plan, int y, int x0, int x1) {
  uint32_t source[512];
  const uint32_t* tile = plan.job->pattern + ((y - plan.job->pattern_y) & 7) * 8;
  for (int start = x0; start < x1; start += 512) {
    const int end = std::min(x1, start + 512);
    Read_Source(plan, y, start, end, source);
    for (int x = start; x < end; ++x) {
      const uint32_t p = tile[(x - plan.job->pattern_x) & 7];
      const uint32_t r = Rop3_Eval(plan.job->table, p, source[x - start], plan.dst->Pixel(x, y));
      plan.dst->Set_Pixel(x, y, r & plan.value_mask);
    }
  }
}

template <class T>
TRow_Routine Named_Row(uint8_t table) {
  switch (table) {
    case 0xCC: return Combine_Row<T, Op_Copy>;
    case 0x88: return Combine_Row<T, Op_And>;
    case 0xEE: return Combine_Row<T, Op_Paint>;
    case 0x66: return Combine_Row<T, Op_Invert>;
    case 0x44: return Combine_Row<T, Op_Erase>;
    case 0x33: return Combine_Row<T, Op_Not_Copy>;
    case 0x11: return Combine_Row<T, Op_Not_Erase>;
    case 0xC0: return Combine_Row<T, Op_Merge_Copy>;
    case 0xBB: return Combine_Row<T, Op_Merge_Paint>;
    case 0xFB: return Combine_Row<T, Op_Pat_Paint>;
    default: return Combine_Row<T, Op_Any>;
  }
}

// Source coordinate of target pixels first .. first + count - 1 of n target
// pixels mapping src_n source pixels from src_start (mirrored when flip),
// with each one's block end when combining.
void Build_Axis(int first, int count, int n, int src_start, int src_n, bool flip, std::vector<int>& at,
                std::vector<int>* ends) {
  at.resize(size_t(count));
  if (ends) ends->resize(size_t(count));
  for (int j = 0; j < count; ++j) {
    const int i = first + j;
    const int64_t k = flip ? n - 1 - i : i;
    const int64_t a = k * src_n / n, b = std::max(a + 1, (k + 1) * src_n / n);
    if (flip) {
      at[size_t(j)] = int(src_start + b - 1);
      if (ends) (*ends)[size_t(j)] = int(src_start + a - 1);
    } else {
      at[size_t(j)] = int(src_start + a);
      if (ends) (*ends)[size_t(j)] = int(src_start + b);
    }
  }
}

void Build_Conversion(TPlan& plan) {
  const TBlit_Job& job = *plan.job;
  const TSurface& s = *plan.src;
  const TSurface& d = *plan.dst;
  const int sb = s.Bits_Per_Pixel(), db = d.Bits_Per_Pixel();
  plan.target_table = d.Colors().data();
  plan.target_table_size = int(d.Colors().size());
  plan.value_mask = TSpan_Filler::Value_Mask(db);
  if (sb == 32) {
    plan.convert = db == 32 ? TPlan::TConvert::Identity : db == 1 ? TPlan::TConvert::To_Mono : TPlan::TConvert::Nearest;
    return;
  }
  plan.convert = TPlan::TConvert::Map;
  const int entries = 1 << sb;
  for (int i = 0; i < entries; ++i) {
    const uint32_t xrgb = i < int(s.Colors().size()) ? s.Colors()[size_t(i)] & 0xFFFFFF : 0;
    uint32_t v;
    if (sb == 1 && db != 1 && !job.source_colours) v = i == 0 ? job.target_text : job.target_back;
    else if (sb == 1 && db == 1) v = uint32_t(i);
    else if (db == 32) v = xrgb;
    else if (db == 1) v = xrgb == job.source_back_xrgb ? 1u : 0u;
    else if (s.Colors() == d.Colors()) v = uint32_t(i);
    else v = Nearest_Cached(plan, xrgb);
    plan.map[i] = v & plan.value_mask;
  }
}

// Where the target and source boxes start (mirroring undone), their sizes,
// and whether shrinking combines the dropped pixels.
struct TGeometry {
  int dw, dh, sw, sh;
  bool flip_x, flip_y;
  int dx0, dy0, sx0, sy0;
  bool combine;
};

TGeometry Geometry_Of(const TBlit_Job& job) {
  TGeometry g;
  g.dw = std::abs(job.dst_w);
  g.dh = std::abs(job.dst_h);
  g.sw = std::abs(job.src_w);
  g.sh = std::abs(job.src_h);
  g.flip_x = (job.dst_w < 0) != (job.src_w < 0);
  g.flip_y = (job.dst_h < 0) != (job.src_h < 0);
  g.dx0 = job.dst_w < 0 ? job.dst_x + job.dst_w + 1 : job.dst_x;
  g.dy0 = job.dst_h < 0 ? job.dst_y + job.dst_h + 1 : job.dst_y;
  g.sx0 = job.src_w < 0 ? job.src_x + job.src_w + 1 : job.src_x;
  g.sy0 = job.src_h < 0 ? job.src_y + job.src_h + 1 : job.src_y;
  g.combine = (g.sw > g.dw || g.sh > g.dh) && (job.stretch_mode == 1 || job.stretch_mode == 2);
  return g;
}

// The span [lo, hi) of target positions (from base) whose whole source
// block lies inside 0..limit; positions map monotonically, so it is one run.
void Valid_Range(const std::vector<int>& at, const std::vector<int>& ends, int limit, int base, int& lo, int& hi) {
  lo = base + int(at.size());
  hi = base;
  for (size_t i = 0; i < at.size(); ++i) {
    const int last = ends.empty() ? at[i] : (ends[i] > at[i] ? ends[i] - 1 : ends[i] + 1);
    if (std::min(at[i], last) >= 0 && std::max(at[i], last) < limit) {
      lo = std::min(lo, base + int(i));
      hi = std::max(hi, base + int(i) + 1);
    }
  }
}

// Builds the column and row tables for the target pixels inside the clip,
// and returns the target pixels that have their source.
TRect Plan_Axes(const TBlit_Job& job, const TGeometry& g, TPlan& plan) {
  const TRect reach = TRect(g.dx0, g.dy0, int(std::min<int64_t>(int64_t(g.dx0) + g.dw, INT32_MAX)),
                            int(std::min<int64_t>(int64_t(g.dy0) + g.dh, INT32_MAX)))
                          .Intersection(job.clip->Bounds());
  if (reach.IsEmpty()) return {};
  plan.base_x = reach.left;
  plan.base_y = reach.top;
  Build_Axis(reach.left - g.dx0, reach.Width(), g.dw, g.sx0, g.sw, g.flip_x, plan.columns,
             g.combine ? &plan.column_ends : nullptr);
  Build_Axis(reach.top - g.dy0, reach.Height(), g.dh, g.sy0, g.sh, g.flip_y, plan.rows,
             g.combine ? &plan.row_ends : nullptr);
  int x_lo, x_hi, y_lo, y_hi;
  Valid_Range(plan.columns, plan.column_ends, plan.src->Width(), plan.base_x, x_lo, x_hi);
  Valid_Range(plan.rows, plan.row_ends, plan.src->Height(), plan.base_y, y_lo, y_hi);
  return TRect(x_lo, y_lo, x_hi, y_hi).Intersection(job.target->Bounds());
}

TRow_Routine Choose_Routine(const TBlit_Job& job, bool combine, int source_bits, int target_bits) {
  if (job.generic) return Generic_Row;
  if (!combine && job.table == 0xCC) {
    if (target_bits == 32 && source_bits == 8) return Copy_Index_To_32;
    if (target_bits == 32 && source_bits == 32) return Copy_32_To_32;
    if (target_bits == 8 && source_bits == 8) return Copy_Index_To_Index;
  }
  if (target_bits == 32) return Named_Row<uint32_t>(job.table);
  if (target_bits == 8) return Named_Row<uint8_t>(job.table);
  return Generic_Row;
}

}  // namespace

void TBlitter::Run(const TBlit_Job& job) {
  if (!job.source || !job.target || !job.clip || job.clip->IsEmpty()) return;
  if (job.dst_w == 0 || job.dst_h == 0 || job.src_w == 0 || job.src_h == 0) return;
  if (job.source->Size_Bytes() == 0 || job.target->Size_Bytes() == 0) return;

  TPlan plan;
  plan.job = &job;
  plan.src = job.source;
  plan.dst = job.target;
  const TGeometry g = Geometry_Of(job);
  plan.combine_and = job.stretch_mode == 1;
  const TRect area = Plan_Axes(job, g, plan);
  if (area.IsEmpty()) return;
  Build_Conversion(plan);
  plan.reader = Choose_Reader(plan.src->Bits_Per_Pixel(), plan.convert);
  plan.one_to_one = !g.combine && g.dw == g.sw && !g.flip_x;
  plan.column_shift = int(int64_t(g.sx0) - g.dx0);
  const int target_bits = job.target->Bits_Per_Pixel();
  const TRow_Routine routine = Choose_Routine(job, g.combine, plan.src->Bits_Per_Pixel(), target_bits);

  // A row whose source row and clip match the row above is a copy of it when
  // the operation reads neither target nor pattern: stretching repeats rows.
  const bool repeat_rows = !Rop3_Uses_Dest(job.table) && !Rop3_Uses_Pattern(job.table) && job.clip->Is_Rect() &&
                           !g.combine && target_bits >= 8;
  const int bytes_per_pixel = target_bits / 8;
  job.clip->Clip_Rect(area, [&](const TRect& part) {
    for (int y = part.top; y < part.bottom; ++y) {
      if (repeat_rows && y > part.top &&
          plan.rows[size_t(y - plan.base_y)] == plan.rows[size_t(y - 1 - plan.base_y)]) {
        std::memcpy(job.target->Row(y) + part.left * bytes_per_pixel,
                    job.target->Row(y - 1) + part.left * bytes_per_pixel, size_t(part.Width() * bytes_per_pixel));
        continue;
      }
      routine(plan, y, part.left, part.right);
    }
  });
}

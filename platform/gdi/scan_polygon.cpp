// Polygon scan conversion.
//
// Pixel rule: pixel (x, y) is covered when its centre (x + 0.5, y + 0.5) is
// inside. Vertices are integers and the centre row y + 0.5 is never one, so
// an edge from y0 to y1 (y0 < y1) crosses exactly the rows y0 <= y < y1 and
// no vertex needs a tie rule. Along a row, a crossing at real x covers the
// pixels whose centres lie at or right of it: the first covered pixel is
// ceil(x - 0.5), the first uncovered one after the closing crossing likewise.
// Two polygons sharing an edge compute the same integer from the same edge
// (it is always walked top-down), so one ends where the other begins: no
// pixel twice, none missing.
//
// The crossing is kept exactly: ceil(x - 0.5) = ceil(N / D) with
//   N = (2 x0 - 1) dy + (2 (y - y0) + 1) dx,  D = 2 dy,
// which grows by 2 dx per row. The start needs 128 bits for huge
// coordinates; the per-row step is a Bresenham-style quotient and remainder.
//
// Edges are built once, clipped to the clip's rows and sorted by their first
// row; an active list, kept sorted by insertion (edges rarely swap), yields
// the crossings of each row. Rows without edges are skipped.
#include <algorithm>
#include <vector>

#include "platform/gdi/scan_arith.h"
#include "platform/gdi/scan_converter.h"

using namespace Scan_Arith;

namespace {

struct TEdge {
  int y_first;  // first and last + 1 row inside the clip
  int y_end;
  int winding;  // +1 when the edge runs down the screen
  TCeil_Stepper x;
};

std::vector<TEdge> Build_Edges(const TPoint* points, const int* counts, int polygon_count,
                               const TRect& clip) {
  std::vector<TEdge> edges;
  const TPoint* first = points;
  for (int i = 0; i < polygon_count; ++i) {
    int n = counts[i];
    if (n <= 0) continue;
    for (int k = 0; k < n; ++k) {
      TPoint p = first[k];
      TPoint q = first[k + 1 < n ? k + 1 : 0];
      if (p.y == q.y) continue;
      int winding = p.y < q.y ? 1 : -1;
      if (winding < 0) std::swap(p, q);
      int y_first = std::max(p.y, clip.top);
      int y_end = std::min(q.y, clip.bottom);
      if (y_first >= y_end) continue;
      int64_t dx = int64_t(q.x) - p.x;
      int64_t dy = int64_t(q.y) - p.y;
      int128 n0 = int128(2 * int64_t(p.x) - 1) * dy + int128(2 * (int64_t(y_first) - p.y) + 1) * dx;
      edges.push_back({y_first, y_end, winding, TCeil_Stepper(n0, 2 * dy, 2 * dx)});
    }
    first += n;
  }
  std::sort(edges.begin(), edges.end(),
            [](const TEdge& a, const TEdge& b) { return a.y_first < b.y_first; });
  return edges;
}

// Emits the spans of one row from its active edges, sorted by crossing.
template <TFill_Rule rule>
void Emit_Row(const std::vector<TEdge*>& active, TRow_Spans& row) {
  int winding = 0;
  int64_t start = 0;
  for (const TEdge* e : active) {
    bool was_inside = rule == TFill_Rule::Alternate ? (winding & 1) : winding != 0;
    winding += rule == TFill_Rule::Alternate ? 1 : e->winding;
    bool inside = rule == TFill_Rule::Alternate ? (winding & 1) : winding != 0;
    if (inside && !was_inside) start = e->x.value;
    if (!inside && was_inside) row.Add(start, e->x.value);
  }
}

template <TFill_Rule rule>
void Walk(std::vector<TEdge>& edges, const TRect& clip, const TSpan_Sink& sink) {
  std::vector<TEdge*> active;
  TRow_Spans row(clip, sink);
  size_t next = 0;
  int y = edges.empty() ? clip.bottom : edges.front().y_first;
  while (y < clip.bottom) {
    while (next < edges.size() && edges[next].y_first == y) active.push_back(&edges[next++]);
    // Insertion sort: the order changes only where edges cross.
    for (size_t i = 1; i < active.size(); ++i) {
      TEdge* e = active[i];
      size_t j = i;
      for (; j > 0 && active[j - 1]->x.value > e->x.value; --j) active[j] = active[j - 1];
      active[j] = e;
    }
    row.Begin(y);
    Emit_Row<rule>(active, row);
    ++y;
    size_t kept = 0;
    for (TEdge* e : active) {
      if (e->y_end <= y) continue;
      e->x.Next();
      active[kept++] = e;
    }
    active.resize(kept);
    if (active.empty()) {
      if (next == edges.size()) break;
      y = edges[next].y_first;
    }
  }
  row.Finish();
}

}  // namespace

namespace Scan {

void Polygons(const TPoint* points, const int* counts, int polygon_count, TFill_Rule rule,
              const TRect& clip, const TSpan_Sink& sink) {
  if (clip.IsEmpty() || polygon_count <= 0 || points == nullptr || counts == nullptr) return;
  std::vector<TEdge> edges = Build_Edges(points, counts, polygon_count, clip);
  if (rule == TFill_Rule::Winding)
    Walk<TFill_Rule::Winding>(edges, clip, sink);
  else
    Walk<TFill_Rule::Alternate>(edges, clip, sink);
}

}  // namespace Scan

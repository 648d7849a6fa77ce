#include "platform/gdi/scan_converter.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include "platform/gdi/region.h"
#include "tests/platform/gdi/span_grid.h"

namespace {

const TRect Area(-8, -8, 48, 48);

// Whether the centre of pixel (x, y) is inside the polygons, by casting a ray
// to the left in doubled coordinates; a centre on an edge counts as inside
// on the edge's right side, as the converter's rule says.
bool Oracle_Inside(const std::vector<TPoint>& pts, const std::vector<int>& counts, int x, int y,
                   TFill_Rule rule) {
  int64_t px = 2 * x + 1, py = 2 * y + 1;
  int winding = 0, crossings = 0;
  size_t first = 0;
  for (int n : counts) {
    for (int k = 0; k < n; ++k) {
      TPoint a = pts[first + k], b = pts[first + (k + 1) % n];
      int64_t ay = 2 * a.y, by = 2 * b.y;
      if ((ay < py) == (by < py)) continue;
      int dir = ay < by ? 1 : -1;
      if (dir < 0) std::swap(a, b), std::swap(ay, by);
      // crossing x (doubled) <= px  <=>  2a.x (by - ay) + (py - ay) 2(b.x - a.x) <= px (by - ay)
      int64_t lhs = 2 * int64_t(a.x) * (by - ay) + (py - ay) * 2 * (int64_t(b.x) - a.x);
      if (lhs <= px * (by - ay)) winding += dir, ++crossings;
    }
    first += n;
  }
  return rule == TFill_Rule::Alternate ? (crossings & 1) : winding != 0;
}

TSpan_Grid Fill_Polygons(const std::vector<TPoint>& pts, const std::vector<int>& counts,
                         TFill_Rule rule, TRect clip = Area) {
  TSpan_Grid grid(Area);
  Scan::Polygons(pts.data(), counts.data(), int(counts.size()), rule, clip, grid.Sink());
  return grid;
}

void Expect_Matches_Oracle(const std::vector<TPoint>& pts, const std::vector<int>& counts,
                           TFill_Rule rule) {
  TSpan_Grid grid = Fill_Polygons(pts, counts, rule);
  EXPECT_TRUE(grid.Max_Count() <= 1 && grid.Bad_Order() == 0);
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x)
      ASSERT_EQ(grid.On(x, y), Oracle_Inside(pts, counts, x, y, rule))
          << "pixel " << x << "," << y << "\n" << grid.Picture();
}

// Every pixel of `part` is in `whole`, and with `exact` every pixel of
// `whole` inside `clip` is in `part`.
void Expect_Within(const TSpan_Grid& part, const TSpan_Grid& whole, TRect clip = Area, bool exact = false) {
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x) {
      bool in = whole.On(x, y) && clip.Contains(TPoint(x, y));
      ASSERT_TRUE(exact ? part.On(x, y) == in : !part.On(x, y) || in) << x << "," << y;
    }
}

bool Ellipse_Oracle(TRect box, int x, int y) {
  int64_t a = box.Width(), b = box.Height();
  if (a <= 0 || b <= 0) return false;
  int64_t X = 2 * x + 1 - (box.left + box.right), Y = 2 * y + 1 - (box.top + box.bottom);
  return X * X * b * b + Y * Y * a * a <= a * a * b * b;
}

// What draw reports, checked for double, unordered and stray spans.
TSpan_Grid Draw(const std::function<void(const TSpan_Sink&)>& draw) {
  TSpan_Grid grid(Area);
  draw(grid.Sink());
  EXPECT_TRUE(grid.Max_Count() <= 1 && grid.Bad_Order() == 0 && grid.Strays() == 0) << grid.Picture();
  return grid;
}

}  // namespace

TEST(Scan_Polygon, RectangleCoversItsBoxExactlyDegenerateInputsNothingAndHugeOnesClip) {
  TSpan_Grid box = Fill_Polygons({{2, 3}, {7, 3}, {7, 5}, {2, 5}}, {4}, TFill_Rule::Alternate);
  EXPECT_EQ(box.Total(), 5 * 2);
  EXPECT_EQ(box.Marks({{2, 3}, {6, 4}, {7, 4}, {2, 5}}), "##..");  // right and bottom edges excluded
  const std::vector<TPoint> square = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
  for (auto [pts, clip] : {std::pair{std::vector<TPoint>{{0, 0}, {10, 10}}, Area},  // a line
                           {{{0, 5}, {10, 5}, {20, 5}}, Area},                       // flat
                           {{{0, 0}, {5, 5}, {10, 10}, {5, 5}}, Area},               // collinear
                           {square, TRect(5, 5, 5, 9)}})                            // empty clip
    for (TFill_Rule rule : {TFill_Rule::Alternate, TFill_Rule::Winding})
      EXPECT_EQ(Fill_Polygons(pts, {int(pts.size())}, rule, clip).Total(), 0) << pts.size();
  EXPECT_EQ(Fill_Polygons({}, {}, TFill_Rule::Alternate).Total(), 0);
  // Huge coordinates are clipped.
  std::vector<TPoint> huge = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN + 10}, {INT_MAX, INT_MAX},
                              {INT_MIN + 5, INT_MAX}};
  TRect clip(0, 0, 30, 20);
  TSpan_Grid grid = Fill_Polygons(huge, {4}, TFill_Rule::Winding, clip);
  EXPECT_TRUE(grid.Total() == 30 * 20 && grid.Strays() == 0);
  // A thin sliver with huge slope still covers the right pixels.
  std::vector<TPoint> sliver = {{0, 0}, {2000000000, 1}, {0, 1}};
  TSpan_Grid row = Fill_Polygons(sliver, {3}, TFill_Rule::Alternate, TRect(0, 0, 40, 40));
  EXPECT_EQ(row.Total(), 40);
}

TEST(Scan_Polygon, MatchesTheOracleOnRandomPolygonsAndTrianglesTileWithoutGaps) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-5, 44), count(3, 9), parts(1, 3);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<TPoint> pts;
    std::vector<int> counts;
    for (int p = parts(rng); p > 0; --p) {
      int n = count(rng);
      counts.push_back(n);
      for (int k = 0; k < n; ++k) pts.emplace_back(coord(rng), coord(rng));
    }
    TFill_Rule rule = trial % 2 ? TFill_Rule::Winding : TFill_Rule::Alternate;
    SCOPED_TRACE(trial);
    Expect_Matches_Oracle(pts, counts, rule);
  }
  // Triangles tiling a rectangle cover each pixel once.
  // A jittered tiles of points split into triangles: shared edges must
  // neither leave a gap nor be covered twice.
  std::mt19937 tiling_rng(11);
  std::uniform_int_distribution<int> jitter(-3, 3);
  const int cells = 5, step = 8;
  TPoint grid_pts[cells + 1][cells + 1];
  for (int j = 0; j <= cells; ++j)
    for (int i = 0; i <= cells; ++i)  // the outer points stay on the rectangle's edges
      grid_pts[j][i] = TPoint(i * step + (i > 0 && i < cells ? jitter(tiling_rng) : 0), j * step + (j > 0 && j < cells ? jitter(tiling_rng) : 0));
  TSpan_Grid tiles(Area);
  for (int j = 0; j < cells; ++j)
    for (int i = 0; i < cells; ++i) {
      TPoint a = grid_pts[j][i], b = grid_pts[j][i + 1], c = grid_pts[j + 1][i + 1], d = grid_pts[j + 1][i];
      // Split along the diagonal that lies inside the (possibly concave) quad.
      auto side = [](TPoint p, TPoint q, TPoint r) { return int64_t(q.x - p.x) * (r.y - p.y) - int64_t(q.y - p.y) * (r.x - p.x); };
      bool ac_inside = (side(a, c, b) > 0) != (side(a, c, d) > 0);
      std::vector<TPoint> t1 = {a, b, c}, t2 = {a, d, c};  // opposite windings
      if (!ac_inside) t1 = {a, b, d}, t2 = {b, d, c};
      int three = 3;
      Scan::Polygons(t1.data(), &three, 1, TFill_Rule::Alternate, Area, tiles.Sink());
      Scan::Polygons(t2.data(), &three, 1, TFill_Rule::Winding, Area, tiles.Sink());
    }
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x)
      ASSERT_EQ(tiles.At(x, y), (x >= 0 && x < cells * step && y >= 0 && y < cells * step) ? 1 : 0)
          << x << "," << y;
}

TEST(Scan_Ellipse, MatchesTheInsideTestAndIsSymmetric) {
  for (int w = 0; w <= 13; ++w)
    for (int h = 0; h <= 13; ++h) {
      TRect box(3, 4, 3 + w, 4 + h);
      TSpan_Grid grid = Draw([&](auto& s) { Scan::Ellipse(box, Area, s); });
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
          ASSERT_EQ(grid.On(x, y), Ellipse_Oracle(box, x, y)) << w << "x" << h << " at " << x << "," << y;
          // mirror images about the box centre
          ASSERT_EQ(grid.On(x, y), grid.On(box.left + box.right - 1 - x, y));
          ASSERT_EQ(grid.On(x, y), grid.On(x, box.top + box.bottom - 1 - y));
        }
    }
}

TEST(Scan_Ellipse, ReversedClippedAndHugeBoxes) {
  EXPECT_EQ(Draw([&](auto& s) { Scan::Ellipse(TRect(2, 3, 17, 11), Area, s); }).Picture(),
            Draw([&](auto& s) { Scan::Ellipse(TRect(17, 11, 2, 3), Area, s); }).Picture());
  // A clipped fill is the fill inside the clip.
  TRect box(-5, -3, 37, 29), clip(4, 2, 19, 40);
  Expect_Within(Draw([&](auto& s) { Scan::Ellipse(box, clip, s); }),
                Draw([&](auto& s) { Scan::Ellipse(box, Area, s); }), clip, true);
  EXPECT_EQ(Draw([&](auto& s) { Scan::Ellipse(box, TRect(), s); }).Spans(), 0);
  // A huge box does not overflow.
  TRect huge(INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2);
  EXPECT_EQ(Draw([&](auto& s) { Scan::Ellipse(huge, Area, s); }).Total(), long(Area.Width()) * Area.Height());
  // The ends of a huge flat ellipse, where the products need 128 bits.
  TRect flat(0, 0, 2000000000, 2000000);
  TRect left_end(-2, 999998, 3, 1000003), top_end(999999998, -2, 1000000003, 3);
  TSpan_Grid left(left_end), top(top_end);
  Scan::Ellipse(flat, left_end, left.Sink());
  Scan::Ellipse(flat, top_end, top.Sink());
  EXPECT_EQ(left.Marks({{0, 1000000}, {-1, 1000000}}), "#.");
  EXPECT_EQ(top.Marks({{1000000000, 0}, {1000000000, -1}}), "#.");
}

TEST(Scan_Ellipse, RoundRectsAndOutlinesInsideTheFigureRingingIt) {
  TRect rounded(2, 2, 20, 14);
  EXPECT_EQ(Draw([&](auto& s) { Scan::Round_Rect(rounded, TSize(0, 0), Area, s); }).Total(), 18 * 12);
  EXPECT_EQ(Draw([&](auto& s) { Scan::Round_Rect(rounded, TSize(100, 100), Area, s); }).Picture(),
            Draw([&](auto& s) { Scan::Ellipse(rounded, Area, s); }).Picture());
  TSpan_Grid corners = Draw([&](auto& s) { Scan::Round_Rect(rounded, TSize(6, 6), Area, s); });
  EXPECT_EQ(corners.Marks({{2, 2}, {5, 2}, {16, 2}, {2, 5}, {19, 10}}), ".####");  // straight edges
  // Outlines lie inside the figure and ring it.
  TRect box(1, 2, 31, 22);
  TSpan_Grid fill = Draw([&](auto& s) { Scan::Ellipse(box, Area, s); });
  for (int pen : {1, 2, 4}) {
    TSpan_Grid outline = Draw([&](auto& s) { Scan::Ellipse_Outline(box, pen, Area, s); });
    Expect_Within(outline, fill);
    for (int y = Area.top; y < Area.bottom; ++y)
      for (int x = Area.left; x < Area.right; ++x) {
        // every fill pixel next to the outside is on the outline
        bool edge = fill.On(x, y) && (!fill.On(x - 1, y) || !fill.On(x + 1, y) ||
                                      !fill.On(x, y - 1) || !fill.On(x, y + 1));
        ASSERT_TRUE(!edge || outline.On(x, y)) << pen << " " << x << "," << y;
      }
    EXPECT_FALSE(outline.On(16, 12));
    // The one-pixel pen is one pixel thin: no pixel whose four neighbours are all outline too.
    for (int y = 0; pen == 1 && y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        ASSERT_FALSE(outline.On(x, y) && outline.On(x - 1, y) && outline.On(x + 1, y) && outline.On(x, y - 1) &&
                     outline.On(x, y + 1)) << x << "," << y;
  }
  EXPECT_EQ(Draw([&](auto& s) { Scan::Ellipse_Outline(box, 3, Area, s); }).Marks({{1, 11}, {3, 11}, {4, 11}}), "##.");
}

namespace {

const TRect Box(4, 6, 36, 30);  // centre (20, 18)
// Points on the rays from the centre of Box.
const TPoint right(40, 18), up(20, 0), left(0, 18), down(20, 40);

}  // namespace

TEST(Scan_Arc, PiesRunCounterClockwiseAndTheirOutlinesCloseTheFigure) {
  // From the ray to the right counter-clockwise to the ray upwards: the
  // upper right quarter.
  const std::initializer_list<TPoint> corners = {{28, 10}, {12, 10}, {28, 26}, {12, 26}};
  EXPECT_EQ(Draw([&](auto& s) { Scan::Pie(Box, right, up, Area, s); }).Marks(corners), "#...");
  // The other way round: three quarters.
  EXPECT_EQ(Draw([&](auto& s) { Scan::Pie(Box, up, right, Area, s); }).Marks(corners), ".###");
  // Equal rays give the whole ellipse, whatever the points' distance.
  TSpan_Grid ellipse = Draw([&](auto& s) { Scan::Ellipse(Box, Area, s); });
  EXPECT_EQ(Draw([&](auto& s) { Scan::Pie(Box, TPoint(30, 18), right, Area, s); }).Picture(), ellipse.Picture());
  // Four quarter pies cover the ellipse.
  TSpan_Grid quarters = Draw([&](auto& s) {
    for (auto [from, to] : {std::pair{right, up}, {up, left}, {left, down}, {down, right}}) Scan::Pie(Box, from, to, Area, s);
  });
  EXPECT_EQ(quarters.Picture(), ellipse.Picture());
  // Opposite rays: a half.
  EXPECT_EQ(Draw([&](auto& s) { Scan::Pie(Box, left, right, Area, s); }).Marks({{20, 27}, {20, 8}}), "#.");
  // Pie and chord outlines close the figure.
  for (int pen : {1, 3}) {
    TSpan_Grid pie = Draw([&](auto& s) { Scan::Pie_Outline(Box, right, up, pen, Area, s); });
    EXPECT_TRUE(pie.On(20, 18) || pie.On(19, 18));  // the centre
    // on the horizontal and vertical radius; inside the pie; outside it
    EXPECT_EQ(pie.Marks({{28, 18}, {20, 12}, {26, 13}, {12, 24}}), "##..");
    Expect_Within(pie, ellipse);
    // on the chord; the centre is no part of a chord
    EXPECT_EQ(Draw([&](auto& s) { Scan::Chord_Outline(Box, right, up, pen, Area, s); }).Marks({{27, 11}, {20, 18}}), "#.");
  }
}

TEST(Scan_Arc, ChordsCutAlongTheLineBetweenTheArcEndsAndArcsFollowTheOutline) {
  EXPECT_EQ(Draw([&](auto& s) { Scan::Chord(Box, right, left, Area, s); }).Marks({{20, 8}, {5, 17}, {20, 18}}), "##.");
  TSpan_Grid corner = Draw([&](auto& s) { Scan::Chord(Box, right, up, Area, s); });
  EXPECT_EQ(corner.Marks({{30, 10}, {22, 16}}), "#.");  // near the arc; behind the chord
  TSpan_Grid pie = Draw([&](auto& s) { Scan::Pie(Box, right, up, Area, s); });
  Expect_Within(corner, pie);
  // Arcs are the part of the outline in the sector.
  TSpan_Grid outline = Draw([&](auto& s) { Scan::Ellipse_Outline(Box, 1, Area, s); });
  TSpan_Grid arc = Draw([&](auto& s) { Scan::Arc(Box, right, up, 1, Area, s); });
  long count = 0;
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x) {
      ASSERT_EQ(arc.On(x, y), outline.On(x, y) && pie.On(x, y)) << x << "," << y;
      count += arc.On(x, y);
    }
  EXPECT_GT(count, 15);
  EXPECT_EQ(Draw([&](auto& s) { Scan::Arc(Box, up, up, 1, Area, s); }).Picture(), outline.Picture());
  EXPECT_EQ(Draw([&](auto& s) { Scan::Arc(Box, right, up, 3, Area, s); }).Marks({{35, 17}, {33, 17}, {32, 17}}), "##.");
}

// Lines leave out their last pixel unless asked to include it.
TEST(Scan_Line, SamePixelsBothWaysOnePerStepConnectedAndClipped) {
  EXPECT_EQ(Draw([](auto& s) { Scan::Line({3, 3}, {3, 3}, false, Area, s); }).Total(), 0);
  EXPECT_EQ(Draw([](auto& s) { Scan::Line({3, 3}, {3, 3}, true, Area, s); }).Total(), 1);
  std::mt19937 rng(9);
  std::uniform_int_distribution<int> coord(-6, 45);
  for (int trial = 0; trial < 500; ++trial) {
    TPoint a(coord(rng), coord(rng)), b(coord(rng), coord(rng));
    TSpan_Grid forward = Draw([&](auto& s) { Scan::Line(a, b, true, Area, s); });
    TSpan_Grid backward = Draw([&](auto& s) { Scan::Line(b, a, true, Area, s); });
    ASSERT_EQ(forward.Picture(), backward.Picture()) << a.x << "," << a.y << " " << b.x << "," << b.y;
    TSpan_Grid open = Draw([&](auto& s) { Scan::Line(a, b, false, Area, s); });
    ASSERT_EQ(open.Total(), forward.Total() - (Area.Contains(b) ? 1 : 0));
    ASSERT_FALSE(open.On(b.x, b.y));
    if (Area.Contains(a) && Area.Contains(b)) {
      ASSERT_EQ(forward.Total(), std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)) + 1);
    }
    // each pixel lies within half a pixel of the line along the minor axis
    for (int y = Area.top; y < Area.bottom; ++y)
      for (int x = Area.left; x < Area.right; ++x) {
        if (!forward.On(x, y)) continue;
        double dx = b.x - a.x, dy = b.y - a.y;
        double off = std::abs(dx) >= std::abs(dy) ? (a.y + (x - a.x) * dy / dx) - y
                                                   : (a.x + (y - a.y) * dx / dy) - x;
        ASSERT_LE(std::abs(off), 0.5);
      }
  }
  // Clipped lines keep their pixels.
  TPoint a(-1000000000, -999999990), b(1000000000, 1000000010);
  TRect clip(0, 0, 30, 30);
  TSpan_Grid grid = Draw([&](auto& s) { Scan::Line(a, b, false, clip, s); });
  EXPECT_EQ(grid.Total(), 30 - 10);  // the diagonal y = x + 10 inside the clip
  EXPECT_EQ(grid.Marks({{0, 10}, {19, 29}}), "##");
  Expect_Within(Draw([&](auto& s) { Scan::Line({-5, 3}, {44, 20}, false, clip, s); }),
                Draw([&](auto& s) { Scan::Line({-5, 3}, {44, 20}, false, Area, s); }), clip, true);
  EXPECT_EQ(Draw([&](auto& s) { Scan::Line({0, 0}, {9, 9}, true, TRect(), s); }).Spans(), 0);
}

TEST(Scan_Wide, WidthsRoundEndsAndThePixelsNearThePolyline) {
  for (int w = 2; w <= 7; ++w) {
    TPoint pts[2] = {{5, 20}, {30, 20}};
    TSpan_Grid grid = Draw([&](auto& s) { Scan::Wide_Polyline(pts, 2, w, false, Area, s); });
    int rows = 0;
    for (int y = Area.top; y < Area.bottom; ++y) rows += grid.On(17, y);
    EXPECT_EQ(rows, w) << "width " << w;
    EXPECT_TRUE(grid.On(5, 20 - (w % 2 ? 0 : 1)));
    EXPECT_FALSE(w >= 4 && grid.On(5 - w / 2, 20 - w / 2));  // round ends: no square corners
  }
  std::mt19937 rng(21);
  std::uniform_int_distribution<int> coord(0, 39), width(3, 9), count(1, 6);
  for (int trial = 0; trial < 150; ++trial) {
    int n = count(rng), w = width(rng) | 1;  // odd widths: centre line on pixel centres
    std::vector<TPoint> pts;
    for (int k = 0; k < n; ++k) pts.emplace_back(coord(rng), coord(rng));
    bool closed = trial % 3 == 0;
    TSpan_Grid grid = Draw([&](auto& s) { Scan::Wide_Polyline(pts.data(), n, w, closed, Area, s); });
    double r = w / 2.0;
    int segments = n == 1 ? 1 : (closed && n > 2 ? n : n - 1);
    for (int y = Area.top; y < Area.bottom; ++y)
      for (int x = Area.left; x < Area.right; ++x) {
        double best = 1e9;
        for (int i = 0; i < segments; ++i) {
          TPoint p = pts[i], q = pts[(i + 1) % n];
          double dx = q.x - p.x, dy = q.y - p.y, l2 = dx * dx + dy * dy;
          double t = l2 > 0 ? std::clamp(((x - p.x) * dx + (y - p.y) * dy) / l2, 0.0, 1.0) : 0;
          double ex = p.x + t * dx - x, ey = p.y + t * dy - y;
          best = std::min(best, ex * ex + ey * ey);
        }
        if (std::abs(best - r * r) < 1e-6) continue;  // exactly on the rim
        ASSERT_EQ(grid.On(x, y), best < r * r) << trial << " at " << x << "," << y;
      }
  }
}

TEST(Scan_Bezier, FlattensIntoConnectedThinLines) {
  TPoint straight[4] = {{0, 5}, {10, 5}, {20, 5}, {30, 5}};
  TSpan_Grid line = Draw([&](auto& s) { Scan::Bezier(straight, 4, Area, s); });
  EXPECT_EQ(line.Total(), 30);
  EXPECT_EQ(line.Marks({{0, 5}, {30, 5}}), "#.");
  // Two segments (seven points), as a folder tab outline.
  TPoint tab[7] = {{0, 30}, {5, 30}, {5, 10}, {15, 10}, {25, 10}, {25, 30}, {30, 30}};
  TSpan_Grid curve = Draw([&](auto& s) { Scan::Bezier(tab, 7, Area, s); });
  EXPECT_EQ(curve.Marks({{0, 30}, {15, 10}, {30, 30}}), "##.");  // the joint of the segments in the middle
  // 8-connected from one end to the other: every pixel but the ends has a
  // neighbour; the chain holds all reported pixels.
  std::vector<TPoint> stack = {{0, 30}};
  std::set<std::pair<int, int>> seen = {{0, 30}};
  while (!stack.empty()) {
    const TPoint p = stack.back();
    stack.pop_back();
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (curve.On(p.x + dx, p.y + dy) && seen.insert({p.x + dx, p.y + dy}).second) stack.emplace_back(p.x + dx, p.y + dy);
  }
  EXPECT_EQ(long(seen.size()), curve.Total());
  EXPECT_EQ(Draw([&](auto& s) { Scan::Bezier(tab, 3, Area, s); }).Total(), 0);
}

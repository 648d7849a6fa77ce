#include "platform/gdi/scan_converter.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
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
      if (lhs <= px * (by - ay)) {
        winding += dir;
        ++crossings;
      }
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
  EXPECT_EQ(grid.Max_Count(), 1 < grid.Total() ? 1 : grid.Max_Count());
  EXPECT_EQ(grid.Bad_Order(), 0);
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x)
      ASSERT_EQ(grid.On(x, y), Oracle_Inside(pts, counts, x, y, rule))
          << "pixel " << x << "," << y << "\n" << grid.Picture();
}

bool Ellipse_Oracle(TRect box, int x, int y) {
  int64_t a = box.Width(), b = box.Height();
  if (a <= 0 || b <= 0) return false;
  int64_t X = 2 * x + 1 - (box.left + box.right), Y = 2 * y + 1 - (box.top + box.bottom);
  return X * X * b * b + Y * Y * a * a <= a * a * b * b;
}

}  // namespace

TEST(Scan_Polygon, RectangleCoversItsBoxExactly) {
  std::vector<TPoint> pts = {{2, 3}, {7, 3}, {7, 5}, {2, 5}};
  TSpan_Grid grid = Fill_Polygons(pts, {4}, TFill_Rule::Alternate);
  EXPECT_EQ(grid.Total(), 5 * 2);
  EXPECT_TRUE(grid.On(2, 3));
  EXPECT_TRUE(grid.On(6, 4));
  EXPECT_FALSE(grid.On(7, 4));  // right edge excluded
  EXPECT_FALSE(grid.On(2, 5));  // bottom edge excluded
}

TEST(Scan_Polygon, DegenerateInputsCoverNothing) {
  std::vector<TPoint> line = {{0, 0}, {10, 10}};
  EXPECT_EQ(Fill_Polygons(line, {2}, TFill_Rule::Winding).Total(), 0);
  std::vector<TPoint> flat = {{0, 5}, {10, 5}, {20, 5}};
  EXPECT_EQ(Fill_Polygons(flat, {3}, TFill_Rule::Winding).Total(), 0);
  std::vector<TPoint> collinear = {{0, 0}, {5, 5}, {10, 10}, {5, 5}};
  EXPECT_EQ(Fill_Polygons(collinear, {4}, TFill_Rule::Alternate).Total(), 0);
  EXPECT_EQ(Fill_Polygons({}, {}, TFill_Rule::Alternate).Total(), 0);
  std::vector<TPoint> square = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
  EXPECT_EQ(Fill_Polygons(square, {4}, TFill_Rule::Alternate, TRect(5, 5, 5, 9)).Total(), 0);
}

TEST(Scan_Polygon, FillRulesDifferOnOverlapsAndSelfIntersections) {
  // Two overlapping squares wound the same way: the overlap is a hole under
  // ALTERNATE and filled under WINDING.
  std::vector<TPoint> pts = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}, {15, 5}, {15, 15}, {5, 15}};
  TSpan_Grid alternate = Fill_Polygons(pts, {4, 4}, TFill_Rule::Alternate);
  TSpan_Grid winding = Fill_Polygons(pts, {4, 4}, TFill_Rule::Winding);
  EXPECT_FALSE(alternate.On(7, 7));
  EXPECT_TRUE(winding.On(7, 7));
  EXPECT_EQ(winding.Total(), 100 + 100 - 25);
  EXPECT_EQ(alternate.Total(), 100 + 100 - 50);
  // A pentagram: the centre is wound twice.
  std::vector<TPoint> star = {{20, 0}, {32, 36}, {1, 13}, {39, 13}, {8, 36}};
  EXPECT_FALSE(Fill_Polygons(star, {5}, TFill_Rule::Alternate).On(20, 20));
  EXPECT_TRUE(Fill_Polygons(star, {5}, TFill_Rule::Winding).On(20, 20));
}

TEST(Scan_Polygon, MatchesPointInPolygonOracleOnRandomPolygons) {
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
}

TEST(Scan_Polygon, TrianglesTilingARectangleCoverEachPixelOnce) {
  // A jittered grid of points split into triangles: shared edges must
  // neither leave a gap nor be covered twice.
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> jitter(-3, 3);
  const int n = 5, step = 8;
  TPoint grid_pts[n + 1][n + 1];
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) {
      bool inner_x = i > 0 && i < n, inner_y = j > 0 && j < n;
      grid_pts[j][i] = TPoint(i * step + (inner_x ? jitter(rng) : 0), j * step + (inner_y ? jitter(rng) : 0));
    }
  TSpan_Grid grid(Area);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      TPoint a = grid_pts[j][i], b = grid_pts[j][i + 1], c = grid_pts[j + 1][i + 1], d = grid_pts[j + 1][i];
      // Split along the diagonal that lies inside the (possibly concave) quad.
      auto side = [](TPoint p, TPoint q, TPoint r) {
        return int64_t(q.x - p.x) * (r.y - p.y) - int64_t(q.y - p.y) * (r.x - p.x);
      };
      bool ac_inside = (side(a, c, b) > 0) != (side(a, c, d) > 0);
      std::vector<TPoint> t1 = {a, b, c}, t2 = {a, d, c};  // opposite windings
      if (!ac_inside) t1 = {a, b, d}, t2 = {b, d, c};
      int three = 3;
      Scan::Polygons(t1.data(), &three, 1, TFill_Rule::Alternate, Area, grid.Sink());
      Scan::Polygons(t2.data(), &three, 1, TFill_Rule::Winding, Area, grid.Sink());
    }
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x)
      ASSERT_EQ(grid.At(x, y), (x >= 0 && x < n * step && y >= 0 && y < n * step) ? 1 : 0)
          << x << "," << y;
}

TEST(Scan_Polygon, ClipsAndSurvivesHugeCoordinates) {
  std::vector<TPoint> huge = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN + 10}, {INT_MAX, INT_MAX},
                              {INT_MIN + 5, INT_MAX}};
  TRect clip(0, 0, 30, 20);
  TSpan_Grid grid = Fill_Polygons(huge, {4}, TFill_Rule::Winding, clip);
  EXPECT_EQ(grid.Total(), 30 * 20);
  EXPECT_EQ(grid.Strays(), 0);
  // A thin sliver with huge slope still covers the right pixels.
  std::vector<TPoint> sliver = {{0, 0}, {2000000000, 1}, {0, 1}};
  TSpan_Grid row = Fill_Polygons(sliver, {3}, TFill_Rule::Alternate, TRect(0, 0, 40, 40));
  EXPECT_EQ(row.Total(), 40);
}

TEST(Scan_Ellipse, MatchesTheInsideTestAndIsSymmetric) {
  for (int w = 0; w <= 13; ++w)
    for (int h = 0; h <= 13; ++h) {
      TRect box(3, 4, 3 + w, 4 + h);
      TSpan_Grid grid(Area);
      Scan::Ellipse(box, Area, grid.Sink());
      EXPECT_EQ(grid.Bad_Order(), 0);
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
          ASSERT_EQ(grid.On(x, y), Ellipse_Oracle(box, x, y)) << w << "x" << h << " at " << x << "," << y;
          // mirror images about the box centre
          ASSERT_EQ(grid.On(x, y), grid.On(box.left + box.right - 1 - x, y));
          ASSERT_EQ(grid.On(x, y), grid.On(x, box.top + box.bottom - 1 - y));
        }
      if (w == 0 || h == 0) {
        EXPECT_EQ(grid.Total(), 0);
      }
    }
}

TEST(Scan_Ellipse, SmallBoxesAndReversedBoxes) {
  TSpan_Grid one(Area);
  Scan::Ellipse(TRect(5, 5, 6, 6), Area, one.Sink());
  EXPECT_EQ(one.Total(), 1);
  EXPECT_TRUE(one.On(5, 5));
  TSpan_Grid column(Area);
  Scan::Ellipse(TRect(5, 5, 6, 12), Area, column.Sink());
  EXPECT_EQ(column.Total(), 7);
  TSpan_Grid forward(Area), reversed(Area);
  Scan::Ellipse(TRect(2, 3, 17, 11), Area, forward.Sink());
  Scan::Ellipse(TRect(17, 11, 2, 3), Area, reversed.Sink());
  EXPECT_EQ(forward.Picture(), reversed.Picture());
  // A circle of diameter 10 touches the middle of each side of its box.
  TSpan_Grid circle(Area);
  Scan::Ellipse(TRect(0, 0, 10, 10), Area, circle.Sink());
  EXPECT_TRUE(circle.On(0, 4) && circle.On(9, 5) && circle.On(4, 0) && circle.On(5, 9));
  EXPECT_FALSE(circle.On(0, 0) || circle.On(9, 9) || circle.On(10, 5));
}

TEST(Scan_Ellipse, ClippedFillIsTheFillInsideTheClip) {
  TRect box(-5, -3, 37, 29), clip(4, 2, 19, 40);
  TSpan_Grid whole(Area), clipped(Area);
  Scan::Ellipse(box, Area, whole.Sink());
  Scan::Ellipse(box, clip, clipped.Sink());
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x)
      ASSERT_EQ(clipped.On(x, y), whole.On(x, y) && clip.Contains(TPoint(x, y)));
  TSpan_Grid none(Area);
  Scan::Ellipse(box, TRect(), none.Sink());
  EXPECT_EQ(none.Spans(), 0);
}

TEST(Scan_Ellipse, HugeBoxDoesNotOverflow) {
  TRect box(INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2);
  TSpan_Grid grid(Area);
  Scan::Ellipse(box, Area, grid.Sink());
  EXPECT_EQ(grid.Total(), long(Area.Width()) * Area.Height());
  // The ends of a huge flat ellipse, where the products need 128 bits.
  TRect flat(0, 0, 2000000000, 2000000);
  TRect left_end(-2, 999998, 3, 1000003), top_end(999999998, -2, 1000000003, 3);
  TSpan_Grid left(left_end), top(top_end);
  Scan::Ellipse(flat, left_end, left.Sink());
  Scan::Ellipse(flat, top_end, top.Sink());
  EXPECT_TRUE(left.On(0, 1000000));
  EXPECT_FALSE(left.On(-1, 1000000));
  EXPECT_TRUE(top.On(1000000000, 0));
  EXPECT_FALSE(top.On(1000000000, -1));
}

TEST(Scan_Ellipse, RoundRectWithZeroAndFullCorners) {
  TRect box(2, 2, 20, 14);
  TSpan_Grid square(Area), rounded(Area), ellipse(Area);
  Scan::Round_Rect(box, TSize(0, 0), Area, square.Sink());
  Scan::Round_Rect(box, TSize(100, 100), Area, rounded.Sink());
  Scan::Ellipse(box, Area, ellipse.Sink());
  EXPECT_EQ(square.Total(), 18 * 12);
  EXPECT_EQ(rounded.Picture(), ellipse.Picture());
  TSpan_Grid corners(Area);
  Scan::Round_Rect(box, TSize(6, 6), Area, corners.Sink());
  EXPECT_FALSE(corners.On(2, 2));
  EXPECT_TRUE(corners.On(5, 2) && corners.On(16, 2));  // straight top edge
  EXPECT_TRUE(corners.On(2, 5) && corners.On(19, 10));
  EXPECT_EQ(corners.Max_Count(), 1);
}

TEST(Scan_Ellipse, OutlinesLieInsideTheFigureAndRingIt) {
  TRect box(1, 2, 31, 22);
  TSpan_Grid fill(Area);
  Scan::Ellipse(box, Area, fill.Sink());
  for (int pen : {1, 2, 4}) {
    TSpan_Grid outline(Area);
    Scan::Ellipse_Outline(box, pen, Area, outline.Sink());
    EXPECT_EQ(outline.Max_Count(), 1);
    EXPECT_EQ(outline.Bad_Order(), 0);
    for (int y = Area.top; y < Area.bottom; ++y)
      for (int x = Area.left; x < Area.right; ++x) {
        if (outline.On(x, y)) {
          ASSERT_TRUE(fill.On(x, y));
        }
        // every fill pixel next to the outside is on the outline
        bool edge = fill.On(x, y) && (!fill.On(x - 1, y) || !fill.On(x + 1, y) ||
                                      !fill.On(x, y - 1) || !fill.On(x, y + 1));
        if (edge) {
          ASSERT_TRUE(outline.On(x, y)) << pen << " " << x << "," << y;
        }
      }
    EXPECT_FALSE(outline.On(16, 12));
  }
  TSpan_Grid thin(Area);
  Scan::Ellipse_Outline(box, 1, Area, thin.Sink());
  // one pixel thin: no pixel whose four neighbours are all outline too
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      EXPECT_FALSE(thin.On(x, y) && thin.On(x - 1, y) && thin.On(x + 1, y) && thin.On(x, y - 1) &&
                   thin.On(x, y + 1));
  TSpan_Grid ring(Area);
  Scan::Ellipse_Outline(box, 3, Area, ring.Sink());
  EXPECT_TRUE(ring.On(1, 11) && ring.On(3, 11) && !ring.On(4, 11));
}

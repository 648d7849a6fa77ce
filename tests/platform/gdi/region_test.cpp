#include "platform/gdi/region.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "platform/gdi/scan_converter.h"
#include "tests/platform/gdi/span_grid.h"

namespace {

const TRect Area(-4, -4, 44, 44);

TRegion Random_Shape(std::mt19937& rng) {
  std::uniform_int_distribution<int> coord(-2, 41), kind(0, 3);
  TRect box(coord(rng), coord(rng), coord(rng), coord(rng));
  switch (kind(rng)) {
    case 0: return TRegion(box);
    case 1: return TRegion::Ellipse(box);
    case 2: {
      TPoint pts[5];
      for (TPoint& p : pts) p = TPoint(coord(rng), coord(rng));
      return TRegion::Polygon(pts, 5, TFill_Rule::Alternate);
    }
    default: {
      TRegion r(box);
      r |= TRegion(TRect(coord(rng), coord(rng), coord(rng), coord(rng)));
      return r;
    }
  }
}

bool Expected(TRegion::TRegion_Op op, bool a, bool b) {
  switch (op) {
    case TRegion::RGN_AND: return a && b;
    case TRegion::RGN_OR: return a || b;
    case TRegion::RGN_XOR: return a != b;
    case TRegion::RGN_DIFF: return a && !b;
    case TRegion::RGN_COPY: return a;
  }
  return false;
}

// '#' for each point inside the region, '.' for each outside.
std::string Marks(const TRegion& region, std::initializer_list<TPoint> points) {
  std::string s;
  for (TPoint p : points) s += region.Contains(p) ? '#' : '.';
  return s;
}

}  // namespace

TEST(Region, RectangleBasicsInPlaceOperatorsAndCanonicalEquality) {
  TRegion r(TRect(2, 3, 10, 7));
  EXPECT_FALSE(r.IsEmpty());
  EXPECT_EQ(r.Bounds(), TRect(2, 3, 10, 7));
  EXPECT_EQ(Marks(r, {{2, 3}, {9, 6}, {10, 6}, {9, 7}}), "##..");
  EXPECT_EQ(TRegion(TRect(10, 7, 2, 3)), r);  // a reversed box is normalised
  EXPECT_TRUE(TRegion(TRect(5, 5, 5, 9)).IsEmpty() && TRegion(TRect(5, 5, 5, 9)).Bounds() == TRect());
  EXPECT_EQ(TRegion(), TRegion(TRect(1, 1, 1, 1)));
  EXPECT_TRUE(r.Touches(TRect(9, 6, 20, 20)));
  EXPECT_FALSE(r.Touches(TRect(10, 0, 20, 20)) || r.Touches(TRect()));
  // In-place operators; equal areas compare equal whatever their making.
  TRegion left(TRect(0, 0, 10, 10)), right(TRect(10, 0, 20, 10));
  TRegion joined = left;
  joined |= right;
  EXPECT_TRUE(joined == TRegion(TRect(0, 0, 20, 10)) && joined.Complexity() == 1);  // touching spans merge
  TRegion top(TRect(0, 0, 20, 5)), bottom(TRect(0, 5, 20, 10));
  top |= bottom;
  EXPECT_EQ(top, joined);  // touching equal bands merge
  joined -= TRegion(TRect(5, 5, 15, 10));
  EXPECT_EQ(joined.Rects().size(), 3u);
  joined &= TRegion(TRect(0, 0, 5, 10));
  EXPECT_EQ(joined, TRegion(TRect(0, 0, 5, 10)));
  EXPECT_TRUE((joined ^= TRegion(TRect(0, 0, 5, 10))).IsEmpty());
  EXPECT_EQ(left.Combine(right, TRegion::RGN_COPY), left);
}

TEST(Region, SetOperationsMatchPerPixelOracle) {
  std::mt19937 rng(3);
  for (int trial = 0; trial < 400; ++trial) {
    TRegion a = Random_Shape(rng), b = Random_Shape(rng);
    for (int op = TRegion::RGN_AND; op <= TRegion::RGN_COPY; ++op) {
      auto o = TRegion::TRegion_Op(op);
      TRegion c = a.Combine(b, o);
      c.Validate();
      TRect bounds;
      for (int y = Area.top; y < Area.bottom; ++y)
        for (int x = Area.left; x < Area.right; ++x) {
          bool want = Expected(o, a.Contains({x, y}), b.Contains({x, y}));
          ASSERT_EQ(c.Contains({x, y}), want) << trial << " op " << op << " at " << x << "," << y;
          if (want) bounds = bounds.Union(TRect(x, y, x + 1, y + 1));
        }
      EXPECT_EQ(c.Bounds(), bounds);
    }
  }
}

TEST(Region, EllipseRegionsAgreeWithFilledEllipsesAndSpansComeInOrder) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> coord(-3, 40);
  for (int trial = 0; trial < 200; ++trial) {
    TRect box(coord(rng), coord(rng), coord(rng), coord(rng));
    TRegion region = TRegion::Ellipse(box);
    TSpan_Grid grid(Area);
    Scan::Ellipse(box, Area, grid.Sink());
    for (int y = Area.top; y < Area.bottom; ++y)
      for (int x = Area.left; x < Area.right; ++x)
        ASSERT_EQ(region.Contains({x, y}), grid.On(x, y)) << x << "," << y;
  }
  // Spans inside the clip, in order.
  TRegion r = TRegion::Ellipse(TRect(0, 0, 30, 20)) | TRegion(TRect(35, 5, 40, 8));
  TRect clip(3, 4, 38, 12);
  TSpan_Grid grid(Area);
  r.For_Each_Span(clip, grid.Sink());
  EXPECT_TRUE(grid.Bad_Order() == 0 && grid.Max_Count() == 1);
  for (int y = Area.top; y < Area.bottom; ++y)
    for (int x = Area.left; x < Area.right; ++x)
      ASSERT_EQ(grid.On(x, y), r.Contains({x, y}) && clip.Contains(TPoint(x, y)));
  TSpan_Grid none(Area);
  r.For_Each_Span(TRect(), none.Sink());
  EXPECT_EQ(none.Spans(), 0);
  long area = 0;
  for (const TRect& rect : r.Rects()) area += long(rect.Width()) * rect.Height();
  TSpan_Grid all(Area);
  r.For_Each_Span(Area, all.Sink());
  EXPECT_EQ(all.Total(), area);
}

TEST(Region, PolygonRegionsAndOffset) {
  TPoint triangle[3] = {{0, 0}, {20, 0}, {0, 20}};
  TRegion r = TRegion::Polygon(triangle, 3, TFill_Rule::Alternate);
  EXPECT_EQ(Marks(r, {{0, 0}, {9, 9}, {10, 10}}), "##.");
  // (19, 0) has its centre on the slanted right edge: outside
  EXPECT_EQ(r.Bounds(), TRect(0, 0, 19, 19));
  r.Offset(5, -3);
  EXPECT_EQ(Marks(r, {{14, 6}, {15, 7}}), "#.");
  EXPECT_EQ(r.Bounds(), TRect(5, -3, 24, 16));
  TPoint two[8] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}, {15, 5}, {15, 15}, {5, 15}};
  int counts[2] = {4, 4};
  EXPECT_TRUE(TRegion::Poly_Polygon(two, counts, 2, TFill_Rule::Winding).Contains({7, 7}));
  EXPECT_FALSE(TRegion::Poly_Polygon(two, counts, 2, TFill_Rule::Alternate).Contains({7, 7}));
  for (int too_few : {0, 2}) EXPECT_TRUE(TRegion::Polygon(triangle, too_few, TFill_Rule::Alternate).IsEmpty());
}

TEST(Region, BuilderTakesSpansInAnyOrderAndWildCoordinatesStayBounded) {
  TRegion_Builder builder;
  // The second overlaps the first span of its row, the third touches it, the last is empty.
  for (auto [y, x0, x1] : {std::tuple{5, 10, 20}, {3, 0, 4}, {5, 2, 12}, {5, 20, 25}, {4, 0, 4}, {9, 7, 7}})
    builder.Add(y, x0, x1);
  TRegion r = builder.Build();
  r.Validate();
  EXPECT_EQ(r, TRegion(TRect(0, 3, 4, 5)) | TRegion(TRect(2, 5, 25, 6)));
  // Wild coordinates stay bounded.
  TPoint wild[3] = {{0, -2000000000}, {2000000000, 2000000000}, {-2000000000, 2000000000}};
  TRegion w = TRegion::Polygon(wild, 3, TFill_Rule::Winding);
  EXPECT_TRUE(w.Contains({0, 0}) && w.Bounds().bottom <= TRegion::Coordinate_Limit) << w.Bounds().bottom;
  TRegion e = TRegion::Ellipse(TRect(-2000000000, -5, 2000000000, 5));
  EXPECT_TRUE(e.Contains({0, 4}) && e.Complexity() <= 10) << e.Complexity();
}

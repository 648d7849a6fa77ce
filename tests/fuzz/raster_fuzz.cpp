// Feeds shapes with arbitrary coordinates to the rasterisers and regions and
// checks what must always hold: spans inside the clip, in order, each pixel
// once; region invariants; set operations agreeing pixel by pixel with the
// operands.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/gdi/scan_converter.h"

namespace {

constexpr int Side = 48;

struct TReader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  bool wild = true;  // false: keep far coordinates within a few thousand
  uint8_t Byte() { return pos < size ? data[pos++] : 0; }
  int Coord() {
    uint8_t b = Byte();
    if (b >= 250) {  // now and then a wild one
      const int wild[6] = {INT32_MIN, INT32_MAX, -2000000000, 2000000000, -70000, 70000};
      return this->wild ? wild[b - 250] : (b % 2 ? 3000 : -3000);
    }
    return int(b % 64) - 8;
  }
  // Braced lists read their coordinates left to right.
  TPoint Point() { return {Coord(), Coord()}; }
  TRect Rect() { return {Coord(), Coord(), Coord(), Coord()}; }
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "raster fuzz: %s\n", what);
  std::abort();
}

// Records spans on a small grid and checks the sink's promises.
struct TChecker {
  TRect clip;
  std::vector<uint8_t> hits = std::vector<uint8_t>(Side * Side, 0);
  int last_y = INT32_MIN, last_x1 = 0;
  bool rows_ascend = true;

  TSpan_Sink Sink() {
    return [this](int y, int x0, int x1) {
      if (x0 >= x1) Fail("empty span");
      if (!clip.Contains(TPoint(x0, y)) || x1 > clip.right) Fail("span outside clip");
      if (y == last_y && x0 <= last_x1) Fail("spans of a row out of order or touching");
      if (rows_ascend && y < last_y) Fail("rows out of order");
      last_y = y;
      last_x1 = x1;
      for (int x = x0; x < x1; ++x) {
        if (x < 0 || y < 0 || x >= Side || y >= Side) continue;
        if (++hits[y * Side + x] > 1) Fail("pixel reported twice");
      }
    };
  }
};

TRegion Shape(TReader& in) {
  switch (in.Byte() % 4) {
    case 0: return TRegion(in.Rect());
    case 1: return TRegion::Ellipse(in.Rect());
    case 2: {
      TRect r = in.Rect();
      return TRegion::Round_Rect(r, TSize(in.Coord(), in.Coord()));
    }
    default: {
      TPoint pts[6];
      int n = 1 + in.Byte() % 6;
      for (int i = 0; i < n; ++i) pts[i] = in.Point();
      return TRegion::Polygon(pts, n, in.Byte() % 2 ? TFill_Rule::Winding : TFill_Rule::Alternate);
    }
  }
}

void Check_Region(TReader& in) {
  in.wild = false;  // huge shapes make regions of millions of bands: slow, not wrong
  TRegion acc = Shape(in);
  for (int step = 0; step < 4 && in.pos < in.size; ++step) {
    TRegion other = Shape(in);
    auto op = TRegion::TRegion_Op(1 + in.Byte() % 5);
    TRegion result = acc.Combine(other, op);
    result.Validate();
    for (int y = -2; y < Side; ++y)
      for (int x = -2; x < Side; ++x) {
        bool a = acc.Contains({x, y}), b = other.Contains({x, y});
        bool want = op == TRegion::RGN_AND ? a && b : op == TRegion::RGN_OR ? a || b
                  : op == TRegion::RGN_XOR ? a != b : op == TRegion::RGN_DIFF ? a && !b : a;
        if (result.Contains({x, y}) != want) Fail("set operation disagrees with its operands");
      }
    acc = result;
  }
  TChecker check{TRect(0, 0, Side, Side)};
  acc.For_Each_Span(check.clip, check.Sink());
  for (int y = 0; y < Side; ++y)
    for (int x = 0; x < Side; ++x)
      if ((check.hits[y * Side + x] != 0) != acc.Contains({x, y})) Fail("spans disagree with Contains");
}

void Check_Scan(TReader& in) {
  TChecker check{in.Rect().Intersection(TRect(0, 0, Side, Side))};
  TSpan_Sink sink = check.Sink();
  TRect box = in.Rect();
  int pen = 1 + in.Byte() % 6;
  TPoint pts[7];
  for (TPoint& p : pts) p = in.Point();
  switch (in.Byte() % 12) {
    case 0: {
      const int counts[2] = {3, 4};
      Scan::Polygons(pts, counts, 2, in.Byte() % 2 ? TFill_Rule::Winding : TFill_Rule::Alternate, check.clip, sink);
      break;
    }
    case 1: Scan::Ellipse(box, check.clip, sink); break;
    case 2: Scan::Ellipse_Outline(box, pen, check.clip, sink); break;
    case 3: Scan::Round_Rect(box, TSize(pts[0].x, pts[0].y), check.clip, sink); break;
    case 4: Scan::Round_Rect_Outline(box, TSize(pts[0].x, pts[0].y), pen, check.clip, sink); break;
    case 5: Scan::Arc(box, pts[0], pts[1], pen, check.clip, sink); break;
    case 6: Scan::Pie(box, pts[0], pts[1], check.clip, sink); break;
    case 7: Scan::Chord(box, pts[0], pts[1], check.clip, sink); break;
    case 8: Scan::Pie_Outline(box, pts[0], pts[1], pen, check.clip, sink); break;
    case 9: Scan::Chord_Outline(box, pts[0], pts[1], pen, check.clip, sink); break;
    case 10: check.rows_ascend = false; Scan::Line(pts[0], pts[1], in.Byte() % 2, check.clip, sink); break;
    default:
      in.Byte() % 2 ? Scan::Bezier(pts, 7, check.clip, sink)
                    : Scan::Wide_Polyline(pts, 1 + in.Byte() % 7, pen, in.Byte() % 2, check.clip, sink);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TReader in{data, size};
  in.Byte() % 2 ? Check_Region(in) : Check_Scan(in);
  return 0;
}

// TDC: lines, polygons, rectangles, ellipses, arcs, chords, pies and curves.
// Outlines and areas come from the scan converter as spans; a figure's
// outline is gathered first so that its interior leaves those pixels out.
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "platform/gdi/dc.h"
#include "platform/gdi/dc_painter.h"
#include "platform/gdi/scan_converter.h"
#include "platform/gdi/span_set.h"

using TSpan_Producer = std::function<void(const TRect& clip, const TSpan_Sink& sink)>;

struct TDC::TPen_Shape {
  bool null = false;
  int width = 1;          // device pixels
  bool wide = false;      // drawn with round ends and joins
  bool inside_frame = false;
  int style = PS_SOLID;   // dashes apply to thin pens only
  TColor color;
};

struct TDC::TFigure {
  TSpan_Producer area;     // null: an open figure (no interior)
  TSpan_Producer outline;  // the pen's pixels
  // A thin styled pen walks this path instead of painting the outline.
  std::vector<TPoint> path;
  bool closed_path = true;
};

namespace {

// On and off runs, in pixels, of the dashed cosmetic pens.
struct TDash {
  const int* runs;
  int count;
};

TDash Dash_Of(int style) {
  static const int dash[] = {18, 6}, dot[] = {3, 3}, dash_dot[] = {9, 6, 3, 6},
                   dash_dot_dot[] = {9, 3, 3, 3, 3, 3}, alternate[] = {1, 1};
  switch (style) {
    case PS_DASH: return {dash, 2};
    case PS_DOT: return {dot, 2};
    case PS_DASHDOT: return {dash_dot, 4};
    case PS_DASHDOTDOT: return {dash_dot_dot, 6};
    case PS_ALTERNATE: return {alternate, 2};
    default: return {nullptr, 0};
  }
}

bool Dash_On(const TDash& dash, long step) {
  long period = 0;
  for (int i = 0; i < dash.count; ++i) period += dash.runs[i];
  long at = step % period;
  for (int i = 0; i < dash.count; ++i) {
    if (at < dash.runs[i]) return i % 2 == 0;
    at -= dash.runs[i];
  }
  return true;
}

// Walks a path of thin lines, sorting each pixel into the pen's dashes or
// its gaps by its distance along the path.
void Walk_Dashed(const std::vector<TPoint>& path, bool closed, bool include_last, const TDash& dash,
                 const TRect& clip, TSpan_Set& on, TSpan_Set& off) {
  const size_t n = path.size();
  const size_t segments = closed ? n : (n > 0 ? n - 1 : 0);
  long phase = 0;
  for (size_t i = 0; i < segments; ++i) {
    const TPoint a = path[i], b = path[(i + 1) % n];
    const bool x_major = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
    const bool last = include_last && !closed && i + 1 == segments;
    Scan::Line(a, b, last, clip, [&](int y, int x0, int x1) {
      for (int x = x0; x < x1; ++x) {
        const long step = phase + (x_major ? std::abs(x - a.x) : std::abs(y - a.y));
        (Dash_On(dash, step) ? on : off).Add(y, x, x + 1);
      }
    });
    phase += std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
  }
}

// The points of a closed rectangle path along its outermost pixels.
std::vector<TPoint> Box_Path(const TRect& box) {
  return {{box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1}, {box.left, box.bottom - 1}};
}

// Flattens cubic Bezier segments (1 + 3n points) into a polyline.
std::vector<TPoint> Flatten_Bezier(const TPoint* p, int count) {
  std::vector<TPoint> out;
  if (count < 1) return out;
  out.push_back(p[0]);
  for (int i = 0; i + 3 < count; i += 3) {
    // In double: far points' differences do not fit an int.
    auto span = [](TPoint a, TPoint b) { return std::abs(double(b.x) - a.x) + std::abs(double(b.y) - a.y); };
    const double length = span(p[i], p[i + 1]) + span(p[i + 1], p[i + 2]) + span(p[i + 2], p[i + 3]);
    const int steps = std::clamp(int(length / 4), 1, 256);
    for (int k = 1; k <= steps; ++k) {
      const double t = double(k) / steps, u = 1 - t;
      const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
      const double x = b0 * p[i].x + b1 * p[i + 1].x + b2 * p[i + 2].x + b3 * p[i + 3].x;
      const double y = b0 * p[i].y + b1 * p[i + 1].y + b2 * p[i + 2].y + b3 * p[i + 3].y;
      const TPoint q(int(x < 0 ? x - 0.5 : x + 0.5), int(y < 0 ? y - 0.5 : y + 0.5));
      if (!(q == out.back())) out.push_back(q);
    }
  }
  return out;
}

}  // namespace

TDC::TPen_Shape TDC::Pen_Shape() const {
  const TPen::TData& pen = *state_.pen;
  TPen_Shape shape;
  shape.null = pen.style == PS_NULL;
  shape.color = pen.color;
  shape.inside_frame = pen.style == PS_INSIDEFRAME;
  shape.width = pen.geometric ? std::max(1, To_Device_Width(pen.width)) : 1;
  shape.wide = shape.width > 1;
  shape.style = shape.wide ? PS_SOLID : pen.style;
  return shape;
}

bool TDC::Draw_Figure(const TFigure& figure) {
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  TSurface& surface = scope.Surface();
  const TClip_Bands& clip = scope.Clip();
  const TDC_Painter painter(*this, surface);
  const TPen_Shape pen = Pen_Shape();
  const uint8_t mix = painter.Mix_Table();

  TSpan_Set on, off;
  const TDash dash = Dash_Of(pen.style);
  if (!pen.null) {
    if (dash.runs && !figure.path.empty()) {
      Walk_Dashed(figure.path, figure.closed_path, false, dash, clip.Bounds(), on, off);
    } else if (figure.outline) {
      figure.outline(clip.Bounds(), on.Adder());
    }
  }
  on.Finish();
  off.Finish();

  if (figure.area && state_.brush->style != BS_NULL) {
    const TFill_Pattern fill = painter.Brush(*state_.brush, mix);
    const TSpan_Filler filler(surface, clip, fill);
    if (!filler.Does_Nothing()) {
      const TSpan_Sink paint = filler.Sink();
      figure.area(clip.Bounds(), [&](int y, int x0, int x1) {
        on.Subtract(y, x0, x1, [&](int yy, int a, int b) { off.Subtract(yy, a, b, paint); });
      });
    }
  }
  if (!on.Empty()) {
    const TFill_Pattern fill = painter.Solid(pen.color, mix);
    on.For_Each(TSpan_Filler(surface, clip, fill).Sink());
  }
  if (!off.Empty() && state_.bk_mode == OPAQUE) {
    const TFill_Pattern fill = painter.Solid(state_.bk_color, mix);
    off.For_Each(TSpan_Filler(surface, clip, fill).Sink());
  }
  return true;
}

bool TDC::Draw_Lines(const TPoint* p, int count, bool closed, bool include_last) {
  if (count < 2) return count >= 0;
  const TPen_Shape pen = Pen_Shape();
  TFigure figure;
  figure.path.assign(p, p + count);
  figure.closed_path = closed;
  if (pen.wide) {
    figure.outline = [&](const TRect& clip, const TSpan_Sink& sink) {
      Scan::Wide_Polyline(p, count, pen.width, closed, clip, sink);
    };
    figure.path.clear();
  } else {
    figure.outline = [&](const TRect& clip, const TSpan_Sink& sink) {
      const int segments = closed ? count : count - 1;
      for (int i = 0; i < segments; ++i)
        Scan::Line(p[i], p[(i + 1) % count], include_last && !closed && i + 1 == segments, clip, sink);
    };
  }
  return Draw_Figure(figure);
}

TPoint TDC::MoveTo(TPoint point) { return std::exchange(state_.position, point); }

bool TDC::LineTo(TPoint point) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  const TPoint from = To_Surface(state_.position), to = To_Surface(point);
  state_.position = point;
  const TPoint line[2] = {from, to};
  return Draw_Lines(line, 2, false, false);
}

bool TDC::Polyline(const TPoint* points, int count) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  if (!points || count < 2) return false;
  std::vector<TPoint> p(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) p[size_t(i)] = To_Surface(points[i]);
  return Draw_Lines(p.data(), count, false, false);
}

bool TDC::PolyBezier(const TPoint* points, int count) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  if (!points || count < 4 || (count - 1) % 3 != 0) return false;
  std::vector<TPoint> p(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) p[size_t(i)] = To_Surface(points[i]);
  const TPen_Shape pen = Pen_Shape();
  if (pen.wide || Dash_Of(pen.style).runs) {
    const std::vector<TPoint> flat = Flatten_Bezier(p.data(), count);
    return Draw_Lines(flat.data(), int(flat.size()), false, false);
  }
  TFigure figure;
  figure.outline = [&](const TRect& clip, const TSpan_Sink& sink) { Scan::Bezier(p.data(), count, clip, sink); };
  return Draw_Figure(figure);
}

bool TDC::PolyPolygon(const TPoint* points, const int* counts, int polygon_count) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  if (!points || !counts || polygon_count < 1) return false;
  std::vector<TPoint> p;
  std::vector<int> n;
  int at = 0;
  for (int k = 0; k < polygon_count; ++k) {
    if (counts[k] < 2) return false;
    n.push_back(counts[k]);
    for (int i = 0; i < counts[k]; ++i) p.push_back(To_Surface(points[at + i]));
    at += counts[k];
  }
  const TPen_Shape pen = Pen_Shape();
  const TFill_Rule rule = state_.poly_fill_mode == WINDING ? TFill_Rule::Winding : TFill_Rule::Alternate;
  TFigure figure;
  figure.area = [&](const TRect& clip, const TSpan_Sink& sink) {
    Scan::Polygons(p.data(), n.data(), polygon_count, rule, clip, sink);
  };
  figure.outline = [&](const TRect& clip, const TSpan_Sink& sink) {
    int first = 0;
    for (int k = 0; k < polygon_count; ++k) {
      const TPoint* q = p.data() + first;
      if (pen.wide) {
        Scan::Wide_Polyline(q, n[size_t(k)], pen.width, true, clip, sink);
      } else {
        for (int i = 0; i < n[size_t(k)]; ++i) Scan::Line(q[i], q[(i + 1) % n[size_t(k)]], false, clip, sink);
      }
      first += n[size_t(k)];
    }
  };
  if (polygon_count == 1 && !pen.wide) figure.path = p;
  return Draw_Figure(figure);
}

bool TDC::Polygon(const TPoint* points, int count) {
  return PolyPolygon(points, &count, 1);
}

// ---- Figures in a box ----------------------------------------------------------
//
// The box is normalised. With the null pen the area loses its right column
// and bottom row. A thin pen draws the figure's outermost pixels; a wide one
// is centred on them, or lies inside the box with PS_INSIDEFRAME.

namespace {

struct TBox_Figure {
  TRect outer;  // where the outline's outside lies
  bool null_pen;
};

TBox_Figure Box_For(TRect box, bool null_pen, int width, bool inside_frame) {
  if (null_pen) return {TRect(box.left, box.top, box.right - 1, box.bottom - 1), true};
  if (width > 1 && !inside_frame) box = box.Inflated_By(width / 2, width / 2);
  return {box, false};
}

}  // namespace

bool TDC::Rectangle(const TRect& rect) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  const TPen_Shape pen = Pen_Shape();
  const TBox_Figure f = Box_For(To_Surface_Box(rect), pen.null, pen.width, pen.inside_frame);
  if (f.outer.IsEmpty()) return true;
  TFigure figure;
  figure.area = [&](const TRect& clip, const TSpan_Sink& sink) {
    const TRect r = f.outer.Intersection(clip);
    for (int y = r.top; y < r.bottom; ++y) sink(y, r.left, r.right);
  };
  const int w = pen.wide ? pen.width : 1;
  if (pen.wide && !pen.inside_frame) {
    const TRect centre = f.outer.Inflated_By(-(pen.width / 2), -(pen.width / 2));
    const std::vector<TPoint> path = Box_Path(centre);
    figure.outline = [path, w](const TRect& clip, const TSpan_Sink& sink) {
      Scan::Wide_Polyline(path.data(), 4, w, true, clip, sink);
    };
  } else {
    figure.outline = [&f, w](const TRect& clip, const TSpan_Sink& sink) {
      const TRect inner = f.outer.Inflated_By(-w, -w);
      const TRect r = f.outer.Intersection(clip);
      for (int y = r.top; y < r.bottom; ++y) {
        if (inner.IsEmpty() || y < inner.top || y >= inner.bottom) {
          sink(y, r.left, r.right);
        } else {
          if (r.left < inner.left) sink(y, r.left, std::min(r.right, inner.left));
          if (r.right > inner.right) sink(y, std::max(r.left, inner.right), r.right);
        }
      }
    };
    if (!pen.wide) figure.path = Box_Path(f.outer);
  }
  return Draw_Figure(figure);
}

bool TDC::Ellipse(const TRect& rect) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  const TPen_Shape pen = Pen_Shape();
  const TBox_Figure f = Box_For(To_Surface_Box(rect), pen.null, pen.width, pen.inside_frame);
  if (f.outer.IsEmpty()) return true;
  TFigure figure;
  figure.area = [&](const TRect& clip, const TSpan_Sink& sink) { Scan::Ellipse(f.outer, clip, sink); };
  figure.outline = [&](const TRect& clip, const TSpan_Sink& sink) {
    Scan::Ellipse_Outline(f.outer, pen.width, clip, sink);
  };
  return Draw_Figure(figure);
}

bool TDC::RoundRect(const TRect& rect, TPoint corner) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  const TPen_Shape pen = Pen_Shape();
  const TBox_Figure f = Box_For(To_Surface_Box(rect), pen.null, pen.width, pen.inside_frame);
  if (f.outer.IsEmpty()) return true;
  const TSize c(std::min(To_Device_Width(corner.x), f.outer.Width()),
                std::min(std::abs(To_Device(TPoint(0, corner.y)).y - To_Device(TPoint(0, 0)).y), f.outer.Height()));
  TFigure figure;
  figure.area = [&](const TRect& clip, const TSpan_Sink& sink) { Scan::Round_Rect(f.outer, c, clip, sink); };
  figure.outline = [&](const TRect& clip, const TSpan_Sink& sink) {
    Scan::Round_Rect_Outline(f.outer, c, pen.width, clip, sink);
  };
  return Draw_Figure(figure);
}

bool TDC::Arc(const TRect& rect, TPoint start, TPoint end) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  const TPen_Shape pen = Pen_Shape();
  if (pen.null) return true;
  const TBox_Figure f = Box_For(To_Surface_Box(rect), false, pen.width, pen.inside_frame);
  if (f.outer.IsEmpty()) return true;
  const TPoint s = To_Surface(start), e = To_Surface(end);
  TFigure figure;
  figure.outline = [&](const TRect& clip, const TSpan_Sink& sink) { Scan::Arc(f.outer, s, e, pen.width, clip, sink); };
  return Draw_Figure(figure);
}

bool TDC::Chord(const TRect& rect, TPoint start, TPoint end) {
  return Draw_Sector(rect, start, end, Scan::Chord, Scan::Chord_Outline);
}

bool TDC::Pie(const TRect& rect, TPoint start, TPoint end) {
  return Draw_Sector(rect, start, end, Scan::Pie, Scan::Pie_Outline);
}

bool TDC::Draw_Sector(const TRect& rect, TPoint start, TPoint end, TSector_Area area, TSector_Outline outline) {
  const TDraw_Scope hold(*this);  // the origin is read with the drawing, under the lock
  const TPen_Shape pen = Pen_Shape();
  const TBox_Figure f = Box_For(To_Surface_Box(rect), pen.null, pen.width, pen.inside_frame);
  if (f.outer.IsEmpty()) return true;
  const TPoint s = To_Surface(start), e = To_Surface(end);
  TFigure figure;
  figure.area = [&](const TRect& clip, const TSpan_Sink& sink) { area(f.outer, s, e, clip, sink); };
  figure.outline = [&](const TRect& clip, const TSpan_Sink& sink) { outline(f.outer, s, e, pen.width, clip, sink); };
  return Draw_Figure(figure);
}

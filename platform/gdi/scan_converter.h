// Scan conversion of the graphics layer's outlines and areas, in device
// pixels. Pixel rules, kept by every caller:
// - an area (polygon, ellipse, box) covers the pixels whose centres lie
//   inside it; boxes exclude their right and bottom edge;
// - a thin line covers one pixel per step and excludes its last pixel;
// - wide lines have round ends and round joins;
// - arcs, chords and pies run counter-clockwise on the screen (y down) from
//   the ray through start to the ray through end; equal rays give the whole
//   ellipse.
// Every function reports spans only inside clip (which the caller has
// already intersected with the surface), each row's spans in increasing x.
#pragma once

#include "platform/gdi/geometry.h"
#include "platform/gdi/span_sink.h"

namespace Scan {

// Interior of one or more polygons (counts[i] points each).
void Polygons(const TPoint* points, const int* counts, int polygon_count, TFill_Rule rule,
              const TRect& clip, const TSpan_Sink& sink);

// Interior of the ellipse inscribed in box, as Ellipse fills it and as an
// elliptic region holds it.
void Ellipse(const TRect& box, const TRect& clip, const TSpan_Sink& sink);

// The outline of that ellipse drawn with a pen of the given width (1 for a
// cosmetic pen), lying inside box.
void Ellipse_Outline(const TRect& box, int pen_width, const TRect& clip, const TSpan_Sink& sink);

// A rectangle with corners rounded by ellipses of corner.cx by corner.cy.
void Round_Rect(const TRect& box, TSize corner, const TRect& clip, const TSpan_Sink& sink);
void Round_Rect_Outline(const TRect& box, TSize corner, int pen_width, const TRect& clip,
                        const TSpan_Sink& sink);

// Arc of the ellipse in box from the ray through start to the ray through end.
void Arc(const TRect& box, TPoint start, TPoint end, int pen_width, const TRect& clip,
         const TSpan_Sink& sink);
// Interiors of the pie (arc plus two radii) and the chord (arc plus its chord).
void Pie(const TRect& box, TPoint start, TPoint end, const TRect& clip, const TSpan_Sink& sink);
void Chord(const TRect& box, TPoint start, TPoint end, const TRect& clip, const TSpan_Sink& sink);
// Their outlines with a pen of the given width.
void Pie_Outline(const TRect& box, TPoint start, TPoint end, int pen_width, const TRect& clip,
                 const TSpan_Sink& sink);
void Chord_Outline(const TRect& box, TPoint start, TPoint end, int pen_width, const TRect& clip,
                   const TSpan_Sink& sink);

// A thin line from a to b without its last pixel (with it when include_last).
void Line(TPoint a, TPoint b, bool include_last, const TRect& clip, const TSpan_Sink& sink);

// Connected lines with a pen wider than one pixel: round ends and joins;
// closed joins the last point to the first. Every pixel is reported once.
void Wide_Polyline(const TPoint* points, int count, int pen_width, bool closed, const TRect& clip,
                   const TSpan_Sink& sink);

// Cubic Bezier curves (1 + 3n points) flattened into thin lines, as
// PolyBezier draws them.
void Bezier(const TPoint* points, int count, const TRect& clip, const TSpan_Sink& sink);

}  // namespace Scan

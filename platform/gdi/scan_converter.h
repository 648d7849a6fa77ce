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
// already intersected with the surface), each row's spans in increasing x,
// every pixel once per call.
//
// Details the rules above leave open, as chosen here:
// - a box given right-to-left or bottom-to-top is normalised first; a box of
//   zero width or height covers nothing;
// - a pixel centre exactly on a polygon edge belongs to the polygon on the
//   edge's right, so polygons sharing an edge cover each pixel once;
// - the ellipse covers the pixel centres with (2dx/w)² + (2dy/h)² <= 1,
//   boundary included (dx, dy from the box centre);
// - a thin line lights, for each step of its major axis (x when |dx| >= |dy|),
//   the pixel nearest the line, ties to the smaller coordinate: a to b and b
//   to a light the same pixels but for the end each leaves out;
// - a wide pen of width w covers the pixels whose centres lie within w/2 of
//   the centre line; for even w the line runs half a pixel up and left of the
//   pixel centres, so a horizontal line covers exactly w rows;
// - outlines lie inside the figure: a width-1 pen takes the figure's pixels
//   next to its outside (4-neighbours), a wider pen the figure minus the figure
//   shrunk by the width; pies and chords join their straight sides to the arc
//   as lines from the arc's ends and keep them inside the ellipse;
// - a start or end point at the centre of the box gives a ray to the right;
// - rows come in increasing y, except for Line, whose rows follow the walk
//   along the line (one span per row).
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

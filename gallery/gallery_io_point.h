// A drop point: a small child window of the gallery window that stands for a
// place outside the 12 by 12 grid (the main window, the clipboard, the
// printer, the recycling bin). A miniature dragged onto it hands the drawing
// over; the drawing a point holds can be dragged back out of it.
//
// The point keeps its picture in an off-screen bitmap (backdrop), shows a
// hover tip over its region, and starts drags out of itself. The gallery
// window talks to every point through the drop protocol below:
//
// - end of a drag whose miniature centre lies in a point's drop_area: that
//   point gets Accept_Drop(source place); then, when the drag came from a
//   point, the source point gets Given_Away, whether or not the target took
//   the drawing;
// - a drag into a grid cell: the store moves the drawing, and a source point
//   gets Given_Away in the same way;
// - a drag out of a point that ends on nothing: the source gets Drag_Cancelled.
//
// The drop areas are tried in the order main window, clipboard, printer, bin
// (left and top inclusive, right and bottom exclusive). A point holds no
// drawing of its own: the store (the gallery window's Drawing_Collection)
// answers for My_Place.
//
// Each concrete point is built as Point(Gallery_Window* gallery, const TRect&
// rect), rect in the gallery window's client coordinates; its window id,
// caption and tip text are its own.
#pragma once

#include <memory>

#include "gallery/drawing_place.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"
#include "platform/window/window.h"

class Drawing_Collection;
class Gallery_Window;

class Gallery_IO_Point : public TWindow {
 public:
  // Window ids the gallery window gives its points.
  static constexpr int Main_Window_Id = 1718;
  static constexpr int Clipboard_Id = 1719;
  static constexpr int Printer_Id = 1720;
  static constexpr int Bin_Id = 1721;

  // rect: in the gallery window's client coordinates. tip_text is not owned
  // and must outlive the point (null: no tip).
  Gallery_IO_Point(Gallery_Window* gallery, const char* caption, int id, const TRect& rect, const char* tip_text);
  ~Gallery_IO_Point() override;

  // Makes backdrop and fills it with the background; subclasses call this
  // first and then draw their picture into backdrop.
  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;

  // ---- The drop protocol
  // The store place this point stands for.
  virtual Drawing_Place My_Place() const;
  // A drawing dragged from source was dropped on this point. The base moves
  // it into My_Place (the store may refuse) and redraws.
  virtual void Accept_Drop(const Drawing_Place& source);
  // The drawing dragged out of this point was dropped somewhere else.
  virtual void Given_Away();
  // A drag that started here ended on no target.
  virtual void Drag_Cancelled();
  // Whether a drawing can be dragged out at client point; on true, place is
  // its store place and rectangle its miniature (client coordinates).
  virtual bool Pick_Up(const TPoint& point, Drawing_Place& place, TRect& rectangle);
  // The drawing at place is being dragged: mark it in the picture.
  virtual void Show_Picked_Up(const Drawing_Place& place);
  // Brings the picture up to date and paints it at once.
  virtual void Redraw();

  // The gallery window's current store (null before it has one).
  Drawing_Collection* Store() const;
  // drop_area in the gallery window's coordinates.
  const TRect& Drop_Area() const { return drop_area; }
  const TRect& Area() const { return area; }
  const char* Tip_Text() const { return tip_text; }
  const TBitmap* Backdrop() const { return backdrop.get(); }

 protected:
  // Paints backdrop through a client DC (the base Redraw).
  void Paint_Now();
  // Draws a one-sixth miniature as a disc: the picture clipped to the
  // ellipse inscribed in rect, on dc (palette selected by the caller).
  static void Draw_Disc(TDC& dc, const TRect& rect, class Shape_Drawing* picture);
  // The cross-hatch that marks a picked-up miniature: black '/' lines, then
  // white '\' lines, over the ellipse inscribed in rect, on the screen.
  void Hatch_Disc(const TRect& rect);
  // A memory DC on backdrop with the program palette selected (null when
  // backdrop could not be made).
  std::unique_ptr<class TMemoryDC> Backdrop_DC();

  Gallery_Window* gallery;
  TRect area;
  TRect drop_area;
  TRegion region;
  const char* tip_text;
  std::unique_ptr<TBitmap> backdrop;
};

// The gallery as the frame sees it: a window that takes the frame's client
// place while it is open. So far it keeps no drawings: it says so, and a
// click or a key takes the user back to the drawing.
//
// STAND-IN additions for the drop points (Collection, Start_Point_Drag),
// to be dropped at merge for the gallery window of its own branch.
#pragma once

#include <memory>

#include "gallery/drawing_collection.h"
#include "gallery/drawing_place.h"
#include "platform/window/window.h"

class Gallery_Host;
class Shape_Drawing;

class Gallery_Window : public TWindow {
 public:
  static constexpr const char* Notice = "The gallery is not available yet. Click to go back.";

  // frame: the frame window, which the gallery returns to through host.
  Gallery_Window(TWindow* frame, Gallery_Host* host);

  bool EvEraseBkgnd(TDC&) override { return true; }
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override;

  void Open_With_Drawing(const Shape_Drawing* drawing);
  void Change_User() {}
  void Show_Help() {}
  // Nothing is ever unsaved here.
  bool CanClose() override { return true; }

  const Shape_Drawing* Drawing = nullptr;

  Drawing_Collection* Collection() const { return collection.get(); }
  void Start_Point_Drag(const Drawing_Place& place, TPoint point, const TRect& rectangle) {
    drag_place = place, drag_point = point, drag_rect = rectangle;
  }
  std::unique_ptr<Drawing_Collection> collection = std::make_unique<Drawing_Collection>();
  Drawing_Place drag_place;
  TPoint drag_point;
  TRect drag_rect;

 private:
  void Leave();
  Gallery_Host* Host;
};

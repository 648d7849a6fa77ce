// The miniature that follows the mouse while a drawing is dragged in the
// gallery. A sprite: it saves what lies under it and puts it back as it
// moves. It keeps the mouse where the miniature, carried at the same offset,
// stays inside a limit rectangle, and changes between two miniatures as its
// left edge crosses a vertical boundary, keeping the mouse on its centre.
//
// It draws its own copies of the two pictures: the store hands out shared
// display pictures that the next request of the same size overwrites, and
// anything repainted during a drag may make such a request.
#pragma once

#include <memory>

#include "model/shape_drawing.h"
#include "platform/gdi/geometry.h"
#include "toolkit/mobile_object.h"

class TClientDC;
class TWindow;

class Gallery_Dragger : public Mobile_Object {
 public:
  // limit and boundary_x in the client coordinates of window.
  Gallery_Dragger(TWindow* window, const TRect& limit, int boundary_x);
  ~Gallery_Dragger() override;

  // Shows the miniature at rectangle and starts following the mouse from
  // mouse; left is drawn while the miniature's left edge is left of the
  // boundary, right otherwise. Both are copied.
  void Start_Drag(TPoint mouse, const TRect& rectangle, const Shape_Drawing& left, const Shape_Drawing& right);
  void Drag_To(TPoint mouse);
  // Moves the miniature and the mouse together.
  void Move_By(int dx, int dy);
  // Hides the miniature (the background back unless keep) and frees the mouse.
  void End_Drag(bool keep);
  void Draw(TDC& dc, const TRect& rect) override;

  bool Dragging() const { return current != nullptr; }
  const TRect& Miniature() const { return miniature; }
  TPoint Centre() const { return {(miniature.left + miniature.right) / 2, (miniature.top + miniature.bottom) / 2}; }
  TPoint Last_Mouse() const { return last_mouse; }
  bool Shows_Left() const { return current == left_picture.get(); }
  // The cursor clip that keeps the miniature inside the limit (client
  // coordinates).
  TRect Mouse_Clip() const;

  TWindow* gallery;
  TRect limit;
  int boundary_x;

 private:
  void Open_DC(const TRect& changed);
  void Close_DC();
  void Clip_Mouse();
  // Moves the mouse from where the drag last saw it (client coordinates).
  void Put_Mouse(TPoint from, TPoint to);

  TRect miniature;
  TPoint last_mouse;
  std::unique_ptr<Shape_Drawing> left_picture;
  std::unique_ptr<Shape_Drawing> right_picture;
  Shape_Drawing* current = nullptr;
  std::unique_ptr<TClientDC> dc;
};

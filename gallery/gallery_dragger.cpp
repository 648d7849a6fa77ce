#include "gallery/gallery_dragger.h"

#include "model/gui_colors.h"
#include "platform/gdi/region.h"
#include "platform/window/user.h"
#include "platform/window/window.h"
#include "platform/window/window_dc.h"

Gallery_Dragger::Gallery_Dragger(TWindow* window, const TRect& limit_, int boundary)
    : gallery(window), limit(limit_), boundary_x(boundary) {}

Gallery_Dragger::~Gallery_Dragger() {
  if (Dragging()) End_Drag(true);
}

namespace {

// A context on the window's client area that reports only part of it as
// changed when it closes, so that only that part is presented.
class Sprite_DC : public TClientDC {
 public:
  Sprite_DC(TWindow& window, const TRect& client_changed) : TClientDC(window) {
    const TPoint o = window.Client_Screen_Origin();
    changed_limit_ = client_changed.Offset_By(o.x, o.y);
  }
};

}  // namespace

// A context on the window is opened for each step and closed after it,
// saying which rectangle the step changed: one left open would have every
// presentation send the whole window to the display.
void Gallery_Dragger::Open_DC(const TRect& changed) {
  dc = std::make_unique<Sprite_DC>(*gallery, changed);
  DC = dc.get();
}

void Gallery_Dragger::Close_DC() {
  DC = nullptr;
  dc.reset();
}

void Gallery_Dragger::Start_Drag(TPoint mouse, const TRect& rectangle, const Shape_Drawing& left,
                                 const Shape_Drawing& right) {
  last_mouse = mouse;
  miniature = rectangle;
  left_picture = std::make_unique<Shape_Drawing>(left, true);
  right_picture = std::make_unique<Shape_Drawing>(right, true);
  current = miniature.left < boundary_x ? left_picture.get() : right_picture.get();
  Open_DC(miniature);
  Show(*dc, miniature);
  Close_DC();
  Clip_Mouse();
}

void Gallery_Dragger::Drag_To(TPoint mouse) {
  if (!Dragging()) return;
  TRect next = miniature.Offset_By(mouse.x - last_mouse.x, mouse.y - last_mouse.y);
  Shape_Drawing* wanted = current;
  if (next.left < boundary_x) wanted = left_picture.get();
  else if (next.left > boundary_x) wanted = right_picture.get();
  const bool switched = wanted != current;
  if (switched) {
    current = wanted;
    const int w = current->Width(), h = current->Height();
    next.top = ((next.top + next.bottom) >> 1) - (h >> 1);
    next.bottom = next.top + h;
    next.right = next.left + w;
  }
  Open_DC(miniature.Union(next));
  Move(next);
  Close_DC();
  last_mouse = mouse;
  miniature = next;
  if (switched) {
    last_mouse = Centre();
    ClipCursor(nullptr);
    Put_Mouse(mouse, last_mouse);
    Clip_Mouse();
  }
}

void Gallery_Dragger::Move_By(int dx, int dy) {
  if (!Dragging()) return;
  const TRect before = miniature;
  miniature = miniature.Offset_By(dx, dy);
  Open_DC(before.Union(miniature));
  Move(miniature);
  Close_DC();
  const TPoint seen = last_mouse;
  last_mouse = TPoint(last_mouse.x + dx, last_mouse.y + dy);
  ClipCursor(nullptr);
  Put_Mouse(seen, last_mouse);
  Clip_Mouse();
}

void Gallery_Dragger::End_Drag(bool keep) {
  if (Dragging()) {
    Open_DC(miniature);
    Hide(keep);
    Close_DC();
  }
  current = nullptr;
  left_picture.reset();
  right_picture.reset();
  ClipCursor(nullptr);
}

void Gallery_Dragger::Draw(TDC& target, const TRect& rect) {
  if (!current) return;
  if (The_GUI_Colors) {
    target.SelectPalette(*The_GUI_Colors->Palette, false);
    target.RealizePalette();
  }
  const TRegion clip(rect);
  target.SelectClipRgn(&clip);
  current->Paint(target, rect);
  target.SelectClipRgn(nullptr);
}

TRect Gallery_Dragger::Mouse_Clip() const {
  return TRect(limit.left + (last_mouse.x - miniature.left), limit.top + (last_mouse.y - miniature.top),
               limit.right + (last_mouse.x - miniature.right), limit.bottom + (last_mouse.y - miniature.bottom));
}

void Gallery_Dragger::Clip_Mouse() {
  const TRect clip = Mouse_Clip();
  TPoint a = clip.TopLeft(), b = clip.BottomRight();
  gallery->ClientToScreen(a);
  gallery->ClientToScreen(b);
  const TRect screen(a.x, a.y, b.x, b.y);
  ClipCursor(&screen);
}

// A program that has fallen behind the hand would otherwise throw its later
// moves away, and a drawing let go there would land where the hand was a
// while before.
void Gallery_Dragger::Put_Mouse(TPoint from, TPoint to) {
  gallery->ClientToScreen(from);
  gallery->ClientToScreen(to);
  SetCursorPosFrom(from, to.x, to.y);
}

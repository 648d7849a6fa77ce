#include "toolkit/mobile_object.h"

#include <algorithm>

Mobile_Object::~Mobile_Object() = default;

void Mobile_Object::Make_Saved(TSize size) {
  Saved = std::make_unique<TBitmap>(std::max(size.cx, 1), std::max(size.cy, 1));
  if (Save_DC) Save_DC->SelectObject(*Saved);
}

void Mobile_Object::Show(TDC& dc, const TRect& place) {
  DC = &dc;
  Place_Rect = place;
  if (Saved && (Saved->Width() < place.Width() || Saved->Height() < place.Height())) Saved.reset();
  if (!Saved) Make_Saved(place.Size());
  Save_Rect = TRect(0, 0, place.Width(), place.Height());
  Save_DC = std::make_unique<TMemoryDC>(dc);
  Save_DC->SelectObject(*Saved);
  Save_DC->BitBlt(Save_Rect, dc, place.TopLeft());
  Move(place);
}

TMemoryDC& Mobile_Object::Composite(TSize size) {
  if (!composite_ || composite_->Width() < size.cx || composite_->Height() < size.cy) {
    const int w = std::max(size.cx, composite_ ? composite_->Width() : 1);
    const int h = std::max(size.cy, composite_ ? composite_->Height() : 1);
    composite_ = std::make_unique<TBitmap>(w, h);
    composite_dc_ = std::make_unique<TMemoryDC>(*DC);
    composite_dc_->SelectObject(*composite_);
  }
  return *composite_dc_;
}

void Mobile_Object::Draw_Into(TDC& dc, const TRect& rect) {
  const int level = dc.SaveDC();
  Draw(dc, rect);
  dc.RestoreDC(level);
}

void Mobile_Object::Move(const TRect& place) {
  if (!DC) return;
  const TRect old_place = Place_Rect;
  const TSize old_size = old_place.Size();
  // Places apart: each is composed on its own, which puts the same pixels
  // on the screen as one composite over both and copies far less.
  const bool apart = !old_place.Touches(place) && !old_place.IsEmpty();
  const TRect u = apart ? place : old_place.Union(place);
  TMemoryDC& composite = Composite(u.Size());
  if (apart) DC->BitBlt(TRect(old_place.TopLeft(), old_size), *Save_DC, TPoint(0, 0));
  // The window as it is without the object, then the new background saved.
  composite.BitBlt(TRect(0, 0, u.Width(), u.Height()), *DC, u.TopLeft());
  if (!apart)
    composite.BitBlt(TRect(old_place.left - u.left, old_place.top - u.top, old_place.right - u.left,
                           old_place.bottom - u.top),
                     *Save_DC, TPoint(0, 0));
  if (Saved->Width() < place.Width() || Saved->Height() < place.Height()) Make_Saved(place.Size());
  Save_Rect = TRect(0, 0, place.Width(), place.Height());
  const TRect in_u = place.Offset_By(-u.left, -u.top);
  Save_DC->BitBlt(Save_Rect, composite, in_u.TopLeft());
  Draw_Into(composite, in_u);
  DC->BitBlt(u, composite, TPoint(0, 0));
  Place_Rect = place;
}

void Mobile_Object::Hide(bool keep_screen) {
  if (!DC) return;
  if (!keep_screen) DC->BitBlt(Place_Rect, *Save_DC, TPoint(0, 0));
  Save_DC.reset();
  DC = nullptr;
}

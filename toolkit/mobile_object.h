// A sprite: a picture moved over a window without the window redrawing. It
// keeps what lies under it, composes each move off the screen and puts the
// result on the screen with one copy, so a move never flickers. Derived
// classes say only how they look (Draw).
#pragma once

#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/memory_dc.h"

class Mobile_Object {
 public:
  Mobile_Object() = default;
  // Does not restore the screen.
  virtual ~Mobile_Object();
  Mobile_Object(const Mobile_Object&) = delete;
  Mobile_Object& operator=(const Mobile_Object&) = delete;

  // Saves what lies under place on dc's surface and draws the object there;
  // dc must live until Hide.
  void Show(TDC& dc, const TRect& place);
  // Moves the object to place (while shown).
  void Move(const TRect& place);
  // Puts the background back unless keep_screen; the saved bitmap is kept
  // for the next Show.
  void Hide(bool keep_screen);

  // Draws the object into dc inside rect; what it leaves untouched shows
  // the background.
  virtual void Draw(TDC& dc, const TRect& rect) = 0;

  bool Shown() const { return DC != nullptr; }
  const TRect& Place() const { return Place_Rect; }

 protected:
  TDC* DC = nullptr;
  TRect Place_Rect;
  TRect Save_Rect;
  std::unique_ptr<TBitmap> Saved;
  std::unique_ptr<TMemoryDC> Save_DC;

 private:
  // The off-screen picture a move is composed in, kept and grown.
  TMemoryDC& Composite(TSize size);
  void Make_Saved(TSize size);
  void Draw_Into(TDC& dc, const TRect& rect);

  std::unique_ptr<TBitmap> composite_;
  std::unique_ptr<TMemoryDC> composite_dc_;
};

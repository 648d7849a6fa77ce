// The crayon that follows the pointer wherever a click would paint: over the
// drawing, over the mixer's paint spot and over the colour cycles' patches.
// It is painted in the colour in hand with its outline in a contrasting
// colour, so a child sees which colour a click will pour. It lies over every
// window and keeps what it covers. The pointer's hot spot is the crayon's
// lower-left corner.
#pragma once

#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/palette.h"
#include "platform/window/cursor.h"
#include "platform/window/window_dc.h"
#include "toolkit/mobile_object.h"

class Fill_Pointer : public Mobile_Object {
 public:
  // Needs the layout sizes and the picture store. Becomes The_Fill_Pointer.
  Fill_Pointer();
  ~Fill_Pointer() override;

  // The colour in hand (as given: a palette-index colour stays one) and the
  // palette it resolves through. A shown crayon takes it at once.
  void Set_Color(TColor color, const TPalette* palette);
  void Show_At_Cursor();
  void Hide();
  void Move_To_Cursor();
  void Draw(TDC& dc, const TRect& rect) override;

  // The sprite's place for a pointer at a screen point.
  TRect Place_For(TPoint cursor) const;
  // The pointer shown while the crayon paints: a small dot at the crayon's
  // tip, so the crayon itself shows the colour.
  static const TCursor* Cursor();

  const TPalette* Palette = nullptr;
  std::unique_ptr<TScreenDC> Screen_DC;
  std::unique_ptr<TMemoryDC> Memory_DC;
  TRect Frame;
  std::unique_ptr<TBitmap> Crayon, Mask;
  std::unique_ptr<TBitmap> Outline_Layer, Image;
  TColor Color = 0;
};

extern Fill_Pointer* The_Fill_Pointer;

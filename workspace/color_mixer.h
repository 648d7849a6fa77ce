// The mixing bowl in the colour wheel's upper left corner. It is not a
// window: the wheel hands it the mouse events that fall on it and has it
// draw itself into the wheel's picture. A click on the paint spot puts the
// wheel's colour in (each further colour is averaged with what is there and
// shown as the nearest of the program's colours); a click on the bowl makes
// the mixed colour the current one; the cloth wipes the bowl; the eraser
// takes back the last colour put in.
#pragma once

#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "platform/gdi/dc.h"
#include "workspace/eraser_client.h"

class Color_Wheel;

class Color_Mixer : public Eraser_Client {
 public:
  enum Region_Number { Nothing = 0, Bowl = 1, Spot_Region = 2, Wipe_Region = 3 };
  static constexpr const char* Bowl_Tip = "Color Mixer";
  static constexpr const char* Wipe_Tip = "Wipe";

  // area: the wheel's mixer area, in the wheel's client coordinates.
  Color_Mixer(Color_Wheel* wheel, const TRect& area);
  ~Color_Mixer() override;

  void Mouse_Down(TPoint point);
  void Mouse_Move(TPoint point);
  // Copies the bowl into dc at the area and paints the spot.
  void Draw(TDC& dc);
  bool Erase() override;
  int Hit_Test(TPoint point) const;

  Color_Wheel* Owner;
  TRect Area, Spot, Rim, Wipe;
  std::unique_ptr<TBitmap> Picture;
  // Where the cloth lies in the picture (not white).
  std::unique_ptr<TBitmap> Cloth;
  TColor Entry_Color = TColor::No_Color;
  TColor Mixed_Color = TColor::No_Color;
  TColor Previous_Color = TColor::No_Color;
  bool Holding = false;
  int Hot = Nothing;

 private:
  void Build_Picture();
  void Draw_Spot(TDC& dc) const;
  void Paint_Spot();
  static const char* Tip_Of(int region);
};

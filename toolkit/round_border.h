// The painter of the shaded frames round the panels: a band just inside a
// rectangle's inscribed ellipse whose shade turns with the direction from
// the centre (light at the upper left and dark at the lower right in
// variant 0, the reverse in variant 1), cut from a ring picture of coloured
// wedges made once and kept; and the two-pixel bevels of rectangles.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

class Round_Border {
 public:
  struct Direction {
    float x = 0, y = 0;  // a unit vector, y up
  };
  static constexpr int N = 12;                     // segments per half
  static constexpr int Direction_Count = 2 * (N - 1);

  // Needs The_GUI_Colors.
  Round_Border();
  ~Round_Border();
  Round_Border(const Round_Border&) = delete;
  Round_Border& operator=(const Round_Border&) = delete;

  // Paints the frame band of width band inside rect's inscribed ellipse in
  // the given variant (0 or 1). The context's clip is the same afterwards:
  // the region it had, or none.
  void Blit_Clipped(TDC& dc, const TRect& rect, int band, int variant);
  // Raised and sunken two-pixel bevels round a rectangle.
  void Draw_Bevel(TDC& dc, const TRect& rect);
  void Draw_Bevel_Inverse(TDC& dc, const TRect& rect);

  // The ring picture of a variant at w x h: 22 solid wedges and 22 two-degree
  // half-tone wedges over the boundaries between them.
  std::unique_ptr<TBitmap> Render_Ring(int w, int h, int variant) const;

  std::array<Direction, Direction_Count> D{}, Dm{}, Dp{};
  std::array<std::unique_ptr<TBitmap>, N - 1> Patterns;
  std::array<std::unique_ptr<TBitmap>, 2> Ring;
  int Rings_Rendered = 0;  // for tests: how often a ring was drawn
};

extern Round_Border* The_Round_Border;

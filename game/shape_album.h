// The album at the end of the safari strip. During a run it tells what the
// current stage is worth ("For", the points, "Points"); after a complete run
// it holds a small photo of the last target. Drawn through a mask, as the
// camera is.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/memory_dc.h"

class Shape_Drawing;

class Shape_Album {
 public:
  // Where the album picture shows this colour, the album is transparent.
  static constexpr TColor Key_Color{255, 255, 255};

  // Builds the picture, mask and empty album at the album size (layout
  // sizes 19 and 20); the photo square follows the drawing-area size
  // (layout size 10).
  explicit Shape_Album(const TDC& dc);
  Shape_Album(const Shape_Album&) = delete;
  Shape_Album& operator=(const Shape_Album&) = delete;

  // Back to the empty album.
  void Clear();
  // "For", points and "Points" on three centred lines over the photo square.
  void Show_Points(int32_t points);
  // A photo of picture in the photo square: in its own colours when its
  // background is scheme colour 11, else as a two-colour silhouette.
  void Add(Shape_Drawing& picture);
  // The mask ANDed in, then the picture ORed over it.
  void Paint(TDC& dc, const TRect& rect) const;

  TSize Size() const { return Rect.Size(); }

  // The photo square's side for a drawing area of side area: 4k with
  // k = (area + 31) / 32.
  static int32_t Photo_Side(int32_t area) { return 4 * ((area + 31) / 32); }
  // Its left edge in an album of width w.
  static int32_t Photo_Left(int32_t w, int32_t side) { return w - side - (7 * w / 8 - side) / 2; }

  std::unique_ptr<TBitmap> Picture;
  std::unique_ptr<TBitmap> Mask;
  std::unique_ptr<TBitmap> Empty_Album;
  std::unique_ptr<TMemoryDC> DC;
  TRect Rect;
  TRect Photo_Rect;
  std::array<TPoint, 3> Text_Anchors{};
  int32_t Line_Height = 0;
};

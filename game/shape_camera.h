// The camera of the safari strip: a sprite that stands on the cell of the
// current stage and flashes when a run is complete. It is drawn through a
// mask so that the strip shows round it.
#pragma once

#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/memory_dc.h"

class Shape_Camera {
 public:
  // The key colour of the camera pictures: where it shows, the camera is
  // transparent.
  static constexpr TColor Key_Color{0, 0, 255};

  // Builds both pictures and the mask at the camera size (layout sizes 17
  // and 18), then gives the cached camera pictures back: only the camera
  // needs them.
  explicit Shape_Camera(const TDC& dc);
  Shape_Camera(const Shape_Camera&) = delete;
  Shape_Camera& operator=(const Shape_Camera&) = delete;

  // The mask ANDed in, then the normal or the flashing picture ORed over it.
  // Both pictures go through the camera's one outline: the flash is drawn
  // inside it.
  void Draw(TDC& dc, const TRect& rect, bool flash) const;

  TSize Size() const { return Rect.Size(); }

  std::unique_ptr<TBitmap> Normal_Picture;
  std::unique_ptr<TBitmap> Flashing_Picture;
  // White where the camera is transparent, black over the camera.
  std::unique_ptr<TBitmap> Mask;
  TRect Rect;
};

// Shared by the camera and the album: the picture with the pixels that the
// mask marks transparent cleared to black, so that an OR over the ANDed
// mask shows only the sprite.
std::unique_ptr<TBitmap> Masked_Sprite(const TBitmap& picture, const TBitmap& mask);

// What the gallery's tests with real peers compare: a drawing's colours
// with the pictures the peers give back.
#pragma once

#include "model/shape_drawing.h"
#include "tests/platform/peer_tools.h"

// The drawing's pixels as the colours they show.
inline Rgb_Image Colours_Of(const Shape_Drawing& drawing) {
  Rgb_Image image;
  image.width = drawing.Width();
  image.height = drawing.Height();
  const TSurface& surface = *drawing.Bitmap->Surface();
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) image.xrgb.push_back(surface.Pixel_Xrgb(x, y));
  return image;
}

// The box of the pixels of image that are not white.
inline TRect Ink_Box(const Rgb_Image& image) {
  TRect box(image.width, image.height, 0, 0);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.At(x, y) != 0xFFFFFF)
        box = TRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1));
  return box.left < box.right ? box : TRect();
}

// How many pixels of b differ from the middle of their blocks in a, where b
// was printed enlarged onto box; every pixel when box is no whole multiple
// of b.
inline long Printed_Differences(const Rgb_Image& a, const TRect& box, const Rgb_Image& b) {
  if (b.width == 0 || box.Width() % b.width || box.Height() % b.height) return long(b.width) * b.height + 1;
  const int kx = box.Width() / b.width, ky = box.Height() / b.height;
  long wrong = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x)
      if (a.At(box.left + x * kx + kx / 2, box.top + y * ky + ky / 2) != b.At(x, y)) ++wrong;
  return wrong;
}

// How many pixels of a differ from b scaled by factor and placed at (left,
// top) of a; every pixel when the sizes do not fit.
inline long Differences(const Rgb_Image& a, const Rgb_Image& b, int factor = 1, int left = 0, int top = 0) {
  if (left + b.width * factor > a.width || top + b.height * factor > a.height || b.width == 0)
    return long(b.width) * b.height * factor * factor + 1;
  long wrong = 0;
  for (int y = 0; y < b.height * factor; ++y)
    for (int x = 0; x < b.width * factor; ++x)
      if (a.At(left + x, top + y) != b.At(x / factor, y / factor)) ++wrong;
  return wrong;
}

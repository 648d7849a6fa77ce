// Plays a fireworks show over the drawing area. So far there is no show:
// Play ends at once and tells the window, as a finished show does.
#pragma once

#include "platform/gdi/geometry.h"

class Animation_Sequence;
class Shape_Drawing;
class TDC;
class TWindow;

class Fireworks_Viewer {
 public:
  void Play(Animation_Sequence* sequence, const Shape_Drawing* picture, TDC& dc, const TRect& rect, TWindow* window);
  void Stop() {}
  bool Playing() const { return false; }
};

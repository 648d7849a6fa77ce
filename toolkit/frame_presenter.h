// The work picture of a show being played, frame by frame. Each frame is
// drawn over the background only where the frame before it drew, and only
// the rectangle those two frames drew in goes to the screen: a show's
// sparks cover a part of the picture, and putting the whole of it on a
// 32-bit screen every frame was most of a frame's cost. The first frame of a
// show starts from the whole background and is put whole.
#pragma once

#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/geometry.h"
#include "toolkit/animation_sequence.h"

class Frame_Presenter {
 public:
  // A new show: the next frame starts from the whole background.
  void Start();
  // Draws the sequence's next frame into work over background (both 8-bit
  // pictures of the sequence's size).
  void Prepare(Animation_Sequence& sequence, const TDib& background, TDib& work);
  // Puts what the last Prepare changed, read from work_dc, into the same
  // place of rect of target (rect's top-left stands for the picture's).
  void Show(TDC& target, const TRect& rect, const TDC& work_dc) const;
  // What the last Prepare changed, in the picture's top-down coordinates.
  const TRect& Changed() const { return Changed_Rect; }

 private:
  bool Whole = true;
  TRect Last_Drawn;
  TRect Changed_Rect;
};

// The work picture of a show being played, frame by frame. A show's sparks
// cover a part of the picture, and converting the whole of it for a 32-bit
// screen every frame was most of a frame's cost, so each frame is drawn
// over the background only where the frame before it drew, and only the
// rectangle those two frames drew in goes to the screen. The first frame of
// a show starts from the whole background and is put whole.
//
// On a 32-bit screen the work picture is kept in 32 bits as well: only the
// pixels the frames draw are converted, and the screen gets plain copies.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/geometry.h"
#include "toolkit/animation_sequence.h"

class Frame_Presenter {
 public:
  // A new show; in_colour keeps the work picture in 32 bits.
  void Start(bool in_colour);
  // The show is over: the 32-bit work picture goes.
  void Release() { Start(false); }
  // Draws the sequence's next frame over background (an 8-bit picture of
  // the sequence's size): into work, or into the 32-bit work picture, whose
  // colours are work's.
  void Prepare(Animation_Sequence& sequence, const TDib& background, TDib& work);
  // Puts what the last Prepare changed into the same place of rect of target
  // (rect's top-left stands for the picture's), from work_dc or from the
  // 32-bit work picture.
  void Show(TDC& target, const TRect& rect, const TDC& work_dc) const;
  // What the last Prepare changed, in the picture's top-down coordinates.
  const TRect& Changed() const { return Changed_Rect; }

 private:
  // A run of pixels a frame drew: its first pixel in memory order, its length.
  struct Run {
    size_t at;
    uint32_t count;
  };
  // Each draws the frame and returns the box it drew in.
  TRect Prepare_Indexed(Animation_Sequence& sequence, const TDib& background, TDib& work);
  TRect Prepare_In_Colour(Animation_Sequence& sequence, const TDib& background, const TDib& work);
  void Start_In_Colour(const TSize& size, const TDib& background, const TDib& work);

  bool In_Colour = false;
  bool Whole = true;
  TRect Last_Drawn;
  TRect Changed_Rect;
  // The 32-bit picture and the runs the last frame drew in it.
  std::unique_ptr<TDib> Colour_Work;
  std::vector<uint8_t> Packed_Background;
  std::unique_ptr<TDibDC> Colour_Context;
  std::vector<Run> Last_Runs;
  // The runs being put back, the last frame's, while a frame is drawn.
  std::vector<Run> Next_Runs;
  uint32_t Colours[256] = {};
};

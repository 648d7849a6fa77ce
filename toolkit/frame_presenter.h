// Puts a show's frames on the screen, one after another, over a background
// picture. A show's sparks are a pixel or two each, scattered over half the
// drawing, so each frame is drawn over the background only where the frame
// before it drew, and only the rectangle those two frames drew in is
// reported to the screen. The first frame of a show puts the whole
// background as well.
//
// On a 32-bit screen the frames go straight onto it: the last frame's runs
// of pixels are put back from the background and the new frame's drawn, in
// their colours, and nothing else is copied; copying the rectangle round
// the sparks cost several times the runs themselves. On another screen the
// frame is drawn into an 8-bit work picture and its rectangle copied.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/geometry.h"
#include "toolkit/animation_sequence.h"

class Frame_Presenter {
 public:
  // A new show; in_colour draws the frames straight onto a 32-bit target.
  void Start(bool in_colour);
  // The show is over: what it kept goes.
  void Release() { Start(false); }
  // Readies the sequence's next frame over background (an 8-bit picture of
  // the sequence's size): drawn into work, or, in colour, kept to be drawn
  // onto the target in work's colours.
  void Prepare(Animation_Sequence& sequence, const TDib& background, TDib& work);
  // Puts what the last Prepare changed into the same place of rect of target
  // (rect's top-left stands for the picture's), from work_dc or, in colour,
  // from the frame's runs and the background.
  void Show(TDC& target, const TRect& rect, const TDC& work_dc);
  // What the last Prepare changed, in the picture's top-down coordinates.
  const TRect& Changed() const { return Changed_Rect; }

 private:
  // A run of pixels a frame drew, within one row: its first pixel in
  // memory order and in top-down coordinates, its length, and its values
  // (in the sequence, readable until its next frame is read).
  struct Run {
    uint32_t at;
    int x, y;
    uint32_t count;
    const uint8_t* values;
  };
  // Each readies the frame and returns the box it draws in.
  TRect Prepare_Indexed(Animation_Sequence& sequence, const TDib& background, TDib& work);
  TRect Prepare_In_Colour(Animation_Sequence& sequence, const TDib& background, const TDib& work);
  void Start_In_Colour(const TSize& size, const TDib& background, const TDib& work);
  void Show_In_Colour(TDC& target, const TRect& rect);

  bool In_Colour = false;
  bool Whole = true;
  TRect Last_Drawn;
  TRect Changed_Rect;
  // In colour: the frames' size, the background in the frames' memory order,
  // the runs on the target now and those of the frame prepared.
  TSize Size;
  std::vector<uint8_t> Packed_Background;
  std::vector<Run> Shown_Runs;
  std::vector<Run> Pending_Runs;
  bool Pending = false;
  // The frame prepared is the show's first: the whole background goes too.
  bool Pending_Whole = false;
  uint32_t Colours[256] = {};
};

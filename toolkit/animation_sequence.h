// Animation_Sequence: frames of the drawing area recorded one after another,
// each packed against a transparent key colour (frame_run_code.h) into
// memory reserved once, with a sound track. It is filled, finished once and
// then played once: pages of frames already shown are given back.
#pragma once

#include <cstdint>

#include "platform/gdi/color.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/geometry.h"
#include "toolkit/frame_run_code.h"
#include "toolkit/sound_track.h"
#include "toolkit/virtual_memory.h"

class Animation_Sequence {
 public:
  // Frames of size, interval ms apart, for about duration ms.
  Animation_Sequence(TSize size, int32_t interval, int32_t duration);
  Animation_Sequence(const Animation_Sequence&) = delete;
  Animation_Sequence& operator=(const Animation_Sequence&) = delete;

  // Whether frames can be packed from and drawn onto the picture: 8 bits,
  // the sequence's height, and its width or that width padded to four
  // pixels (a pool picture), whose first columns are the frame.
  bool Fits(const TDib& picture) const;
  // Packs the picture (8 bits, the sequence's size), only the rectangle when
  // one is given; pixels of the key colour are transparent. False, with no
  // frame added, when the frame memory cannot hold it or the picture does
  // not fit the sequence.
  bool Add_Frame(const TDib& picture, const TRect* rect, TColor key);
  // Draws the next frame over the picture's pixels; false when every frame
  // was shown or the picture does not fit.
  bool Next_Frame(TDib& picture);
  // The part of the picture (top-down) that the next frame draws on; empty
  // when every frame was shown.
  TRect Next_Frame_Box() const;
  // Gives the next frame's runs of drawn pixels to draw instead of
  // drawing them (Frame_Run_Code::For_Each_Literal); false when every
  // frame was shown. The values given stay readable until the next frame
  // is read.
  template <class Draw>
  bool Next_Frame_Runs(Draw&& draw) {
    if (Read_Frames >= Frames) return false;
    Frame_Run_Code::For_Each_Literal(Frame_Memory.Base() + Read_Offset, Used_Bytes - Read_Offset,
                                     size_t(Width) * size_t(Height), draw);
    Frame_Read();
    return true;
  }
  // Gives back unused frame memory and mixes the sound track.
  void Finish();

  int32_t Frame_Interval() const { return Interval; }
  TSize Size() const { return {Width, Height}; }
  int32_t Frame_Count() const { return Frames; }
  int32_t Frames_Read() const { return Read_Frames; }
  bool Frames_Remain() const { return Read_Frames < Frames; }
  size_t Used() const { return Used_Bytes; }
  const Virtual_Memory& Memory() const { return Frame_Memory; }
  Sound_Track& Track() { return Sound; }

 private:
  uint8_t Key_Index(const TDib& picture, TColor key) const;
  // Moves the reading on past the frame just read.
  void Frame_Read();

  int32_t Interval;
  int32_t Width;
  int32_t Height;
  Virtual_Memory Frame_Memory;
  int32_t Frames = 0;
  int32_t Read_Frames = 0;
  size_t Used_Bytes = 0;
  size_t Read_Offset = 0;
  Sound_Track Sound;
};

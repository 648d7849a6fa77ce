// The pictures on the program's buttons and pointers, each drawn with plain
// primitives at the exact size asked for, in the scheme colours, so the
// same picture looks right on every screen. Every class is a bitmap whose
// constructor draws it; the picture cache makes them on first request.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

// A drawn picture: a bitmap of exactly the size given, compatible with the
// reference context.
class Drawn_Picture : public TBitmap {
 public:
  Drawn_Picture(const TDC& reference, TSize size);
};

// A tick from (P.x - 3u, P.y) down to (P.x - u, P.y + 3u) and up to
// (P.x + 3u, P.y - 3u) with a round pen of width u in scheme colour 23; the
// pen stays selected.
void Draw_Check_Mark(TDC& dc, TPoint p, int u);
// An X across the box (P.x - 2u, P.y - 3u, P.x + 2u, P.y + 3u) with a round
// pen of width u in scheme colour 20; the pen stays selected.
void Draw_Cross_Mark(TDC& dc, TPoint p, int u);

#define QUENDAR_PICTURE(Name)                     \
  class Name : public Drawn_Picture {             \
   public:                                        \
    Name(const TDC& reference, TSize size);       \
  }

QUENDAR_PICTURE(Fill_Crayon);
QUENDAR_PICTURE(Fill_Mask);
QUENDAR_PICTURE(Construction_Sign);
QUENDAR_PICTURE(Review_Button);
QUENDAR_PICTURE(Clear_Button);
QUENDAR_PICTURE(Undo_Button);
QUENDAR_PICTURE(Forward_Button);
QUENDAR_PICTURE(Reverse_Button);
QUENDAR_PICTURE(Add_Button);
QUENDAR_PICTURE(Remove_Button);
QUENDAR_PICTURE(OK_Corner_Button);
QUENDAR_PICTURE(Cancel_Corner_Button);
QUENDAR_PICTURE(OK_Button);
QUENDAR_PICTURE(Cancel_Button);
QUENDAR_PICTURE(Help_Button);
QUENDAR_PICTURE(Album);
QUENDAR_PICTURE(Camera);
QUENDAR_PICTURE(Camera_Case);
QUENDAR_PICTURE(Camera_Flashing);
QUENDAR_PICTURE(Gallery);
QUENDAR_PICTURE(Challenge);
QUENDAR_PICTURE(Clean_Eraser);
QUENDAR_PICTURE(Curtain);

#undef QUENDAR_PICTURE

// The loop arrow feeding back into the notched square, for the upper right
// corner of a round window.
class Iterate_Button : public Drawn_Picture {
 public:
  Iterate_Button(const TDC& reference, TSize size);
  // Where the notched square stands.
  TRect Square_Rect;
};

// The same loop with a stop sign in the square's place.
class Stop_Iterate_Button : public Iterate_Button {
 public:
  Stop_Iterate_Button(const TDC& reference, TSize size);
};

// A staircase of five steps; with a label, its first character (or a dot)
// stands on the step of the level.
class Level_Button : public Drawn_Picture {
 public:
  Level_Button(const TDC& reference, TSize size, const char* label, int level);
};

// A smudge in the eraser's strip, from bitmap resource 4103 (variant 1) or
// 4104 (variant 2).
class Eraser_Smudge : public Drawn_Picture {
 public:
  Eraser_Smudge(const TDC& reference, TSize size, int variant);
};

// The store of the ready-made pictures that buttons, pointers, cursors and
// panels show, by picture number. A drawn picture is made the first time it
// is asked for, at the size of that first request, and stays until the
// store goes; five pictures come from bitmap resources when the store is
// made. Beside the store: four picture operations that work on any picture
// (disabled faces, two-colour masks, colour replacement, checker patterns).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/memory_dc.h"

// Numbers 0 to 36 of the pictures.
using GUI_Picture_Id = int32_t;

class GUI_Bitmaps {
 public:
  static constexpr int Picture_Count = 37;

  // Loads bitmap resources 4108..4111 into pictures 3..6 and 4126 into 36.
  GUI_Bitmaps();
  ~GUI_Bitmaps();
  GUI_Bitmaps(const GUI_Bitmaps&) = delete;
  GUI_Bitmaps& operator=(const GUI_Bitmaps&) = delete;

  // Draws picture id at size when it is not made yet; true when it was made
  // now. A picture already made keeps its first size; ids that nothing
  // draws (0, 3..6, 32..34, 36) and ids beyond 36 answer false.
  bool Get(GUI_Picture_Id id, TSize size);
  // Picture 22 with the first character of label standing on the step of
  // level; label null draws the staircase alone. False when picture 22 is
  // already made: its users empty it again after each use.
  bool Get_Text_Picture(TSize size, const char* label, int32_t level);
  // Deletes a picture so that the next request draws it afresh (users that
  // need a picture only once give it back this way).
  void Drop(GUI_Picture_Id id);

  // The disabled face of a button picture: a flat silhouette in scheme
  // colour 2 on the face colour, with a highlight in scheme colour 4 one
  // pixel right of and below it. Owned by the caller.
  static std::unique_ptr<TBitmap> Make_Disabled_Picture(const TDC& dc, const TBitmap& picture);
  // Writes into destination, over the source's size, white where source
  // shows key and black elsewhere: a transparency mask.
  static void Blit_Two_Color(const TDC& dc, const TBitmap& source, TBitmap& destination, TColor key);
  // Replaces every pixel of colour from by colour to, in place.
  static void Blit_Recolor(const TDC& dc, TBitmap& picture, TColor from, TColor to);
  // An 8 x 8 picture: colour a where x + y is odd, b where it is even.
  static std::unique_ptr<TBitmap> Make_Checker_Bitmap(const TDC& dc, TColor a, TColor b);

  // A bitmap resource as a bitmap: one bit per pixel stays monochrome (a 0
  // bit black), other depths become a bitmap in the screen's format. Null
  // when the resource is missing.
  static std::unique_ptr<TBitmap> Load_Resource_Bitmap(uint32_t id);
  // A context that new pictures are made compatible with: a memory context
  // on a bitmap in the screen's format.
  static std::unique_ptr<TMemoryDC> Screen_Reference();

  // Null where a picture is not made yet. Users read a picture here after
  // asking for it.
  std::array<std::unique_ptr<TBitmap>, Picture_Count> Pictures;
};

extern GUI_Bitmaps* The_GUI_Bitmaps;

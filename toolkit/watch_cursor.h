// The busy cursor shown while the drawing iterates: the watch cursor of the
// picture cache (picture 5 the image, picture 6 the mask) with a two-digit
// step counter, 00 to 59, written into the box on its dial; every step makes
// and shows a new cursor.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/geometry.h"
#include "platform/window/cursor.h"

class Watch_Cursor {
 public:
  // Copies the mask and the image from the picture cache.
  Watch_Cursor();
  ~Watch_Cursor();
  Watch_Cursor(const Watch_Cursor&) = delete;
  Watch_Cursor& operator=(const Watch_Cursor&) = delete;

  // Shows frame 00, remembering the cursor it replaces; while running,
  // starts the count again at 00 and keeps the cursor remembered first.
  void Start();
  // Shows the next count (59 is followed by 00). Nothing while stopped.
  void Next_Frame();
  // Shows the remembered cursor again. Nothing while stopped.
  void Stop();
  bool Running() const { return Current_Cursor != nullptr; }

  // Rows top first, (width + 15) / 16 * 2 bytes each, as cursors take them.
  std::vector<uint8_t> Mask_Bits;
  // The image of the frame shown; empty while stopped.
  std::vector<uint8_t> Image_Bits;
  // A monochrome copy of the image picture, on which the counter is drawn.
  std::unique_ptr<TBitmap> Image_Picture;
  TPoint Hot_Spot{5, 0};
  TSize Size{32, 32};
  TRect Counter_Box{15, 11, 26, 21};
  std::unique_ptr<TCursor> Current_Cursor;
  const TCursor* Previous_Cursor = nullptr;
  int32_t Counter = 0;

 private:
  int Row_Bytes() const { return (Size.cx + 15) / 16 * 2; }
  // Draws the counter and makes the cursor of the frame.
  std::unique_ptr<TCursor> Build_Frame();
};

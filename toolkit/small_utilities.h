// Small helpers shared by panels of several subsystems: recycling a file,
// numbers with thousands separators, the program's pseudo-random generator,
// the bounding box of points, a four-way arrow glyph, and a palette copied
// into a picture's colour table.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/geometry.h"

class TCursor;

// The program's busy cursor (cursor resource 4203), or the system's wait
// cursor when the resource is missing.
const TCursor* Program_Busy_Cursor();

// The busy cursor for the length of a scope; the cursor shown before comes
// back at its end (the arrow when there was none).
class Busy_Cursor_Scope {
 public:
  Busy_Cursor_Scope();
  ~Busy_Cursor_Scope();
  Busy_Cursor_Scope(const Busy_Cursor_Scope&) = delete;
  Busy_Cursor_Scope& operator=(const Busy_Cursor_Scope&) = delete;

 private:
  const TCursor* previous;
};

class TDC;
class TDib;
class TPalette;

// Moves the file to the desktop trash, from where the user can bring it
// back. True when it went. The trash records it at `origin` when given.
bool Recycle_File(const std::string& file_name, const std::string& origin = {});

// value in decimal with a comma between groups of three digits:
// 1234567 gives "1,234,567". buffer holds the digits, the commas and a zero.
void Format_With_Commas(char* buffer, int32_t value);

// The generator's state from the millisecond tick count.
void Seed_Random();
// Advances the state (minimal standard generator) and returns it.
int32_t Next_Random();
// Sets the state; for tests and for repeatable runs.
void Set_Random_State(int32_t state);

// rect := the smallest rectangle holding the points (right and bottom one
// past the largest); unchanged for no points.
void Points_Bounding_Rect(TRect& rect, const TPoint* points, int32_t count);

enum Arrow_Direction { Arrow_Up = 0, Arrow_Down = 1, Arrow_Left = 2, Arrow_Right = 3 };
// A shaft and a triangular head in rect with the context's pen and brush.
void Draw_Arrow_Glyph(TDC& dc, const TRect& rect, int32_t direction);

// The palette's entries into the picture's colour table from entry 0.
void Palette_To_DIB_Colors(TDib& picture, const TPalette& palette);

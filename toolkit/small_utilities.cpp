#include "toolkit/small_utilities.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/palette.h"
#include "platform/system/clock.h"
#include "platform/system/trash.h"
#include "platform/window/cursor.h"
#include "platform/window/icon.h"
#include "platform/window/user.h"

namespace {
// One state for the whole program.
std::atomic<int32_t> Random_State{1};
constexpr size_t Max_Path = 260;
}  // namespace

bool Recycle_File(const std::string& file_name, const std::string& origin) {
  std::error_code error;
  const std::string full = std::filesystem::absolute(file_name, error).string();
  if (error || full.empty() || full.size() >= Max_Path) return false;
  return Move_To_Trash(full, origin);
}

void Format_With_Commas(char* buffer, int32_t value) {
  char digits[16];
  const int length = std::snprintf(digits, sizeof digits, "%d", value);
  const int sign = digits[0] == '-' ? 1 : 0;
  int out = 0;
  for (int i = 0; i < length; ++i) {
    buffer[out++] = digits[i];
    const int left = length - 1 - i;
    if (i >= sign && left > 0 && left % 3 == 0) buffer[out++] = ',';
  }
  buffer[out] = '\0';
}

void Seed_Random() {
  // A multiple of the modulus is a fixed point of the step: every number
  // after it would be the same.
  const int32_t seed = int32_t(GetTickCount());
  Random_State = seed % 2147483647 == 0 ? 1 : seed;
}

void Set_Random_State(int32_t state) { Random_State = state; }

int32_t Next_Random() {
  // Schrage's method: 16807 s mod (2^31 - 1) without overflow.
  const int32_t s = Random_State;
  const int32_t hi = s / 127773, lo = s - hi * 127773;
  const int32_t t = 16807 * lo - 2836 * hi;
  const int32_t next = t > 0 ? t : t + 2147483647;
  Random_State = next;
  return next;
}

void Points_Bounding_Rect(TRect& rect, const TPoint* points, int32_t count) {
  if (count <= 0) return;
  TRect box(points[0].x, points[0].y, points[0].x, points[0].y);
  for (int32_t i = 1; i < count; ++i) {
    box.left = std::min(box.left, points[i].x);
    box.top = std::min(box.top, points[i].y);
    box.right = std::max(box.right, points[i].x);
    box.bottom = std::max(box.bottom, points[i].y);
  }
  rect = TRect(box.left, box.top, box.right + 1, box.bottom + 1);
}

void Draw_Arrow_Glyph(TDC& dc, const TRect& r, int32_t direction) {
  const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
  TRect shaft;
  TPoint head[3];
  if (direction == Arrow_Left || direction == Arrow_Right) {
    const int h = (b - t) >> 1, q = h >> 1, e = (b - t) % 2 == 0 ? 1 : 0;
    if (direction == Arrow_Right) {
      shaft = TRect(l, t + q, rt - h, b - q);
      head[0] = TPoint(rt - 1, t + h - e);
      head[1] = head[0] + TPoint(-h, -h);
      head[2] = head[0] + TPoint(-h, h);
    } else {
      shaft = TRect(l + h, t + q, rt, b - q);
      head[0] = TPoint(l + 1, t + h - e);
      head[1] = head[0] + TPoint(h, -h);
      head[2] = head[0] + TPoint(h, h);
    }
  } else if (direction == Arrow_Up || direction == Arrow_Down) {
    const int w = (rt - l) >> 1, q = w >> 1, e = (rt - l) % 2 == 0 ? 1 : 0;
    if (direction == Arrow_Up) {
      shaft = TRect(l + q, t + w, rt - q, b);
      head[0] = TPoint(l + w - e, t + 1);
      head[1] = head[0] + TPoint(w, w);
      head[2] = head[0] + TPoint(-w, w);
    } else {
      shaft = TRect(l + q - 1, t, rt - q - 1, b - w);
      head[0] = TPoint(l + w - e, b - 1);
      head[1] = head[0] + TPoint(w, -w);
      head[2] = head[0] + TPoint(-w, -w);
    }
  } else {
    return;
  }
  dc.Rectangle(shaft);
  dc.Polygon(head, 3);
}

void Palette_To_DIB_Colors(TDib& picture, const TPalette& palette) {
  const std::vector<uint32_t> table = palette.Shared()->Xrgb_Table();
  picture.SetColorTable(0, int(table.size()), table.data());
}

const TCursor* Program_Busy_Cursor() {
  constexpr uintptr_t Busy_Cursor_Id = 4203;
  const TCursor* busy = LoadCursor(TModule::Program(), Busy_Cursor_Id);
  return busy ? busy : &TCursor::Wait();
}

Busy_Cursor_Scope::Busy_Cursor_Scope() : previous(SetCursor(Program_Busy_Cursor())) {}

Busy_Cursor_Scope::~Busy_Cursor_Scope() { SetCursor(previous != nullptr ? previous : &TCursor::Arrow()); }

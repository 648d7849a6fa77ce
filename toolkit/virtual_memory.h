// Virtual_Memory: an address range reserved once, of which a window
// [bottom, top) is committed. The window grows at its top without moving and
// gives pages back from its bottom as the contents are consumed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/system/address_range.h"

class Virtual_Memory {
 public:
  // Commit amount meaning the whole reservation.
  static constexpr size_t Commit_All = 0xFFFFFFFF;

  Virtual_Memory() = default;
  ~Virtual_Memory() { Release(); }
  Virtual_Memory(const Virtual_Memory&) = delete;
  Virtual_Memory& operator=(const Virtual_Memory&) = delete;

  // Releases any earlier range, reserves size bytes and commits the first
  // commit bytes (Commit_All: all of them); top is then the committed
  // amount, or 0 when committing failed. False when nothing was reserved.
  bool Reserve(size_t size, size_t commit);
  void Release();
  // Grows the window to new_top (false when that cannot be committed, top
  // unchanged), or shrinks it to new_top raised to a whole page.
  bool Set_Top(size_t new_top);
  // Grows the window down to new_bottom, or gives back the whole pages
  // below new_bottom.
  bool Set_Bottom(size_t new_bottom);

  uint8_t* Base() const { return Range.Base(); }
  size_t Reserved_Size() const { return Reserved; }
  size_t Bottom() const { return Bottom_Offset; }
  size_t Top() const { return Top_Offset; }
  static size_t Page_Size() { return TAddress_Range::Page_Size(); }

 private:
  TAddress_Range Range;
  size_t Reserved = 0;
  size_t Bottom_Offset = 0;
  size_t Top_Offset = 0;
};

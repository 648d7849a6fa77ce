// The pool of picture buffers: 8-bit bottom-up bitmaps with the program
// palette as colour table. Bitmaps of the drawing area's size are kept on a
// small stack for reuse, since every iteration step needs two or three.
// Get and Release may be called from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/dibitmap.h"
#include "platform/gdi/geometry.h"

class DIB_Allocator {
 public:
  // Makes count bitmaps of side x side pixels (the drawing area's side, layout
  // size 10) and keeps at most limit of them; becomes The_DIB_Allocator.
  DIB_Allocator(int32_t count, int32_t limit, int32_t side);
  ~DIB_Allocator();
  DIB_Allocator(const DIB_Allocator&) = delete;
  DIB_Allocator& operator=(const DIB_Allocator&) = delete;

  // A bitmap of the given size, never null; rows are the width raised to a
  // multiple of 4. Its pixels are whatever its last user left.
  TDiBitmap* Get(int32_t width, int32_t height);
  // Takes a bitmap back: kept when it has the pool's size and there is room,
  // else deleted.
  void Release(TDiBitmap* bitmap);
  // Deletes every kept bitmap; from now on every release deletes.
  void Purge();

  TSize Size() const { return Size_; }
  int32_t Count() const;
  int32_t Free_Count() const;

 private:
  TDiBitmap* Make_Bitmap(int32_t width, int32_t height) const;

  int32_t Limit;
  int32_t Count_ = 0;
  TSize Size_;
  std::vector<std::unique_ptr<TDiBitmap>> Free_Bitmaps;
  mutable std::mutex Lock;
};

extern DIB_Allocator* The_DIB_Allocator;

#include "model/dib_allocator.h"

#include "model/gui_colors.h"

DIB_Allocator* The_DIB_Allocator = nullptr;

namespace {
int32_t Row_Length(int32_t width) { return (width + 3) & ~3; }
}  // namespace

DIB_Allocator::DIB_Allocator(int32_t count, int32_t limit, int32_t side)
    : Limit(limit), Size_(side, side) {
  The_DIB_Allocator = this;
  for (int32_t i = 0; i < count; ++i) Free_Bitmaps.emplace_back(Make_Bitmap(side, side));
  Count_ = count;
}

DIB_Allocator::~DIB_Allocator() {
  if (The_DIB_Allocator == this) The_DIB_Allocator = nullptr;
}

TDiBitmap* DIB_Allocator::Make_Bitmap(int32_t width, int32_t height) const {
  auto* bitmap = new TDiBitmap(Row_Length(width), height, 8, 256);
  if (The_GUI_Colors) {
    const std::vector<uint32_t> table = The_GUI_Colors->Palette->Shared()->Xrgb_Table();
    bitmap->SetColorTable(0, int(table.size()), table.data());
  }
  return bitmap;
}

TDiBitmap* DIB_Allocator::Get(int32_t width, int32_t height) {
  if (width == Size_.cx && height == Size_.cy) {
    std::lock_guard<std::mutex> hold(Lock);
    if (!Free_Bitmaps.empty()) {
      TDiBitmap* bitmap = Free_Bitmaps.back().release();
      Free_Bitmaps.pop_back();
      return bitmap;
    }
    ++Count_;
  }
  return Make_Bitmap(width, height);
}

void DIB_Allocator::Release(TDiBitmap* bitmap) {
  if (!bitmap) return;
  // A side that is not a multiple of 4 gives bitmaps with wider rows: they
  // still belong to the pool.
  if (bitmap->Width() == Row_Length(Size_.cx) && bitmap->Height() == Size_.cy) {
    std::lock_guard<std::mutex> hold(Lock);
    if (int32_t(Free_Bitmaps.size()) < Limit) {
      Free_Bitmaps.emplace_back(bitmap);
      return;
    }
    --Count_;
  }
  delete bitmap;
}

void DIB_Allocator::Purge() {
  std::vector<std::unique_ptr<TDiBitmap>> kept;
  {
    std::lock_guard<std::mutex> hold(Lock);
    kept.swap(Free_Bitmaps);
    Limit = 0;
  }
}

int32_t DIB_Allocator::Count() const {
  std::lock_guard<std::mutex> hold(Lock);
  return Count_;
}

int32_t DIB_Allocator::Free_Count() const {
  std::lock_guard<std::mutex> hold(Lock);
  return int32_t(Free_Bitmaps.size());
}

#include "platform/gdi/memory_dc.h"

namespace {

std::shared_ptr<TSurface> Default_Bitmap() { return std::make_shared<TSurface>(1, 1, 1, false); }

}  // namespace

TMemoryDC::TMemoryDC() : TDC(std::make_shared<TDevice_Binding>(Default_Bitmap(), nullptr)) {
  Select_Bitmap(Binding()->Surface());
  Keep_As_Initial_Bitmap();
}

TMemoryDC::TMemoryDC(const TDC&) : TMemoryDC() {}

TMemoryDC::TMemoryDC(const TBitmap& bitmap) : TMemoryDC() { SelectObject(bitmap); }

void TMemoryDC::SelectObject(const TBitmap& bitmap) { Select_Bitmap(bitmap.Surface()); }

void TMemoryDC::RestoreBitmap() { Select_Bitmap(Default_Bitmap()); }


TBitmap Compatible_Bitmap(const TDC& dc, int width, int height) {
  const auto& surface = dc.Binding()->Surface();
  if (surface && surface->Bits_Per_Pixel() == 1) return TBitmap(width, height, 1, 1, nullptr);
  return TBitmap(width, height);
}

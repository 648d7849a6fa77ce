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


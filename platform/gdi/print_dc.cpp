#include "platform/gdi/print_dc.h"

TPrintDC::TPrintDC(int width, int height, int dots_per_inch)
    : TDC(std::make_shared<TDevice_Binding>(TBitmap(width, height).Surface(), nullptr)),
      page_(Binding()->Surface()),
      dots_per_inch_(dots_per_inch > 0 ? dots_per_inch : 300) {
  FillRect(TRect(0, 0, width, height), TBrush::Stock(WHITE_BRUSH));
}

int TPrintDC::GetDeviceCaps(int index) const {
  switch (index) {
    case HORZRES: return page_.Width();
    case VERTRES: return page_.Height();
    case LOGPIXELSX:
    case LOGPIXELSY: return dots_per_inch_;
    case BITSPIXEL: return 32;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    default: return TDC::GetDeviceCaps(index);
  }
}

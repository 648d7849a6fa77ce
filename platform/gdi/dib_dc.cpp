#include "platform/gdi/dib_dc.h"

TDibDC::TDibDC(const TDib& dib) : TDC(std::make_shared<TDevice_Binding>(dib.Surface(), nullptr)) {}

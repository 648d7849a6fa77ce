// Temporary: painting arrives with the region and device-context code.
#include "platform/window/desktop.h"
#include "platform/window/window.h"

void TWindow::SetWindowRgn(const TRegion*, bool) {}
bool TWindow::Shape_Contains(TPoint) const { return true; }
void TWindow::Invalidate(bool) {}
void TWindow::InvalidateRect(const TRect&, bool) {}
void TWindow::Validate() {}
void TWindow::UpdateWindow() {}
bool TWindow::GetUpdateRect(TRect&) const { return false; }
bool TWindow::Has_Update() const { return false; }
void TWindow::EvPaint() {}
bool TWindow::EvEraseBkgnd(TDC&) { return true; }
void TDesktop::Expose(const TRect&, const TWindow*) {}

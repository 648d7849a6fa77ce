#include "platform/backend/headless/headless_session.h"

#include <memory>

#include "platform/gdi/png_writer.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"

THeadless_Session::THeadless_Session(TSize screen) {
  auto backend = std::make_unique<THeadless_Backend>(screen);
  backend_ = backend.get();
  TDesktop::Start(std::move(backend));
}

THeadless_Session::~THeadless_Session() { TDesktop::Stop(); }

TDesktop& THeadless_Session::Desktop() { return TDesktop::Current(); }

void THeadless_Session::Run_Until_Idle() { TDesktop::Current().Run_Until_Idle(); }

void THeadless_Session::Advance(uint32_t ms) {
  backend_->Virtual_Clock().Advance(ms);
  Run_Until_Idle();
}

bool THeadless_Session::Snapshot(const std::string& name) const {
  return Snapshot(name, TDesktop::Current().Screen().Bounds());
}

bool THeadless_Session::Snapshot(const std::string& name, const TRect& area) const {
  std::string path = Snapshot_Path(name);
  if (path.empty()) return false;
  TScreen& screen = TDesktop::Current().Screen();
  TRect r = area.Intersection(screen.Bounds());
  if (r.IsEmpty()) return false;
  std::lock_guard guard(screen.Lock());
  const TSurface& s = *screen.Surface();
  return Write_PNG_RGB(path, r.Width(), r.Height(), s.Row32(r.top) + r.left, s.Stride() / 4);
}

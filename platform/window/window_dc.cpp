#include "platform/window/window_dc.h"

#include "platform/gdi/device_binding.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "platform/window/window.h"

namespace {

std::shared_ptr<TDevice_Binding> New_Screen_Binding() {
  TScreen& screen = TDesktop::Current().Screen();
  return std::make_shared<TDevice_Binding>(screen.Surface(), screen.Shared_Lock());
}

// A binding for a window: current now, and kept current by the desktop.
std::shared_ptr<TDevice_Binding> Window_Binding(TWindow* window, bool client) {
  auto binding = New_Screen_Binding();
  TDesktop& desk = TDesktop::Current();
  auto kind = client ? TDesktop::TDC_Kind::Client : TDesktop::TDC_Kind::Window;
  std::lock_guard tree(desk.Tree_Lock());
  bool clip_children = window && (window->GetStyle() & WS_CLIPCHILDREN);
  if (window && window->IsWindow()) desk.Refresh_Binding(*binding, window, kind, clip_children);
  else binding->Invalidate();
  desk.Register_Binding(binding, window, kind, clip_children);
  return binding;
}

// A worker may name the window by handle while the loop's thread makes and
// destroys windows: the handle is looked up and bound under the tree lock,
// so the window cannot go in between.
std::shared_ptr<TDevice_Binding> Window_Binding_Of(HWND hwnd, bool client) {
  TDesktop& desk = TDesktop::Current();
  std::lock_guard tree(desk.Tree_Lock());
  return Window_Binding(desk.Window(hwnd), client);
}

}  // namespace

TWindowDC::TWindowDC(TWindow* window, bool client, const TRegion* update)
    : TDC(Window_Binding(window, client), update, true) {}

TWindowDC::TWindowDC(TWindow& window) : TWindowDC(&window, false, nullptr) {}
TWindowDC::TWindowDC(HWND hwnd) : TWindowDC(hwnd, false) {}
TWindowDC::TWindowDC(HWND hwnd, bool client) : TDC(Window_Binding_Of(hwnd, client), nullptr, true) {}

TWindowDC::~TWindowDC() {
  if (TDesktop::Running()) TDesktop::Current().Release_Binding(Binding().get(), changed_limit_);
}

TClientDC::TClientDC(TWindow& window) : TWindowDC(&window, true, nullptr) {}
TClientDC::TClientDC(HWND hwnd) : TWindowDC(hwnd, true) {}

TPaintDC::TPaintDC(TWindow& window) : TPaintDC(window, window.Begin_Paint()) {}

TPaintDC::TPaintDC(TWindow& window, std::pair<TRegion, bool> taken)
    : TWindowDC(&window, true, &taken.first), rect_(taken.first.Bounds()) {
  erase_ = taken.second;
  changed_limit_ = rect_.Offset_By(window.Client_Screen_Origin().x, window.Client_Screen_Origin().y);
  // WM_ERASEBKGND answered true means the background counts as erased.
  if (erase_ && window.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<TDC*>(this)))) erase_ = false;
}

TPaintDC::~TPaintDC() = default;

TScreenDC::TScreenDC() : TDC(New_Screen_Binding(), nullptr, true) {
  TDesktop::Current().Register_Binding(Binding(), nullptr, TDesktop::TDC_Kind::Screen, false);
}

TScreenDC::~TScreenDC() {
  if (TDesktop::Running()) TDesktop::Current().Release_Binding(Binding().get());
}

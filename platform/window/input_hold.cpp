#include "platform/window/input_hold.h"

#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/window.h"

namespace {

// The box that holds: in front of every window, never shown, and deaf to a
// close (Alt+F4 reaches it as the keys do).
class THold_Box : public TWindow {
 public:
  THold_Box() : TWindow(nullptr, "") {
    Attr.Style = WS_POPUP;
    Attr.ExStyle |= WS_EX_TOPMOST;
    SetCursor(&TCursor::Wait());
  }
  void EvClose() override {}
};

}  // namespace

TInput_Hold::TInput_Hold() : box_(std::make_unique<THold_Box>()) {
  TDesktop& desk = TDesktop::Current();
  had_keys_ = desk.Focus();
  // A window that held the mouse lets it go, as for any box.
  desk.Release_Capture();
  box_->Create();
  desk.Begin_Modal(box_.get());
  cursor_before_ = desk.Set_Cursor(&TCursor::Wait());
}

TInput_Hold::~TInput_Hold() {
  TDesktop& desk = TDesktop::Current();
  desk.End_Modal(box_->GetHandle());
  box_->Destroy();
  box_.reset();
  desk.Give_Keys_Back(had_keys_);
  desk.Set_Cursor(cursor_before_);
  // The window under the pointer shows its own cursor again.
  desk.Layout_Changed();
}

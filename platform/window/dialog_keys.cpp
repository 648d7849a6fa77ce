#include "platform/window/dialog_keys.h"

#include <algorithm>
#include <functional>

#include "platform/window/edit.h"
#include "platform/window/user.h"
#include "platform/window/window.h"

namespace {

bool Can_Take_Keys(const TWindow& w) { return w.IsWindow() && w.IsWindowVisible() && w.Takes_Input(); }

// Whether `inner` is `outer` or lies inside it.
bool Within(const TWindow* inner, const TWindow* outer) {
  for (const TWindow* w = inner; w; w = w->Is_Child() ? w->Parent : nullptr)
    if (w == outer) return true;
  return false;
}

}  // namespace

TDialog_Keys::TDialog_Keys(TWindow& dialog, int default_id, int cancel_id)
    : dialog_(dialog), default_id_(default_id), cancel_id_(cancel_id) {}

std::vector<TWindow*> TDialog_Keys::Tab_Stops() const {
  std::vector<TWindow*> stops;
  std::function<void(TWindow&)> walk = [&](TWindow& parent) {
    for (TWindow* c : parent.Children()) {
      if (!c->Is_Child() || !Can_Take_Keys(*c)) continue;
      if (c->GetStyle() & WS_TABSTOP) stops.push_back(c);
      else walk(*c);
    }
  };
  walk(dialog_);
  return stops;
}

TWindow* TDialog_Keys::Next_Tab_Stop(TWindow* from, bool back) const {
  const std::vector<TWindow*> stops = Tab_Stops();
  if (stops.empty()) return nullptr;
  auto holding = std::find_if(stops.begin(), stops.end(), [&](TWindow* s) { return Within(from, s); });
  if (holding == stops.end()) return back ? stops.back() : stops.front();
  const size_t n = stops.size(), at = size_t(holding - stops.begin());
  return stops[back ? (at + n - 1) % n : (at + 1) % n];
}

void TDialog_Keys::Focus(TWindow& stop) {
  stop.SetFocus();
  if (stop.SendMessage(WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    if (auto* edit = dynamic_cast<TEdit*>(&stop)) edit->SetSelection(0, -1);
}

bool TDialog_Keys::Move(TWindow* from, bool back) {
  TWindow* next = Next_Tab_Stop(from, back);
  if (!next) return false;
  Focus(*next);
  return true;
}

bool TDialog_Keys::Press(int id) {
  if (!id) return false;
  TWindow* button = dialog_.ChildWithId(id);
  if (!button || !Can_Take_Keys(*button)) return false;
  // Posted, so that what the button starts (another dialog, a box) runs
  // from the loop rather than from inside the key's pre-processing.
  button->PostMessage(BM_CLICK);
  return true;
}

bool TDialog_Keys::Handle(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  const UINT key = UINT(msg.wParam);
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  if (GetKeyState(VK_CONTROL) < 0) return false;
  TWindow* focus = TWindow::From_Handle(msg.hwnd);
  if (!Within(focus, &dialog_)) return false;
  const UINT wants = focus != &dialog_ ? UINT(focus->SendMessage(WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg))) : 0;
  switch (key) {
    case VK_TAB:
      if (wants & DLGC_WANTTAB) return false;
      return Move(focus, GetKeyState(VK_SHIFT) < 0);
    case VK_ESCAPE:
      if (wants & DLGC_WANTALLKEYS) return false;
      return Press(cancel_id_);
    default:
      if (wants & DLGC_WANTALLKEYS) return false;
      // A focused button answers for itself.
      if (wants & DLGC_BUTTON) {
        focus->PostMessage(BM_CLICK);
        return true;
      }
      return Press(default_id_);
  }
}

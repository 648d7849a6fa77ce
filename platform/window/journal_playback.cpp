#include "platform/window/journal_playback.h"

bool Input_From_Event_Msg(const EVENTMSG& r, TInput_Event& e) {
  using K = TInput_Event::Kind;
  e = TInput_Event();
  e.point = {int(int32_t(r.paramL)), int(int32_t(r.paramH))};
  switch (r.message) {
    case WM_MOUSEMOVE: e.kind = K::Mouse_Move; return true;
    case WM_LBUTTONDOWN: e.kind = K::Button_Down; return true;
    case WM_LBUTTONUP: e.kind = K::Button_Up; return true;
    case WM_RBUTTONDOWN: e.kind = K::Button_Down, e.button = TInput_Event::Right; return true;
    case WM_RBUTTONUP: e.kind = K::Button_Up, e.button = TInput_Event::Right; return true;
    case WM_MBUTTONDOWN: e.kind = K::Button_Down, e.button = TInput_Event::Middle; return true;
    case WM_MBUTTONUP: e.kind = K::Button_Up, e.button = TInput_Event::Middle; return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      e.kind = (r.message == WM_KEYDOWN || r.message == WM_SYSKEYDOWN) ? K::Key_Down : K::Key_Up;
      e.point = {};
      e.code = r.paramL & 0xFF;
      // Played keys carry no text of their own: the characters are made
      // from the keys, so scripted typing reaches edit fields.
      e.translate = true;
      return true;
    default:
      return false;
  }
}

bool Event_Msg_From_Input(const TInput_Event& e, EVENTMSG& r) {
  using K = TInput_Event::Kind;
  r = EVENTMSG();
  r.time = e.time;
  r.paramL = UINT(e.point.x);
  r.paramH = UINT(e.point.y);
  static const UINT downs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static const UINT ups[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  switch (e.kind) {
    case K::Mouse_Move: r.message = WM_MOUSEMOVE; return true;
    case K::Button_Down: r.message = downs[e.button % 3]; return true;
    case K::Button_Up: r.message = ups[e.button % 3]; return true;
    case K::Key_Down:
    case K::Key_Up:
      r.message = e.kind == K::Key_Down ? WM_KEYDOWN : WM_KEYUP;
      r.paramL = e.code & 0xFF;
      r.paramH = e.repeat ? 1 : 0;
      return true;
    default:
      return false;
  }
}

void TJournal_Playback::Ask(uint32_t now) {
  record_ = EVENTMSG();
  LRESULT delay = proc_(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&record_));
  if (delay < 0) delay = 0;
  asked_ = true;
  waited_ = delay > 0;
  due_ = now + uint32_t(delay);
}

std::optional<uint32_t> TJournal_Playback::Delay_To_Next(uint32_t now) {
  if (!asked_) Ask(now);
  int32_t left = int32_t(due_ - now);
  return left > 0 ? uint32_t(left) : 0u;
}

bool TJournal_Playback::Take(uint32_t now, TInput_Event& event) {
  if (!asked_) Ask(now);
  if (int32_t(due_ - now) > 0) return false;
  // A wait has passed: the procedure is asked again and may want another.
  if (waited_) {
    Ask(now);
    if (waited_) return false;
  }
  asked_ = false;
  bool input = Input_From_Event_Msg(record_, event);
  if (input) event.time = now;
  proc_(HC_SKIP, 0, 0);
  if (!input) return false;
  return true;
}

// The desktop's input side: real and played input, routing of mouse and
// keyboard messages when they are taken, key translation, the pointer and
// the cursor.
#include <algorithm>

#include "platform/gdi/code_page_1252.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/input_source.h"
#include "platform/window/screen.h"
#include "platform/window/window.h"

namespace {

// Bits of a key message's lParam.
constexpr LPARAM Key_Previous_Down = LPARAM(1) << 30;
constexpr LPARAM Key_Released = LPARAM(1) << 31;
constexpr LPARAM Key_Extended = LPARAM(1) << 24;
constexpr LPARAM Key_Alt_Down = LPARAM(1) << 29;
// Our own mark on key-downs whose characters the machine sends itself.
constexpr LPARAM Key_No_Translate = LPARAM(1) << 25;

// The character a key makes on the standard layout, or -1.
int Key_Char(UINT vk, bool shift, bool caps, bool ctrl) {
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return int(vk - 'A' + 1);
    return (shift != caps) ? int(vk) : int(vk - 'A' + 'a');
  }
  if (ctrl) return -1;
  if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : int(vk);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return int('0' + vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case 0xBA: return shift ? ':' : ';';
    case 0xBF: return shift ? '?' : '/';
    case 0xC0: return shift ? '~' : '`';
    case 0xDB: return shift ? '{' : '[';
    case 0xDC: return shift ? '|' : '\\';
    case 0xDD: return shift ? '}' : ']';
    case 0xDE: return shift ? '"' : '\'';
    default: return -1;
  }
}

int Control_Char(UINT vk) {
  switch (vk) {
    case VK_BACK: return 0x08;
    case VK_TAB: return 0x09;
    case VK_RETURN: return 0x0D;
    case VK_ESCAPE: return 0x1B;
    default: return -1;
  }
}

bool Is_Extended_Key(UINT vk) {
  return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE || vk == VK_DIVIDE;
}

}  // namespace

void TDesktop::Translate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return;
  UINT vk = UINT(msg.wParam);
  int c = Control_Char(vk);
  bool ctrl = Key_Down(VK_CONTROL);
  // The machine sends no text for Ctrl+letter: those control characters
  // are always made here.
  if (c < 0 && (!(msg.lParam & Key_No_Translate) || (ctrl && vk >= 'A' && vk <= 'Z')) && !Key_Down(VK_MENU))
    c = Key_Char(vk, Key_Down(VK_SHIFT), false, ctrl);
  if (c < 0) return;
  MSG m = msg;
  m.message = WM_CHAR;
  m.wParam = WPARAM(c);
  m.lParam = msg.lParam & ~Key_No_Translate;
  std::lock_guard guard(posted_lock_);
  posted_.push_front(m);
}

// ---- Pointer and cursor

TPoint TDesktop::Clamp_Pointer(TPoint p) const {
  TRect r = cursor_clip_ ? *cursor_clip_ : screen_->Bounds();
  p.x = std::clamp(p.x, r.left, std::max(r.left, r.right - 1));
  p.y = std::clamp(p.y, r.top, std::max(r.top, r.bottom - 1));
  return p;
}

void TDesktop::Set_Cursor_Pos(TPoint p) {
  cursor_pos_ = Clamp_Pointer(p);
  pointer_on_screen_ = true;
  backend_->Warp_Pointer(cursor_pos_);
  Follow_Warp();
}

void TDesktop::Set_Cursor_Pos_From(TPoint from, TPoint p) {
  cursor_pos_ = Clamp_Pointer(p);
  pointer_on_screen_ = true;
  backend_->Warp_Pointer_From(from, cursor_pos_);
  Follow_Warp();
}

void TDesktop::Follow_Warp() {
  cursor_dirty_ = true;
  TInput_Event e;
  e.kind = TInput_Event::Kind::Mouse_Move;
  e.point = cursor_pos_;
  Enqueue_Input(e);
}

void TDesktop::Clip_Cursor(const TRect* rect) {
  if (!rect) {
    cursor_clip_.reset();
    backend_->Confine_Pointer(TRect());
    return;
  }
  TRect r = rect->Normalized().Intersection(screen_->Bounds());
  if (r.IsEmpty()) r = TRect(rect->left, rect->top, rect->left + 1, rect->top + 1).Intersection(screen_->Bounds());
  cursor_clip_ = r;
  backend_->Confine_Pointer(r);
  TPoint clamped = Clamp_Pointer(cursor_pos_);
  if (clamped != cursor_pos_) Set_Cursor_Pos(clamped);
}

const TCursor* TDesktop::Set_Cursor(const TCursor* cursor) {
  const TCursor* old = cursor_;
  if (cursor == cursor_) return old;
  cursor_dirty_ = true;
  cursor_ = cursor;
  backend_->Set_Cursor(cursor_ && cursor_show_count_ >= 0 ? &cursor_->Image() : nullptr);
  return old;
}

void TDesktop::Forget_Cursor(const TCursor* cursor) {
  for (auto& [h, w] : handles_)
    if (w->GetCursor() == cursor) w->SetCursor(nullptr);
  if (cursor_ == cursor) Set_Cursor(&TCursor::Arrow());
}

int TDesktop::Show_Cursor(bool show) {
  cursor_show_count_ += show ? 1 : -1;
  cursor_dirty_ = true;
  backend_->Set_Cursor(cursor_ && cursor_show_count_ >= 0 ? &cursor_->Image() : nullptr);
  return cursor_show_count_;
}

void TDesktop::Update_Cursor_Shape(TWindow* over, UINT mouse_msg) {
  if (!over) return;
  // WM_SETCURSOR: the window (or, by default, its nearest ancestor with a
  // cursor of its own) chooses the shape; none at all gives the arrow.
  if (Send(over->GetHandle(), WM_SETCURSOR, WPARAM(over->GetHandle().Value()), LPARAM(mouse_msg) << 16)) return;
  Set_Cursor(&TCursor::Arrow());
}

UINT TDesktop::Mouse_Key_Flags() const {
  UINT flags = 0;
  if (Key_Down(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (Key_Down(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (Key_Down(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (Key_Down(VK_SHIFT)) flags |= MK_SHIFT;
  if (Key_Down(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

// ---- Input

void TDesktop::Set_Input_Source(TInput_Source* source) {
  TInput_Source* old = input_source_;
  input_source_ = source;
  if (old && old != source) old->Ended();
  backend_->Wake();
}

void TDesktop::Real_Input(const TInput_Event& e) {
  using K = TInput_Event::Kind;
  if (record_tap_) record_tap_(e);
  if (input_source_) {
    // Only the cancel chord gets through while playback runs.
    bool cancel = e.kind == K::Key_Down && e.code == VK_ESCAPE && Key_Down(VK_CONTROL);
    if (e.kind == K::Key_Down && (e.code == VK_CONTROL || e.code == VK_LCONTROL || e.code == VK_RCONTROL))
      keys_[VK_CONTROL] = true;
    if (e.kind == K::Key_Up && (e.code == VK_CONTROL || e.code == VK_LCONTROL || e.code == VK_RCONTROL))
      keys_[VK_CONTROL] = false;
    if (cancel) {
      // Every journal hook goes, the recording ones too.
      Set_Input_Source(nullptr);
      record_tap_ = nullptr;
      if (journal_cancel_) journal_cancel_();
      Post(HWND(), WM_CANCELJOURNAL, 0, 0);
    }
    if (e.kind == K::Focus_Lost || e.kind == K::Minimise || e.kind == K::Restore || e.kind == K::Close)
      Enqueue_Input(e);
    return;
  }
  Enqueue_Input(e);
}

void TDesktop::Synthetic_Input(const TInput_Event& e) {
  using K = TInput_Event::Kind;
  TInput_Event played = e;
  played.synthetic = true;
  // As with the machine's own pointer, a played pointer event moves the
  // pointer when it is played, not when its message is taken: a player that
  // reads the pointer for its next step sees where the last one went, even
  // while posted messages hold the input back. The machine's pointer
  // follows, so the person sees it move.
  if (played.kind == K::Mouse_Move || played.kind == K::Button_Down || played.kind == K::Button_Up) {
    const TPoint p = Clamp_Pointer(played.point);
    played.point = p;
    pointer_on_screen_ = true;
    if (p != cursor_pos_) {
      backend_->Warp_Pointer(p);
      cursor_dirty_ = true;
      cursor_pos_ = p;
    }
  }
  Enqueue_Input(played);
}

void TDesktop::Enqueue_Input(const TInput_Event& e) {
  // A move replaces a move that has not been taken yet.
  if (e.kind == TInput_Event::Kind::Mouse_Move && !input_.empty() &&
      input_.back().kind == TInput_Event::Kind::Mouse_Move) {
    input_.back() = e;
    return;
  }
  input_.push_back(e);
}

uint32_t TDesktop::Translate_Keypad(uint32_t vk) const {
  if (num_lock_) return vk;
  static const UINT nav[10] = {VK_INSERT, VK_END, VK_DOWN, VK_NEXT, VK_LEFT,
                               VK_CLEAR,  VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR};
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return nav[vk - VK_NUMPAD0];
  if (vk == VK_DECIMAL) return VK_DELETE;
  return vk;
}

bool TDesktop::Take_Input(MSG& msg) {
  using K = TInput_Event::Kind;
  TInput_Event e;
  if (!input_.empty()) {
    e = input_.front();
    input_.pop_front();
  } else {
    synthetic_move_ = false;
    if (!pointer_on_screen_) return false;
    e.kind = K::Mouse_Move;
    e.point = cursor_pos_;
  }
  msg = MSG{};
  msg.time = e.time ? e.time : Now();
  switch (e.kind) {
    case K::Mouse_Move:
    case K::Button_Down:
    case K::Button_Up:
    case K::Pointer_Left:
      return Route_Mouse(e, msg);
    case K::Key_Down:
    case K::Key_Up:
    case K::Char:
      return Route_Key(e, msg);
    case K::Minimise:
    case K::Restore:
    case K::Close:
      // A box holds the close too: the program does not end under it.
      if (!Window(main_window_) || (e.kind == K::Close && Modal_Box())) return false;
      msg.hwnd = main_window_;
      msg.message = WM_SYSCOMMAND;
      msg.wParam = e.kind == K::Minimise ? SC_MINIMIZE : e.kind == K::Restore ? SC_RESTORE : SC_CLOSE;
      msg.pt = cursor_pos_;
      return true;
    case K::Focus_Lost:
      // The pointer is free again while another program is in front, and
      // the screen saver may start.
      if (cursor_clip_) Clip_Cursor(nullptr);
      backend_->Hold_Screen_Saver(false);
      for (UINT vk : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU}) keys_[vk] = false;
      return false;
    case K::Focus_Gained:
      if (TWindow* main = Window(main_window_); main && !(main->GetStyle() & WS_MINIMIZE)) backend_->Hold_Screen_Saver(true);
      return false;
  }
  return false;
}

bool TDesktop::Route_Mouse(const TInput_Event& e, MSG& msg) {
  using K = TInput_Event::Kind;
  TPoint raw = e.point;
  if (e.kind == K::Pointer_Left) {
    pointer_on_screen_ = false;
  } else {
    pointer_on_screen_ = true;
    TPoint p = Clamp_Pointer(raw);
    // A played event moved the pointer when it was played (a later one may
    // have moved it on since).
    if (!e.synthetic) {
      if (p != raw) backend_->Warp_Pointer(p);
      if (cursor_pos_ != p) cursor_dirty_ = true;
      cursor_pos_ = p;
    }
    raw = p;
  }
  UINT message = WM_MOUSEMOVE;
  static const UINT vk_of[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  if (e.kind == K::Button_Down || e.kind == K::Button_Up) {
    bool down = e.kind == K::Button_Down;
    keys_[vk_of[e.button % 3]] = down;
    static const UINT downs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT ups[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    message = down ? downs[e.button % 3] : ups[e.button % 3];
  }
  msg.pt = raw;
  TWindow* target = Window(capture_);
  // A holder behind a running box, or still being built, lets the mouse go.
  if (target && Input_Held(target)) {
    Release_Capture();
    target = nullptr;
  }
  // A holder with a cursor of its own shows it wherever the pointer is.
  if (target && target->GetCursor()) Set_Cursor(target->GetCursor());
  if (!target) {
    // Without capture, a pointer off the screen is over no window.
    if (e.kind == K::Pointer_Left) return false;
    target = Window_From_Point(raw);
    if (!target) return false;
    if (Release_To_Box(message, target, raw, msg)) return true;
    TWindow* top = target->Top_Level();
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
      if (top->IsWindowEnabled() && active_ != top->GetHandle()) Activate(top);
    }
    if (!target->Takes_Input()) return false;  // under a modal window, or disabled
    if (Input_Held(target)) {
      // The box's own cursor where it has one (the watch of a hold).
      const TWindow* box = Held_By_Modal(target) ? Modal_Box() : nullptr;
      Set_Cursor(box && box->GetCursor() ? box->GetCursor() : &TCursor::Arrow());
      return false;
    }
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) Click_Focus(target);
    Update_Cursor_Shape(target, message);
    TPoint client = raw - target->Client_Screen_Origin();
    if (!target->GetClientRect().Contains(client)) {
      msg.hwnd = target->GetHandle();
      msg.message = message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
      if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) msg.message = message == WM_RBUTTONDOWN ? WM_NCRBUTTONDOWN : WM_NCRBUTTONUP;
      if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP) return false;
      msg.wParam = 0;
      msg.lParam = MAKELPARAM_POINT(raw.x, raw.y);
      return true;
    }
  }
  TPoint client = raw - target->Client_Screen_Origin();
  msg.hwnd = target->GetHandle();
  msg.message = message;
  msg.wParam = Mouse_Key_Flags();
  msg.lParam = MAKELPARAM_POINT(client.x, client.y);
  return true;
}

// A button let go over a window that a running box holds is the box's: the
// press began before the box came up (the click that raised it), and
// whoever follows the buttons through the loop's hook must see it end, or
// the program takes the button for held down until the next click. Nothing
// behind the box sees it.
bool TDesktop::Release_To_Box(UINT message, const TWindow* under, TPoint screen, MSG& msg) {
  if (message != WM_LBUTTONUP && message != WM_RBUTTONUP && message != WM_MBUTTONUP) return false;
  if (!Held_By_Modal(under)) return false;
  TWindow* box = Modal_Box();
  const TPoint client = screen - box->Client_Screen_Origin();
  msg.hwnd = box->GetHandle();
  msg.message = message;
  msg.wParam = Mouse_Key_Flags();
  msg.lParam = MAKELPARAM_POINT(client.x, client.y);
  return true;
}

void TDesktop::Click_Focus(TWindow* clicked) {
  // A control that takes keys (a tab stop that asks for them) gets the
  // keyboard from a click, unless it or a window inside it has it already.
  if (!(clicked->GetStyle() & WS_TABSTOP) || !clicked->IsWindowEnabled()) return;
  for (TWindow* w = Window(focus_); w; w = w->Is_Child() ? w->Parent : nullptr)
    if (w == clicked) return;
  if (!(Send(clicked->GetHandle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTKEYS)) return;
  Set_Focus(clicked->GetHandle());
}

bool TDesktop::Input_Held(const TWindow* w) const { return Held_By_Modal(w) || w->Under_Construction(); }

bool TDesktop::Route_Again(MSG& msg) {
  using K = TInput_Event::Kind;
  TInput_Event e;
  e.point = msg.pt;
  e.synthetic = true;  // the pointer is where it was
  switch (msg.message) {
    case WM_LBUTTONDOWN: e.kind = K::Button_Down, e.button = TInput_Event::Left; break;
    case WM_RBUTTONDOWN: e.kind = K::Button_Down, e.button = TInput_Event::Right; break;
    case WM_MBUTTONDOWN: e.kind = K::Button_Down, e.button = TInput_Event::Middle; break;
    case WM_LBUTTONUP: e.kind = K::Button_Up, e.button = TInput_Event::Left; break;
    case WM_RBUTTONUP: e.kind = K::Button_Up, e.button = TInput_Event::Right; break;
    case WM_MBUTTONUP: e.kind = K::Button_Up, e.button = TInput_Event::Middle; break;
    case WM_MOUSEMOVE: e.kind = K::Mouse_Move; break;
    default: return false;
  }
  Release_Capture();
  return Route_Mouse(e, msg);
}

bool TDesktop::Route_Key(const TInput_Event& e, MSG& msg) {
  using K = TInput_Event::Kind;
  TWindow* target = Window(key_grab_);
  if (!target) target = Window(focus_);
  if (!target) target = Window(active_);
  // Keys meant for a window behind a running box go to the box.
  if (target && Held_By_Modal(target)) target = Modal_Box();
  msg.pt = cursor_pos_;
  if (e.kind == K::Char) {
    int c = Code_Page_1252_From_Unicode(char32_t(e.code));
    if (!target || target->Under_Construction() || (c < 0 && e.code < 0x20)) return false;
    msg.hwnd = target->GetHandle();
    msg.message = c < 0 ? WM_UNICHAR : WM_CHAR;
    msg.wParam = c < 0 ? WPARAM(e.code) : WPARAM(c);
    msg.lParam = 1;
    return true;
  }
  if (e.num_lock >= 0) num_lock_ = e.num_lock != 0;
  uint32_t vk = e.keypad ? Translate_Keypad(e.code) : e.code;
  bool down = e.kind == K::Key_Down;
  if (vk >= 256) return false;
  bool was_down = keys_[vk];
  keys_[vk] = down;
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) keys_[VK_SHIFT] = down;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) keys_[VK_CONTROL] = down;
  if (vk == VK_NUMLOCK && down && !e.repeat && e.num_lock < 0) num_lock_ = !num_lock_;
  if (!target) return false;
  if (target->Under_Construction()) {
    key_pressed_in_[vk] = HWND();
    return false;
  }
  // A key pressed in a window that has gone since (a box the key answered)
  // is released there too: the window that has the keyboard now never saw
  // it go down, and would take the release for a key of its own.
  HWND pressed_in = key_pressed_in_[vk];
  key_pressed_in_[vk] = down ? target->GetHandle() : HWND();
  if (!down && pressed_in && !Window(pressed_in)) return false;
  bool alt = keys_[VK_MENU];
  msg.hwnd = target->GetHandle();
  msg.message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
  msg.wParam = vk;
  LPARAM lp = 1;
  if (Is_Extended_Key(vk) && !e.keypad) lp |= Key_Extended;
  if (!down || was_down || e.repeat) lp |= Key_Previous_Down;
  if (!down) lp |= Key_Released;
  if (down && !e.translate) lp |= Key_No_Translate;
  if (alt) lp |= Key_Alt_Down;
  msg.lParam = lp;
  return true;
}

#include "platform/window/desktop.h"

#include <algorithm>
#include <cassert>
#include <climits>

#include "platform/gdi/device_binding.h"
#include "platform/gdi/region.h"
#include "platform/system/clock.h"
#include "platform/window/cursor.h"
#include "platform/window/input_source.h"
#include "platform/window/screen.h"
#include "platform/window/window.h"

// Sections: start and handles; posting and retrieval; loops; timers; the
// window tree; focus, activation and capture; pointer and cursor; input.

namespace {

std::unique_ptr<TDesktop> the_desktop;

// The shortest timer interval, as the original system clamps it.
constexpr UINT Min_Timer_Interval = 10;

// Bits of a key message's lParam.
constexpr LPARAM Key_Previous_Down = LPARAM(1) << 30;
constexpr LPARAM Key_Released = LPARAM(1) << 31;
constexpr LPARAM Key_Extended = LPARAM(1) << 24;
// Our own mark on key-downs whose characters the machine sends itself.
constexpr LPARAM Key_No_Translate = LPARAM(1) << 25;

bool Due(uint32_t now, uint32_t due) { return int32_t(now - due) >= 0; }

// Windows-1252 for the code points 0x80..0x9F it places elsewhere.
int To_Windows_1252(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
  static const uint16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  for (int i = 0; i < 32; ++i)
    if (high[i] && high[i] == cp) return 0x80 + i;
  return -1;
}

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

// ---- Start and handles

TDesktop& TDesktop::Start(std::unique_ptr<TBackend> backend) {
  assert(!the_desktop && "the window system runs once");
  the_desktop.reset(new TDesktop(std::move(backend)));
  return *the_desktop;
}

void TDesktop::Stop() {
  if (!the_desktop) return;
  // Windows still alive are destroyed (their objects belong to the program).
  while (!the_desktop->top_levels_.empty()) the_desktop->top_levels_.front()->Destroy();
  std::vector<TWindow*> left;
  for (auto& [h, w] : the_desktop->handles_) left.push_back(w);
  for (TWindow* w : left) w->Destroy();
  the_desktop.reset();
}

bool TDesktop::Running() { return the_desktop != nullptr; }

TDesktop& TDesktop::Current() {
  assert(the_desktop && "the window system has not been started");
  return *the_desktop;
}

TDesktop::TDesktop(std::unique_ptr<TBackend> backend)
    : backend_(std::move(backend)),
      screen_(std::make_unique<TScreen>(backend_->Screen_Size())),
      ui_thread_(std::this_thread::get_id()) {
  TClock::Install(&backend_->Clock());
  screen_->Set_Wake([this] { backend_->Wake(); }, ui_thread_);
  cursor_pos_ = {screen_->Width() / 2, screen_->Height() / 2};
  cursor_ = &TCursor::Arrow();
}

TDesktop::~TDesktop() {
  screen_->Set_Wake(nullptr, ui_thread_);
  TClock::Install(nullptr);
}

TClock& TDesktop::Clock() { return backend_->Clock(); }
uint32_t TDesktop::Now() { return backend_->Clock().Tick_Count(); }

HWND TDesktop::Register(TWindow* window) {
  HWND h(next_handle_++);
  handles_[h.Value()] = window;
  return h;
}

void TDesktop::Unregister(HWND hwnd) { handles_.erase(hwnd.Value()); }

TWindow* TDesktop::Window(HWND hwnd) const {
  if (!hwnd) return nullptr;
  auto it = handles_.find(hwnd.Value());
  return it == handles_.end() ? nullptr : it->second;
}

// ---- Posting and retrieval

bool TDesktop::Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  m.time = Now();
  bool ui = On_UI_Thread();
  if (ui) {
    if (hwnd && !Window(hwnd)) return false;
    m.pt = cursor_pos_;
  }
  {
    std::lock_guard guard(posted_lock_);
    posted_.push_back(m);
  }
  if (!ui) backend_->Wake();
  return true;
}

void TDesktop::Post_Quit(int exit_code) {
  {
    std::lock_guard guard(posted_lock_);
    quit_posted_ = true;
    quit_code_ = exit_code;
  }
  if (!On_UI_Thread()) backend_->Wake();
}

bool TDesktop::Quit_Pending() const {
  std::lock_guard guard(posted_lock_);
  return quit_posted_;
}

int TDesktop::Take_Quit() {
  std::lock_guard guard(posted_lock_);
  quit_posted_ = false;
  return quit_code_;
}

LRESULT TDesktop::Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  assert(On_UI_Thread() && "SendMessage is for the user-interface thread");
  TWindow* w = Window(hwnd);
  return w ? w->WindowProc(msg, wp, lp) : 0;
}

void TDesktop::Purge_Posted(const std::function<bool(const MSG&)>& match) {
  std::lock_guard guard(posted_lock_);
  posted_.erase(std::remove_if(posted_.begin(), posted_.end(), match), posted_.end());
}

void TDesktop::Poll_Backend() {
  polled_.clear();
  backend_->Poll(polled_);
  for (const TInput_Event& e : polled_) Real_Input(e);
  if (input_source_) {
    uint32_t now = Now();
    TInput_Event e;
    while (input_source_ && input_source_->Take(now, e)) Synthetic_Input(e);
  }
}

bool TDesktop::Peek(MSG& msg) {
  Poll_Backend();
  {
    std::lock_guard guard(posted_lock_);
    if (!posted_.empty()) {
      msg = posted_.front();
      posted_.pop_front();
      return true;
    }
    if (quit_posted_) {
      msg = MSG{};
      msg.message = WM_QUIT;
      msg.wParam = WPARAM(quit_code_);
      msg.time = Now();
      return true;
    }
  }
  while (!input_.empty() || synthetic_move_)
    if (Take_Input(msg)) return true;
  if (TWindow* w = Take_Paint()) {
    msg = MSG{};
    msg.hwnd = w->GetHandle();
    msg.message = WM_PAINT;
    msg.time = Now();
    msg.pt = cursor_pos_;
    return true;
  }
  return Take_Timer(msg);
}

bool TDesktop::Has_Pending() {
  Poll_Backend();
  {
    std::lock_guard guard(posted_lock_);
    if (!posted_.empty() || quit_posted_) return true;
  }
  if (!input_.empty() || synthetic_move_ || !paint_pending_.empty()) return true;
  auto delay = Next_Timer_Delay();
  return delay && *delay == 0;
}

void TDesktop::Wait_For_Work() {
  if (Has_Pending()) return;
  uint32_t timeout = UINT32_MAX;
  if (auto d = Next_Timer_Delay()) timeout = *d;
  if (input_source_)
    if (auto d = input_source_->Delay_To_Next(Now())) timeout = std::min(timeout, *d);
  if (screen_->Has_Changes()) Present();
  // Other threads drawing through window contexts are shown at the
  // display's rate while their contexts are open.
  if (uint32_t frame = backend_->Frame_Interval_Ms()) {
    std::lock_guard guard(bindings_lock_);
    for (const TLive_Binding& b : bindings_)
      if (b.thread != ui_thread_) timeout = std::min(timeout, frame);
  }
  if (timeout == 0) return;
  backend_->Wait(timeout);
}

void TDesktop::Translate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return;
  UINT vk = UINT(msg.wParam);
  int c = Control_Char(vk);
  if (c < 0 && !(msg.lParam & Key_No_Translate) && !Key_Down(VK_MENU))
    c = Key_Char(vk, Key_Down(VK_SHIFT), false, Key_Down(VK_CONTROL));
  if (c < 0) return;
  MSG m = msg;
  m.message = WM_CHAR;
  m.wParam = WPARAM(c);
  m.lParam = msg.lParam & ~Key_No_Translate;
  std::lock_guard guard(posted_lock_);
  posted_.push_front(m);
}

LRESULT TDesktop::Dispatch(const MSG& msg) {
  if (msg.message == WM_TIMER && msg.lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg.lParam);
    proc(msg.hwnd, WM_TIMER, UINT(msg.wParam), msg.time);
    return 0;
  }
  TWindow* w = Window(msg.hwnd);
  if (!w) return 0;  // the window died while its message waited
  return w->WindowProc(msg.message, msg.wParam, msg.lParam);
}

// ---- Loops

bool TDesktop::Default_Pre_Dispatch(MSG& msg) {
  for (TWindow* w = Window(msg.hwnd); w; w = w->Is_Child() ? w->Parent : nullptr)
    if (w->PreProcessMsg(msg)) return true;
  return false;
}

void TDesktop::Dispatch_One(MSG& msg) {
  bool swallowed = Pre_Dispatch_Hook ? Pre_Dispatch_Hook(msg) : Default_Pre_Dispatch(msg);
  if (!swallowed) {
    Translate(msg);
    Dispatch(msg);
  }
  // Answers to command-enable requests do not start a new idle period, or
  // the requests made at idle would be made again for ever.
  if (msg.message != WM_COMMAND_ENABLE) idle_count_ = 0;
  while (!condemned_.empty()) {
    TWindow* w = condemned_.back();
    condemned_.pop_back();
    delete w;
  }
}

bool TDesktop::Idle() {
  long count = idle_count_++;
  if (Idle_Hook) return Idle_Hook(count);
  bool more = false;
  std::vector<TWindow*> tops = top_levels_;
  for (TWindow* w : tops)
    if (!w->Parent && Window(w->GetHandle())) more |= w->IdleAction(count);
  return more;
}

TDesktop::TLoop_End TDesktop::Run_Loop(const std::function<bool()>& done) {
  ++loop_depth_;
  struct Depth {
    int& d;
    ~Depth() { --d; }
  } depth{loop_depth_};
  for (;;) {
    if (done && done()) return TLoop_End::Done;
    MSG msg;
    while (Peek(msg)) {
      if (msg.message == WM_QUIT && !msg.hwnd) return TLoop_End::Quit;  // stays pending
      Dispatch_One(msg);
      if (done && done()) return TLoop_End::Done;
    }
    Present();
    if (Idle()) continue;
    if (done && done()) return TLoop_End::Done;
    Wait_For_Work();
  }
}

bool TDesktop::Pump_Waiting_Messages() {
  MSG msg;
  while (Peek(msg)) {
    if (msg.message == WM_QUIT && !msg.hwnd) return false;
    Dispatch_One(msg);
  }
  Present();
  return true;
}

bool TDesktop::Run_Until_Idle() {
  for (int rounds = 0; rounds < 10000; ++rounds) {
    if (!Pump_Waiting_Messages()) return false;
    bool more = Idle();
    if (!Has_Pending() && !more) return true;
  }
  return true;
}

void TDesktop::Present() {
  {
    // Contexts still open may have drawn since the last presentation.
    std::lock_guard guard(bindings_lock_);
    for (const TLive_Binding& b : bindings_) {
      auto live = b.binding.lock();
      if (!live || !live->Is_Valid()) continue;
      screen_->Mark_Changed(live->Visible() ? live->Visible()->Bounds() : screen_->Bounds());
    }
  }
  if (!screen_->Has_Changes() && !cursor_dirty_) return;
  std::lock_guard guard(screen_->Lock());
  std::vector<TRect> changed = screen_->Take_Changed();
  cursor_dirty_ = false;
  const TCursor_Image* image = (cursor_ && cursor_show_count_ >= 0) ? &cursor_->Image() : nullptr;
  backend_->Present(*screen_, changed, image, cursor_pos_);
  last_present_ = Now();
}

// ---- Timers

UINT TDesktop::Set_Timer(HWND hwnd, UINT id, UINT ms, TIMERPROC proc) {
  if (hwnd && !Window(hwnd)) return 0;
  UINT interval = std::max(ms, Min_Timer_Interval);
  if (!hwnd && id == 0) id = next_timerless_id_++;
  uint32_t due = Now() + interval;
  for (TTimer& t : timers_) {
    if (t.hwnd == hwnd && t.id == id) {
      // Setting a timer again restarts it with the new interval.
      t.interval = interval;
      t.due = due;
      t.proc = proc;
      return hwnd ? (id ? id : 1) : id;
    }
  }
  timers_.push_back({hwnd, id, interval, due, proc});
  return hwnd ? (id ? id : 1) : id;
}

bool TDesktop::Kill_Timer(HWND hwnd, UINT id) {
  auto it = std::find_if(timers_.begin(), timers_.end(),
                         [&](const TTimer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  return true;
}

void TDesktop::Kill_Timers_Of(HWND hwnd) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const TTimer& t) { return t.hwnd == hwnd; }),
                timers_.end());
}

bool TDesktop::Take_Timer(MSG& msg) {
  uint32_t now = Now();
  TTimer* first = nullptr;
  for (TTimer& t : timers_)
    if (Due(now, t.due) && (!first || int32_t(t.due - first->due) < 0)) first = &t;
  if (!first) return false;
  // Re-armed as it is taken, so a slow handler never finds ticks piled up.
  first->due = now + first->interval;
  msg = MSG{};
  msg.hwnd = first->hwnd;
  msg.message = WM_TIMER;
  msg.wParam = first->id;
  msg.lParam = reinterpret_cast<LPARAM>(first->proc);
  msg.time = now;
  msg.pt = cursor_pos_;
  return true;
}

std::optional<uint32_t> TDesktop::Next_Timer_Delay() {
  if (timers_.empty()) return std::nullopt;
  uint32_t now = Now();
  uint32_t best = UINT32_MAX;
  for (const TTimer& t : timers_) best = std::min(best, Due(now, t.due) ? 0u : t.due - now);
  return best;
}

// ---- The window tree

void TDesktop::Add_Top_Level(TWindow* w) {
  bool topmost = w->Attr.ExStyle & WS_EX_TOPMOST;
  auto it = top_levels_.begin();
  if (!topmost)
    while (it != top_levels_.end() && ((*it)->Attr.ExStyle & WS_EX_TOPMOST)) ++it;
  top_levels_.insert(it, w);
}

void TDesktop::Remove_Top_Level(TWindow* w) {
  top_levels_.erase(std::remove(top_levels_.begin(), top_levels_.end(), w), top_levels_.end());
}

void TDesktop::Raise(TWindow* w) {
  if (std::find(top_levels_.begin(), top_levels_.end(), w) == top_levels_.end()) return;
  if (!top_levels_.empty() && top_levels_.front() == w) return;
  TRegion before = w->Visible_Region(false, false);
  Remove_Top_Level(w);
  Add_Top_Level(w);
  // Windows it owns stay in front of it.
  for (TWindow* c : std::vector<TWindow*>(w->Children()))
    if (!c->Is_Child() && c->IsWindow()) Raise(c);
  if (w->IsWindowVisible()) {
    Uncovered(w, before);
    Layout_Changed();
  }
}

// What was hidden behind other windows and now shows is painted again.
void TDesktop::Uncovered(TWindow* w, const TRegion& visible_before) {
  TRegion now = w->Visible_Region(false, false);
  now -= visible_before;
  if (now.IsEmpty()) return;
  TPoint o = w->Client_Screen_Origin();
  now.Offset(-o.x, -o.y);
  w->InvalidateRgn(now, true);
  if (w->Client_Origin() != TPoint(0, 0)) w->WindowProc(WM_NCPAINT, 0, 0);
}

void TDesktop::Lower(TWindow* w) {
  Remove_Top_Level(w);
  bool topmost = w->Attr.ExStyle & WS_EX_TOPMOST;
  auto it = top_levels_.end();
  if (topmost)
    it = std::find_if(top_levels_.begin(), top_levels_.end(),
                      [](TWindow* t) { return !(t->Attr.ExStyle & WS_EX_TOPMOST); });
  top_levels_.insert(it, w);
  // The windows it covered show again.
  if (w->IsWindowVisible()) Expose(w->GetWindowRect(), w);
  Layout_Changed();
}

void TDesktop::Set_Topmost(TWindow* w, bool topmost) {
  if (topmost) w->Attr.ExStyle |= WS_EX_TOPMOST;
  else w->Attr.ExStyle &= ~WS_EX_TOPMOST;
  TRegion before = w->Visible_Region(false, false);
  Remove_Top_Level(w);
  Add_Top_Level(w);
  if (w->IsWindowVisible()) Uncovered(w, before);
  Layout_Changed();
}

TWindow* TDesktop::Window_From_Point(TPoint screen) const {
  for (TWindow* top : top_levels_) {
    if (!(top->Attr.Style & WS_VISIBLE)) continue;
    TRect wr = top->GetWindowRect();
    if (!wr.Contains(screen) || !top->Shape_Contains(screen - wr.TopLeft())) continue;
    TWindow* hit = top;
    TPoint p = screen - top->Client_Screen_Origin();
    TWindow* deeper = nullptr;
    while (hit->GetClientRect().Contains(p) && hit->Hit_Children_Front_To_Back(p, deeper)) {
      p = p - deeper->Window_Rect_In_Parent().TopLeft() - deeper->Client_Origin();
      hit = deeper;
    }
    return hit;
  }
  return nullptr;
}

void TDesktop::Layout_Changed() {
  synthetic_move_ = true;
  bool any;
  {
    std::lock_guard guard(bindings_lock_);
    any = !bindings_.empty();
  }
  if (any) Refresh_Bindings();
}

void TDesktop::Paint_Pending(TWindow* w, bool pending) {
  auto it = std::find(paint_pending_.begin(), paint_pending_.end(), w);
  if (pending && it == paint_pending_.end()) paint_pending_.push_back(w);
  if (!pending && it != paint_pending_.end()) paint_pending_.erase(it);
}

// Parents before their children, so a parent that paints over its children
// is painted over by them in turn.
TWindow* TDesktop::Take_Paint() {
  if (paint_pending_.empty()) return nullptr;
  std::function<TWindow*(TWindow*)> walk = [&](TWindow* w) -> TWindow* {
    if (w->Has_Update()) return w;
    for (TWindow* c : w->Children())
      if (c->Is_Child() && c->IsWindow())
        if (TWindow* found = walk(c)) return found;
    return nullptr;
  };
  for (TWindow* top : top_levels_)
    if (TWindow* found = walk(top)) return found;
  // Windows outside the tree (not yet placed): take them as they come.
  for (TWindow* w : paint_pending_)
    if (w->Has_Update()) return w;
  paint_pending_.clear();
  return nullptr;
}

void TDesktop::Forget(TWindow* w) {
  HWND h = w->GetHandle();
  if (capture_ == h) capture_ = HWND();
  if (focus_announced_ == h) focus_announced_ = HWND();
  if (focus_ == h) {
    TWindow* parent = w->Is_Child() ? w->Parent : nullptr;
    focus_ = HWND();
    if (parent && parent->IsWindow() && !parent->in_destroy_) Set_Focus(parent->GetHandle());
  }
  Kill_Timers_Of(h);
  Paint_Pending(w, false);
  {
    std::lock_guard guard(bindings_lock_);
    for (TLive_Binding& b : bindings_) {
      if (b.window != w) continue;
      if (auto live = b.binding.lock()) live->Invalidate();
      b.window = nullptr;
    }
  }
  Remove_Top_Level(w);
  if (main_window_ == h) main_window_ = HWND();
  if (active_ == h) {
    active_ = HWND();
    TWindow* next = nullptr;
    if (w->Parent && w->Parent->IsWindow() && !w->Parent->in_destroy_) next = w->Parent->Top_Level();
    for (auto it = top_levels_.begin(); !next && it != top_levels_.end(); ++it)
      if ((*it)->IsWindowVisible() && (*it)->IsWindowEnabled()) next = *it;
    if (next && next->IsWindowVisible()) Activate(next);
  }
  Layout_Changed();
}

void TDesktop::Hidden(TWindow* w) {
  if (w->Is_Child()) return;
  if (active_ == w->GetHandle()) {
    TWindow* next = nullptr;
    if (w->Parent && w->Parent->IsWindow() && w->Parent->Top_Level()->IsWindowVisible())
      next = w->Parent->Top_Level();
    for (auto it = top_levels_.begin(); !next && it != top_levels_.end(); ++it)
      if (*it != w && (*it)->IsWindowVisible() && (*it)->IsWindowEnabled()) next = *it;
    if (next) Activate(next);
  }
}

// ---- Focus, activation, capture

HWND TDesktop::Set_Focus(HWND hwnd) {
  HWND old = focus_;
  if (hwnd == focus_) return old;
  TWindow* w = Window(hwnd);
  if (hwnd && !w) return HWND();
  if (w) {
    TWindow* top = w->Top_Level();
    if (active_ != top->GetHandle()) Activate(top);
    old = focus_;
    if (hwnd == focus_) return old;
  }
  focus_ = hwnd;
  HWND told = focus_announced_;
  focus_announced_ = HWND();
  if (told && Window(told)) Send(told, WM_KILLFOCUS, WPARAM(hwnd.Value()), 0);
  // The old focus may have taken the focus back while it lost it.
  if (focus_ == hwnd && w && Window(hwnd)) {
    focus_announced_ = hwnd;
    Send(hwnd, WM_SETFOCUS, WPARAM(told.Value()), 0);
  }
  return old;
}

void TDesktop::Activate(TWindow* top) {
  HWND h = top ? top->GetHandle() : HWND();
  if (active_ == h) return;
  HWND old = active_;
  active_ = h;
  if (top) Raise(top);
  if (old && Window(old)) Send(old, WM_ACTIVATE, WA_INACTIVE, LPARAM(h.Value()));
  if (top && active_ == h) Send(h, WM_ACTIVATE, WA_ACTIVE, LPARAM(old.Value()));
}

HWND TDesktop::Set_Capture(HWND hwnd) {
  HWND old = capture_;
  if (!Window(hwnd)) return old;
  capture_ = hwnd;
  if (old && old != hwnd && Window(old)) Send(old, WM_CAPTURECHANGED, 0, LPARAM(hwnd.Value()));
  return old;
}

void TDesktop::Release_Capture() {
  HWND old = capture_;
  if (!old) return;
  capture_ = HWND();
  if (Window(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
  // The window now under the pointer learns where it is.
  Layout_Changed();
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
  if (cursor != cursor_) cursor_dirty_ = true;
  cursor_ = cursor;
  return old;
}

int TDesktop::Show_Cursor(bool show) {
  cursor_show_count_ += show ? 1 : -1;
  cursor_dirty_ = true;
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
      Set_Input_Source(nullptr);
      Post(HWND(), WM_CANCELJOURNAL, 0, 0);
    }
    if (e.kind == K::Focus_Lost || e.kind == K::Minimise || e.kind == K::Restore || e.kind == K::Close)
      Enqueue_Input(e);
    return;
  }
  Enqueue_Input(e);
}

void TDesktop::Synthetic_Input(const TInput_Event& e) { Enqueue_Input(e); }

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
      if (!Window(main_window_)) return false;
      msg.hwnd = main_window_;
      msg.message = WM_SYSCOMMAND;
      msg.wParam = e.kind == K::Minimise ? SC_MINIMIZE : e.kind == K::Restore ? SC_RESTORE : SC_CLOSE;
      msg.pt = cursor_pos_;
      return true;
    case K::Focus_Lost:
      // The pointer is free again while another program is in front.
      if (cursor_clip_) Clip_Cursor(nullptr);
      for (UINT vk : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU}) keys_[vk] = false;
      return false;
    case K::Focus_Gained:
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
    if (p != raw) backend_->Warp_Pointer(p);
    raw = p;
    if (cursor_pos_ != p) cursor_dirty_ = true;
    cursor_pos_ = p;
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
  if (!target) {
    // Without capture, a pointer off the screen is over no window.
    if (e.kind == K::Pointer_Left) return false;
    target = Window_From_Point(raw);
    if (!target) return false;
    TWindow* top = target->Top_Level();
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
      if (top->IsWindowEnabled() && active_ != top->GetHandle()) Activate(top);
    }
    if (!target->Takes_Input()) return false;  // under a modal window, or disabled
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

bool TDesktop::Route_Key(const TInput_Event& e, MSG& msg) {
  using K = TInput_Event::Kind;
  TWindow* target = Window(focus_);
  if (!target) target = Window(active_);
  msg.pt = cursor_pos_;
  if (e.kind == K::Char) {
    int c = To_Windows_1252(e.code);
    if (c < 0 || !target) return false;
    msg.hwnd = target->GetHandle();
    msg.message = WM_CHAR;
    msg.wParam = WPARAM(c);
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
  bool alt = keys_[VK_MENU];
  msg.hwnd = target->GetHandle();
  msg.message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
  msg.wParam = vk;
  LPARAM lp = 1;
  if (Is_Extended_Key(vk) && !e.keypad) lp |= Key_Extended;
  if (!down || was_down || e.repeat) lp |= Key_Previous_Down;
  if (!down) lp |= Key_Released;
  if (down && !e.translate) lp |= Key_No_Translate;
  msg.lParam = lp;
  return true;
}

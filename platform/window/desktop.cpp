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
// window tree; focus, activation and capture. Input, the pointer and the
// cursor are in desktop_input.cpp.

namespace {

std::unique_ptr<TDesktop> the_desktop;

// Timers fire no oftener than every 10 ms, as the desktop's timers do:
// a shorter interval is taken as 10 ms.
constexpr UINT Min_Timer_Interval = 10;

bool Due(uint32_t now, uint32_t due) { return int32_t(now - due) >= 0; }

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
  {
    // Contexts that outlive the window system draw nothing: their drawing
    // would be reported to a screen that is gone.
    std::lock_guard guard(bindings_lock_);
    for (const TLive_Binding& b : bindings_)
      if (auto live = b.binding.lock()) live->Invalidate();
  }
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

void TDesktop::Request_End() {
  end_requested_ = true;
  backend_->Wake();
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
  // Posted messages come before input: the machine is asked for input only
  // when none wait (a burst of posts does not poll the machine each time).
  {
    std::lock_guard guard(posted_lock_);
    if (!posted_.empty()) {
      msg = posted_.front();
      posted_.pop_front();
      return true;
    }
  }
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
  if (screen_->Has_Changes()) {
    // Drawing by other threads is shown at most at the display's rate.
    uint32_t frame = backend_->Frame_Interval_Ms(), since = Now() - last_present_;
    if (frame == 0 || since >= frame) Present();
    else timeout = std::min(timeout, frame - since);
  }
  if (timeout == 0) return;
  backend_->Wait(timeout);
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
  ++dispatch_depth_;
  bool swallowed = Pre_Dispatch_Hook ? Pre_Dispatch_Hook(msg) : Default_Pre_Dispatch(msg);
  if (!swallowed) {
    Translate(msg);
    Dispatch(msg);
  }
  --dispatch_depth_;
  // Answers to command-enable requests do not start a new idle period, or
  // the requests made at idle would be made again for ever.
  if (msg.message != WM_COMMAND_ENABLE) idle_count_ = 0;
  // A window closed inside a nested loop may still be running a handler of
  // the outer one: condemned windows go only when no handler runs.
  if (dispatch_depth_ > 0) return;
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

void TDesktop::Close_For_The_System() {
  closed_for_the_system_ = true;
  if (Window(main_window_)) {
    MSG msg{};
    msg.hwnd = main_window_;
    msg.message = WM_SYSCOMMAND;
    msg.wParam = SC_CLOSE;
    msg.time = Now();
    msg.pt = cursor_pos_;
    Dispatch_One(msg);
  }
  // A window that still refused (or no main window yet, in start-up):
  // the run ends all the same.
  if (!Quit_Pending()) Post_Quit(0);
}

TDesktop::TLoop_End TDesktop::Run_Loop(const std::function<bool()>& done) {
  // The main loop is the one without an end of its own: a system's request
  // to end leaves every other loop, and the main loop then closes the run.
  auto ending = [&] {
    if (!end_requested_) return false;
    if (done) return true;
    if (!closed_for_the_system_) Close_For_The_System();
    return false;
  };
  for (;;) {
    if (done && done()) return TLoop_End::Done;
    if (ending()) return TLoop_End::Quit;
    MSG msg;
    bool handled = false;
    while (Peek(msg)) {
      if (msg.message == WM_QUIT && !msg.hwnd) return TLoop_End::Quit;  // stays pending
      Dispatch_One(msg);
      handled = true;
      if (done && done()) return TLoop_End::Done;
      if (ending()) return TLoop_End::Quit;
    }
    if (handled || backend_->Frame_Interval_Ms() == 0) Present();
    if (Idle()) continue;
    if (done && done()) return TLoop_End::Done;
    Wait_For_Work();
  }
}

bool TDesktop::Pump_Waiting_Messages() {
  MSG msg;
  while (!end_requested_ && Peek(msg)) {
    if (msg.message == WM_QUIT && !msg.hwnd) return false;
    Dispatch_One(msg);
  }
  if (end_requested_) return false;
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
  std::lock_guard tree(tree_lock_);
  bool topmost = w->Attr.ExStyle & WS_EX_TOPMOST;
  auto it = top_levels_.begin();
  if (!topmost)
    while (it != top_levels_.end() && ((*it)->Attr.ExStyle & WS_EX_TOPMOST)) ++it;
  top_levels_.insert(it, w);
}

void TDesktop::Remove_Top_Level(TWindow* w) {
  std::lock_guard tree(tree_lock_);
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
  w->RedrawWindow(&now, true);
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

void TDesktop::Update_Windows() {
  std::vector<TWindow*> painted;
  while (TWindow* w = Take_Paint()) {
    // A window whose paint leaves it invalid is not painted again here.
    if (std::find(painted.begin(), painted.end(), w) != painted.end()) return;
    painted.push_back(w);
    Send(w->GetHandle(), WM_PAINT, 0, 0);
  }
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
  Drop_Bindings(w);
  Remove_Top_Level(w);
  if (main_window_ == h) main_window_ = HWND();
  if (active_ == h) {
    active_ = HWND();
    TWindow* next = nullptr;
    if (w->Parent && w->Parent->IsWindow() && !w->Parent->in_destroy_) next = w->Parent->Top_Level();
    // An owner that is hidden (help that raised a box as it closed) leaves
    // the activation to the window in front.
    if (next && !next->IsWindowVisible()) next = nullptr;
    for (auto it = top_levels_.begin(); !next && it != top_levels_.end(); ++it)
      if ((*it)->IsWindowVisible() && (*it)->IsWindowEnabled()) next = *it;
    if (next) Activate(next);
  }
  Layout_Changed();
}

void TDesktop::Drop_Bindings(const TWindow* w) {
  std::lock_guard guard(bindings_lock_);
  for (TLive_Binding& b : bindings_) {
    if (b.window != w) continue;
    if (auto live = b.binding.lock()) live->Invalidate();
    b.window = nullptr;
  }
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
    // A window disabled under a modal dialog (a message box at start-up)
    // takes neither the focus nor the activation: the keys stay with the
    // dialog.
    if (!top->IsWindowEnabled() && active_ && active_ != top->GetHandle()) return HWND();
    if (Held_By_Modal(top)) return HWND();
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
  // Behind a running box, the box comes forward instead.
  if (top && Held_By_Modal(top)) top = Modal_Box();
  HWND h = top ? top->GetHandle() : HWND();
  if (active_ == h) return;
  HWND old = active_;
  active_ = h;
  if (top) Raise(top);
  if (old && Window(old)) Send(old, WM_ACTIVATE, WA_INACTIVE, LPARAM(h.Value()));
  if (top && active_ == h) Send(h, WM_ACTIVATE, WA_ACTIVE, LPARAM(old.Value()));
}

// ---- Modal boxes

void TDesktop::Begin_Modal(TWindow* box) { modal_boxes_.push_back(box->GetHandle()); }

void TDesktop::End_Modal(HWND box) {
  auto it = std::find(modal_boxes_.rbegin(), modal_boxes_.rend(), box);
  if (it != modal_boxes_.rend()) modal_boxes_.erase(std::next(it).base());
}

TWindow* TDesktop::Modal_Box() const {
  for (auto it = modal_boxes_.rbegin(); it != modal_boxes_.rend(); ++it)
    if (TWindow* box = Window(*it)) return box;
  return nullptr;
}

bool TDesktop::Held_By_Modal(const TWindow* w) const {
  const TWindow* box = Modal_Box();
  if (!box || !w) return false;
  for (const TWindow* owner = w; owner; owner = owner->Parent)
    if (owner == box) return false;
  // A window in front of the box was shown over it since it began.
  const TWindow* top = w;
  while (top->Is_Child() && top->Parent) top = top->Parent;
  for (const TWindow* t : top_levels_) {
    if (t == box) return true;
    if (t == top) return false;
  }
  return true;
}

bool TDesktop::Give_Keys_Back(HWND had_keys) {
  TWindow* before = Window(had_keys);
  if (!before || !before->IsWindowVisible() || !before->Takes_Input() || Held_By_Modal(before)) return false;
  Set_Focus(had_keys);
  return true;
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

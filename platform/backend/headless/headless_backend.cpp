#include "platform/backend/headless/headless_backend.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/png_writer.h"
#include "platform/window/cursor.h"
#include "platform/window/screen.h"

THeadless_Backend::THeadless_Backend(TSize screen)
    : size_(screen),
      screen_copy_(size_t(screen.cx) * screen.cy, 0),
      presented_(size_t(screen.cx) * screen.cy, 0) {}

void THeadless_Backend::Poll(std::vector<TInput_Event>& out) {
  std::lock_guard guard(lock_);
  while (!injected_.empty()) {
    out.push_back(injected_.front());
    injected_.pop_front();
  }
}

void THeadless_Backend::Wait(uint32_t timeout_ms) {
  std::unique_lock guard(lock_);
  if (wake_pending_ || !injected_.empty()) {
    wake_pending_ = false;
    return;
  }
  if (timeout_ms != UINT32_MAX) {
    // Nothing can happen before the deadline but the deadline itself.
    guard.unlock();
    clock_.Advance(timeout_ms);
    return;
  }
  // Only another thread can end this wait.
  bool woken = woken_.wait_for(guard, std::chrono::milliseconds(stuck_limit_ms_),
                               [&] { return wake_pending_ || !injected_.empty(); });
  if (!woken) {
    std::fprintf(stderr, "headless backend: the loop waits for ever (nothing can wake it)\n");
    std::abort();
  }
  wake_pending_ = false;
}

void THeadless_Backend::Wake() {
  {
    std::lock_guard guard(lock_);
    wake_pending_ = true;
  }
  woken_.notify_all();
}

void THeadless_Backend::Present(const TScreen& screen, const std::vector<TRect>& changed,
                                const TCursor_Image* cursor, TPoint cursor_pos) {
  ++present_count_;
  last_changed_ = changed;
  const TSurface& s = *screen.Surface();
  for (const TRect& r : changed) {
    TRect c = r.Intersection(screen.Bounds());
    for (int y = c.top; y < c.bottom; ++y)
      std::memcpy(&screen_copy_[size_t(y) * size_.cx + c.left], s.Row32(y) + c.left, size_t(c.Width()) * 4);
  }
  presented_ = screen_copy_;
  if (cursor) cursor->Draw_Over(presented_.data(), size_.cx, size_.cy, size_.cx, cursor_pos);
}

void THeadless_Backend::Inject(const TInput_Event& event) {
  {
    std::lock_guard guard(lock_);
    injected_.push_back(event);
    using K = TInput_Event::Kind;
    if (event.kind == K::Mouse_Move || event.kind == K::Button_Down || event.kind == K::Button_Up)
      pointer_ = event.point;
  }
  woken_.notify_all();
}

void THeadless_Backend::Warp_Pointer(TPoint p) {
  std::lock_guard guard(lock_);
  warped_to_ = pointer_ = p;
}

void THeadless_Backend::Warp_Pointer_From(TPoint from, TPoint to) {
  std::lock_guard guard(lock_);
  if (pointer_ == from) warped_to_ = pointer_ = to;
}

TPoint THeadless_Backend::Pointer() {
  std::lock_guard guard(lock_);
  return pointer_;
}

void THeadless_Backend::Hand_To(TPoint p) {
  std::lock_guard guard(lock_);
  pointer_ = p;
}

void THeadless_Backend::Move_To(TPoint p) {
  TInput_Event e;
  e.kind = TInput_Event::Kind::Mouse_Move;
  e.point = p;
  Inject(e);
}

void THeadless_Backend::Press(TPoint p, uint8_t button) {
  TInput_Event e;
  e.kind = TInput_Event::Kind::Button_Down;
  e.point = p;
  e.button = button;
  Inject(e);
}

void THeadless_Backend::Release(TPoint p, uint8_t button) {
  TInput_Event e;
  e.kind = TInput_Event::Kind::Button_Up;
  e.point = p;
  e.button = button;
  Inject(e);
}

void THeadless_Backend::Click(TPoint p, uint8_t button) {
  Move_To(p);
  Press(p, button);
  Release(p, button);
}

void THeadless_Backend::Key_Down(uint32_t vk, bool repeat) {
  TInput_Event e;
  e.kind = TInput_Event::Kind::Key_Down;
  e.code = vk;
  e.repeat = repeat;
  Inject(e);
}

void THeadless_Backend::Key_Up(uint32_t vk) {
  TInput_Event e;
  e.kind = TInput_Event::Kind::Key_Up;
  e.code = vk;
  Inject(e);
}

void THeadless_Backend::Key(uint32_t vk) {
  Key_Down(vk);
  Key_Up(vk);
}

void THeadless_Backend::Leave_Screen(TPoint outside) {
  TInput_Event e;
  e.kind = TInput_Event::Kind::Pointer_Left;
  e.point = outside;
  Inject(e);
}

bool THeadless_Backend::Write_Presented_PNG(const std::string& path) const {
  return Write_PNG_RGB(path, size_.cx, size_.cy, presented_.data(), size_.cx);
}

#include "platform/window/screen.h"

#include <thread>

namespace {

// Above this many rectangles the list collapses into their union: presenting
// a little more is cheaper than walking a long list.
constexpr size_t Max_Changed_Rects = 32;

}  // namespace

TScreen::TScreen(TSize size)
    : surface_(std::make_shared<TSurface>(size.cx, size.cy, 32, false)) {}

void TScreen::Mark_Changed(const TRect& rect) {
  TRect r = rect.Intersection(Bounds());
  if (r.IsEmpty()) return;
  bool first;
  {
    std::lock_guard guard(changed_lock_);
    first = changed_.empty();
    bool merged = false;
    for (TRect& c : changed_) {
      if (c.Contains(r)) {
        merged = true;
        break;
      }
      if (r.Contains(c)) {
        c = r;
        merged = true;
        break;
      }
    }
    if (!merged) changed_.push_back(r);
    if (changed_.size() > Max_Changed_Rects) {
      TRect all;
      for (const TRect& c : changed_) all = all.Union(c);
      changed_.assign(1, all);
    }
    has_changes_.store(true, std::memory_order_release);
  }
  if (first && wake_ && std::this_thread::get_id() != owner_) wake_();
}

std::vector<TRect> TScreen::Take_Changed() {
  std::lock_guard guard(changed_lock_);
  std::vector<TRect> out;
  out.swap(changed_);
  has_changes_.store(false, std::memory_order_release);
  return out;
}

void TScreen::Set_Wake(std::function<void()> wake, std::thread::id owner) {
  std::lock_guard guard(changed_lock_);
  wake_ = std::move(wake);
  owner_ = owner;
}

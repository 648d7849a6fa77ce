// Where a device context draws: a surface, where the context's (0, 0) lies
// on it, which of its pixels the context may touch, and the lock to hold
// while drawing. The window layer makes one binding per window DC on the
// screen and keeps it current (origin when the window moves, the visible
// region when windows above it change, Invalidate when the window is
// destroyed); a memory or DIB context has a private binding without a lock.
//
// How the window layer makes its contexts (screen surface S, screen lock L):
//   auto b = std::make_shared<TDevice_Binding>(S, L);     // one per window
//   b->Set_Origin(client_top_left_on_screen);
//   b->Set_Visible(visible_region_in_screen_pixels);     // after each change
//   TDC client_dc(b);                                      // client / window DC
//   TDC paint_dc(b, &update_region_in_client_pixels);      // paint DC
//   TDC screen_dc(std::make_shared<TDevice_Binding>(S, L), nullptr, true);
//   ... and b->Invalidate() when the window is destroyed.
// A window DC (non-client area included) is a binding whose origin is the
// window's top left instead of its client area's.
//
// The lock is the screen lock: every primitive of every context bound to the
// screen takes it for its duration, so worker threads can draw into window
// contexts while the presenter reads the screen. It is recursive so that a
// caller may hold it across several primitives. The fields below are read
// and written under it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/gdi/geometry.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

class TDevice_Binding {
 public:
  using TLock = std::recursive_mutex;

  // lock may be null for a surface that only one thread uses.
  TDevice_Binding(std::shared_ptr<TSurface> surface, std::shared_ptr<TLock> lock);

  // For the window layer; each takes the lock.
  // Device (0, 0) in surface pixels.
  void Set_Origin(TPoint origin);
  // The surface pixels the context may touch, in surface pixels (the
  // window's visible region on the screen); none means the whole surface.
  void Set_Visible(std::optional<TRegion> visible);
  // From now on every context on this binding draws nothing and reads
  // CLR_INVALID (the window is gone).
  void Invalidate();

  // For device contexts, with the lock held (Lock()).
  TLock* Lock() const { return lock_.get(); }
  bool Is_Valid() const { return valid_; }
  TPoint Origin() const { return origin_; }
  const std::optional<TRegion>& Visible() const { return visible_; }
  const std::shared_ptr<TSurface>& Surface() const { return surface_; }
  // Changes whenever the origin, the visible region or the surface changes.
  uint64_t Generation() const { return generation_; }
  // A memory context's selected bitmap.
  void Set_Surface(std::shared_ptr<TSurface> surface);

  // Called after every primitive drawn through a context on this binding,
  // with the lock held, with the surface pixels it may have touched (the
  // context's clip bounds): the window layer learns of drawing that other
  // threads do on the screen. Set before the binding is shared.
  void Set_Drawn(std::function<void(const TRect&)> drawn) { drawn_ = std::move(drawn); }
  void Drawn(const TRect& touched) const {
    if (drawn_) drawn_(touched);
  }

 private:
  std::shared_ptr<TLock> lock_;
  std::shared_ptr<TSurface> surface_;
  TPoint origin_;
  std::optional<TRegion> visible_;
  bool valid_ = true;
  uint64_t generation_ = 1;
  std::function<void(const TRect&)> drawn_;
};

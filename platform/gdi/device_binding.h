// Where a device context draws: a surface, where the context's (0, 0) lies
// on it, which of its pixels the context may touch, and the lock to hold
// while drawing. The window layer makes one binding per window DC on the
// screen and keeps it current (origin when the window moves, the visible
// region when windows above it change, Invalidate when the window is
// destroyed); a memory or DIB context has a private binding without a lock.
//
// The lock is the screen lock: every primitive of every context bound to the
// screen takes it for its duration, so worker threads can draw into window
// contexts while the presenter reads the screen. It is recursive so that a
// caller may hold it across several primitives. The fields below are read
// and written under it.
#pragma once

#include <atomic>
#include <cstdint>
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

 private:
  std::shared_ptr<TLock> lock_;
  std::shared_ptr<TSurface> surface_;
  TPoint origin_;
  std::optional<TRegion> visible_;
  bool valid_ = true;
  uint64_t generation_ = 1;
};

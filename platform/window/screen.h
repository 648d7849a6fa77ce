// The one screen of the window system: a 32-bit 0x00RRGGBB surface that every
// window draws into through device contexts clipped to its visible region
// (there is no per-window backing store). Drawing marks changed rectangles;
// the backend presents them when the loop has handled what was waiting, or
// promptly when another thread drew.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"

class TScreen {
 public:
  explicit TScreen(TSize size);

  int Width() const { return surface_->Width(); }
  int Height() const { return surface_->Height(); }
  TSize Size() const { return {Width(), Height()}; }
  TRect Bounds() const { return surface_->Bounds(); }
  const std::shared_ptr<TSurface>& Surface() const { return surface_; }
  uint32_t Pixel(int x, int y) const { return surface_->Pixel(x, y); }

  // Held per primitive by every device context that draws on the screen, so
  // that a worker thread can draw into a window while the loop runs.
  std::recursive_mutex& Lock() { return *lock_; }
  const std::shared_ptr<std::recursive_mutex>& Shared_Lock() const { return lock_; }

  // Records a changed rectangle (any thread). When the change comes from a
  // thread other than the loop's, the wake-up callback asks the loop to
  // present it soon.
  void Mark_Changed(const TRect& rect);
  // The changed rectangles since the last call, coalesced; empties the list.
  std::vector<TRect> Take_Changed();
  bool Has_Changes() const { return has_changes_.load(std::memory_order_acquire); }
  void Set_Wake(std::function<void()> wake, std::thread::id owner);

 private:
  std::shared_ptr<TSurface> surface_;
  std::shared_ptr<std::recursive_mutex> lock_ = std::make_shared<std::recursive_mutex>();
  std::mutex changed_lock_;
  std::vector<TRect> changed_;
  std::atomic<bool> has_changes_{false};
  std::function<void()> wake_;
  std::thread::id owner_;
};

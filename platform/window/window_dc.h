// Device contexts on the screen, made by the window system: a window's whole
// area (TWindowDC), its client area (TClientDC), its update region during
// WM_PAINT (TPaintDC) and the whole screen over every window (TScreenDC).
// Each draws straight into the screen, clipped to what of the window is
// visible; a context whose window was destroyed draws nothing.
#pragma once

#include "platform/gdi/dc.h"
#include "platform/window/messages.h"

class TWindow;

class TWindowDC : public TDC {
 public:
  explicit TWindowDC(TWindow& window);
  explicit TWindowDC(HWND hwnd);
  ~TWindowDC() override;

 protected:
  TWindowDC(TWindow* window, bool client, const TRegion* update);
  TWindowDC(HWND hwnd, bool client);
  // The part of the screen this context can have changed (screen pixels);
  // none: all it may touch.
  std::optional<TRect> changed_limit_;
};

class TClientDC : public TWindowDC {
 public:
  explicit TClientDC(TWindow& window);
  explicit TClientDC(HWND hwnd);
};

// BeginPaint and EndPaint: takes the window's update region (validating
// it), has the background erased when asked for, and clips to the region.
class TPaintDC : public TWindowDC {
 public:
  explicit TPaintDC(TWindow& window);
  ~TPaintDC() override;
  // The update region's bounding box in client coordinates.
  TRect& Rect() { return rect_; }
  // True when the background still needs erasing (nobody erased it).
  bool Erase() const { return erase_; }

 private:
  TPaintDC(TWindow& window, std::pair<TRegion, bool> taken);
  TRect rect_;
  bool erase_ = false;
};

class TScreenDC : public TDC {
 public:
  TScreenDC();
  ~TScreenDC() override;
};

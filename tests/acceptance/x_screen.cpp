#include "tests/acceptance/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

X_Screen::X_Screen() : display_(XOpenDisplay(nullptr)) {}

X_Screen::~X_Screen() {
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

std::vector<uint32_t> X_Screen::Pixels(int width, int height) const { return Area(0, 0, width, height); }

std::vector<uint32_t> X_Screen::Area(int left, int top, int width, int height) const {
  Display* display = static_cast<Display*>(display_);
  XImage* image =
      XGetImage(display, DefaultRootWindow(display), left, top, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<uint32_t> out(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out[size_t(y) * size_t(width) + size_t(x)] = uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF;
  XDestroyImage(image);
  return out;
}

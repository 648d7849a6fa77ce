#include "tests/acceptance/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>

namespace {

// A window asked after may be gone by the time the server answers.
int Ignore_Error(Display*, XErrorEvent*) { return 0; }

}  // namespace

X_Screen::X_Screen() : display_(XOpenDisplay(nullptr)) {}

X_Screen::~X_Screen() {
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

bool X_Screen::Keys_Reach_A_Window() const {
  Display* display = static_cast<Display*>(display_);
  if (!display) return false;
  const Window root = DefaultRootWindow(display);
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus == PointerRoot) {
    Window pointer_root = None;
    int root_x = 0, root_y = 0, x = 0, y = 0;
    unsigned int mask = 0;
    focus = None;
    XQueryPointer(display, root, &pointer_root, &focus, &root_x, &root_y, &x, &y, &mask);
  }
  if (focus == None || focus == root) return false;
  const XErrorHandler before = XSetErrorHandler(Ignore_Error);
  XWindowAttributes attributes;
  const bool viewable = XGetWindowAttributes(display, focus, &attributes) && attributes.map_state == IsViewable;
  XSync(display, False);
  XSetErrorHandler(before);
  return viewable;
}

std::vector<uint32_t> X_Screen::Pixels(int width, int height) const { return Area(0, 0, width, height); }

std::vector<uint32_t> X_Screen::Whole() const {
  Display* display = static_cast<Display*>(display_);
  if (!display) return {};
  const int screen = DefaultScreen(display);
  return Area(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
}

void X_Screen::Paint_Bare_Screen(uint32_t rgb) const {
  Display* display = static_cast<Display*>(display_);
  if (!display) return;
  XColor colour{};
  colour.red = uint16_t((rgb >> 16 & 0xFF) * 257);
  colour.green = uint16_t((rgb >> 8 & 0xFF) * 257);
  colour.blue = uint16_t((rgb & 0xFF) * 257);
  XAllocColor(display, DefaultColormap(display, DefaultScreen(display)), &colour);
  XSetWindowBackground(display, DefaultRootWindow(display), colour.pixel);
  XClearWindow(display, DefaultRootWindow(display));
  XSync(display, False);
}

std::vector<uint32_t> X_Screen::Area(int left, int top, int width, int height) const {
  Display* display = static_cast<Display*>(display_);
  XImage* image =
      XGetImage(display, DefaultRootWindow(display), left, top, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<uint32_t> out(size_t(width) * size_t(height));
  // 32-bit pixels in this machine's byte order are read straight from the
  // rows (grabbing frames of an animation must be quick); others pixel by pixel.
  const bool direct = image->bits_per_pixel == 32 && image->byte_order == (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst);
  for (int y = 0; y < height; ++y) {
    uint32_t* row = out.data() + size_t(y) * size_t(width);
    if (direct) {
      std::memcpy(row, image->data + size_t(y) * size_t(image->bytes_per_line), size_t(width) * 4);
      for (int x = 0; x < width; ++x) row[x] &= 0xFFFFFF;
    } else {
      for (int x = 0; x < width; ++x) row[x] = uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF;
    }
  }
  XDestroyImage(image);
  // A screen of a few bits per pixel holds colour-map indices.
  if (DefaultDepth(display, DefaultScreen(display)) <= 8) {
    XColor colors[256];
    for (int i = 0; i < 256; ++i) colors[i].pixel = (unsigned long)i;
    const int count = std::min(256, DisplayCells(display, DefaultScreen(display)));
    XQueryColors(display, DefaultColormap(display, DefaultScreen(display)), colors, count);
    for (uint32_t& p : out)
      if (p < uint32_t(count)) p = uint32_t(colors[p].red >> 8) << 16 | uint32_t(colors[p].green >> 8) << 8 | (colors[p].blue >> 8);
  }
  return out;
}

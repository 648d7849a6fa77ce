#include "platform/backend/sdl/x11_alert.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

#include "platform/window/message_box.h"

namespace {

constexpr int Margin = 16;
constexpr int Button_W = 80;
constexpr int Button_H = 26;

class Alert_Window {
 public:
  Alert_Window(Display* display, const std::string& caption, const std::string& text)
      : display_(display), lines_(Message_Lines(text)) {
    const int screen = DefaultScreen(display_);
    black_ = BlackPixel(display_, screen);
    white_ = WhitePixel(display_, screen);
    font_ = XLoadQueryFont(display_, "fixed");
    line_h_ = font_ ? font_->ascent + font_->descent + 2 : 15;
    int text_w = 0;
    for (const std::string& l : lines_) text_w = std::max(text_w, Text_Width(l));
    width_ = std::max(text_w, Button_W) + 2 * Margin;
    height_ = Margin + int(lines_.size()) * line_h_ + Margin + Button_H + Margin;
    button_ = {(width_ - Button_W) / 2, height_ - Margin - Button_H};
    const int x = std::max(0, (DisplayWidth(display_, screen) - width_) / 2);
    const int y = std::max(0, (DisplayHeight(display_, screen) - height_) / 2);
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), x, y, unsigned(width_), unsigned(height_), 2,
                                  black_, white_);
    XStoreName(display_, window_, caption.c_str());
    delete_atom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &delete_atom_, 1);
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = width_;
    hints.min_height = hints.max_height = height_;
    XSetWMNormalHints(display_, window_, &hints);
    XSelectInput(display_, window_, ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    if (font_) XSetFont(display_, gc_, font_->fid);
  }

  ~Alert_Window() {
    XFreeGC(display_, gc_);
    if (font_) XFreeFont(display_, font_);
    XDestroyWindow(display_, window_);
    XFlush(display_);
  }

  void Run() {
    XMapRaised(display_, window_);
    for (bool done = false; !done;) {
      XEvent e;
      XNextEvent(display_, &e);
      switch (e.type) {
        case MapNotify:
          // The keyboard comes here, so that Return answers at once.
          XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
          break;
        case Expose:
          if (e.xexpose.count == 0) Draw();
          break;
        case KeyPress: done = Answers(XLookupKeysym(&e.xkey, 0)); break;
        case ButtonRelease: done = e.xbutton.button == Button1 && On_Button(e.xbutton.x, e.xbutton.y); break;
        case ClientMessage: done = Atom(e.xclient.data.l[0]) == delete_atom_; break;
        default: break;
      }
    }
  }

 private:
  struct Point {
    int x, y;
  };

  int Text_Width(const std::string& s) const {
    return font_ ? XTextWidth(font_, s.c_str(), int(s.size())) : int(s.size()) * 6;
  }

  static bool Answers(KeySym key) {
    return key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space;
  }

  bool On_Button(int x, int y) const {
    return x >= button_.x && x < button_.x + Button_W && y >= button_.y && y < button_.y + Button_H;
  }

  void Draw() {
    XSetForeground(display_, gc_, white_);
    XFillRectangle(display_, window_, gc_, 0, 0, unsigned(width_), unsigned(height_));
    XSetForeground(display_, gc_, black_);
    const int ascent = font_ ? font_->ascent : 11;
    for (size_t i = 0; i < lines_.size(); ++i)
      XDrawString(display_, window_, gc_, Margin, Margin + int(i) * line_h_ + ascent, lines_[i].c_str(),
                  int(lines_[i].size()));
    // The one answer, black on white with a heavy border: it is the default.
    XSetLineAttributes(display_, gc_, 2, LineSolid, CapButt, JoinMiter);
    XDrawRectangle(display_, window_, gc_, button_.x, button_.y, Button_W - 1, Button_H - 1);
    XSetLineAttributes(display_, gc_, 0, LineSolid, CapButt, JoinMiter);
    const std::string ok = "OK";
    const int font_h = font_ ? font_->ascent + font_->descent : 13;
    XDrawString(display_, window_, gc_, button_.x + (Button_W - Text_Width(ok)) / 2,
                button_.y + (Button_H - font_h) / 2 + ascent, ok.c_str(), int(ok.size()));
    XFlush(display_);
  }

  Display* display_;
  std::vector<std::string> lines_;
  unsigned long black_ = 0, white_ = 1;
  XFontStruct* font_ = nullptr;
  int line_h_ = 15;
  int width_ = 0, height_ = 0;
  Point button_{};
  Window window_ = 0;
  Atom delete_atom_ = 0;
  GC gc_ = nullptr;
};

}  // namespace

bool TX11_Alert::Show(const std::string& caption, const std::string& text) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  {
    Alert_Window alert(display, caption, text);
    alert.Run();
  }
  XCloseDisplay(display);
  return true;
}

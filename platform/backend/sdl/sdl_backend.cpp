#include "platform/backend/sdl/sdl_backend.h"
#include "platform/backend/sdl/x11_alert.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/gdi/code_page_1252.h"
#include "platform/gdi/device_caps.h"
#include "platform/system/clock.h"
#include "platform/system/x11_clipboard.h"
#include "platform/window/cursor.h"
#include "platform/window/messages.h"
#include "platform/window/screen.h"

// Sections: opening; events and keys; waiting; presentation and cursors;
// the rest of the desktop (title, clipboard, screen saver).

namespace {

// The real clock of the machine (the one in use before any is installed).
TClock& Machine_Clock() {
  static TClock& real = TClock::Current();
  return real;
}

// The connection to the X server is gone (the server ended, the session
// with it). Nothing can be shown or asked any more, and every way on talks
// to the display again: Xlib's own handler calls exit, whose handlers
// destroy the windows and wait for the dead server for ever. The process
// ends here, at once, running no exit handler. Nothing on disk is harmed by
// it: every user file is replaced whole, through a temporary file, or not at
// all. Changes not saved yet go with the display: saving them here would run
// the program from inside a failed call to the display, on whichever thread
// made it, with whatever it held.
int Display_Lost(Display*) { _exit(TSDL_Backend::Display_Lost_Exit_Code); }

}  // namespace

// ---- Opening

std::unique_ptr<TSDL_Backend> TSDL_Backend::Open(std::optional<TSize> size) {
  Machine_Clock();
  // Every pixel is drawn by our own code: the window surface goes to the X
  // server as it is (through shared memory), not through a GL texture,
  // which would bring the machine's GL driver into the process for nothing.
  // SDL_FRAMEBUFFER_ACCELERATION in the environment still overrides it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The system's requests to end (SIGTERM, SIGINT) are the program's to
  // catch: made into a close by SDL they would be input, which a box holds.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return nullptr;
  SDL_Rect usable{0, 0, 1024, 768};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) SDL_GetDisplayBounds(0, &usable);
  // Shown with the first presentation, which shows the whole screen.
  Uint32 flags = SDL_WINDOW_HIDDEN;
  SDL_Rect place = usable;
  if (size) {
    place = {usable.x, usable.y, size->cx, size->cy};
  } else {
    flags |= SDL_WINDOW_BORDERLESS;
  }
  SDL_Window* window = SDL_CreateWindow("Quendar", place.x, place.y, place.w, place.h, flags);
  if (!window) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    return nullptr;
  }
  std::unique_ptr<TSDL_Backend> backend(new TSDL_Backend(window, {place.w, place.h}));
  SDL_DisplayMode mode;
  if (SDL_GetCurrentDisplayMode(0, &mode) == 0) {
    if (mode.refresh_rate > 0) backend->frame_ms_ = uint32_t(std::max(1, 1000 / mode.refresh_rate));
    // The program draws in true colour; the start-up refuses a display that
    // cannot show it, rather than showing a black window. A display SDL
    // has no pixel format for (a 256-colour X screen) is such a display.
    const int bits = int(SDL_BITSPERPIXEL(mode.format));
    TDevice_Caps::Set_Display_Bits(bits > 0 ? bits : 8);
  }
  // Once SDL has made its connection and window, so that this handler is
  // the one in force for every connection of the process.
  if (const char* driver = SDL_GetCurrentVideoDriver(); driver && std::strcmp(driver, "x11") == 0)
    XSetIOErrorHandler(Display_Lost);
  return backend;
}

TSDL_Backend::TSDL_Backend(SDL_Window* window, TSize size) : window_(window), size_(size) {
  wake_event_ = SDL_RegisterEvents(1);
  SDL_StartTextInput();
  SDL_ShowCursor(SDL_ENABLE);
}

TSDL_Backend::~TSDL_Backend() {
  for (auto& [serial, cursor] : cursors_) SDL_FreeCursor(cursor);
  SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

TClock& TSDL_Backend::Clock() { return Machine_Clock(); }

// ---- Events and keys

namespace {

struct TKey {
  uint32_t vk;
  bool keypad;
};

TKey Virtual_Key(const SDL_Keysym& k) {
  SDL_Scancode sc = k.scancode;
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return {VK_NUMPAD1 + uint32_t(sc - SDL_SCANCODE_KP_1), true};
  switch (sc) {
    case SDL_SCANCODE_KP_0: return {VK_NUMPAD0, true};
    case SDL_SCANCODE_KP_PERIOD: return {VK_DECIMAL, true};
    case SDL_SCANCODE_KP_PLUS: return {VK_ADD, true};
    case SDL_SCANCODE_KP_MINUS: return {VK_SUBTRACT, true};
    case SDL_SCANCODE_KP_MULTIPLY: return {VK_MULTIPLY, true};
    case SDL_SCANCODE_KP_DIVIDE: return {VK_DIVIDE, true};
    case SDL_SCANCODE_KP_ENTER: return {VK_RETURN, true};
    default: break;
  }
  SDL_Keycode c = k.sym;
  if (c >= SDLK_a && c <= SDLK_z) return {uint32_t('A' + (c - SDLK_a)), false};
  if (c >= SDLK_0 && c <= SDLK_9) return {uint32_t('0' + (c - SDLK_0)), false};
  if (c >= SDLK_F1 && c <= SDLK_F12) return {VK_F1 + uint32_t(c - SDLK_F1), false};
  switch (c) {
    case SDLK_RETURN: return {VK_RETURN, false};
    case SDLK_ESCAPE: return {VK_ESCAPE, false};
    case SDLK_BACKSPACE: return {VK_BACK, false};
    case SDLK_TAB: return {VK_TAB, false};
    case SDLK_SPACE: return {VK_SPACE, false};
    case SDLK_LEFT: return {VK_LEFT, false};
    case SDLK_RIGHT: return {VK_RIGHT, false};
    case SDLK_UP: return {VK_UP, false};
    case SDLK_DOWN: return {VK_DOWN, false};
    case SDLK_HOME: return {VK_HOME, false};
    case SDLK_END: return {VK_END, false};
    case SDLK_PAGEUP: return {VK_PRIOR, false};
    case SDLK_PAGEDOWN: return {VK_NEXT, false};
    case SDLK_INSERT: return {VK_INSERT, false};
    case SDLK_DELETE: return {VK_DELETE, false};
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return {VK_SHIFT, false};
    case SDLK_LCTRL:
    case SDLK_RCTRL: return {VK_CONTROL, false};
    case SDLK_LALT:
    case SDLK_RALT: return {VK_MENU, false};
    case SDLK_NUMLOCKCLEAR: return {VK_NUMLOCK, false};
    case SDLK_CAPSLOCK: return {VK_CAPITAL, false};
    case SDLK_PAUSE: return {VK_PAUSE, false};
    case SDLK_MINUS: return {VK_OEM_MINUS, false};
    case SDLK_EQUALS: return {VK_OEM_PLUS, false};
    case SDLK_COMMA: return {VK_OEM_COMMA, false};
    case SDLK_PERIOD: return {VK_OEM_PERIOD, false};
    case SDLK_SEMICOLON: return {0xBA, false};
    case SDLK_SLASH: return {0xBF, false};
    case SDLK_BACKQUOTE: return {0xC0, false};
    case SDLK_LEFTBRACKET: return {0xDB, false};
    case SDLK_BACKSLASH: return {0xDC, false};
    case SDLK_RIGHTBRACKET: return {0xDD, false};
    case SDLK_QUOTE: return {0xDE, false};
    default: return {0, false};
  }
}

// Code points of UTF-8 text, skipping malformed bytes.
std::vector<uint32_t> Code_Points(const char* s) {
  std::vector<uint32_t> out;
  const std::string_view text(s);
  for (size_t i = 0; i < text.size();)
    if (const std::optional<char32_t> code_point = Next_Utf8(text, i)) out.push_back(uint32_t(*code_point));
  return out;
}

}  // namespace

void TSDL_Backend::Translate(const SDL_Event& e, std::vector<TInput_Event>& out) {
  using K = TInput_Event::Kind;
  TInput_Event ev;
  switch (e.type) {
    case SDL_MOUSEMOTION:
      ev.kind = K::Mouse_Move;
      ev.point = {e.motion.x, e.motion.y};
      out.push_back(ev);
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      bool down = e.type == SDL_MOUSEBUTTONDOWN;
      ev.kind = down ? K::Button_Down : K::Button_Up;
      ev.point = {e.button.x, e.button.y};
      ev.button = e.button.button == SDL_BUTTON_RIGHT ? TInput_Event::Right
                  : e.button.button == SDL_BUTTON_MIDDLE ? TInput_Event::Middle
                                                         : TInput_Event::Left;
      // Without a window manager nobody else gives the window the keyboard
      // back once another window took it (a refused second start does).
      if (down) Take_Keyboard();
      // Drags go on outside the window while a button is held.
      buttons_down_ = std::max(0, buttons_down_ + (down ? 1 : -1));
      SDL_CaptureMouse(buttons_down_ > 0 ? SDL_TRUE : SDL_FALSE);
      out.push_back(ev);
      return;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      TKey key = Virtual_Key(e.key.keysym);
      if (!key.vk) return;
      ev.kind = e.type == SDL_KEYDOWN ? K::Key_Down : K::Key_Up;
      ev.code = key.vk;
      ev.keypad = key.keypad;
      ev.repeat = e.key.repeat != 0;
      ev.translate = false;  // characters come as text input
      ev.num_lock = (e.key.keysym.mod & KMOD_NUM) ? 1 : 0;
      out.push_back(ev);
      return;
    }
    case SDL_TEXTINPUT:
      for (uint32_t c : Code_Points(e.text.text)) {
        ev.kind = K::Char;
        ev.code = c;
        out.push_back(ev);
      }
      return;
    case SDL_QUIT:
      ev.kind = K::Close;
      out.push_back(ev);
      return;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_LEAVE: {
          int gx = 0, gy = 0, wx = 0, wy = 0;
          SDL_GetGlobalMouseState(&gx, &gy);
          SDL_GetWindowPosition(window_, &wx, &wy);
          ev.kind = K::Pointer_Left;
          ev.point = {gx - wx, gy - wy};
          // Still over the window by the numbers (it left at an edge): push
          // the point just outside so hover logic sees the leave.
          if (ev.point.x >= 0 && ev.point.y >= 0 && ev.point.x < size_.cx && ev.point.y < size_.cy) ev.point = {-1, -1};
          out.push_back(ev);
          return;
        }
        case SDL_WINDOWEVENT_MINIMIZED: ev.kind = K::Minimise; break;
        case SDL_WINDOWEVENT_RESTORED: ev.kind = K::Restore; break;
        case SDL_WINDOWEVENT_FOCUS_LOST: ev.kind = K::Focus_Lost; break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: ev.kind = K::Focus_Gained; break;
        case SDL_WINDOWEVENT_EXPOSED:
          exposed_ = true;
          return;
        default: return;
      }
      out.push_back(ev);
      return;
    default:
      return;
  }
}

void TSDL_Backend::Poll(std::vector<TInput_Event>& out) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) Translate(e, out);
  // The desktop outside drew over us: show the whole screen again. While
  // drawing is under way (the screen has changes not yet presented) the
  // screen is half new, and the presentation that follows shows it whole.
  if (exposed_ && last_screen_) {
    // Workers draw on the screen under its lock; read it under the same lock.
    std::lock_guard guard(*last_screen_->Shared_Lock());
    if (!last_screen_->Has_Changes()) {
      exposed_ = false;
      Copy_To_Window(*last_screen_, {last_screen_->Bounds()});
    }
  }
}

// ---- Waiting

void TSDL_Backend::Wait(uint32_t timeout_ms) {
  // The timeout is in clock time, which a test may have sped up.
  timeout_ms = TClock::Wall_Ms(timeout_ms);
  if (timeout_ms == UINT32_MAX) SDL_WaitEvent(nullptr);
  else SDL_WaitEventTimeout(nullptr, int(std::min<uint32_t>(timeout_ms, 0x7FFFFFFF)));
}

void TSDL_Backend::Wake() {
  SDL_Event e;
  std::memset(&e, 0, sizeof e);
  e.type = wake_event_;
  SDL_PushEvent(&e);
}

// ---- Presentation and cursors

std::vector<TRect> Rects_To_Send(const std::vector<TRect>& changed, const TRect& bounds) {
  std::vector<TRect> out;
  TRect all;
  int64_t area = 0;
  for (const TRect& r : changed) {
    TRect c = r.Intersection(bounds);
    if (c.IsEmpty()) continue;
    out.push_back(c);
    all = all.IsEmpty() ? c : all.Union(c);
    area += int64_t(c.Width()) * c.Height();
  }
  // The display shows each rectangle as it arrives, so a picture sent in
  // pieces can be seen half new; pieces that fill most of their bounding
  // box go as that one box, at little more cost.
  if (out.size() > 1 && area * 4 >= int64_t(all.Width()) * all.Height() * 3) out = {all};
  return out;
}

void TSDL_Backend::Copy_To_Window(const TScreen& screen, const std::vector<TRect>& rects) {
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (!target) return;
  const TSurface& s = *screen.Surface();
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(s.Bits()), s.Width(), s.Height(), 32,
                                                           int(s.Stride()), SDL_PIXELFORMAT_RGB888);
  if (!source) return;
  std::vector<SDL_Rect> sdl_rects;
  for (const TRect& r : Rects_To_Send(rects, screen.Bounds().Intersection({0, 0, target->w, target->h}))) {
    SDL_Rect sr{r.left, r.top, r.Width(), r.Height()};
    SDL_Rect dr = sr;
    SDL_BlitSurface(source, &sr, target, &dr);
    sdl_rects.push_back(sr);
  }
  SDL_FreeSurface(source);
  if (!sdl_rects.empty()) SDL_UpdateWindowSurfaceRects(window_, sdl_rects.data(), int(sdl_rects.size()));
  ++present_count_;
}

void TSDL_Backend::Present(const TScreen& screen, const std::vector<TRect>& changed, const TCursor_Image* cursor,
                           TPoint) {
  last_screen_ = &screen;
  if (!shown_) SDL_ShowWindow(window_);
  if (!shown_ || exposed_) {
    shown_ = true;
    exposed_ = false;
    Copy_To_Window(screen, {screen.Bounds()});
  } else if (!changed.empty()) {
    Copy_To_Window(screen, changed);
  }
  Show_Cursor(cursor);
}

void TSDL_Backend::Show_Cursor(const TCursor_Image* image) {
  if (!image) {
    if (!cursor_hidden_) SDL_ShowCursor(SDL_DISABLE);
    cursor_hidden_ = true;
    return;
  }
  if (cursor_hidden_) SDL_ShowCursor(SDL_ENABLE);
  cursor_hidden_ = false;
  if (image->serial == shown_serial_) return;
  SDL_Cursor* made = nullptr;
  for (auto& [serial, cursor] : cursors_)
    if (serial == image->serial) made = cursor;
  if (!made) {
    // SDL's mono cursors: data = NOT(AND XOR XOR), mask = NOT AND, rows a
    // multiple of 8 pixels wide.
    int w = (image->width + 7) / 8 * 8, h = image->height;
    std::vector<Uint8> data(size_t(w / 8) * h, 0), mask(size_t(w / 8) * h, 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < image->width; ++x) {
        bool a = image->And_Bit(x, y), o = image->Xor_Bit(x, y);
        Uint8 bit = Uint8(0x80 >> (x % 8));
        if (!(a ^ o)) data[size_t(y) * (w / 8) + x / 8] |= bit;
        if (!a) mask[size_t(y) * (w / 8) + x / 8] |= bit;
      }
    made = SDL_CreateCursor(data.data(), mask.data(), w, h, image->hotspot.x, image->hotspot.y);
    if (!made) return;
    cursors_.emplace_back(image->serial, made);
    // Cursors made during drags come and go: keep the newest few.
    while (cursors_.size() > 16 && cursors_.front().first != shown_serial_) {
      SDL_FreeCursor(cursors_.front().second);
      cursors_.erase(cursors_.begin());
    }
  }
  SDL_SetCursor(made);
  shown_serial_ = image->serial;
}

void TSDL_Backend::Wait_Until_Shown() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) XSync(info.info.x11.display, False);
}

uint32_t TSDL_Backend::Window_Pixel(int x, int y) {
  SDL_Surface* s = SDL_GetWindowSurface(window_);
  if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0;
  Uint32 value = 0;
  std::memcpy(&value, static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel,
              std::min<size_t>(sizeof value, s->format->BytesPerPixel));
  Uint8 r, g, b;
  SDL_GetRGB(value, s->format, &r, &g, &b);
  return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

void TSDL_Backend::Warp_Pointer(TPoint p) { SDL_WarpMouseInWindow(window_, p.x, p.y); }

void TSDL_Backend::Warp_Pointer_From(TPoint from, TPoint to) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) {
    Warp_Pointer(to);
    return;
  }
  // The server moves the pointer only if it is inside the one-pixel source
  // rectangle when the request arrives, so no later move of the hand's is
  // undone.
  Display* display = info.info.x11.display;
  const Window window = info.info.x11.window;
  XWarpPointer(display, window, window, from.x, from.y, 1, 1, to.x, to.y);
  XFlush(display);
}

void TSDL_Backend::Confine_Pointer(const TRect& r) {
  if (r.IsEmpty()) {
    SDL_SetWindowMouseRect(window_, nullptr);
    return;
  }
  SDL_Rect rect{r.left, r.top, r.Width(), r.Height()};
  SDL_SetWindowMouseRect(window_, &rect);
}

// ---- The rest of the desktop

namespace {

std::string Utf8_From_1252(const std::string& text) {
  std::string out;
  for (unsigned char b : text) {
    char32_t c = Unicode_From_1252(b);
    if (c < 0x80) out += char(c);
    else if (c < 0x800) out += char(0xC0 | (c >> 6)), out += char(0x80 | (c & 0x3F));
    else out += char(0xE0 | (c >> 12)), out += char(0x80 | ((c >> 6) & 0x3F)), out += char(0x80 | (c & 0x3F));
  }
  return out;
}

}  // namespace

void TSDL_Backend::Set_Title(const std::string& title) { SDL_SetWindowTitle(window_, Utf8_From_1252(title).c_str()); }

void TSDL_Backend::Set_Icon(TSize size, const std::vector<uint32_t>& argb) {
  if (argb.size() != size_t(size.cx) * size.cy || argb.empty()) return;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb.data()), size.cx, size.cy, 32,
                                                         size.cx * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!icon) return;
  SDL_SetWindowIcon(window_, icon);
  SDL_FreeSurface(icon);
}

void TSDL_Backend::Set_Minimised(bool minimised) {
  if (minimised) SDL_MinimizeWindow(window_);
  else SDL_RestoreWindow(window_);
}

bool TSDL_Backend::System_Alert(const std::string& caption, const std::string& text) {
  // On X the box is drawn in the server's own black and white, readable on
  // a display of any depth, and takes the keyboard.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0 && TX11_Alert::Show(caption, text))
    return true;
  return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Utf8_From_1252(caption).c_str(), Utf8_From_1252(text).c_str(),
                                  window_) == 0;
}

void TSDL_Backend::Hold_Screen_Saver(bool hold) {
  if (hold) SDL_DisableScreenSaver();
  else SDL_EnableScreenSaver();
}

void TSDL_Backend::Add_Icon(TSize size, const std::vector<uint32_t>& argb) {
  if (argb.size() != size_t(size.cx) * size.cy || argb.empty()) return;
  // SDL offers one icon; on X11 the window's icon list takes more sizes.
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  // The property's items are longs: width, height, then the pixels.
  std::vector<unsigned long> data = {static_cast<unsigned long>(size.cx), static_cast<unsigned long>(size.cy)};
  data.insert(data.end(), argb.begin(), argb.end());
  XChangeProperty(display, info.info.x11.window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                  PropModeAppend, reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
  XFlush(display);
}

void TSDL_Backend::Take_Keyboard() {
  if (SDL_GetKeyboardFocus() == window_) return;
  SDL_RaiseWindow(window_);
  SDL_SetWindowInputFocus(window_);
}

TClipboard_Service& TSDL_Backend::Picture_Clipboard() {
  if (!picture_clipboard_) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return TClipboard_Service::Failing();
    auto x11 = std::make_unique<TX11_Clipboard>();
    if (!x11->Connected()) return TClipboard_Service::Failing();
    picture_clipboard_ = std::move(x11);
  }
  return *picture_clipboard_;
}

void TSDL_Backend::Set_Clipboard_Text(const std::string& text) { SDL_SetClipboardText(Utf8_From_1252(text).c_str()); }

std::string TSDL_Backend::Clipboard_Text() {
  char* text = SDL_GetClipboardText();
  std::string out;
  if (text) {
    for (uint32_t c : Code_Points(text)) {
      int b = Code_Page_1252_From_Unicode(char32_t(c));
      if (b >= 0) out += char(b);
    }
    SDL_free(text);
  }
  return out;
}

// A headless window system with the interface stores the widgets need (sizes,
// colours, frame painter, pictures, mouse arbiter, hover tip), made in
// start-up order for a screen width, a main window that writes down what its
// widgets tell it, and helpers to drive the mouse and the clock; as a stage
// to hold in any test, or as the base of a widget test.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/gui_colors.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/gdi/memory_dc.h"
#include "tests/toolkit/contact_sheet.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/command_enabler.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "platform/window/user.h"
#include "platform/window/window.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/tip_window.h"
#include "toolkit/toolkit_messages.h"

// The widgets' parent and target: logs commands and private messages,
// keeps every private message it is sent, and answers enable requests from
// a table.
class Target_Window : public TWindow {
 public:
  explicit Target_Window(TSize size) : TWindow(nullptr, "Target") {
    Attr.Style = WS_POPUP | WS_VISIBLE;
    Attr.W = size.cx;
    Attr.H = size.cy;
  }

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg >= WM_USER) Posted.push_back({msg, wp, lp});
    switch (msg) {
      case WM_COMMAND: Log.push_back("command " + std::to_string(LOWORD(wp)) + " " + std::to_string(HIWORD(wp))); return 0;
      case Ext_Key_Message: Log.push_back("key down " + std::to_string(wp) + " from " + std::to_string(lp)); return 0;
      case Ext_Key_Up_Message: Log.push_back("key up " + std::to_string(wp) + " from " + std::to_string(lp)); return 0;
      case Tab_Selected_Message: Log.push_back("tab " + std::to_string(wp) + " " + std::to_string(lp)); return 0;
      case Mouse_Lost_Message: Log.push_back("lost"); return 0;
      default: return TWindow::WindowProc(msg, wp, lp);
    }
  }
  void EvCommandEnable(TCommandEnabler& enabler) override {
    ++Enable_Requests;
    auto it = Enabled.find(enabler.GetId());
    if (it != Enabled.end()) enabler.Enable(it->second);
  }
  void Paint(TDC& dc, bool, TRect&) override {
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
    dc.PatBlt(GetClientRect(), PATCOPY);
  }

  struct Message {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  std::vector<Message> Posted;
  std::vector<std::string> Log;
  std::map<UINT, bool> Enabled;
  int Enable_Requests = 0;
};

// A headless window system of a screen width (height 3/4 of it) with the
// stores the widgets need, made in start-up order, the target window over
// the whole screen and the hover tip; helpers drive the mouse and the clock.
class Widget_Stage {
 public:
  // A screen of 4:3 unless a height is given.
  explicit Widget_Stage(int screen_width = 1024, int screen_height = 0)
      : session(TSize(screen_width, screen_height ? screen_height : screen_width * 3 / 4)),
        sizes(screen_width, screen_height ? screen_height : screen_width * 3 / 4) {
    TDesktop::Current().Pre_Dispatch_Hook = [](MSG& m) {
      if (The_Mouse) The_Mouse->Note_Message(m.message);
      // As the application's loop does: the target and its parents see the
      // message first (a dialog's keys).
      for (TWindow* w = TWindow::From_Handle(m.hwnd); w; w = w->Is_Child() ? w->Parent : nullptr)
        if (w->PreProcessMsg(m)) return true;
      return false;
    };
    parent = new Target_Window(TDesktop::Current().Screen().Size());
    EXPECT_TRUE(parent->Create());
    tip = new Tip_Window(parent);
    EXPECT_TRUE(tip->Create());
    Idle();
  }
  ~Widget_Stage() { delete parent; }

  void Idle() { session.Run_Until_Idle(); }
  // Moves the clock in steps, letting every timer that falls due fire.
  void Advance(uint32_t ms, uint32_t step = 10) {
    for (uint32_t done = 0; done < ms; done += step) session.Advance(std::min(step, ms - done));
  }
  // Mouse actions at screen points.
  void Move(TPoint p) { session.Backend().Move_To(p), Idle(); }
  void Press(TPoint p) { session.Backend().Press(p), Idle(); }
  void Release(TPoint p) { session.Backend().Release(p), Idle(); }
  void Click(TPoint p) {
    session.Backend().Move_To(p);
    Press(p);
    Release(p);
  }
  uint32_t Pixel(TPoint p) { return TDesktop::Current().Screen().Pixel(p.x, p.y); }
  static uint32_t Xrgb(TColor c) { return Palette_Color_To_RGB(c, *The_GUI_Colors->Palette).Xrgb(); }
  int Size(int index) const { return sizes[index]; }

  THeadless_Session session;
  GUI_Sizes sizes;
  GUI_Colors colors;
  Round_Border border;
  GUI_Metafiles metafiles;
  GUI_Bitmaps bitmaps;
  Mouse mouse;
  Target_Window* parent = nullptr;
  Tip_Window* tip = nullptr;
};

// A test on a widget stage of the 800 column (or another width), with the
// stage's parts under the names the widget tests use.
class Widget_Test : public testing::Test, public Widget_Stage {
 protected:
  explicit Widget_Test(int screen_width = 800) : Widget_Stage(screen_width) {}

  TDesktop& Desk() { return TDesktop::Current(); }
  void Run_Until_Idle() { Idle(); }
  uint32_t Screen_Pixel(int x, int y) { return Pixel({x, y}); }
  static uint32_t Scheme_Xrgb(int i) { return Xrgb(The_GUI_Colors->Scheme[size_t(i)]); }
  // The screen's pixels inside rect, row by row.
  std::vector<uint32_t> Screen_Pixels(const TRect& r) {
    std::vector<uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) out.push_back(Screen_Pixel(x, y));
    return out;
  }
  // Whether the screen under w shows face (only where inside(x, y) holds, in
  // the window's coordinates).
  template <class Inside = bool (*)(int, int)>
  bool Screen_Shows(const TWindow& w, const TBitmap& face, Inside inside = [](int, int) { return true; }) {
    const TRect r = w.GetWindowRect();
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x)
        if (inside(x, y) && Screen_Pixel(r.left + x, r.top + y) != face.Surface()->Pixel(x, y)) return false;
    return true;
  }
  // Creates a widget, lets it settle and forgets what it sent.
  template <class Widget>
  Widget* Made(Widget* w) {
    EXPECT_TRUE(w->Create());
    Run_Until_Idle();
    Take_Log();
    return w;
  }
  std::vector<std::string> Take_Log() {
    std::vector<std::string> log;
    log.swap(main->Log);
    return log;
  }
  int Sizes(int index) const { return Size(index); }

  THeadless_Backend* headless = &session.Backend();
  GUI_Bitmaps* bitmaps = &(Widget_Stage::bitmaps);
  Mouse* mouse = &(Widget_Stage::mouse);
  Target_Window* main = parent;
};

// Widget sheets are contact sheets that also take parts of the screen.
using Widget_Sheet = Contact_Sheet;

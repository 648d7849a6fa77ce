// A headless window system with the interface stores the widgets need (sizes,
// colours, frame painter, pictures, mouse arbiter, hover tip), made in
// start-up order for one of the design screens, a main window that writes
// down what its widgets tell it, and helpers to drive the mouse and the
// clock and to leave pictures.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/gui_colors.h"
#include "platform/backend/headless/headless_backend.h"
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

// The widgets' parent and target: logs commands and private messages and
// answers enable requests from a table.
class Target_Window : public TWindow {
 public:
  explicit Target_Window(TSize size) : TWindow(nullptr, "Target") {
    Attr.Style = WS_POPUP | WS_VISIBLE;
    Attr.W = size.cx;
    Attr.H = size.cy;
  }

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
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

  std::vector<std::string> Log;
  std::map<UINT, bool> Enabled;
  int Enable_Requests = 0;
};

class Widget_Test : public testing::Test {
 protected:
  explicit Widget_Test(int screen_width = 800) : screen_width_(screen_width) {}

  void SetUp() override {
    const TSize screen(screen_width_, screen_width_ * 3 / 4);
    auto backend = std::make_unique<THeadless_Backend>(screen);
    headless = backend.get();
    TDesktop::Start(std::move(backend));
    sizes = std::make_unique<GUI_Sizes>(screen.cx, screen.cy);
    colors = std::make_unique<GUI_Colors>();
    border = std::make_unique<Round_Border>();
    metafiles = std::make_unique<GUI_Metafiles>();
    bitmaps = std::make_unique<GUI_Bitmaps>();
    mouse = std::make_unique<Mouse>();
    TDesktop::Current().Pre_Dispatch_Hook = [](MSG& m) {
      if (The_Mouse) The_Mouse->Note_Message(m.message);
      return false;
    };
    main = new Target_Window(screen);
    ASSERT_TRUE(main->Create());
    tip = new Tip_Window(main);
    ASSERT_TRUE(tip->Create());
    Run_Until_Idle();
  }
  void TearDown() override {
    delete main;
    mouse.reset();
    bitmaps.reset();
    metafiles.reset();
    border.reset();
    colors.reset();
    sizes.reset();
    TDesktop::Stop();
  }

  TDesktop& Desk() { return TDesktop::Current(); }
  void Run_Until_Idle() { Desk().Run_Until_Idle(); }
  // Moves the clock in steps, letting every timer that falls due fire.
  void Advance(uint32_t ms, uint32_t step = 10) {
    for (uint32_t done = 0; done < ms; done += step) {
      headless->Virtual_Clock().Advance(std::min(step, ms - done));
      Run_Until_Idle();
    }
  }
  void Move(TPoint p) {
    headless->Move_To(p);
    Run_Until_Idle();
  }
  void Press(TPoint p) {
    headless->Press(p);
    Run_Until_Idle();
  }
  void Release(TPoint p) {
    headless->Release(p);
    Run_Until_Idle();
  }
  uint32_t Screen_Pixel(int x, int y) { return Desk().Screen().Pixel(x, y); }
  static uint32_t Scheme_Xrgb(int i) {
    return Palette_Color_To_RGB(The_GUI_Colors->Scheme[size_t(i)], *The_GUI_Colors->Palette).Xrgb();
  }
  // The screen's pixels inside rect, row by row.
  std::vector<uint32_t> Screen_Pixels(const TRect& r) {
    std::vector<uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) out.push_back(Screen_Pixel(x, y));
    return out;
  }
  std::vector<std::string> Take_Log() {
    std::vector<std::string> log;
    log.swap(main->Log);
    return log;
  }
  int Sizes(int index) const { return (*sizes)[index]; }

  THeadless_Backend* headless = nullptr;
  std::unique_ptr<GUI_Sizes> sizes;
  std::unique_ptr<GUI_Colors> colors;
  std::unique_ptr<Round_Border> border;
  std::unique_ptr<GUI_Metafiles> metafiles;
  std::unique_ptr<GUI_Bitmaps> bitmaps;
  std::unique_ptr<Mouse> mouse;
  Target_Window* main = nullptr;
  Tip_Window* tip = nullptr;

 private:
  int screen_width_;
};

// Widget sheets are contact sheets that also take parts of the screen.
using Widget_Sheet = Contact_Sheet;

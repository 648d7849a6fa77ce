// A headless window system with the stores the colour tools stand on
// (sizes, colours, frame painter, pictures, mouse arbiter, hover tip and
// the crayon), made in start-up order for a screen width, and a plain
// parent window that writes down the messages its panels post.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/color_wheel_table.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "platform/window/window.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/tip_window.h"
#include "workspace/fill_pointer.h"

class Panel_Parent : public TWindow {
 public:
  explicit Panel_Parent(TSize size) : TWindow(nullptr, "Parent") {
    Attr.Style = WS_POPUP | WS_VISIBLE;
    Attr.W = size.cx;
    Attr.H = size.cy;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg >= WM_USER) {
      Posted.push_back({msg, wp, lp});
      return 0;
    }
    return TWindow::WindowProc(msg, wp, lp);
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
};

class Colours_Stage {
 public:
  explicit Colours_Stage(int screen_width = 1024)
      : session(TSize(screen_width, screen_width * 3 / 4)),
        sizes(screen_width, screen_width * 3 / 4),
        colors(),
        border() {
    TDesktop::Current().Pre_Dispatch_Hook = [](MSG& m) {
      if (The_Mouse) The_Mouse->Note_Message(m.message);
      return false;
    };
    parent = new Panel_Parent(TSize(screen_width, screen_width * 3 / 4));
    EXPECT_TRUE(parent->Create());
    tip = new Tip_Window(parent);
    EXPECT_TRUE(tip->Create());
    Idle();
  }
  ~Colours_Stage() {
    pointer.reset();
    delete parent;
  }

  void Idle() { session.Run_Until_Idle(); }
  void Advance(uint32_t ms, uint32_t step = 11) {
    for (uint32_t done = 0; done < ms; done += step) session.Advance(std::min(step, ms - done));
  }
  // Mouse actions at screen points.
  void Move(TPoint p) {
    session.Backend().Move_To(p);
    Idle();
  }
  void Click(TPoint p) {
    session.Backend().Move_To(p);
    session.Backend().Press(p);
    Idle();
    session.Backend().Release(p);
    Idle();
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
  DIB_Allocator pool{2, 5, sizes[10]};
  std::unique_ptr<Fill_Pointer> pointer = std::make_unique<Fill_Pointer>();
  Panel_Parent* parent = nullptr;
  Tip_Window* tip = nullptr;
};

// The three design screens.
inline const int Design_Widths[] = {640, 800, 1024};

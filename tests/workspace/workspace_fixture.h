// The drawing window in a headless window system on the virtual clock, with
// the stores it needs made in start-up order, a plain parent that writes down
// what it is posted, the level-1 "Five" manipulator and a filled square to
// start from, and the pictures that rendering straight through the model
// gives, to hold the window's pictures against.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/affine_transform_2d.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/window/desktop.h"
#include "platform/window/window.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/tip_window.h"
#include "workspace/drawing_window.h"

class Parent_Window : public TWindow {
 public:
  explicit Parent_Window(TSize size) : TWindow(nullptr, "Main") {
    Attr.Style = WS_POPUP | WS_VISIBLE;
    Attr.W = size.cx;
    Attr.H = size.cy;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg >= WM_USER) Posted.push_back({msg, wp});
    return TWindow::WindowProc(msg, wp, lp);
  }
  std::vector<std::pair<UINT, WPARAM>> Posted;
};

using Map_Row = std::array<float, 6>;  // a, b, c, d, e, f

inline std::shared_ptr<const Transform_Set_2D> Make_Set(std::initializer_list<Map_Row> rows, int32_t step = 0) {
  auto set = std::make_shared<Transform_Set_2D>();
  for (const Map_Row& r : rows) {
    auto map = std::make_unique<Affine_Transform_2D>(r[0], r[1], r[4], r[2], r[3], r[5]);
    map->Color_Step = step;
    set->Add_Map(std::move(map));
  }
  return set;
}

inline std::shared_ptr<const Transform_Set_2D> Five() {
  return Make_Set({{0.3333f, 0, 0, 0.3333f, 0, 0.6667f},
                   {0.3333f, 0, 0, 0.3333f, 0.6667f, 0.6667f},
                   {0.3333f, 0, 0, 0.3333f, 0.6667f, 0},
                   {0.3333f, 0, 0, 0.3333f, 0, 0},
                   {0.3333f, 0, 0, 0.3333f, 0.3333f, 0.3333f}});
}

class Drawing_Window_Test : public testing::Test {
 protected:
  void SetUp() override {
    sizes = std::make_unique<GUI_Sizes>(1024, 768);
    colors = std::make_unique<GUI_Colors>();
    pool = std::make_unique<DIB_Allocator>(2, 5, Side());
    border = std::make_unique<Round_Border>();
    metafiles = std::make_unique<GUI_Metafiles>();
    bitmaps = std::make_unique<GUI_Bitmaps>();
    mouse = std::make_unique<Mouse>();
    TDesktop::Current().Pre_Dispatch_Hook = [](MSG& m) {
      if (The_Mouse) The_Mouse->Note_Message(m.message);
      return false;
    };
    main = new Parent_Window(TSize(1024, 768));
    ASSERT_TRUE(main->Create());
    tip = new Tip_Window(main);
    ASSERT_TRUE(tip->Create());
    const int w = Side() + 2 * (*sizes)[22];
    window = new Drawing_Window(main, TRect(Origin.x, Origin.y, Origin.x + w, Origin.y + w));
    ASSERT_TRUE(window->Create());
    window->input_enabled = true;
    session.Run_Until_Idle();
  }
  void TearDown() override {
    delete main;
    mouse.reset();
    bitmaps.reset();
    metafiles.reset();
    border.reset();
    pool.reset();
    colors.reset();
    sizes.reset();
  }

  int Side() const { return (*sizes)[Drawing_Side_Size]; }

  // A blank picture with the drawing area filled in colour.
  std::unique_ptr<Shape_Drawing> Filled_Square(TColor color = TColor(200, 30, 30)) {
    auto picture = std::make_unique<Shape_Drawing>(Side(), Side(), colors->Palette.get(), TColor(255, 255, 255));
    picture->Paint_Shape(Square_Shape(), window->geometry.area_rel, color, TColor(No_Color));
    return picture;
  }
  // The palette's own colour nearest to c, so that cycles find its pixels.
  TColor In_Palette(TColor c) const {
    TPalette_Entry e;
    colors->Palette->GetPaletteEntry(colors->Palette->GetNearestPaletteIndex(c), e);
    return TColor(e.peRed, e.peGreen, e.peBlue);
  }
  // A wide upright block in the left part of the area.
  std::unique_ptr<Shape_Drawing> Block() {
    auto picture = std::make_unique<Shape_Drawing>(Side(), Side(), colors->Palette.get(), TColor(255, 255, 255));
    const TRect a = window->geometry.area_rel;
    picture->Paint_Shape(Square_Shape(),
                         TRect(a.left + a.Width() / 10, a.top + a.Height() / 5, a.left + a.Width() * 2 / 5,
                               a.bottom - a.Height() / 5),
                         TColor(0, 0, 200), TColor(No_Color));
    return picture;
  }
  static const Shape& Square_Shape() {
    static const ::Square square;
    return square;
  }

  void Click(TPoint screen) {
    session.Backend().Press(screen);
    session.Run_Until_Idle();
    session.Backend().Release(screen);
    session.Run_Until_Idle();
  }
  void Click_Corner(Round_Window& w, int corner) { Click(w.Corner_Screen_Point(corner)); }
  // Lets timer 1 fire until the run ends (or ticks run out).
  void Run_To_End(uint32_t step_ms = 50, int ticks = 2000) {
    for (int i = 0; i < ticks && window->Is_Iterating(); ++i) session.Advance(step_ms);
  }
  // A copy of a picture with its pixels, packed or not.
  static std::unique_ptr<Shape_Drawing> Pixels_Of(const Shape_Drawing& picture) {
    return std::make_unique<Shape_Drawing>(picture, true);
  }
  static bool Same(const Shape_Drawing& a, const Shape_Drawing& b) {
    auto x = Pixels_Of(a), y = Pixels_Of(b);
    return x->Same_Pixels(*y);
  }
  // Every picture of the history, oldest first, then the current one.
  std::vector<std::unique_ptr<Shape_Drawing>> All_Pictures() {
    std::vector<std::unique_ptr<Shape_Drawing>> out;
    for (auto it = window->history.rbegin(); it != window->history.rend(); ++it) out.push_back(Pixels_Of(*it->picture));
    out.push_back(Pixels_Of(*window->current.picture));
    return out;
  }

  THeadless_Session session;
  std::unique_ptr<GUI_Sizes> sizes;
  std::unique_ptr<GUI_Colors> colors;
  std::unique_ptr<DIB_Allocator> pool;
  std::unique_ptr<Round_Border> border;
  std::unique_ptr<GUI_Metafiles> metafiles;
  std::unique_ptr<GUI_Bitmaps> bitmaps;
  std::unique_ptr<Mouse> mouse;
  Parent_Window* main = nullptr;
  Tip_Window* tip = nullptr;
  Drawing_Window* window = nullptr;
  const TPoint Origin{200, 80};
};

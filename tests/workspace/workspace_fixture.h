// The drawing window in a headless window system on the virtual clock, with
// the stores it needs made in start-up order, a plain parent that writes down
// what it is posted, the level-1 "Five" manipulator and a filled square to
// start from, and the pictures that rendering straight through the model
// gives, to hold the window's pictures against.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/affine_transform_2d.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"
#include "tests/workspace/colours_stage.h"
#include "workspace/drawing_window.h"

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
  const float t = 0.3333f, u = 0.6667f;
  return Make_Set({{t, 0, 0, t, 0, u}, {t, 0, 0, t, u, u}, {t, 0, 0, t, u, 0}, {t, 0, 0, t, 0, 0}, {t, 0, 0, t, t, t}});
}

class Drawing_Window_Test : public testing::Test {
 protected:
  void SetUp() override {
    const int w = Side() + 2 * stage.Size(22);
    window = new Drawing_Window(main, TRect(Origin.x, Origin.y, Origin.x + w, Origin.y + w));
    ASSERT_TRUE(window->Create());
    window->input_enabled = true;
    session.Run_Until_Idle();
  }

  int Side() const { return stage.Size(Drawing_Side_Size); }

  // A blank picture with rect filled in colour: the whole drawing area, or a
  // wide upright block in the left part of it.
  std::unique_ptr<Shape_Drawing> Painted(TRect rect, TColor color) {
    auto picture = std::make_unique<Shape_Drawing>(Side(), Side(), colors->Palette.get(), TColor(255, 255, 255));
    picture->Paint_Shape(Square_Shape(), rect, color, TColor(No_Color));
    return picture;
  }
  std::unique_ptr<Shape_Drawing> Filled_Square(TColor color = TColor(200, 30, 30)) {
    return Painted(window->geometry.area_rel, color);
  }
  std::unique_ptr<Shape_Drawing> Block() {
    const TRect a = window->geometry.area_rel;
    const int w = a.Width(), h = a.Height();
    return Painted(TRect(a.left + w / 10, a.top + h / 5, a.left + w * 2 / 5, a.bottom - h / 5), TColor(0, 0, 200));
  }
  // The palette's own colour nearest to c, so that cycles find its pixels.
  TColor In_Palette(TColor c) const {
    TPalette_Entry e;
    colors->Palette->GetPaletteEntry(colors->Palette->GetNearestPaletteIndex(c), e);
    return TColor(e.peRed, e.peGreen, e.peBlue);
  }
  static const Shape& Square_Shape() {
    static const ::Square square;
    return square;
  }

  void Click(TPoint screen) { stage.Press(screen), stage.Release(screen); }
  void Click_Corner(Round_Window& w, int corner) { Click(w.Corner_Screen_Point(corner)); }
  // Lets timer 1 fire until the run ends (or ticks run out).
  void Run_To_End(uint32_t step_ms = 50, int ticks = 2000) {
    for (int i = 0; i < ticks && window->Is_Iterating(); ++i) session.Advance(step_ms);
  }
  // A copy of a picture with its pixels, packed or not.
  static std::unique_ptr<Shape_Drawing> Pixels_Of(const Shape_Drawing& picture) {
    return std::make_unique<Shape_Drawing>(picture, true);
  }
  static bool Same(const Shape_Drawing& a, const Shape_Drawing& b) { return Pixels_Of(a)->Same_Pixels(*Pixels_Of(b)); }
  // Every picture of the history, oldest first, then the current one.
  std::vector<std::unique_ptr<Shape_Drawing>> All_Pictures() {
    std::vector<std::unique_ptr<Shape_Drawing>> out;
    for (auto it = window->history.rbegin(); it != window->history.rend(); ++it) out.push_back(Pixels_Of(*it->picture));
    out.push_back(Pixels_Of(*window->current.picture));
    return out;
  }

  Colours_Stage stage;
  THeadless_Session& session = stage.session;
  GUI_Colors* colors = &stage.colors;
  Mouse* mouse = &stage.mouse;
  Target_Window* main = stage.parent;
  Drawing_Window* window = nullptr;
  const TPoint Origin{200, 80};
};

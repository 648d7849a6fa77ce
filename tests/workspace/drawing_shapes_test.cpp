// Shapes, fills and the eraser in the drawing window, with the crayon and
// the eraser in place: every palette shape in the whole area and into a
// piece held against painting straight through the model, fills where a
// click lands, taking back in order, handles, corners, and a window that
// goes while it holds the mouse and the eraser.
#include "model/color_wheel_table.h"
#include "model/notched_square.h"
#include "model/shape_catalogue.h"
#include "tests/workspace/workspace_fixture.h"
#include "workspace/eraser.h"
#include "workspace/fill_pointer.h"
#include "workspace/shape_palette.h"

namespace {

const TColor Dark(0, 0, 200);

class Drawing_Shapes_Test : public Drawing_Window_Test {
 protected:
  void SetUp() override {
    Drawing_Window_Test::SetUp();
    eraser = new Eraser(main, TRect(20, 20, 68, 92));
    ASSERT_TRUE(eraser->Create());
    session.Run_Until_Idle();
  }
  void Add(const Shape& shape, TColor color) { window->Add_Shape(shape, color, colors->Contrast_Color(color)); }
  void Add_Overlay() { Add(overlay, Dark); }
  // Screen point of a point of the picture.
  TPoint Screen(TPoint in_picture) const {
    TPoint p = in_picture + window->Inner_Rect.TopLeft();
    window->ClientToScreen(p);
    return p;
  }
  TPoint Area_Centre() const { return Centre(window->geometry.area_rel); }
  void Pour(TColor color, TPoint in_picture) {
    pointer->Set_Color(color, colors->Palette.get());
    Click(Screen(in_picture));
  }
  void Erase_Click() { stage.Click(TPoint(44, 56)); }
  // A drawing of five pieces: the overlay over a block, one step of Five.
  void Five_Pieces() {
    window->Set_Drawing(Block(), true);
    Add_Overlay();
    window->Apply_Manipulator(Five(), true);
    ASSERT_TRUE(window->current.Has_Live_Pieces());
    ASSERT_EQ(window->current.pieces->Live_Count, 5);
  }

  Fill_Pointer* pointer = stage.pointer.get();
  Eraser* eraser = nullptr;
  const Notched_Square overlay;
};

TEST_F(Drawing_Shapes_Test, Every_Shape_In_The_Area_And_In_A_Piece_With_The_Contrast_Rule) {
  for (int id = 0; id < 15; ++id) {
    const auto shape = Make_Palette_Shape(id);
    for (TColor color : {Dark, TColor::White}) {
      const TColor contrast = colors->Contrast_Color(color);
      const bool light = color == TColor::White;
      // The whole area of a cleared drawing: a white shape is outlined in a
      // rectangle one pixel smaller.
      window->Clear();
      Shape_Drawing expected(*window->current.picture, true);
      TRect rect = window->geometry.area_rel;
      if (light) rect = TRect(rect.left, rect.top, rect.right - 1, rect.bottom - 1);
      expected.Paint_Shape(*shape, rect, color, light ? contrast : TColor(No_Color));
      window->Add_Shape(*shape, color, contrast);
      EXPECT_TRUE(Same(*window->current.picture, expected)) << id << light;
      EXPECT_EQ(window->start_shape, shape.get());
      EXPECT_EQ(eraser->Client, window);
      EXPECT_EQ(eraser->Pending_Color, color);
      // Into the current piece, which is then used up.
      Five_Pieces();
      Virtual_Drawing& pieces = *window->current.pieces;
      const int32_t piece = pieces.Cursor;
      Shape_Drawing into(*window->current.picture, true);
      into.Add_Shape(*shape, window->centering.Fit(pieces.Entries[size_t(piece)]), rect, color,
                     light ? contrast : TColor(No_Color));
      window->Add_Shape(*shape, color, contrast);
      EXPECT_TRUE(Same(*window->current.picture, into)) << id << light;
      EXPECT_FALSE(pieces.Is_Live(piece));
      EXPECT_EQ(pieces.Live_Count, 4);
      EXPECT_NE(pieces.Cursor, piece);
      EXPECT_EQ(window->pending_edit.back().edit_index, Drawing_Window::Piece_Tag(pieces.Serial, piece));
    }
  }
}

TEST_F(Drawing_Shapes_Test, A_Game_Shape_Starts_Over_In_The_Contrast_Colour) {
  struct Target : Match_Target {
    bool Matches(Shape_Drawing&, const Shape*, const Point_Set_2D*) override { return false; }
    void Overlay_Hint(Shape_Drawing&, TColor) override {}
  } target;
  const auto circle = Make_Palette_Shape(5), star = Make_Palette_Shape(13);
  window->Set_Target(&target, nullptr, true);
  Add(*circle, Dark);
  window->Apply_Manipulator(Five(), true);
  Add(*star, TColor::White);
  // The drawing was cleared for the star: only it, filled in the contrast.
  Shape_Drawing expected(*window->current.picture, true);
  expected.Clear();
  expected.Paint_Shape(*star, window->geometry.area_rel, colors->Contrast_Color(TColor::White), TColor(No_Color));
  EXPECT_TRUE(Same(*window->current.picture, expected));
  EXPECT_TRUE(window->history.empty());
  EXPECT_EQ(window->start_shape, star.get());
  EXPECT_EQ(window->current.points->Count(), star->Key_Points.Count());
  window->Set_Target(nullptr, nullptr, false);
}

TEST_F(Drawing_Shapes_Test, Fills_Where_The_Click_Lands) {
  const auto circle = Make_Palette_Shape(5);
  const TPoint centre = Area_Centre();
  const TRect a = window->geometry.area_rel;
  const TColor red(Wheel_Colors[12]), outline = colors->Contrast_Color(TColor::White);
  for (const char* name : {"inside", "on the outline", "on the background"}) {
    window->Clear();
    Add(*circle, TColor::White);
    TPoint at = name[0] == 'i' ? centre : TPoint(a.left + 2, a.top + 2);
    if (name[3] == 't') {
      for (at = TPoint(centre.x, a.top); !window->current.picture->Pixel_Has_Color(at, outline);) ++at.y;
    }
    Shape_Drawing expected(*window->current.picture, true);
    expected.Fill_At(at, red);
    Pour(red, at);
    EXPECT_TRUE(Same(*window->current.picture, expected)) << name;
    EXPECT_EQ(window->pending_edit.size(), 2u) << name;
    EXPECT_EQ(window->target_color, TColor(No_Color));
    // The same colour again records nothing.
    Pour(red, at);
    EXPECT_EQ(window->pending_edit.size(), 2u) << name;
  }
}

TEST_F(Drawing_Shapes_Test, The_Eraser_Takes_Back_In_Order_And_Then_Refuses) {
  const auto square = Make_Palette_Shape(1), star = Make_Palette_Shape(13);
  window->Set_Drawing(Filled_Square(), true);
  std::vector<std::unique_ptr<Shape_Drawing>> before;
  auto keep = [&] { before.push_back(Pixels_Of(*window->current.picture)); };
  keep();
  Add(*star, Dark);
  keep();
  Pour(TColor(Wheel_Colors[4]), Area_Centre());
  keep();
  Add(*square, TColor(Wheel_Colors[20]));
  for (int i = 2; i >= 0; --i) {
    Erase_Click();
    EXPECT_TRUE(Same(*window->current.picture, *before[size_t(i)])) << i;
  }
  EXPECT_EQ(eraser->Shown_Color, Dark);
  Erase_Click();
  EXPECT_EQ(eraser->Client, nullptr);
  EXPECT_EQ(eraser->Shown_Color, TColor::No_Color);
  EXPECT_TRUE(Same(*window->current.picture, *before[0]));
  // Only the newest twenty of twenty-five can be taken back.
  for (int i = 0; i < 25; ++i) Add(*square, TColor(Wheel_Colors[size_t(i)]));
  int taken = 0;
  while (window->Erase()) ++taken;
  EXPECT_EQ(taken, int(Drawing_Window::Pending_Limit));
}

TEST_F(Drawing_Shapes_Test, Handles_Pick_Pieces_And_The_Eraser_Gives_A_Piece_Back) {
  // Serials past 16 bits: the tag keeps the low half and is compared so.
  Next_Serial = 0x12345;
  Five_Pieces();
  Virtual_Drawing& pieces = *window->current.pieces;
  ASSERT_GT(pieces.Serial, 0xFFFFu);
  pieces.Update_Handle_Points();
  const TPoint handle = Screen(pieces.Handle_Points[3]);
  stage.Move(handle - TPoint(30, 30));
  EXPECT_TRUE(pointer->Shown());
  stage.Move(handle);
  EXPECT_FALSE(pointer->Shown()) << "the arrow over a handle";
  EXPECT_EQ(window->GetCursor(), &TCursor::Arrow());
  Click(handle);
  EXPECT_EQ(pieces.Cursor, 3);
  EXPECT_TRUE(window->pending_edit.empty()) << "a handle click pours nothing";
  Add(*Make_Palette_Shape(0), Dark);
  EXPECT_FALSE(window->current.pieces->Is_Live(3));
  EXPECT_TRUE(window->Erase());
  EXPECT_TRUE(window->current.pieces->Is_Live(3));
  EXPECT_EQ(window->current.pieces->Cursor, 3);
  stage.Move(TPoint(2, 2));
  EXPECT_FALSE(pointer->Shown());
  EXPECT_EQ(window->Capture_Count, 0);
}

TEST_F(Drawing_Shapes_Test, Overlay_Button_Adds_Skips_And_Removes_And_Its_Sign_Follows_When_Idle) {
  auto* palette = new Shape_Palette(main, TPoint(20, 200), 3);
  ASSERT_TRUE(palette->Create());
  window->shape_palette = palette;
  window->Set_User_Level(3);
  window->Set_Drawing(Block(), true);
  auto plain = Pixels_Of(*window->current.picture);
  Add_Overlay();
  EXPECT_TRUE(window->overlay_added);
  EXPECT_EQ(window->history.size(), 1u);
  session.Run_Until_Idle();
  EXPECT_FALSE(palette->Overlay_Button()->Can_Add) << "the overlay is on: the button removes it";
  // One live piece, nothing drawn into it: back to before the overlay.
  Add_Overlay();
  EXPECT_FALSE(window->current.pieces);
  EXPECT_TRUE(Same(*window->current.picture, *plain));
  session.Run_Until_Idle();
  EXPECT_TRUE(palette->Overlay_Button()->Can_Add);
  Five_Pieces();
  Add_Overlay();
  EXPECT_EQ(window->current.pieces->Live_Count, 4) << "several pieces: the current one is skipped";
  // Another tool took the eraser and let it go: the pending shape is offered
  // again.
  Add(*Make_Palette_Shape(1), Dark);
  eraser->Attach(nullptr, TColor::White);
  session.Run_Until_Idle();
  EXPECT_EQ(eraser->Client, window);
  EXPECT_EQ(eraser->Pending_Color, Dark);
  window->shape_palette = nullptr;
}

TEST_F(Drawing_Shapes_Test, Corners_Follow_The_Drawing) {
  // Review, Iterate, Undo, Clear.
  using Corners = std::array<bool, 4>;
  auto corners = [&] {
    Corners c;
    for (size_t i = 0; i < 4; ++i) c[i] = window->Is_Corner_Enabled(int(i));
    return c;
  };
  const auto square = Make_Palette_Shape(1);
  EXPECT_EQ(corners(), (Corners{false, false, false, false}));
  window->Apply_Manipulator(Five(), false);
  EXPECT_EQ(corners(), (Corners{false, false, false, false})) << "nothing to iterate";
  Add(*square, Dark);
  EXPECT_EQ(corners(), (Corners{false, true, false, true}));
  window->Apply_Manipulator(Five(), true);
  EXPECT_EQ(corners(), (Corners{true, true, true, true}));
  Add(*square, TColor(Wheel_Colors[4]));
  EXPECT_EQ(corners(), (Corners{true, true, false, true})) << "undo waits while an edit is pending";
  window->Review();
  window->Review_Finished(1, 1);
  EXPECT_FALSE(window->Is_Corner_Enabled(2)) << "an older state shown";
}

TEST_F(Drawing_Shapes_Test, A_Window_That_Goes_Leaves_The_Mouse_And_The_Eraser) {
  window->Set_Drawing(Filled_Square(), true);
  Add(*Make_Palette_Shape(5), Dark);
  stage.Move(Screen(Area_Centre()));
  ASSERT_TRUE(mouse->Holds(window));
  ASSERT_TRUE(pointer->Shown());
  delete window;
  window = nullptr;
  EXPECT_EQ(mouse->Holder(), nullptr);
  EXPECT_EQ(eraser->Client, nullptr);
  EXPECT_FALSE(pointer->Shown());
  Erase_Click();
  EXPECT_EQ(eraser->Shown_Color, TColor::No_Color);
}

TEST_F(Drawing_Shapes_Test, Snapshot_Of_The_Crayon_Over_Shapes_And_Fills) {
  Five_Pieces();
  Add(*Make_Palette_Shape(5), TColor(Wheel_Colors[4]));
  Add(*Make_Palette_Shape(10), TColor::White);
  // Into the block, below the circle.
  const TRect a = window->geometry.area_rel;
  Pour(TColor(Wheel_Colors[12]), TPoint(a.left + a.Width() / 4, a.top + a.Height() * 3 / 4));
  stage.Move(Screen(Area_Centre() + TPoint(40, 30)));
  EXPECT_TRUE(pointer->Shown());
  session.Snapshot("drawing_shapes_crayon", window->Window_Rect_In_Parent());
}

}  // namespace

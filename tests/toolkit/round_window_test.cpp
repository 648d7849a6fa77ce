// Round windows: geometry in the three design columns, corner presses with
// drag out, back in, repeat and release, enabling, hover capture and tips,
// and the client circle's reports.
#include "toolkit/round_window.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

// A panel that writes down what the base reports.
class Test_Panel : public Round_Window {
 public:
  Test_Panel(TWindow* parent, const TRect& rect) : Round_Window(parent, "Panel", 500, rect) {}
  void Corner_Pressed(int i) override { Log.push_back("pressed " + std::to_string(i)); }
  void Corner_Clicked(int i) override { Log.push_back("clicked " + std::to_string(i)); }
  void Client_Button_Down(UINT, const TPoint& p) override { Log.push_back("down " + Pt(p)); }
  void Client_Button_Up(UINT, const TPoint& p) override { Log.push_back("up " + Pt(p)); }
  void Client_Mouse_Move(UINT, const TPoint&) override { ++Moves; }
  bool Is_Corner_Enabled(int i) override { return Enabled[size_t(i)]; }
  void Paint_Client(TDC& dc) override {
    ++Client_Paints;
    dc.SelectObject(TBrush(TColor(255, 255, 255)));
    dc.PatBlt(Frame_Rect, PATCOPY);
  }
  void Cursor_Entered_Client() override { Round_Window::Cursor_Entered_Client(), Log.push_back("entered"); }
  void Cursor_Left_Client() override { Round_Window::Cursor_Left_Client(), Log.push_back("left"); }
  static std::string Pt(const TPoint& p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
  std::vector<std::string> Take() { return std::exchange(Log, {}); }

  std::vector<std::string> Log;
  std::array<bool, 4> Enabled{true, true, true, true};
  int Moves = 0, Client_Paints = 0;
};

// The panel's parts in each design column.
struct Geometry { int column, side, corner, picture, client_inset; };

class Round_Window_Geometry : public Widget_Test, public testing::WithParamInterface<Geometry> {
 protected:
  Round_Window_Geometry() : Widget_Test(GetParam().column) {}
};

TEST_P(Round_Window_Geometry, Follows_The_Column) {
  const Geometry& g = GetParam();
  const int side = Sizes(10) + 2 * Sizes(22);
  Test_Panel panel(main, TRect(0, 0, side, side));
  EXPECT_EQ((std::array{side, panel.Corner_Size.cx, panel.Corner_Size.cy, panel.Picture_Size.cx, panel.Picture_Size.cy,
                        panel.Client_Rect.left - panel.Inner_Rect.left}),
            (std::array{g.side, g.corner, g.corner, g.picture, g.picture, g.client_inset}));
}

INSTANTIATE_TEST_SUITE_P(Columns, Round_Window_Geometry,
                         testing::Values(Geometry{640, 370, 121, 88, 53}, Geometry{800, 466, 155, 114, 67},
                                         Geometry{1024, 588, 194, 142, 85}),
                         [](const testing::TestParamInfo<Geometry>& info) { return std::to_string(info.param.column); });

class Round_Window_Test : public Widget_Test {
 protected:
  void SetUp() override {
    Widget_Test::SetUp();
    const int side = Sizes(10) + 2 * Sizes(22);
    panel = new Test_Panel(main, TRect(Origin.x, Origin.y, Origin.x + side, Origin.y + side));
    ASSERT_TRUE(panel->Create());
    for (int i = 0; i < 4; ++i) {
      bitmaps->Get(8 + i, panel->Picture_Size);
      panel->Set_Corner_Button(i, *bitmaps->Pictures[size_t(8 + i)], Tips[i], true, true, true);
    }
    Move({1, 1});
    panel->Take();
  }
  // A window point on the screen.
  static TPoint At(TPoint p) { return p + Origin; }
  void Move_In(TPoint p) { Move(At(p)); }
  void Press_In(TPoint p) {
    Move(At(p));
    Press(At(p));
  }
  void Click_In(TPoint p) {
    Press_In(p);
    Release(At(p));
  }
  int Count(const std::string& what) { return int(std::count(panel->Log.begin(), panel->Log.end(), what)); }

  static constexpr TPoint Origin{20, 20};
  static constexpr const char* Tips[4] = {"Review", "Iterate", "Undo", "Clear"};
  // Points well inside each corner button and inside the client circle.
  const TPoint corner0{20, 20}, corner1{446, 20}, band{233, 2}, client{233, 233};
  Test_Panel* panel = nullptr;
};
using Log = std::vector<std::string>;

TEST_F(Round_Window_Test, Geometry_At_800) {
  EXPECT_EQ(panel->Client_Rect, TRect(72, 72, 394, 394));
  EXPECT_EQ(panel->Corner_Face[0]->Size(), TSize(326, 163));
  // Corners end where the straight edge meets the circle; nothing in between
  // nor inside the bounding circle.
  const std::pair<TPoint, int> corners[] = {{{155, 2}, Corner_None},      {{311, 2}, Corner_None},
                                            {{154, 2}, Corner_Top_Left},  {{312, 2}, Corner_Top_Right},
                                            {{100, 100}, Corner_None},    {{2, 464}, Corner_Bottom_Left},
                                            {{464, 464}, Corner_Bottom_Right}};
  for (auto [p, corner] : corners) EXPECT_EQ(panel->Corner_At(p), corner) << p.x << "," << p.y;
  EXPECT_EQ(panel->Corner_Screen_Point(2), TPoint(20 + 466 - 38, 20 + 466 - 38));
}

TEST_F(Round_Window_Test, A_Repeating_Corner_Presses_Again_Every_Interval) {
  panel->Corner_Repeat[1] = 500;
  Press_In(corner1);
  Advance(1200);
  Release(At(corner1));
  EXPECT_EQ(panel->Take(), (Log{"pressed 1", "pressed 1", "pressed 1", "clicked 1"}));
  Advance(1000);
  EXPECT_TRUE(panel->Take().empty());
}

TEST_F(Round_Window_Test, Dragging_Off_A_Corner_Drops_The_Click_And_Coming_Back_Restores_It) {
  panel->Corner_Repeat[0] = 500;
  Press_In(corner0);
  Move_In(client);
  Advance(1000);
  Release(At(client));
  EXPECT_EQ(std::pair(Count("pressed 0"), Count("clicked 0")), std::pair(1, 0));
  panel->Take();
  EXPECT_EQ(panel->Held_Corner, Corner_None);
  // Off and back: the click comes, and the next tick a full interval after
  // the return.
  Press_In(corner0);
  Advance(300);
  Move_In(client);
  Advance(300);
  Move_In(corner0);
  Advance(490);
  EXPECT_EQ(Count("pressed 0"), 1);
  Advance(20);
  EXPECT_EQ(Count("pressed 0"), 2);
  Release(At(corner0));
  EXPECT_EQ(panel->Take().back(), "clicked 0");
}

// A click is one press then one click; a disabled corner ignores presses,
// and disabling the held one ends the hold.
TEST_F(Round_Window_Test, Disabling_The_Held_Corner_Ends_The_Hold) {
  Press_In(corner0);
  panel->Enabled[0] = false;
  panel->Refresh_Corner_Buttons();
  EXPECT_EQ(panel->Corner_States[0], Corner_Disabled);
  Release(At(corner0));
  Click_In(corner0);
  EXPECT_EQ(panel->Take(), (Log{"pressed 0", "up 20,20", "up 20,20"}));
  panel->Enabled[0] = true;
  panel->Refresh_Corner_Buttons();
  Click_In(corner0);
  EXPECT_EQ(panel->Take(), (Log{"pressed 0", "clicked 0"}));
}

TEST_F(Round_Window_Test, Corner_Looks_Switch_On_The_Screen) {
  // A point on corner 1's picture, drawn in each state.
  const TPoint p = At({466 - 20, 20});
  const uint32_t normal = Screen_Pixel(p.x, p.y);
  Press_In(corner1);
  const uint32_t pressed = Screen_Pixel(p.x, p.y);
  Release(At(corner1));
  EXPECT_EQ(Screen_Pixel(p.x, p.y), normal);
  panel->Disable_Corner(1);
  const uint32_t disabled = Screen_Pixel(p.x, p.y);
  EXPECT_TRUE(normal != pressed && pressed != disabled && disabled != normal) << std::hex << normal << " " << pressed << " " << disabled;
}

TEST_F(Round_Window_Test, The_Client_Circle_Gets_Presses_Inside_It_And_Releases_Anywhere) {
  Click_In(client);
  Click_In(band);
  Press_In({3, 233});  // in the frame band beside the circle: nothing
  Release(At(client));
  EXPECT_EQ(panel->Take(), (Log{"entered", "down 233,233", "up 233,233", "left", "up 233,2", "up 233,233"}));
}

TEST_F(Round_Window_Test, An_Inactive_Window_Neither_Paints_Nor_Answers) {
  panel->Active = false;
  const int paints = panel->Client_Paints;
  panel->Invalidate();
  Run_Until_Idle();
  Click_In(corner0);
  Click_In(client);
  EXPECT_EQ(panel->Client_Paints, paints);
  EXPECT_TRUE(panel->Take().empty());
  panel->Active = true;
  panel->Client_Painting = false;
  panel->Invalidate();
  Run_Until_Idle();
  EXPECT_EQ(panel->Client_Paints, paints);
  EXPECT_NE(Screen_Pixel(At(band).x, At(band).y), 0xFFFFFFu);
}

TEST_F(Round_Window_Test, Hovering_A_Corner_With_A_Tip_Holds_The_Mouse_And_Shows_The_Tip) {
  Move_In(corner1);
  EXPECT_TRUE(mouse->Holds(panel) && panel->Capture_Count == 1);
  Advance(1250);
  EXPECT_TRUE(tip->Shown && tip->Item == Tips[1]);
  Move_In(band);
  EXPECT_FALSE(tip->Shown || mouse->Holds(panel));
  // A corner without a tip never takes the mouse on hover.
  panel->Corner_Tip[2] = nullptr;
  Move_In({464, 464});
  EXPECT_FALSE(mouse->Holds(panel) || panel->Capture_Count != 0);
}

TEST_F(Round_Window_Test, The_Client_Is_Reported_Afresh_After_A_Corner_Hover) {
  for (TPoint p : {client, band, corner0, band, TPoint(240, 2), client}) Move_In(p);
  // Leaving the corner lets the mouse go: the window's own loss message
  // clears the flags, so the band is reported again.
  EXPECT_EQ(panel->Take(), (Log{"entered", "left", "left", "entered"}));
}

TEST_F(Round_Window_Test, A_Drag_Of_The_Panel_Sees_No_Corners) {
  Press(At(client));
  panel->Hover_Locked = true;
  panel->Capture_Count = 1;
  mouse->Capture(panel);
  const int moves = panel->Moves;
  Move_In(corner0);
  Advance(2000);
  EXPECT_FALSE(tip->Shown);
  EXPECT_EQ(panel->Moves, moves + 1);
  Move_In({-50, 30});  // outside the window, still the panel's
  EXPECT_EQ(panel->Moves, moves + 2);
  Release(At({-50, 30}));
  panel->Refresh_Hover();
  EXPECT_FALSE(panel->Hover_Locked);
}

TEST_F(Round_Window_Test, A_Tipless_Corner_Pressed_And_Released_Outside_Stops_Repeating) {
  panel->Corner_Tip[3] = nullptr;
  panel->Corner_Repeat[3] = 200;
  Press(At({20, 446}));
  Move({700, 590});  // off the window altogether
  Release({700, 590});
  Advance(1000);
  EXPECT_EQ(panel->Take(), (Log{"pressed 3"}));
  EXPECT_TRUE(panel->Held_Corner == Corner_None && !panel->Repeat_Timer_On && !mouse->Holds(panel));
}

TEST_F(Round_Window_Test, A_Panel_Destroyed_While_Its_Corner_Tip_Waits_Shows_No_Tip) {
  Move_In(corner1);
  Advance(500);
  delete panel;
  panel = nullptr;
  Advance(2000);
  EXPECT_FALSE(tip->Shown);
}

}  // namespace

// The colour step chooser: the cells a step shows as, the arrows and their
// repeat, clicks, the field's reading and the help key.
#include <climits>

#include "tests/toolkit/widget_fixture.h"
#include "toolkit/arrow_button.h"
#include "workspace/color_step_control.h"
#include "toolkit/program_messages.h"

namespace {

TPoint Mid(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// The dialog the control sits in: counts requests for help.
class Holder : public TWindow {
 public:
  explicit Holder(TWindow* parent) : TWindow(parent, "Holder") {
    Attr.Style = WS_CHILD | WS_VISIBLE;
    Attr.W = 600;
    Attr.H = 400;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == Help_Request_Message) ++Help_Requests;
    return TWindow::WindowProc(msg, wp, lp);
  }
  int Help_Requests = 0;
};

class Color_Step_Test : public Widget_Test {
 protected:
  void SetUp() override {
    Widget_Test::SetUp();
    holder = new Holder(main);
    ASSERT_TRUE(holder->Create());
    control = new Color_Step_Control(holder, TRect(Origin, TSize(W, H)));
    ASSERT_TRUE(control->Create());
    Run_Until_Idle();
  }
  TPoint Screen(TPoint p) const { return TPoint(Origin.x + p.x, Origin.y + p.y); }
  TPoint Arrow(const Arrow_Button* b) const {
    return Screen(TPoint(b->Attr.X + b->Attr.W / 2, b->Attr.Y + b->Attr.H * 2 / 3));
  }
  // Lets the arrows ask their enablers again, as any input does.
  void Settle() {
    control->PostMessage(WM_NULL);
    Run_Until_Idle();
  }
  void Click(TPoint p) {
    Settle();
    Press(p);
    Release(p);
  }
  void Click_Arrow(const Arrow_Button* b) { Click(Arrow(b)); }

  static constexpr int W = 360, H = 40;
  const TPoint Origin{100, 100};
  Holder* holder = nullptr;
  Color_Step_Control* control = nullptr;
};

TEST_F(Color_Step_Test, A_Step_Shows_As_Its_Cell_And_The_Field_Only_Above_Four) {
  struct Case {
    int32_t step;
    int32_t cell;
    bool field;
    int32_t read_back;
  };
  for (const Case c : {Case{3, 3, false, 3}, Case{17, 5, true, 17}, Case{INT_MAX, 5, true, INT_MAX},
                       Case{0, 0, false, 0}, Case{-1, -1, false, -1}, Case{-7, -1, false, -1}}) {
    SCOPED_TRACE(c.step);
    control->Select_Cell(c.step);
    Settle();
    EXPECT_EQ(control->Selected, c.cell);
    EXPECT_EQ(control->Field_Shown, c.field);
    EXPECT_EQ(control->Step_Field->IsWindowVisible(), c.field);
    EXPECT_EQ(control->Step_Field->IsWindowEnabled(), c.field);
    EXPECT_EQ(control->Step(), c.read_back);
    if (c.field) {
      EXPECT_EQ(TWindow::GetFocus(), control->Step_Field->GetHandle());
    }
    EXPECT_EQ(control->Up_Button->Is_Enabled(), c.cell != -1);
    EXPECT_EQ(control->Down_Button->Is_Enabled(), c.cell >= 1);
  }
}

TEST_F(Color_Step_Test, Arrows_Cross_Cells_And_Field_Stop_At_The_Ends_Read_An_Empty_Field_And_Repeat) {
  control->Select_Cell(4);
  Run_Until_Idle();
  Click_Arrow(control->Up_Button);
  EXPECT_EQ(control->Selected, 5);
  EXPECT_EQ(control->Step_Field->GetText(), "5");
  Click_Arrow(control->Up_Button);
  EXPECT_EQ(control->Step(), 6);
  Click_Arrow(control->Down_Button);
  Click_Arrow(control->Down_Button);
  EXPECT_EQ(control->Selected, 4);
  EXPECT_FALSE(control->Field_Shown);

  control->Select_Cell(0);
  Settle();
  EXPECT_FALSE(control->Down_Button->Is_Enabled());
  Click_Arrow(control->Down_Button);
  EXPECT_EQ(control->Step(), 0);

  // The largest step does not wrap round to a negative one.
  control->Select_Cell(INT_MAX);
  Run_Until_Idle();
  Click_Arrow(control->Up_Button);
  EXPECT_EQ(control->Step(), INT_MAX);
  EXPECT_EQ(control->Step_Field->GetText(), std::to_string(INT_MAX));

  // An empty or unreadable field reads as zero, and Down does nothing.
  control->Select_Cell(9);
  control->Step_Field->SetText("");
  EXPECT_EQ(control->Step(), 0);
  Settle();
  EXPECT_TRUE(control->Down_Button->Is_Enabled());
  Click_Arrow(control->Down_Button);
  EXPECT_EQ(control->Selected, 5);
  EXPECT_EQ(control->Step_Field->GetText(), "");
  // Beyond the largest step the number does not read.
  control->Step_Field->SetText("99999999999");
  EXPECT_EQ(control->Step(), 0);

  // Holding an arrow counts on every 200 ms.
  control->Select_Cell(1);
  Settle();
  Press(Arrow(control->Up_Button));
  EXPECT_EQ(control->Step(), 2);
  Advance(1000);
  EXPECT_EQ(control->Step(), 7);
  Release(Arrow(control->Up_Button));
  Advance(600);
  EXPECT_EQ(control->Step(), 7);
}

TEST_F(Color_Step_Test, Clicks_Choose_Cells_Only_While_A_Step_Is_Shown_Keep_A_Typed_Value_And_F1_Asks_Help) {
  Click(Screen(Mid(control->Cells[2])));
  EXPECT_EQ(control->Selected, -1);  // no image chosen: nothing to set

  control->Select_Cell(1);
  Click(Screen(Mid(control->Cells[3])));
  EXPECT_EQ(control->Step(), 3);
  // A click on the custom cell's frame opens the field with 5.
  const TPoint custom_frame = Screen(control->Custom_Cell.TopLeft() + TPoint(1, 1));
  Click(custom_frame);
  EXPECT_EQ(control->Step(), 5);
  control->Step_Field->SetText("42");
  Click(custom_frame);
  EXPECT_EQ(control->Step(), 42);
  // Right and bottom edges belong to the next cell.
  Click(Screen(TPoint(control->Cells[1].right, 5)));
  EXPECT_EQ(control->Step(), 2);

  // F1 in the field asks the parent for help.
  control->Select_Cell(12);
  Run_Until_Idle();
  headless->Key(VK_F1);
  Run_Until_Idle();
  EXPECT_EQ(holder->Help_Requests, 1);
  // Up reaches the control too, and changes nothing.
  headless->Key(VK_UP);
  Run_Until_Idle();
  EXPECT_EQ(holder->Help_Requests, 1);
  EXPECT_EQ(control->Step(), 12);
}

TEST_F(Color_Step_Test, Snapshots_Of_A_Cell_And_The_Field_Chosen) {
  Widget_Sheet sheet(2 * W + 40, 2 * H + 60);
  for (int step : {2, 17}) {
    control->Select_Cell(step);
    Run_Until_Idle();
    sheet.Add_Screen(TRect(Origin, TSize(W, H)), "step " + std::to_string(step));
  }
  sheet.Save("color_step_control");
}

}  // namespace

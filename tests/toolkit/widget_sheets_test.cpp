// Leaves pictures of every widget in each of its states at the 800 and 1024
// design columns for a person to look at (only when QUENDAR_SNAPSHOTS names
// a folder).
#include "toolkit/arrow_button.h"
#include "toolkit/round_window.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

// A panel whose client circle shows a plain white drawing area.
class Sheet_Panel : public Round_Window {
 public:
  Sheet_Panel(TWindow* parent, const TRect& r) : Round_Window(parent, "Panel", 500, r) {}
  void Paint_Client(TDC& dc) override {
    dc.SelectObject(TBrush(TColor::White));
    dc.PatBlt(Frame_Rect, PATCOPY);
  }
};

class Sheet_Test : public Widget_Test {
 protected:
  explicit Sheet_Test(int column) : Widget_Test(column), column_(column) {}
  std::string Name(const std::string& what) const { return what + "_" + std::to_string(column_); }
  int Unit() const { return column_ >= 1024 ? 5 : 4; }  // pixels per design unit

  // Arrows of every kind in both styles, raised and pressed (the pressed
  // face is also the disabled look).
  void Arrow_Sheet() {
    Widget_Sheet sheet(900, 160);
    const int k = Unit();
    const TSize sizes[] = {{k * 8, k * 5}, {k * 8, k * 5}, {k * 5, k * 8}, {k * 5, k * 8},
                           {k * 6, k * 6}, {k * 6, k * 6}, {k * 6, k * 6}, {k * 6, k * 6}};
    for (int style = 0; style <= 1; ++style) {
      for (int kind = 0; kind < 8; ++kind) {
        auto* b = new Arrow_Button(main, 100 + kind, TRect(TPoint(10, 10), sizes[kind]), kind, style,
                                   Arrow_No_Repeat);
        b->Create();
        sheet.Add(*b->Normal_Look(), std::to_string(kind));
        sheet.Add(*b->Pressed_Look(), std::to_string(kind) + "p");
        delete b;
      }
      sheet.Next_Row();
    }
    sheet.Save(Name("arrow_buttons"));
  }

  // A round window: a corner hovered with its tip shown; then one corner
  // pressed and one disabled.
  void Round_Window_Sheet() {
    const int side = Sizes(10) + 2 * Sizes(22);
    const TPoint origin(10, 10);
    auto* panel = new Sheet_Panel(main, TRect(origin, TSize(side, side)));
    panel->Create();
    const char* tips[4] = {"Review", "Iterate", "Undo", "Clear"};
    const int pictures[4] = {10, 8, 12, 11};  // each drawn for its corner
    for (int i = 0; i < 4; ++i) {
      bitmaps->Get(pictures[i], panel->Picture_Size);
      panel->Set_Corner_Button(i, *bitmaps->Pictures[size_t(pictures[i])], tips[i], true, true, true);
    }
    Widget_Sheet sheet(2 * side + 140, side + 60);
    Move(panel->Corner_Screen_Point(1));
    Advance(1300);
    sheet.Add_Screen(TRect(origin.x, origin.y, origin.x + side + 80, origin.y + side + 30), "hover, tip");
    Move({origin.x + side + 50, 5});
    Advance(200);
    const TPoint corner0 = panel->Corner_Screen_Point(0);
    Move(corner0);
    Press(corner0);
    panel->Disable_Corner(2);
    sheet.Add_Screen(TRect(origin.x, origin.y, origin.x + side, origin.y + side), "0 pressed, 2 disabled");
    Release(corner0);
    sheet.Save(Name("round_window"));
    delete panel;
  }

  void All_Sheets() {
    Arrow_Sheet();
    Round_Window_Sheet();
  }

 private:
  int column_;
};

class Sheet_800 : public Sheet_Test {
 protected:
  Sheet_800() : Sheet_Test(800) {}
};
class Sheet_1024 : public Sheet_Test {
 protected:
  Sheet_1024() : Sheet_Test(1024) {}
};

TEST_F(Sheet_800, Widgets) { All_Sheets(); }
TEST_F(Sheet_1024, Widgets) { All_Sheets(); }

}  // namespace

// Leaves pictures of every widget in each of its states at the 800 and 1024
// design columns for a person to look at (only when QUENDAR_SNAPSHOTS names
// a folder).
#include "toolkit/arrow_button.h"
#include "toolkit/rectangular_button.h"
#include "toolkit/round_button.h"
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

  // One button's looks: normal, hot (tip shown), pressed, disabled, each
  // taken from the screen.
  void Button_States(Widget_Sheet& sheet, Owner_Drawn_Button* b, const std::string& name) {
    const TRect r = b->GetWindowRect();
    const TPoint centre(r.left + r.Width() / 2, r.top + r.Height() / 2);
    Move({790, 5});
    Advance(200);
    sheet.Add_Screen(r, name);
    Move(centre);
    Advance(1300);
    const TRect with_tip = b->Tip() ? r.Union(tip->Tip_Rect) : r;
    sheet.Add_Screen(with_tip, "hot");
    Press(centre);
    sheet.Add_Screen(r, "pressed");
    Release(centre);
    b->Disable();
    Move({790, 5});
    Advance(200);
    sheet.Add_Screen(r, "disabled");
    b->Enable();
  }

  void Button_Sheet() {
    Widget_Sheet sheet(1000, 700);
    const int k = Unit();
    auto* gallery = new Round_Button(main, 201, TRect(TPoint(20, 20), TSize(k * 19, k * 19)));
    gallery->Create();
    bitmaps->Get(27, TSize(k * 19, k * 19));
    gallery->Set_Picture(*bitmaps->Pictures[27], "Gallery", true);
    Button_States(sheet, gallery, "round picture");
    delete gallery;
    auto* help = new Round_Button(main, 202, TRect(TPoint(20, 20), TSize(k * 19, k * 19)));
    help->Create();
    bitmaps->Get(21, TSize(k * 19, k * 19));
    help->Set_Picture(*bitmaps->Pictures[21], "Help", false);
    Button_States(sheet, help, "round, no fit");
    delete help;
    sheet.Next_Row();
    auto* apply = new Round_Button(main, 203, TRect(TPoint(20, 20), TSize(k * 16, k * 16)));
    apply->Create();
    apply->Set_Caption("Apply");
    Button_States(sheet, apply, "round caption");
    delete apply;
    auto* name = new Round_Button(main, 204, TRect(TPoint(20, 20), TSize(k * 19, k * 19)));
    name->Create();
    name->Set_Caption("Name\nand\nLevel");
    Button_States(sheet, name, "3 lines");
    delete name;
    sheet.Next_Row();
    auto* setup = new Rectangular_Button(main, 205, TRect(TPoint(20, 20), TSize(k * 22, k * 10)), 0);
    setup->Create();
    setup->Set_Caption("Setup");
    Button_States(sheet, setup, "light");
    delete setup;
    auto* level = new Rectangular_Button(main, 206, TRect(TPoint(20, 20), TSize(k * 22, k * 10)), 1);
    level->Create();
    level->Set_Caption("Abort");
    Button_States(sheet, level, "dark");
    delete level;
    auto* edit = new Rectangular_Button(main, 207, TRect(TPoint(20, 20), TSize(k * 7, k * 25)), 0);
    edit->Create();
    edit->Set_Caption("E\nd\ni\nt");
    Button_States(sheet, edit, "4 lines");
    delete edit;
    auto* pictured = new Rectangular_Button(main, 208, TRect(TPoint(20, 20), TSize(k * 14, k * 14)), 0);
    pictured->Create();
    bitmaps->Get(13, TSize(k * 28, k * 28));
    pictured->Set_Picture(*bitmaps->Pictures[13], "Forward");
    Button_States(sheet, pictured, "picture");
    delete pictured;
    sheet.Save(Name("push_buttons"));
  }

  void All_Sheets() {
    Arrow_Sheet();
    Round_Window_Sheet();
    Button_Sheet();
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

// Leaves pictures of every widget in each of its states at the 800 and 1024
// design columns for a person to look at (only when QUENDAR_SNAPSHOTS names
// a folder).
#include "toolkit/arrow_button.h"
#include "toolkit/divided_notebook.h"
#include "toolkit/mobile_object.h"
#include "toolkit/narrow_folder.h"
#include "toolkit/number_edit.h"
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
    // Round buttons with a picture (fitted or not) or a caption, then
    // rectangular ones light and dark, with four lines or a picture.
    const struct {
      bool round;
      TSize size;
      int style, picture;  // picture -1: the caption
      const char* text;
      bool fit;
      const char* label;
    } buttons[] = {{true, {19, 19}, 0, 27, "Gallery", true, "round picture"},
                   {true, {19, 19}, 0, 21, "Help", false, "round, no fit"},
                   {true, {16, 16}, 0, -1, "Apply", false, "round caption"},
                   {true, {19, 19}, 0, -1, "Name\nand\nLevel", false, "3 lines"},
                   {false, {22, 10}, 0, -1, "Setup", false, "light"},
                   {false, {22, 10}, 1, -1, "Abort", false, "dark"},
                   {false, {7, 25}, 0, -1, "E\nd\ni\nt", false, "4 lines"},
                   {false, {14, 14}, 0, 13, "Forward", false, "picture"}};
    for (size_t i = 0; i < std::size(buttons); ++i) {
      const auto& b = buttons[i];
      const TRect r(TPoint(20, 20), TSize(k * b.size.cx, k * b.size.cy));
      const TSize picture = b.round ? r.Size() : TSize(2 * r.Width(), 2 * r.Height());
      if (b.picture >= 0) bitmaps->Get(b.picture, picture);
      const TBitmap* shown = b.picture >= 0 ? bitmaps->Pictures[size_t(b.picture)].get() : nullptr;
      Owner_Drawn_Button* button = nullptr;
      if (b.round) {
        auto* round = new Round_Button(main, 201 + int(i), r);
        round->Create();
        shown ? round->Set_Picture(*shown, b.text, b.fit) : round->Set_Caption(b.text);
        button = round;
      } else {
        auto* rectangle = new Rectangular_Button(main, 201 + int(i), r, b.style);
        rectangle->Create();
        shown ? rectangle->Set_Picture(*shown, b.text) : rectangle->Set_Caption(b.text);
        button = rectangle;
      }
      Button_States(sheet, button, b.label);
      delete button;
      if (i == 1 || i == 3) sheet.Next_Row();
    }
    sheet.Save(Name("push_buttons"));
  }

  // The manipulator palette's notebook: five sections, the second split
  // into pages; first the plain divider selected, then a page.
  void Notebook_Sheet() {
    const int k = Unit();
    const TRect r(TPoint(10, 10), TSize(k * 60, k * 80));
    auto* nb = new Divided_Notebook(main, 600, r, k * 14, 0x7FFFFFFF);
    const char* labels[5] = {"1", "2", "3", "4", "5+"};
    for (int i = 0; i < 5; ++i) nb->Add_Divider(labels[i], uint32_t(i));
    nb->Create();
    nb->Add_Sub_Divider(1, "2a", 10);
    nb->Add_Sub_Divider(1, "2b", 11);
    nb->Select(3, 0);
    Run_Until_Idle();
    Widget_Sheet sheet(2 * r.Width() + 40, r.Height() + 40);
    sheet.Add_Screen(r, "divider 4 selected");
    nb->Select(1, 2);
    sheet.Add_Screen(r, "page 2b selected");
    sheet.Save(Name("divided_notebook"));
    delete nb;
  }

  // The editing dialog's folder (tabs 5/8 of its width), with each tab
  // chosen in turn.
  void Folder_Sheet() {
    const int k = Unit();
    const TRect r(TPoint(10, 10), TSize(k * 60, k * 40));
    auto* f = new Narrow_Folder(main, 700, r, r.Width() * 5 / 8);
    for (const char* label : {"Handles", "Corners", "Matrix"}) f->Add_Tab(label, 0);
    f->Create();
    Run_Until_Idle();
    Widget_Sheet sheet(3 * r.Width() + 60, r.Height() + 40);
    for (uint32_t i = 0; i < 3; ++i) {
      f->Choose_Tab(i);
      Run_Until_Idle();
      sheet.Add_Screen(r, "tab " + std::to_string(i));
    }
    auto* empty = new Narrow_Folder(main, 701, TRect(TPoint(10, 10 + r.Height() + 10), TSize(k * 30, k * 20)), 0);
    empty->Create();
    Run_Until_Idle();
    sheet.Save(Name("narrow_folder"));
    delete f;
    delete empty;
  }

  // Number fields and a plain field, one with the focus.
  void Edit_Sheet() {
    const int k = Unit();
    auto* whole = new Number_Edit<int>(main, 801, TRect(TPoint(10, 10), TSize(k * 30, k * 7)), -5, -100, 100,
                                       nullptr, 0x2004, 0);
    auto* real = new Number_Edit<float>(main, 802, TRect(TPoint(10, 10 + k * 9), TSize(k * 30, k * 7)),
                                        0.00025f, -1, 1, nullptr, 0x2004, 0);
    auto* name = new ExtEdit(main, 803, TRect(TPoint(10, 10 + k * 18), TSize(k * 30, k * 7)), "Mia", 80, false,
                             nullptr, 0x2004, 0x143C);
    whole->Create();
    real->Create();
    name->Create();
    name->SetFocus();
    Run_Until_Idle();
    Widget_Sheet sheet(k * 40, k * 40);
    sheet.Add_Screen(TRect(TPoint(10, 10), TSize(k * 30, k * 25)), "int, float, name (focused)");
    sheet.Save(Name("edit_fields"));
    delete whole;
    delete real;
    delete name;
  }

  // A sprite carried over buttons and a round window, and the screen after
  // it is hidden.
  void Sprite_Sheet() {
    struct Crayon : Mobile_Object {
      void Draw(TDC& dc, const TRect& r) override {
        dc.SelectObject(TBrush(TColor(40, 90, 220)));
        dc.SelectObject(TPen(TColor::Black));
        const TPoint tip[3] = {{r.left, r.top}, {r.right - 1, r.top + r.Height() / 3}, {r.left + r.Width() / 3, r.bottom - 1}};
        dc.Polygon(tip, 3);
      }
    };
    const int k = Unit();
    auto* b = new Round_Button(main, 901, TRect(TPoint(20, 20), TSize(k * 19, k * 19)));
    b->Create();
    b->Set_Caption("Help");
    Run_Until_Idle();
    const TRect area(TPoint(0, 0), TSize(k * 40, k * 30));
    Widget_Sheet sheet(3 * area.Width() + 60, area.Height() + 40);
    sheet.Add_Screen(area, "before");
    TClientDC dc(*main);
    Crayon crayon;
    crayon.Show(dc, TRect(TPoint(5, 5), TSize(k * 6, k * 6)));
    for (int i = 1; i <= 40; ++i) crayon.Move(TRect(TPoint(5 + i * k / 2, 5 + i * k / 3), TSize(k * 6, k * 6)));
    sheet.Add_Screen(area, "moved");
    crayon.Hide(false);
    sheet.Add_Screen(area, "hidden");
    sheet.Save(Name("sprite"));
    delete b;
  }

  void All_Sheets() {
    Arrow_Sheet();
    Round_Window_Sheet();
    Button_Sheet();
    Notebook_Sheet();
    Folder_Sheet();
    Edit_Sheet();
    Sprite_Sheet();
  }

 private:
  int column_;
};

template <int Column>
class Sheet_At : public Sheet_Test {
 protected:
  Sheet_At() : Sheet_Test(Column) {}
};
using Sheet_800 = Sheet_At<800>;
using Sheet_1024 = Sheet_At<1024>;

TEST_F(Sheet_800, Widgets) { All_Sheets(); }
TEST_F(Sheet_1024, Widgets) { All_Sheets(); }

}  // namespace

// Leaves contact sheets of everything this folder draws (pictures, metafiles,
// frames, the busy cursor) and of every widget in each of its states, one
// test per sheet and design column, for a person to look at (written only
// when QUENDAR_SNAPSHOTS names a folder).
#include <string>
#include <vector>

#include "toolkit/arrow_button.h"
#include "toolkit/divided_notebook.h"
#include "toolkit/mobile_object.h"
#include "toolkit/narrow_folder.h"
#include "toolkit/number_edit.h"
#include "toolkit/rectangular_button.h"
#include "toolkit/round_button.h"
#include "toolkit/round_window.h"
#include "toolkit/watch_cursor.h"
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

// Each picture (first to last) at the size its users ask for in the 800 and
// 1024 columns.
const struct { int first, last; TSize at_800, at_1024; } Picture_Sizes[] = {
    {1, 2, {40, 40}, {50, 50}},     {7, 7, {68, 68}, {88, 88}},    {8, 18, {114, 114}, {142, 142}},
    {19, 20, {60, 60}, {76, 76}},   {21, 21, {90, 90}, {115, 115}}, {22, 22, {76, 76}, {97, 97}},
    {23, 23, {80, 70}, {102, 90}},  {24, 26, {50, 44}, {64, 56}},  {27, 28, {90, 90}, {115, 115}},
    {29, 31, {68, 46}, {86, 58}},   {35, 35, {64, 32}, {80, 40}}};

// One sheet: its file name, the design column it is drawn in, and how.
class Contact_Sheets;
struct Sheet_Row { const char* name; int column; void (Contact_Sheets::*draw)(Widget_Sheet&); };

class Contact_Sheets : public Widget_Test, public testing::WithParamInterface<Sheet_Row> {
 public:
  Contact_Sheets() : Widget_Test(GetParam().column) {}
  const int column = GetParam().column, k = column >= 1024 ? 5 : 4;  // k: pixels per design unit

  static TBitmap Filled(int w, int h, TColor colour) {
    TBitmap b(w, h);
    TMemoryDC dc(b);
    dc.SelectObject(TBrush(colour));
    dc.PatBlt(TRect(0, 0, w, h), PATCOPY);
    return b;
  }

  // Every picture (the smallest screens ask for four fifths of the 800
  // column's sizes), the text picture with two labels, and some disabled.
  void Pictures(Widget_Sheet& sheet) {
    for (const auto& p : Picture_Sizes)
      for (int id = p.first; id <= p.last; ++id) {
        bitmaps->Get(id, column >= 1024 ? p.at_1024 : column >= 800 ? p.at_800 : TSize(p.at_800.cx * 4 / 5, p.at_800.cy * 4 / 5));
        ASSERT_TRUE(bitmaps->Pictures[size_t(id)]) << id;
        sheet.Add(*bitmaps->Pictures[size_t(id)], std::to_string(id));
      }
    for (int id : {3, 4, 5, 6, 36}) sheet.Add(*bitmaps->Pictures[size_t(id)], std::to_string(id));
    for (auto [name, level] : {std::pair("Mia", 2), std::pair("jo", 0)}) {
      bitmaps->Drop(22);
      bitmaps->Get_Text_Picture(column >= 1024 ? TSize(97, 97) : TSize(76, 76), name, level);
      sheet.Add(*bitmaps->Pictures[22], "22 " + std::string(name) + " " + std::to_string(level));
    }
    const auto screen = GUI_Bitmaps::Screen_Reference();
    for (int id : {8, 12, 13, 15, 19, 21, 27, 28})
      sheet.Add(*GUI_Bitmaps::Make_Disabled_Picture(*screen, *bitmaps->Pictures[size_t(id)]), std::to_string(id) + " disabled");
  }

  // The metafile slots from..to-1, each at its size and at twice it.
  void Metafiles(Widget_Sheet& sheet, int from, int to) {
    const TSize sizes[GUI_Metafiles::Slot_Count] = {{15, 120}, {130, 76}, {50, 50},   {102, 90},  {64, 56},
                                                    {64, 56},  {64, 56},  {115, 115}, {140, 98},  {120, 72},
                                                    {110, 110}, {150, 45}, {150, 90}, {40, 40},   {40, 40}};
    for (int slot = from; slot < to; ++slot)
      for (int scale = 1; scale <= 2; ++scale) {
        const TSize size(sizes[slot].cx * scale, sizes[slot].cy * scale);
        TBitmap picture = Filled(size.cx, size.cy, slot >= 4 && slot <= 6 ? TColor(0, 0, 255) : TColor(230, 230, 230));
        TMemoryDC dc(picture);
        metafiles.Ensure(slot);
        metafiles.Play(slot, dc, TRect(TPoint(0, 0), size));
        sheet.Add(picture, std::to_string(slot) + (scale == 2 ? " x2" : ""));
      }
  }
  void Metafiles_0_7(Widget_Sheet& sheet) { Metafiles(sheet, 0, 8); }
  void Metafiles_8_14(Widget_Sheet& sheet) { Metafiles(sheet, 8, GUI_Metafiles::Slot_Count); }

  // Round frames in both variants, a ring, the bevels, and the busy cursor
  // at three times its size so the digits can be read.
  void Frames_And_Cursor(Widget_Sheet& sheet) {
    for (int variant = 0; variant < 2; ++variant) {
      TBitmap frame = Filled(300, 300, The_GUI_Colors->Scheme[0]);
      TMemoryDC dc(frame);
      border.Blit_Clipped(dc, TRect(0, 0, 300, 300), 14, variant);
      border.Blit_Clipped(dc, TRect(100, 100, 200, 160), 6, variant);
      sheet.Add(frame, "frame variant " + std::to_string(variant));
    }
    sheet.Add(*border.Render_Ring(200, 200, 0), "ring 0");
    TBitmap bevels = Filled(160, 80, The_GUI_Colors->Scheme[0]);
    TMemoryDC bevel_dc(bevels);
    border.Draw_Bevel(bevel_dc, TRect(10, 10, 70, 70));
    border.Draw_Bevel_Inverse(bevel_dc, TRect(90, 10, 150, 70));
    sheet.Add(bevels, "bevels");
    sheet.Next_Row();
    Watch_Cursor watch;
    watch.Start();
    for (int frame = 0; frame < 60; ++frame, watch.Next_Frame()) {
      if (frame % 7 != 0 && frame != 59) continue;
      TBitmap small = Filled(32, 32, TColor(180, 200, 230)), shown(96, 96);
      TSurface& s = *small.Surface();
      watch.Current_Cursor->Image().Draw_Over(s.Row32(0), 32, 32, long(s.Stride() / 4), TPoint(5, 0));
      TMemoryDC from(small), to(shown);
      to.StretchBlt(TRect(0, 0, 96, 96), from, TRect(0, 0, 32, 32));
      sheet.Add(shown, "busy " + std::to_string(watch.Counter));
    }
  }

  // Arrows of every kind in both styles, raised and pressed (the pressed
  // face is also the disabled look).
  void Arrow_Buttons(Widget_Sheet& sheet) {
    for (int style = 0; style <= 1; ++style, sheet.Next_Row())
      for (int kind = 0; kind < 8; ++kind) {
        const TSize size = kind < 2 ? TSize(k * 8, k * 5) : kind < 4 ? TSize(k * 5, k * 8) : TSize(k * 6, k * 6);
        Arrow_Button b(main, 100 + kind, TRect(TPoint(10, 10), size), kind, style, Arrow_No_Repeat);
        b.Create();
        sheet.Add(*b.Normal_Look(), std::to_string(kind));
        sheet.Add(*b.Pressed_Look(), std::to_string(kind) + "p");
      }
  }

  // A corner hovered with its tip shown; then one corner pressed and one
  // disabled.
  void Round_Window_Looks(Widget_Sheet& sheet) {
    const int side = Sizes(10) + 2 * Sizes(22);
    const TRect r(10, 10, 10 + side, 10 + side);
    Sheet_Panel panel(main, r);
    panel.Create();
    const char* tips[4] = {"Review", "Iterate", "Undo", "Clear"};
    const int pictures[4] = {10, 8, 12, 11};  // each drawn for its corner
    for (int i = 0; i < 4; ++i) {
      bitmaps->Get(pictures[i], panel.Picture_Size);
      panel.Set_Corner_Button(i, *bitmaps->Pictures[size_t(pictures[i])], tips[i], true, true, true);
    }
    Move(panel.Corner_Screen_Point(1));
    Advance(1300);
    sheet.Add_Screen(TRect(r.left, r.top, r.right + 80, r.bottom + 30), "hover, tip");
    Move({r.right + 40, 5});
    Advance(200);
    const TPoint corner0 = panel.Corner_Screen_Point(0);
    Move(corner0);
    Press(corner0);
    panel.Disable_Corner(2);
    sheet.Add_Screen(r, "0 pressed, 2 disabled");
    Release(corner0);
  }

  // One button's looks taken from the screen: normal, hot (tip shown),
  // pressed, disabled.
  void Button_States(Widget_Sheet& sheet, Owner_Drawn_Button& b, const std::string& name) {
    const TRect r = b.GetWindowRect();
    const TPoint centre(r.left + r.Width() / 2, r.top + r.Height() / 2);
    Move({790, 5});
    Advance(200);
    sheet.Add_Screen(r, name);
    Move(centre);
    Advance(1300);
    sheet.Add_Screen(b.Tip() ? r.Union(tip->Tip_Rect) : r, "hot");
    Press(centre);
    sheet.Add_Screen(r, "pressed");
    Release(centre);
    b.Disable();
    Move({790, 5});
    Advance(200);
    sheet.Add_Screen(r, "disabled");
  }

  // Round buttons with a picture (fitted or not) or a caption, then
  // rectangular ones light and dark, with four lines or a picture.
  void Push_Buttons(Widget_Sheet& sheet) {
    // Picture -1: the caption.
    const struct { bool round; TSize size; int style, picture; const char *text, *label; bool fit; } buttons[] = {
        {true, {19, 19}, 0, 27, "Gallery", "round picture", true}, {true, {19, 19}, 0, 21, "Help", "round, no fit", false},
        {true, {16, 16}, 0, -1, "Apply", "round caption", false},  {true, {19, 19}, 0, -1, "Name\nand\nLevel", "3 lines", false},
        {false, {22, 10}, 0, -1, "Setup", "light", false},         {false, {22, 10}, 1, -1, "Abort", "dark", false},
        {false, {7, 25}, 0, -1, "E\nd\ni\nt", "4 lines", false},    {false, {14, 14}, 0, 13, "Forward", "picture", false}};
    for (size_t i = 0; i < std::size(buttons); ++i) {
      const auto& b = buttons[i];
      const TRect r(TPoint(20, 20), TSize(k * b.size.cx, k * b.size.cy));
      if (b.picture >= 0) bitmaps->Get(b.picture, b.round ? r.Size() : TSize(2 * r.Width(), 2 * r.Height()));
      const TBitmap* shown = b.picture >= 0 ? bitmaps->Pictures[size_t(b.picture)].get() : nullptr;
      if (b.round) {
        Round_Button round(main, 201 + int(i), r);
        round.Create();
        shown ? round.Set_Picture(*shown, b.text, b.fit) : round.Set_Caption(b.text);
        Button_States(sheet, round, b.label);
      } else {
        Rectangular_Button rectangle(main, 201 + int(i), r, b.style);
        rectangle.Create();
        shown ? rectangle.Set_Picture(*shown, b.text) : rectangle.Set_Caption(b.text);
        Button_States(sheet, rectangle, b.label);
      }
      if (i == 1 || i == 3) sheet.Next_Row();
    }
  }

  // The manipulator palette's notebook: five sections, the second split
  // into pages; first the plain divider selected, then a page.
  void Divided_Notebook_Looks(Widget_Sheet& sheet) {
    const TRect r(TPoint(10, 10), TSize(k * 60, k * 80));
    Divided_Notebook nb(main, 600, r, k * 14, 0x7FFFFFFF);
    for (uint32_t i = 0; i < 5; ++i) nb.Add_Divider(i < 4 ? std::to_string(i + 1).c_str() : "5+", i);
    nb.Create();
    nb.Add_Sub_Divider(1, "2a", 10);
    nb.Add_Sub_Divider(1, "2b", 11);
    nb.Select(3, 0);
    Run_Until_Idle();
    sheet.Add_Screen(r, "divider 4 selected");
    nb.Select(1, 2);
    sheet.Add_Screen(r, "page 2b selected");
  }

  // The editing dialog's folder (tabs 5/8 of its width) with each tab
  // chosen in turn, and a folder without tabs.
  void Narrow_Folder_Looks(Widget_Sheet& sheet) {
    const TRect r(TPoint(10, 10), TSize(k * 60, k * 40));
    Narrow_Folder f(main, 700, r, r.Width() * 5 / 8);
    for (const char* label : {"Handles", "Corners", "Matrix"}) f.Add_Tab(label, 0);
    f.Create();
    for (uint32_t i = 0; i < 3; ++i) {
      f.Choose_Tab(i);
      Run_Until_Idle();
      sheet.Add_Screen(r, "tab " + std::to_string(i));
    }
    const TRect e(TPoint(10, r.bottom + 10), TSize(k * 30, k * 20));
    Narrow_Folder empty(main, 701, e, 0);
    empty.Create();
    Run_Until_Idle();
    sheet.Add_Screen(e, "no tabs");
  }

  // Number fields and a plain field, the last with the focus.
  void Edit_Fields(Widget_Sheet& sheet) {
    const auto at = [&](int row) { return TRect(TPoint(10, 10 + k * 9 * row), TSize(k * 30, k * 7)); };
    Number_Edit<int> whole(main, 801, at(0), -5, -100, 100, nullptr, 0x2004, 0);
    Number_Edit<float> real(main, 802, at(1), 0.00025f, -1, 1, nullptr, 0x2004, 0);
    ExtEdit name(main, 803, at(2), "Mia", 80, false, nullptr, 0x2004, 0x143C);
    for (TWindow* w : std::initializer_list<TWindow*>{&whole, &real, &name}) w->Create();
    name.SetFocus();
    Run_Until_Idle();
    sheet.Add_Screen(TRect(TPoint(10, 10), TSize(k * 30, k * 25)), "int, float, name (focused)");
  }

  // A sprite carried over a button, and the screen after it is hidden.
  void Sprite(Widget_Sheet& sheet) {
    struct Crayon : Mobile_Object {
      void Draw(TDC& dc, const TRect& r) override {
        dc.SelectObject(TBrush(TColor(40, 90, 220)));
        dc.SelectObject(TPen(TColor::Black));
        const TPoint tip[3] = {{r.left, r.top}, {r.right - 1, r.top + r.Height() / 3}, {r.left + r.Width() / 3, r.bottom - 1}};
        dc.Polygon(tip, 3);
      }
    };
    Round_Button b(main, 901, TRect(TPoint(20, 20), TSize(k * 19, k * 19)));
    b.Create();
    b.Set_Caption("Help");
    Run_Until_Idle();
    const TRect area(TPoint(0, 0), TSize(k * 40, k * 30));
    sheet.Add_Screen(area, "before");
    TClientDC dc(*main);
    Crayon crayon;
    crayon.Show(dc, TRect(TPoint(5, 5), TSize(k * 6, k * 6)));
    for (int i = 1; i <= 40; ++i) crayon.Move(TRect(TPoint(5 + i * k / 2, 5 + i * k / 3), TSize(k * 6, k * 6)));
    sheet.Add_Screen(area, "moved");
    crayon.Hide(false);
    sheet.Add_Screen(area, "hidden");
  }
};

using C = Contact_Sheets;
const Sheet_Row Sheets[] = {
    {"pictures_640", 640, &C::Pictures}, {"pictures_800", 800, &C::Pictures}, {"pictures_1024", 1024, &C::Pictures},
    {"metafiles_0_7", 1024, &C::Metafiles_0_7}, {"metafiles_8_14", 1024, &C::Metafiles_8_14},
    {"frames_and_cursor", 1024, &C::Frames_And_Cursor},
    {"arrow_buttons_800", 800, &C::Arrow_Buttons}, {"arrow_buttons_1024", 1024, &C::Arrow_Buttons},
    {"round_window_800", 800, &C::Round_Window_Looks}, {"round_window_1024", 1024, &C::Round_Window_Looks},
    {"push_buttons_800", 800, &C::Push_Buttons}, {"push_buttons_1024", 1024, &C::Push_Buttons},
    {"divided_notebook_800", 800, &C::Divided_Notebook_Looks}, {"divided_notebook_1024", 1024, &C::Divided_Notebook_Looks},
    {"narrow_folder_800", 800, &C::Narrow_Folder_Looks}, {"narrow_folder_1024", 1024, &C::Narrow_Folder_Looks},
    {"edit_fields_800", 800, &C::Edit_Fields}, {"edit_fields_1024", 1024, &C::Edit_Fields},
    {"sprite_800", 800, &C::Sprite}, {"sprite_1024", 1024, &C::Sprite}};

TEST_P(Contact_Sheets, Leaves_Its_Sheet) {
  Widget_Sheet sheet(1000, 1000);
  (this->*GetParam().draw)(sheet);
  sheet.Save(GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Each, Contact_Sheets, testing::ValuesIn(Sheets),
                         [](const testing::TestParamInfo<Sheet_Row>& info) { return std::string(info.param.name); });

}  // namespace

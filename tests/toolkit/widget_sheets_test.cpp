// Leaves pictures of every widget in each of its states at the 800 and 1024
// design columns for a person to look at (only when QUENDAR_SNAPSHOTS names
// a folder).
#include "toolkit/arrow_button.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

class Sheet_800 : public Widget_Test {
 protected:
  Sheet_800() : Widget_Test(800) {}
};
class Sheet_1024 : public Widget_Test {
 protected:
  Sheet_1024() : Widget_Test(1024) {}
};

// Arrows of every kind in both styles, raised and pressed, at the sizes the
// panels give them (scaled with the column).
void Arrow_Sheet(Target_Window* main, int column) {
  Widget_Sheet sheet(900, 400);
  const int k = column >= 1024 ? 5 : 4;  // pixels per design unit
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
  sheet.Save("arrow_buttons_" + std::to_string(column));
}

TEST_F(Sheet_800, Widgets) { Arrow_Sheet(main, 800); }
TEST_F(Sheet_1024, Widgets) { Arrow_Sheet(main, 1024); }

}  // namespace

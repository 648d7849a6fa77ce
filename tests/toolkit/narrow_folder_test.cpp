// The narrow folder: the tab outline, staggered layout, the page rectangle,
// and clicks hit-tested against the tab drawn in front.
#include "toolkit/narrow_folder.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

class Narrow_Folder_Test : public Widget_Test {
 protected:
  Narrow_Folder* Make(int width, int tab_width, int tabs, bool create = true) {
    auto* f = new Narrow_Folder(main, 700, TRect(Origin.x, Origin.y, Origin.x + width, Origin.y + 200), tab_width);
    for (int i = 0; i < tabs; ++i) f->Add_Tab(Labels[i], uint32_t(i));
    if (create) {
      EXPECT_TRUE(f->Create());
      Run_Until_Idle();
      Take_Log();
    }
    return f;
  }
  std::vector<int> Tops(const Narrow_Folder& f) {
    std::vector<int> tops;
    for (const Folder_Tab& t : f.Tabs) tops.push_back(t.Rect.top);
    return tops;
  }
  void Click_In(TPoint p) {
    Move(p + Origin);
    Press(p + Origin);
    Release(p + Origin);
  }
  static constexpr TPoint Origin{40, 40};
  static constexpr const char* Labels[4] = {"Handles", "Corners", "Matrix", "More"};
};

TEST_F(Narrow_Folder_Test, The_Tab_Outline_At_The_800_Column) {
  Narrow_Folder* f = Make(200, 125, 0);
  EXPECT_EQ(f->Tab_Shape_Rect, TRect(0, 0, 125, 24));
  TPoint left[7], right[7];
  f->Curve_Points(left, right);
  const TPoint expected[7] = {{0, 24}, {6, 24}, {6, 24}, {9, 12}, {12, 0}, {12, 0}, {18, 0}};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(left[i], expected[i]) << i;
  EXPECT_EQ(right[4], TPoint(125 - 12, 0));
  // The mask: black inside the shape, white in its upper corners.
  TMemoryDC mask(*f->Tab_Mask);
  EXPECT_EQ(mask.GetPixel(62, 12), TColor::Black);
  EXPECT_EQ(mask.GetPixel(62, 0), TColor::Black);  // the top edge belongs to the shape
  EXPECT_EQ(mask.GetPixel(1, 1), TColor::White);
  EXPECT_EQ(mask.GetPixel(123, 1), TColor::White);
  TMemoryDC picture(*f->Tab_Picture);
  EXPECT_EQ(picture.GetPixel(1, 1), TColor::Black);
  EXPECT_EQ(picture.GetPixel(62, 12).Value(), TColor::From_Xrgb(Scheme_Xrgb(0)).Value());
}

TEST_F(Narrow_Folder_Test, Tabs_Overlap_In_Staggered_Rows_With_The_Chosen_One_In_Front) {
  Narrow_Folder* f = Make(200, 125, 3);
  EXPECT_EQ(f->Tabs[0].Rect.left, 3);
  EXPECT_EQ(f->Tabs[1].Rect.left, 37);
  EXPECT_EQ(f->Tabs[2].Rect.left, 71);
  EXPECT_EQ(Tops(*f), (std::vector<int>{36, 18, 0}));
  EXPECT_EQ(f->Page_Rect, TRect(2, 61, 198, 198));
  f->Choose_Tab(2);
  EXPECT_EQ(Tops(*f), (std::vector<int>{18, 0, 36}));
  EXPECT_EQ(f->Page_Rect.top, 61);
  Run_Until_Idle();
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{"tab 2 2"}));
}

TEST_F(Narrow_Folder_Test, One_Tab_No_Tab_And_A_Default_Width) {
  Narrow_Folder* one = Make(200, 125, 1);
  EXPECT_EQ(one->Tabs[0].Rect, TRect(3, 0, 128, 24));
  EXPECT_EQ(one->Page_Rect.top, 25);
  Narrow_Folder* none = Make(200, 125, 0);
  EXPECT_EQ(none->Page_Rect, TRect(2, 2, 198, 198));
  Narrow_Folder* half = Make(200, 0, 2);
  EXPECT_EQ(half->Tab_Shape_Rect.Width(), 100);
  EXPECT_EQ(half->Tabs[1].Rect.right, 197);
}

TEST_F(Narrow_Folder_Test, Tabs_Added_Before_The_Window_Exist_Lay_Out_And_Draw_Later) {
  Narrow_Folder* f = Make(200, 125, 3, false);
  EXPECT_EQ(Tops(*f), (std::vector<int>{36, 18, 0}));
  EXPECT_FALSE(f->Pictures_Built);
  ASSERT_TRUE(f->Create());
  Run_Until_Idle();
  EXPECT_TRUE(f->Pictures_Built);
  // The chosen tab's face and label stand on the screen in the front row.
  EXPECT_EQ(Screen_Pixel(Origin.x + 62, Origin.y + 36 + 22), Scheme_Xrgb(0));
}

TEST_F(Narrow_Folder_Test, A_Click_Chooses_The_Tab_Seen_In_Front_And_The_Pointer_Follows) {
  Narrow_Folder* f = Make(200, 125, 3);
  f->Choose_Tab(1);
  Run_Until_Idle();
  Take_Log();
  // Tab 0 stands at (3, 0, 128, 24) and tab 2 at (71, 18, 196, 42): at
  // (100, 20) tab 2 is drawn over tab 0, so tab 2 is chosen.
  ASSERT_EQ(f->Tabs[0].Rect, TRect(3, 0, 128, 24));
  ASSERT_EQ(f->Tabs[2].Rect, TRect(71, 18, 196, 42));
  EXPECT_EQ(f->Tab_At({100, 20}), 2);
  Move(Origin + TPoint(100, 20));
  Press(Origin + TPoint(100, 20));
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{"tab 2 2"}));
  TPoint pointer;
  GetCursorPos(pointer);
  Release(pointer);
  const TRect& r = f->Tabs[2].Rect;
  EXPECT_EQ(pointer, Origin + TPoint(r.left + r.Width() / 2, r.top + r.Height() / 2));
}

TEST_F(Narrow_Folder_Test, Clicks_Outside_The_Curved_Shape_Or_On_The_Chosen_Tab_Do_Nothing) {
  Narrow_Folder* f = Make(200, 125, 3);
  // The back row's tab (2, top 0): its upper left corner is outside its shape.
  Click_In({71 + 1, 1});
  Click_In({62, 40});  // the chosen tab
  Click_In({100, 150});  // the page
  Run_Until_Idle();
  EXPECT_TRUE(Take_Log().empty());
  EXPECT_EQ(f->Current_Tab, 0u);
  Click_In({100, 10});
  Run_Until_Idle();
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{"tab 2 2"}));
}

TEST_F(Narrow_Folder_Test, A_Refused_Choice_Changes_Nothing) {
  struct Locked_Folder : Narrow_Folder {
    using Narrow_Folder::Narrow_Folder;
    bool Can_Choose(uint32_t) override { return false; }
  };
  auto* f = new Locked_Folder(main, 701, TRect(40, 40, 240, 240), 125);
  for (int i = 0; i < 3; ++i) f->Add_Tab(Labels[i], 0);
  ASSERT_TRUE(f->Create());
  Click_In({100, 10});
  Run_Until_Idle();
  EXPECT_EQ(f->Current_Tab, 0u);
  EXPECT_TRUE(Take_Log().empty());
}

}  // namespace

// The narrow folder: the tab outline, staggered layout, the page rectangle,
// and clicks hit-tested against the tab drawn in front.
#include "toolkit/narrow_folder.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

// A folder that refuses every choice.
struct Locked_Folder : Narrow_Folder {
  using Narrow_Folder::Narrow_Folder;
  bool Can_Choose(uint32_t) override { return false; }
};

class Narrow_Folder_Test : public Widget_Test {
 protected:
  template <class Folder = Narrow_Folder>
  Folder* Make(int width, int tab_width, int tabs, bool create = true) {
    auto* f = new Folder(main, 700, TRect(Origin.x, Origin.y, Origin.x + width, Origin.y + 200), tab_width);
    for (int i = 0; i < tabs; ++i) f->Add_Tab(Labels[i], uint32_t(i));
    return create ? Made(f) : f;
  }
  // One edge of every tab.
  static std::vector<int> Edges(const Narrow_Folder& f, int TRect::*edge = &TRect::top) {
    std::vector<int> out;
    for (const Folder_Tab& t : f.Tabs) out.push_back(t.Rect.*edge);
    return out;
  }
  void Click_In(TPoint p) { Click(p + Origin); }
  static constexpr TPoint Origin{40, 40};
  static constexpr const char* Labels[4] = {"Handles", "Corners", "Matrix", "More"};
};

TEST_F(Narrow_Folder_Test, The_Tab_Outline_At_The_800_Column) {
  Narrow_Folder* f = Make(200, 125, 0);
  EXPECT_EQ(f->Tab_Shape_Rect, TRect(0, 0, 125, 24));
  TPoint left[7], right[7];
  f->Curve_Points(left, right);
  EXPECT_EQ(std::vector<TPoint>(left, left + 7),
            (std::vector<TPoint>{{0, 24}, {6, 24}, {6, 24}, {9, 12}, {12, 0}, {12, 0}, {18, 0}}));
  EXPECT_EQ(right[4], TPoint(125 - 12, 0));
  // The mask: black inside the shape, white in its upper corners.
  TMemoryDC mask(*f->Tab_Mask);
  EXPECT_EQ((std::vector<TColor>{mask.GetPixel(62, 12), mask.GetPixel(62, 0), mask.GetPixel(1, 1), mask.GetPixel(123, 1)}),
            (std::vector<TColor>{TColor::Black, TColor::Black, TColor::White, TColor::White}));  // the top edge is inside
  TMemoryDC picture(*f->Tab_Picture);
  EXPECT_EQ(std::pair(picture.GetPixel(1, 1).Value(), picture.GetPixel(62, 12).Value()),
            std::pair(TColor::Black.Value(), TColor::From_Xrgb(Scheme_Xrgb(0)).Value()));
}

TEST_F(Narrow_Folder_Test, Tabs_Overlap_In_Staggered_Rows_With_The_Chosen_One_In_Front) {
  Narrow_Folder* f = Make(200, 125, 3);
  EXPECT_EQ(Edges(*f, &TRect::left), (std::vector<int>{3, 37, 71}));
  EXPECT_EQ(Edges(*f), (std::vector<int>{36, 18, 0}));
  EXPECT_EQ(f->Page_Rect, TRect(2, 61, 198, 198));
  f->Choose_Tab(2);
  EXPECT_TRUE(Edges(*f) == (std::vector<int>{18, 0, 36}) && f->Page_Rect.top == 61);
  Run_Until_Idle();
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{"tab 2 2"}));
}

TEST_F(Narrow_Folder_Test, One_Tab_No_Tab_And_A_Default_Width) {
  Narrow_Folder* one = Make(200, 125, 1);
  EXPECT_EQ(std::pair(one->Tabs[0].Rect, one->Page_Rect.top), std::pair(TRect(3, 0, 128, 24), 25));
  Narrow_Folder* none = Make(200, 125, 0);
  EXPECT_EQ(none->Page_Rect, TRect(2, 2, 198, 198));
  Narrow_Folder* half = Make(200, 0, 2);
  EXPECT_EQ(std::pair(half->Tab_Shape_Rect.Width(), half->Tabs[1].Rect.right), std::pair(100, 197));
}

TEST_F(Narrow_Folder_Test, Tabs_Added_Before_The_Window_Exist_Lay_Out_And_Draw_Later) {
  Narrow_Folder* f = Make(200, 125, 3, false);
  EXPECT_TRUE(Edges(*f) == (std::vector<int>{36, 18, 0}) && !f->Pictures_Built);
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
  EXPECT_TRUE(Take_Log().empty() && f->Current_Tab == 0u);
  Click_In({100, 10});
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{"tab 2 2"}));
}

TEST_F(Narrow_Folder_Test, A_Refused_Choice_Changes_Nothing) {
  Locked_Folder* f = Make<Locked_Folder>(200, 125, 3);
  Click_In({100, 10});
  EXPECT_TRUE(Take_Log().empty() && f->Current_Tab == 0u);
}

}  // namespace

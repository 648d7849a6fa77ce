// The divided notebook: layout of dividers and sub-dividers, colours,
// additions and removals, selection and its report, clicks and refusals.
#include "toolkit/divided_notebook.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

// A notebook that may refuse selections and records the changes it sees.
struct Test_Notebook : Divided_Notebook {
  using Divided_Notebook::Divided_Notebook;
  bool Can_Select(uint32_t d, uint32_t s) override {
    asked.push_back(std::to_string(d) + "," + std::to_string(s));
    return allow;
  }
  void Paint(TDC& dc, bool erase, TRect& rect) override {
    ++paints;
    Divided_Notebook::Paint(dc, erase, rect);
  }
  bool allow = true;
  int paints = 0;
  std::vector<std::string> asked;
};

class Divided_Notebook_Test : public Widget_Test {
 protected:
  // A notebook of a height with dividers labelled by their index and
  // holding first_data + index.
  Test_Notebook* Make(int dividers, uint32_t first_data = 0, int height = 400, bool create = true) {
    auto* nb = new Test_Notebook(main, 600, TRect(Origin, TSize(300, height)), 60, 0x7FFFFFFF);
    if (create) Made(nb);
    for (int i = 0; i < dividers; ++i) nb->Add_Divider(std::to_string(i).c_str(), first_data + uint32_t(i));
    return nb;
  }
  void Click_In(TPoint p) { Click(p + Origin); }
  static constexpr TPoint Origin{20, 30};
};

TEST_F(Divided_Notebook_Test, Five_Dividers_Share_The_Height_With_Their_Gaps) {
  Test_Notebook* nb = Make(5);
  const int tops[5] = {16, 96, 176, 256, 336};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(nb->Dividers[size_t(i)].Rect, TRect(240, tops[i], 300, tops[i] + 64)) << i;
    EXPECT_EQ(nb->Dividers[size_t(i)].Color_Index, i);
  }
  // A bound on the tab height.
  nb->Max_Tab_Height = 40;
  nb->Add_Divider("6", 6);
  EXPECT_EQ(nb->Dividers[0].Rect, TRect(240, 10, 300, 50));
}

TEST_F(Divided_Notebook_Test, Sub_Dividers_Stack_Inside_Their_Divider) {
  Test_Notebook* nb = Make(5);  // 64-pixel dividers
  EXPECT_EQ(nb->Add_Sub_Divider(1, "2a", 21), 1u);
  EXPECT_EQ(nb->Add_Sub_Divider(1, "2b", 22), 2u);
  const Notebook_Divider& d = nb->Dividers[1];
  ASSERT_EQ(d.Sub_Dividers.size(), 3u);
  EXPECT_EQ(d.Sub_Dividers[0].Label, "1");  // the divider's own page
  for (int j = 0; j < 3; ++j) {
    const Notebook_Divider& sub = d.Sub_Dividers[size_t(j)];
    EXPECT_EQ((std::vector<int>{sub.Rect.top, sub.Rect.Height(), sub.Color_Index}), (std::vector<int>{96 + 21 * j, 20, 1}));
  }
  EXPECT_EQ(nb->Add_Sub_Divider(5, "no", 0), Divided_Notebook::No_Entry);
}

TEST_F(Divided_Notebook_Test, Removing_Entries) {
  Test_Notebook* nb = Make(7);
  EXPECT_EQ(nb->Dividers[6].Color_Index, 0);
  nb->Add_Sub_Divider(3, "3b", 33);
  nb->Remove_Entry(3, 0);  // one of two left: the divider is plain again
  EXPECT_TRUE(nb->Dividers[3].Sub_Dividers.empty() && nb->Dividers[3].Label == "3" && nb->Dividers[3].Data == 3u);
  nb->Remove_Entry(2, 9);  // a plain divider goes whatever the sub index
  ASSERT_EQ(nb->Dividers.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(nb->Dividers[size_t(i)].Color_Index, i);
  EXPECT_EQ(nb->Dividers[2].Label, "3");
  nb->Remove_Entry(9, 0);
  nb->Add_Sub_Divider(0, "0b", 1);
  nb->Remove_Entry(0, 5);  // no such sub-divider
  EXPECT_EQ(nb->Dividers[0].Sub_Dividers.size(), 2u);
  nb->Remove_Sub_Dividers(0);
  EXPECT_TRUE(nb->Dividers[0].Sub_Dividers.empty());
  nb->Select(1, 0);
  nb->Remove_All();
  EXPECT_TRUE(nb->Dividers.empty() && nb->Selected_Divider == 0u);
}

TEST_F(Divided_Notebook_Test, Selection_Reports_Divider_And_Sub_Divider) {
  Test_Notebook* nb = Make(4, 100);
  for (int j = 1; j <= 3; ++j) nb->Add_Sub_Divider(2, "2", uint32_t(200 + j));
  nb->Select(0, 0);  // already the selection: nothing
  nb->Select(1, 5);  // a plain divider: the divider, whatever the sub index
  nb->Select(2, 3);
  nb->Select(2, 9);  // names nothing: stored, not reported
  Run_Until_Idle();
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{"tab 261 101", "tab 515 203"}));
  EXPECT_EQ(nb->Selected_Sub, 9u);
  EXPECT_EQ((std::array{nb->Get_Entry(2, 9), nb->Get_Entry(1, 7), nb->Get_Entry(4, 0)}),
            (std::array<Notebook_Divider*, 3>{nullptr, &nb->Dividers[1], nullptr}));
}

TEST_F(Divided_Notebook_Test, Clicks_Select_Tabs_Unless_Refused) {
  Test_Notebook* nb = Make(5);
  for (int j = 1; j <= 2; ++j) nb->Add_Sub_Divider(1, "1", uint32_t(10 + j));
  Click_In({270, 100});  // divider 1, sub-divider 0
  Click_In({270, 160 - 21});  // its sub-divider 2
  Click_In({270, 116});  // the gap between sub-tabs 0 and 1
  Click_In({270, 10});   // above the first divider
  Click_In({100, 100});  // the page
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{"tab 256 1", "tab 258 12"}));
  EXPECT_EQ(nb->asked, (std::vector<std::string>{"1,0", "1,2"}));
  nb->allow = false;
  Click_In({270, 200});
  EXPECT_TRUE(Take_Log().empty());
  EXPECT_EQ(std::make_pair(nb->Selected_Divider, nb->Selected_Sub), std::make_pair(1u, 2u));
}

TEST_F(Divided_Notebook_Test, The_Selected_Tab_Reaches_Into_The_Page) {
  Test_Notebook* nb = Make(3);
  nb->Select(1, 0);
  // Left of the frame line (an eighth of the tab in) the selected tab shows
  // its face, an unselected one the page background.
  auto at = [&](int i, int dx) {
    const TRect& r = nb->Dividers[size_t(i)].Rect;
    return Screen_Pixel(Origin.x + r.left + dx, Origin.y + r.top + r.Height() / 2);
  };
  EXPECT_EQ((std::vector<uint32_t>{at(1, 2), at(0, 2), at(0, 60 / 8)}),
            (std::vector<uint32_t>{Scheme_Xrgb(21), Scheme_Xrgb(0), Scheme_Xrgb(38)}));
}

TEST_F(Divided_Notebook_Test, Nothing_Is_Laid_Out_Before_The_Window_Exists) {
  Test_Notebook* nb = Make(1, 1, 400, false);
  nb->Add_Sub_Divider(0, "1a", 2);
  EXPECT_TRUE(!nb->Laid_Out && nb->Dividers[0].Rect == TRect() && nb->Dividers[0].Sub_Dividers[0].Normal_Look == nullptr);
  ASSERT_TRUE(nb->Create());
  EXPECT_TRUE(nb->Laid_Out && nb->Dividers[0].Sub_Dividers[1].Normal_Look != nullptr);
  // Held painting: additions lay out and render but do not paint.
  Run_Until_Idle();
  const int paints = nb->paints;
  nb->Painting_Held = 1;
  nb->Add_Divider("2", 3);
  EXPECT_TRUE(nb->paints == paints && nb->Dividers[1].Normal_Look != nullptr) << nb->paints;
  nb->Painting_Held = 0;
  nb->Add_Divider("3", 4);
  EXPECT_EQ(nb->paints, paints + 1);
}

TEST_F(Divided_Notebook_Test, Tiny_Tabs_Still_Render) {
  Test_Notebook* nb = Make(1, 1, 60);
  for (int j = 0; j < 30; ++j) nb->Add_Sub_Divider(0, "s", uint32_t(j));
  for (const Notebook_Divider& sub : nb->Dividers[0].Sub_Dividers) EXPECT_NE(sub.Normal_Look, nullptr);
  // A label taller than its tab takes the tab's height less 2, made even.
  Test_Notebook* low = Make(1, 1, 30);
  EXPECT_EQ(low->Dividers[0].Rect.Height(), 24);
}

}  // namespace

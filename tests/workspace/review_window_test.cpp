// The review of past states: the spiral of cells, moves by corner, key and
// click, and what OK and Cancel leave in the drawing window.
#include "tests/workspace/workspace_fixture.h"
#include "workspace/review_window.h"
#include "toolkit/program_messages.h"

static TPoint Mid(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

class Review_Window_Test : public Drawing_Window_Test {
 protected:
  // states - 1 single steps, each state a different picture.
  void Make_States(int states) {
    window->Set_Drawing(Filled_Square(), true);
    for (int i = 1; i < states; ++i)
      window->Apply_Manipulator(Make_Set({{0.97f, 0, 0, 0.97f, 0.015f, 0.015f}}), true);
  }
  Review_Window& Review() { return *window->review; }
  std::pair<UINT, WPARAM> Last_Posted() const { return {main->Posted.back().msg, main->Posted.back().wp}; }
  void Key(uint32_t vk) {
    session.Backend().Key(vk);
    session.Run_Until_Idle();
  }
  TPoint Cell_Point(int i) {
    TPoint p = Mid(Review().cell[size_t(i)]);
    Review().ClientToScreen(p);
    return p;
  }
};

TEST_F(Review_Window_Test, Spiral_Runs_Clockwise_Inward_From_The_Top) {
  const auto& cells = Review().cell;
  const int cx = Review().Attr.W / 2;
  EXPECT_EQ(Mid(cells[12]).x, cx);
  EXPECT_LT(cells[12].top, cells[0].top);
  // Clockwise from the top: the next cells lie to the right.
  EXPECT_GT(Mid(cells[11]).x, cx);
  for (int i = 1; i < Review_Window::Cell_Count; ++i) EXPECT_TRUE(Review().Frame_Rect.Contains(cells[size_t(i)])) << i;
}

TEST_F(Review_Window_Test, Moves_By_Corner_Key_And_Click) {
  Make_States(51);
  Click_Corner(*window, 0);
  ASSERT_TRUE(window->Review_Open());
  EXPECT_EQ(Last_Posted(), (std::pair<UINT, WPARAM>{Drawing_Busy_Message, 1}));
  EXPECT_EQ(Review().count, 51);
  EXPECT_FALSE(Review().Is_Corner_Enabled(1));
  const struct {
    uint32_t key;
    int32_t from, to;
  } keys[] = {{VK_PRIOR, 45, 50}, {VK_PRIOR, 10, 22}, {VK_NEXT, 5, 0}, {VK_HOME, 3, 50},
              {VK_END, 30, 0},    {VK_LEFT, 0, 1},    {VK_UP, 1, 2},   {VK_DOWN, 2, 1}, {VK_RIGHT, 50, 49}};
  for (const auto& k : keys) {
    Review().position = k.from;
    Key(k.key);
    EXPECT_EQ(Review().position, k.to) << k.key << " from " << k.from;
  }
  Review().position = 0;
  Click_Corner(Review(), 0);
  EXPECT_EQ(Review().position, 1);
  Click(Cell_Point(3));
  EXPECT_EQ(Review().position, 4);
  Click_Corner(Review(), 1);
  EXPECT_EQ(Review().position, 3);
  main->Posted.clear();
  Key(VK_F1);
  EXPECT_EQ(Last_Posted().first, Help_Request_Message);
}

TEST_F(Review_Window_Test, Ok_Shows_The_Frame_And_Cancel_Changes_Nothing) {
  Make_States(20);
  auto current = Pixels_Of(*window->current.picture);
  Click_Corner(*window, 0);
  Review().position = 5;
  Click_Corner(Review(), 2);  // Cancel
  EXPECT_FALSE(window->Review_Open());
  EXPECT_EQ(Last_Posted(), (std::pair<UINT, WPARAM>{Drawing_Busy_Message, 0}));
  EXPECT_TRUE(window->shown == window->history.end());

  Click_Corner(*window, 0);
  Review().position = 3;
  auto chosen = Pixels_Of(*std::next(window->history.begin(), 2)->picture);
  Click_Corner(Review(), 3);  // OK
  EXPECT_TRUE(Same(*window->Current_Drawing(), *chosen));
  EXPECT_TRUE(Same(*window->current.picture, *current));
  // The next step goes on from the chosen state; newer ones are gone.
  window->Apply_Manipulator(Five(), true);
  EXPECT_EQ(window->history.size(), 20u - 3u);
  EXPECT_TRUE(Same(*window->history.front().picture, *chosen));

  // One frame: only OK and Cancel act.
  window->Set_Drawing(Filled_Square(), true);
  window->Apply_Manipulator(Five(), true);
  window->Undo();
  window->Apply_Manipulator(Five(), true);
  Click_Corner(*window, 0);
  Review().Set_Frames(window->frames.data(), window->frame_pieces.data(), 1, 0);
  EXPECT_FALSE(Review().Is_Corner_Enabled(0));
  EXPECT_FALSE(Review().Is_Corner_Enabled(1));
  Click_Corner(Review(), 3);
  EXPECT_TRUE(window->shown == window->history.end());
}

TEST_F(Review_Window_Test, Snapshot_With_Twenty_States) {
  Make_States(20);
  window->Review();
  session.Run_Until_Idle();
  session.Snapshot("review_window_20", window->Window_Rect_In_Parent());
  Review().position = 4;
  Review().Invalidate();
  session.Run_Until_Idle();
  session.Snapshot("review_window_20_at_4", window->Window_Rect_In_Parent());
  EXPECT_EQ(Review().count, 20);
  EXPECT_EQ(Review().thumbnails.size(), 20u);
}

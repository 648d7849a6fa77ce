// Sprites: what lies under them comes back exactly, however they move.
#include "toolkit/mobile_object.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

// A red disc with a black dot: the corners of its box stay untouched and
// show the background.
class Disc : public Mobile_Object {
 public:
  void Draw(TDC& dc, const TRect& rect) override {
    dc.SelectObject(TBrush(TColor(220, 30, 30)));
    dc.SelectStockObject(NULL_PEN);
    dc.Ellipse(rect);
    dc.SetPixel(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2, TColor::Black);
    ++draws;
  }
  const TBitmap* Saved_Bitmap() const { return Saved.get(); }
  int draws = 0;
};

class Mobile_Object_Test : public Widget_Test {
 protected:
  void SetUp() override {
    Widget_Test::SetUp();
    // A background where every pixel differs from its neighbours.
    TClientDC dc(*main);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) dc.SetPixel(x, y, TColor(x * 7 % 256, y * 5 % 256, (x + y) * 3 % 256));
    before = Screen_Pixels(Area);
    dc_ = std::make_unique<TClientDC>(*main);
  }
  void TearDown() override {
    dc_.reset();
    Widget_Test::TearDown();
  }
  void Show(const TRect& r) { disc.Show(*dc_, r); }
  // The background's pixels inside r, row by row.
  std::vector<uint32_t> Before(const TRect& r) const {
    std::vector<uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y) out.insert(out.end(), &before[size_t(y) * 300 + r.left], &before[size_t(y) * 300 + r.right]);
    return out;
  }
  const TRect Area{0, 0, 300, 200};
  std::vector<uint32_t> before;
  std::unique_ptr<TClientDC> dc_;
  Disc disc;
};

TEST_F(Mobile_Object_Test, Moving_Step_By_Step_And_Hiding_Restores_Every_Pixel) {
  Show(TRect(10, 10, 40, 40));
  EXPECT_EQ(Screen_Pixel(25, 25), 0u);
  EXPECT_EQ(Screen_Pixel(20, 25), 0xDC1E1Eu);
  EXPECT_EQ(Screen_Pixel(10, 10), before[10 * 300 + 10]);  // a corner shows the background
  for (int i = 1; i <= 60; ++i) disc.Move(TRect(10 + 3 * i, 10 + 2 * i, 40 + 3 * i, 40 + 2 * i));
  EXPECT_EQ(Screen_Pixel(25, 25), before[25 * 300 + 25]);
  disc.Hide(false);
  EXPECT_EQ(Screen_Pixels(Area), before);
}

TEST_F(Mobile_Object_Test, A_Jump_Farther_Than_The_Object_Leaves_No_Trace) {
  Show(TRect(10, 10, 40, 40));
  disc.Move(TRect(200, 120, 230, 150));
  EXPECT_EQ(Screen_Pixels(TRect(0, 0, 100, 100)), Before(TRect(0, 0, 100, 100)));
  EXPECT_EQ(Screen_Pixel(215, 135), 0u);
  disc.Hide(false);
  EXPECT_EQ(Screen_Pixels(Area), before);
}

TEST_F(Mobile_Object_Test, Moving_To_The_Same_Place_Draws_Over_The_Same_Background) {
  Show(TRect(50, 50, 90, 80));
  const auto shown = Screen_Pixels(Area);
  disc.Move(TRect(50, 50, 90, 80));
  EXPECT_EQ(disc.draws, 2);
  EXPECT_EQ(Screen_Pixels(Area), shown);
  disc.Hide(false);
  EXPECT_EQ(Screen_Pixels(Area), before);
}

TEST_F(Mobile_Object_Test, The_Saved_Bitmap_Grows_For_A_Larger_Object_And_Is_Reused_For_A_Smaller) {
  Show(TRect(10, 10, 30, 30));
  disc.Hide(false);
  Show(TRect(10, 10, 60, 50));
  const TBitmap* large = disc.Saved_Bitmap();
  EXPECT_TRUE(large->Width() >= 50 && large->Height() >= 40);
  disc.Move(TRect(100, 100, 120, 110));  // smaller: kept
  EXPECT_EQ(disc.Saved_Bitmap(), large);
  disc.Move(TRect(100, 100, 180, 110));  // wider than the bitmap: grown while moving
  EXPECT_GE(disc.Saved_Bitmap()->Width(), 80);
  disc.Hide(false);
  EXPECT_EQ(Screen_Pixels(Area), before);
}

TEST_F(Mobile_Object_Test, Hiding_With_Keep_Screen_Leaves_The_Picture) {
  Show(TRect(10, 10, 40, 40));
  disc.Hide(true);
  EXPECT_EQ(Screen_Pixel(25, 25), 0u);
  EXPECT_FALSE(disc.Shown());
}

// The sprite draws through the main window's context over a child window;
// the child's pixels come back as they were.
TEST_F(Mobile_Object_Test, A_Sprite_Over_A_Window_Under_Other_Windows_Restores_Them_Too) {
  struct Child : TWindow {
    using TWindow::TWindow;
    void Paint(TDC& dc, bool, TRect&) override {
      dc.SelectObject(TBrush(TColor(10, 200, 10)));
      dc.PatBlt(GetClientRect(), PATCOPY);
    }
  };
  auto* child = new Child(main, "child");
  child->Attr.X = 100;
  child->Attr.Y = 60;
  child->Attr.W = child->Attr.H = 50;
  ASSERT_TRUE(child->Create());
  Run_Until_Idle();
  const auto shown = Screen_Pixels(Area);
  Show(TRect(80, 40, 120, 80));
  for (int i = 0; i < 20; ++i) disc.Move(TRect(80 + i * 4, 40 + i, 120 + i * 4, 80 + i));
  disc.Hide(false);
  EXPECT_EQ(Screen_Pixels(Area), shown);
}

}  // namespace

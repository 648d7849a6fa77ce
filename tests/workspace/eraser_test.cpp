// The eraser: the click protocol with its client, the smudge it shows, and
// that it never reaches a client that is gone.
#include "workspace/eraser.h"

#include "tests/workspace/colours_stage.h"

namespace {

// A client that takes back what its script says and may offer a next
// change, as a window with more pending edits does.
class Script_Client : public Eraser_Client {
 public:
  bool Erase() override {
    ++calls;
    if (next_color != TColor::No_Color) The_Eraser->Attach(this, next_color);
    if (detach) The_Eraser->Detach_Client(this);
    return answer;
  }
  bool answer = true;
  bool detach = false;
  TColor next_color = TColor::No_Color;
  int calls = 0;
};

class Eraser_Test : public testing::Test {
 protected:
  void SetUp() override {
    eraser = new Eraser(stage.parent, Place);
    ASSERT_TRUE(eraser->Create());
    stage.Idle();
  }
  void Click() { stage.Click(Centre); }

  static constexpr TRect Place{100, 100, 148, 172};
  static constexpr TPoint Centre{124, 136};
  Colours_Stage stage;
  Eraser* eraser = nullptr;
};

TEST_F(Eraser_Test, Clicks_Take_Back_And_Show_The_Rubbed_Out_Colour_Alternating_The_Smudges) {
  const TColor red(233, 0, 0), blue(0, 0, 200);
  Script_Client client;
  eraser->Attach(&client, red);
  client.next_color = red;  // two red shapes pending
  Click();
  EXPECT_EQ(eraser->Shown_Color, red);
  const uint32_t first = eraser->Smudge_Variant;
  EXPECT_EQ(eraser->Pending_Color, red);
  client.next_color = blue;
  Click();
  EXPECT_EQ(eraser->Shown_Color, red);
  EXPECT_NE(eraser->Smudge_Variant, first) << "the same colour twice alternates the smudge";
  client.next_color = TColor::No_Color;
  Click();
  EXPECT_EQ(eraser->Shown_Color, blue);
  EXPECT_EQ(eraser->Smudge_Variant, first ^ 1) << "another colour keeps the smudge";
  EXPECT_EQ(client.calls, 3);
}

TEST_F(Eraser_Test, A_Refusing_Client_Or_No_Client_Shows_The_Clean_Rubber) {
  Script_Client client;
  eraser->Attach(&client, TColor(233, 0, 0));
  Click();
  ASSERT_NE(eraser->Shown_Color, TColor::No_Color);
  client.answer = false;  // the review is open
  eraser->Attach(&client, TColor(0, 0, 200));
  Click();
  EXPECT_EQ(eraser->Shown_Color, TColor::No_Color);
  EXPECT_EQ(eraser->Client, &client) << "a refusing client stays attached";
  eraser->Shown_Color = TColor(1, 2, 3);
  eraser->Detach_Client(&client);
  EXPECT_EQ(eraser->Client, nullptr);
  EXPECT_EQ(eraser->Shown_Color, TColor::No_Color);
  Click();
  EXPECT_EQ(client.calls, 2);
}

TEST_F(Eraser_Test, Only_The_Current_Client_Detaches_And_A_Client_That_Dies_Is_Never_Called) {
  Script_Client other;
  other.detach = true;  // the mixer's one level of undo: detached in its erase, its smudge still shown
  eraser->Attach(&other, TColor(233, 0, 0));
  Click();
  EXPECT_EQ(eraser->Client, nullptr);
  EXPECT_EQ(eraser->Shown_Color, TColor(233, 0, 0));
  auto client = std::make_unique<Script_Client>();
  eraser->Attach(client.get(), TColor(233, 0, 0));
  eraser->Detach_Client(&other);
  EXPECT_EQ(eraser->Client, client.get());
  client.reset();
  EXPECT_EQ(eraser->Client, nullptr);
  Click();  // would call a dead client
  EXPECT_EQ(eraser->Shown_Color, TColor::No_Color);
}

TEST_F(Eraser_Test, The_Smudge_Shows_The_Colour_Inside_The_Mask_And_The_Clean_Rubber_Elsewhere) {
  const std::vector<uint32_t> clean = stage.Pixels(Place);  // the parent sits at the origin
  Script_Client client;
  const TColor green(0, 200, 0);
  eraser->Attach(&client, green);
  Click();
  const TBitmap& mask = *The_GUI_Bitmaps->Pictures[eraser->Smudge_Variant == 1 ? 30 : 31];
  TMemoryDC mask_dc(mask);
  int smudged = 0, kept = 0;
  for (int y = 0; y < Place.Height(); ++y)
    for (int x = 0; x < Place.Width(); ++x) {
      const TPoint p(x, y);
      if (!eraser->Shape_Region.Contains(p)) continue;
      const uint32_t now = stage.Pixel(p + Place.TopLeft());
      if ((uint32_t(mask_dc.GetPixel(p)) & 0xFFFFFF) == 0) {
        EXPECT_EQ(now, 0x00C800u) << x << "," << y;
        ++smudged;
      } else {
        EXPECT_EQ(now, clean[size_t(y * Place.Width() + x)]) << x << "," << y;
        ++kept;
      }
    }
  EXPECT_GT(smudged, 20);
  EXPECT_GT(kept, smudged);
}

TEST_F(Eraser_Test, The_Pointer_Leaving_Lets_The_Mouse_Go) {
  stage.Move(Centre);
  EXPECT_TRUE(The_Mouse->Holds(eraser));
  stage.Move(TPoint(400, 400));
  EXPECT_FALSE(The_Mouse->Holds(eraser));
  EXPECT_EQ(The_Tip_Window->Item, nullptr);
}

}  // namespace

// Arrow buttons: the triangle's points, hit test and window region, press,
// drag out and back, repeat, release, the enabler and the two faces.
#include "toolkit/arrow_button.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

constexpr int Id = 301;

std::string Sent(int code) { return "command " + std::to_string(Id) + " " + std::to_string(code); }

class Arrow_Button_Test : public Widget_Test {
 protected:
  Arrow_Button* Make(int32_t kind, const TRect& rect, uint32_t repeat = Arrow_No_Repeat, int32_t style = 1) {
    return Made(new Arrow_Button(main, Id, rect, kind, style, repeat));
  }
  // The screen inside the button's triangle against one of its faces.
  bool Shows(const Arrow_Button* b, const TBitmap& face) {
    return Screen_Shows(*b, face, [b](int x, int y) { return b->Shape_Contains({x, y}); });
  }
};

TEST_F(Arrow_Button_Test, The_Triangle_Points_By_Kind) {
  const struct {
    int32_t kind;
    TRect rect;
    std::vector<TPoint> points;
  } cases[] = {{Arrow_Kind_Up, TRect(0, 0, 21, 11), {{9, 0}, {0, 9}, {18, 9}, {9, 4}}},
               {Arrow_Kind_Upper_Right, TRect(5, 5, 26, 26), {{20, 0}, {0, 0}, {20, 20}, {15, 5}}},
               {Arrow_Kind_Right, TRect(0, 0, 11, 21), {{9, 9}, {0, 0}, {0, 18}, {5, 9}}}};
  for (const auto& c : cases) {
    const Arrow_Button b(main, 1, c.rect, c.kind, 1, Arrow_No_Repeat);
    EXPECT_EQ(std::vector<TPoint>(b.Points(), b.Points() + 4), c.points) << c.kind;
  }
}

TEST_F(Arrow_Button_Test, A_Press_Beside_The_Triangle_Does_Nothing_And_One_In_It_Sends_Press_And_Release) {
  Arrow_Button* up = Make(Arrow_Kind_Up, TRect(100, 100, 141, 121));
  Click({101, 101});  // in the window's rectangle, above the triangle
  EXPECT_TRUE(Take_Log().empty());
  EXPECT_EQ(mouse->Holder(), nullptr);
  EXPECT_FALSE(up->Shows_Pressed());
  // Without repeat, a click in it is pressed, then released, however long it is held.
  Press({120, 112});
  Advance(2000, 50);
  Release({120, 112});
  Advance(500, 50);
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Sent(Arrow_Button_Pressed), Sent(Arrow_Button_Released)}));
  // A corner arrow's window is its triangle: the click goes to the parent.
  Arrow_Button* corner = Make(Arrow_Kind_Lower_Right, TRect(200, 100, 231, 131));
  EXPECT_EQ(TDesktop::Current().Window_From_Point({202, 102}), main);
  EXPECT_EQ(TDesktop::Current().Window_From_Point({228, 128}), corner);
  Click({202, 102});
  EXPECT_TRUE(Take_Log().empty());
}

TEST_F(Arrow_Button_Test, Holding_Repeats_Each_Interval_And_Dragging_Out_And_Back_Stops_And_Restarts) {
  Arrow_Button* down = Make(Arrow_Kind_Down, TRect(100, 100, 141, 121), 250);
  Press({120, 105});
  EXPECT_TRUE(down->Shows_Pressed());
  Advance(1000);
  const std::string repeat = Sent(Arrow_Button_Repeat);
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Sent(Arrow_Button_Pressed), repeat, repeat, repeat, repeat}));
  Move({120, 140});  // out
  Advance(1000);
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Sent(Arrow_Button_Released)}));
  EXPECT_FALSE(down->Shows_Pressed());
  Move({120, 104});  // back in: a full interval before the next tick
  Advance(240);
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Sent(Arrow_Button_Pressed)}));
  Advance(20);
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Sent(Arrow_Button_Repeat)}));
  Move({120, 140});
  Release({120, 140});  // released outside after dragging out: nothing more
  Advance(500);
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Sent(Arrow_Button_Released)}));
  EXPECT_EQ(mouse->Holder(), nullptr);
}

TEST_F(Arrow_Button_Test, The_Target_Disables_And_Enables_The_Button_At_Idle) {
  Arrow_Button* up = Make(Arrow_Kind_Up, TRect(100, 100, 141, 121), 250);
  EXPECT_TRUE(Shows(up, *up->Normal_Look()));
  Press({120, 112});
  Advance(260);
  EXPECT_EQ(Take_Log().size(), 2u);
  main->Enabled[Id] = false;
  Move({121, 112});  // any message starts a new idle period, which asks the target
  EXPECT_FALSE(up->Is_Enabled());
  EXPECT_TRUE(up->Shows_Pressed());
  EXPECT_TRUE(Shows(up, *up->Pressed_Look()));
  Advance(1000);
  Release({120, 112});
  EXPECT_TRUE(Take_Log().empty());  // no ticks, and the release sends nothing
  Press({120, 112});
  Release({120, 112});
  EXPECT_TRUE(Take_Log().empty());  // presses are ignored
  main->Enabled[Id] = true;
  Move({122, 112});
  EXPECT_TRUE(up->Is_Enabled());
  EXPECT_TRUE(Shows(up, *up->Normal_Look()));
}

TEST_F(Arrow_Button_Test, The_Enable_Request_Is_Made_Once_Per_Idle_Period_And_Never_Reaches_A_Dead_Button) {
  Arrow_Button* up = Make(Arrow_Kind_Up, TRect(100, 100, 141, 121));
  main->Enable_Requests = 0;
  Run_Until_Idle();
  EXPECT_EQ(main->Enable_Requests, 0);  // nothing happened: no new period
  Move({10, 10});
  EXPECT_EQ(main->Enable_Requests, 1);
  Move({11, 10});
  Move({12, 10});
  EXPECT_EQ(main->Enable_Requests, 3);
  up->IdleAction(0);  // the request waits in the queue
  delete up;
  Run_Until_Idle();
  EXPECT_EQ(main->Enable_Requests, 3);
}

TEST_F(Arrow_Button_Test, Faces_Shade_The_Triangle_And_Swap_When_Pressed) {
  Arrow_Button* up = Make(Arrow_Kind_Up, TRect(100, 100, 141, 121), Arrow_No_Repeat, 1);
  auto normal = [&](int x, int y) { return up->Normal_Look()->Surface()->Pixel(x, y); };
  const TPoint* p = up->Points();
  // The bottom line is black when raised; the left slope's edge is light
  // when raised and dark when pressed; the inside is the face colour, the
  // outside the background.
  EXPECT_EQ((std::vector<uint32_t>{normal(p[1].x + 10, p[1].y), normal(p[0].x, p[0].y + 1),
                                   up->Pressed_Look()->Surface()->Pixel(p[0].x, p[0].y + 1), normal(p[3].x, p[3].y + 3),
                                   normal(0, 0)}),
            (std::vector<uint32_t>{0, Scheme_Xrgb(5), Scheme_Xrgb(3), Scheme_Xrgb(1), Scheme_Xrgb(0)}));
  Arrow_Button* light = Make(Arrow_Kind_Up, TRect(200, 100, 241, 121), Arrow_No_Repeat, 0);
  EXPECT_EQ(light->Normal_Look()->Surface()->Pixel(p[3].x, p[3].y + 3), Scheme_Xrgb(0));
  EXPECT_EQ(light->Normal_Look()->Surface()->Pixel(p[0].x, p[0].y + 1), Scheme_Xrgb(49));
}

}  // namespace

// Which rectangles a presentation sends to the display.
#include <gtest/gtest.h>

#include <vector>

#include "platform/backend/sdl/sdl_backend.h"

namespace {

struct Case {
  const char* what;
  std::vector<TRect> changed;
  std::vector<TRect> sent;
};

TEST(SDL_Backend, Rects_To_Send) {
  const TRect screen(0, 0, 100, 100);
  const Case cases[] = {
      {"nothing changed", {}, {}},
      {"clipped to the screen", {TRect(90, -5, 120, 10)}, {TRect(90, 0, 100, 10)}},
      {"off the screen, dropped", {TRect(100, 0, 120, 10), TRect(0, 0, 0, 10)}, {}},
      {"far apart, each alone", {TRect(0, 0, 10, 10), TRect(90, 90, 100, 100)}, {TRect(0, 0, 10, 10), TRect(90, 90, 100, 100)}},
      // The screen in pieces, as a window built of panels paints it.
      {"pieces of the whole screen, one box",
       {TRect(0, 0, 100, 20), TRect(0, 20, 30, 100), TRect(30, 20, 100, 100)},
       {screen}},
      // Three quarters of the box is enough; less is not.
      {"half of their box", {TRect(0, 0, 10, 30), TRect(10, 0, 40, 10)}, {TRect(0, 0, 10, 30), TRect(10, 0, 40, 10)}},
      {"seven tenths of their box", {TRect(0, 0, 40, 30), TRect(40, 0, 50, 10), TRect(40, 30, 50, 40)},
       {TRect(0, 0, 40, 30), TRect(40, 0, 50, 10), TRect(40, 30, 50, 40)}},
      {"three quarters of their box", {TRect(0, 0, 20, 10), TRect(0, 10, 10, 20)}, {TRect(0, 0, 20, 20)}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rects_To_Send(c.changed, screen), c.sent) << c.what;
}

}  // namespace

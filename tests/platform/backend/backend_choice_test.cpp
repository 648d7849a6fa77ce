// Choosing the backend and the headless backend's own services.
#include "platform/backend/sdl/backend_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/backend/headless/headless_backend.h"

TEST(Backend_Choice, Screen_Sizes_Are_Read_From_WxH_Only) {
  EXPECT_EQ(Parse_Screen_Size("800x600"), TSize(800, 600));
  EXPECT_EQ(Parse_Screen_Size("2560x1440"), TSize(2560, 1440));
  for (const char* bad : {"800", "800x600x3", "-800x600", "100000x100000", "", static_cast<const char*>(nullptr)})
    EXPECT_FALSE(Parse_Screen_Size(bad)) << (bad ? bad : "null");
}

TEST(Backend_Choice, Asking_For_Headless_Gives_Headless_At_The_Size_Asked) {
  setenv("QUENDAR_HEADLESS", "1", 1);
  setenv("QUENDAR_SCREEN", "640x480", 1);
  auto backend = Choose_Backend();
  unsetenv("QUENDAR_HEADLESS");
  unsetenv("QUENDAR_SCREEN");
  ASSERT_NE(dynamic_cast<THeadless_Backend*>(backend.get()), nullptr);
  EXPECT_EQ(backend->Screen_Size(), TSize(640, 480));
}

TEST(Headless_Backend, Waits_Jump_The_Virtual_Clock_And_Wakes_End_Them) {
  THeadless_Backend backend;
  uint32_t start = backend.Clock().Tick_Count();
  backend.Wait(250);
  EXPECT_EQ(backend.Clock().Tick_Count() - start, 250u);
  backend.Wake();
  backend.Wait(UINT32_MAX);  // returns at once: the wake was kept
  EXPECT_EQ(backend.Clock().Tick_Count() - start, 250u);
}

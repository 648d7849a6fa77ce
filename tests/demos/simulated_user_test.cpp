#include "demos/simulated_user.h"

#include <gtest/gtest.h>

#include "toolkit/demonstration_state.h"
#include "users/caption_owner.h"

namespace {

struct Counting_Caption : Caption_Owner {
  void Update_Caption() override { ++updates; }
  int updates = 0;
};

}  // namespace

TEST(Simulated_User, One_Driver_Whose_End_Clears_The_Flag_And_Refreshes_The_Caption) {
  Counting_Caption caption;
  The_Caption_Owner = &caption;
  {
    Simulated_User driver(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(The_Simulated_User, &driver);
    driver.End_Demonstration();  // nothing runs: the caption stays as it is
    EXPECT_EQ(caption.updates, 0);
    Set_Demonstration_Running(true);
    driver.Cancel();
    EXPECT_FALSE(Demonstration_Running());
    EXPECT_EQ(caption.updates, 1);
  }
  EXPECT_EQ(The_Simulated_User, nullptr);
  The_Caption_Owner = nullptr;
}

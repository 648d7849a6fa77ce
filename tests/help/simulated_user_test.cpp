#include "help/simulated_user.h"

#include <gtest/gtest.h>

TEST(Simulated_User, One_Driver_Reached_While_It_Exists) {
  EXPECT_EQ(The_Simulated_User, nullptr);
  {
    Simulated_User driver;
    EXPECT_EQ(The_Simulated_User, &driver);
    EXPECT_EQ(driver.Running, 0);
    driver.Running = 1;
    EXPECT_NE(The_Simulated_User->Running, 0);
  }
  EXPECT_EQ(The_Simulated_User, nullptr);
}

// The system's requests to end reach the program once each run, whichever
// signal carries them, and the default action is back once nobody catches.
#include "platform/system/end_signals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <future>

TEST(End_Signals, Each_Request_To_End_Is_Reported_Once_And_The_Default_Comes_Back) {
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(number);
    int reports = 0;
    std::promise<void> reported;
    {
      TEnd_Signals signals([&] {
        if (++reports == 1) reported.set_value();
      });
      ASSERT_TRUE(signals.Catching());
      // A logout sends more than one.
      raise(number);
      raise(number);
      ASSERT_EQ(reported.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready)
          << "the request was not reported";
    }
    EXPECT_EQ(reports, 1);
    struct sigaction now = {};
    sigaction(number, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
  }
}

#include "toolkit/tthread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>

#include "platform/system/event_semaphore.h"

namespace {

using namespace std::chrono_literals;

// Waits for its event, then ends with a code (or with the termination
// request when it was asked to end).
struct Waiting_Worker : TThread {
  ~Waiting_Worker() override {
    Terminate();
    go.Set();
    WaitForExit();
  }
  TEventSemaphore go;
  std::atomic<int> runs{0};
  std::atomic<bool> saw_request{false};
  bool exit_early = false;

  int32_t Run() override {
    ++runs;
    saw_request = ShouldTerminate();
    if (saw_request) return 99;
    go.Wait();
    if (exit_early) Exit(42);
    return 7;
  }
};

// Spins on the termination request, counting rounds. The base is taken
// once at the start, so the loop never calls through the derived object:
// the base destructor is what ends it in one of the tests.
struct Polling_Worker : TThread {
  std::atomic<long> rounds{0};

  int32_t Run() override {
    const TThread* self = this;
    std::atomic<long>& count = rounds;
    while (!self->ShouldTerminate()) {
      ++count;
      std::this_thread::sleep_for(100us);
    }
    return 1;
  }
};

// Waits for the body to end: 0 from the wait, or 0xFFFFFFFF when it had
// already ended and recorded so by itself.
void Wait_Until_Finished(TThread& thread) {
  uint32_t result = thread.WaitForExit();
  EXPECT_TRUE(result == 0 || result == 0xFFFFFFFF) << result;
  EXPECT_EQ(thread.GetStatus(), TThread::Finished);
}

// Waits until pred holds, or two minutes have passed: a worker starved on a
// busy machine may be slow to get anywhere.
template <typename Pred>
bool Eventually(Pred pred) {
  const auto give_up = std::chrono::steady_clock::now() + 120s;
  while (!pred() && std::chrono::steady_clock::now() < give_up) std::this_thread::sleep_for(1ms);
  return pred();
}

}  // namespace

TEST(TThread, ErrorsOfANeverStartedThreadAndTheirTexts) {
  TThread thread;
  EXPECT_EQ(thread.WaitForExit(0), 0xFFFFFFFFu);
  EXPECT_EQ(thread.Last_Error().why(), "");
  EXPECT_EQ((std::pair{thread.Suspend(), thread.Last_Error().why()}), std::pair(0xFFFFFFFFu, std::string("Error[thread]: Suspend() before Run()")));
  EXPECT_EQ((std::pair{thread.Resume(), thread.Last_Error().why()}), std::pair(0xFFFFFFFFu, std::string("Error[thread]: Resume() before Run()")));
  EXPECT_EQ(thread.GetStatus(), TThread::Created);

  const char* texts[] = {"Suspend() before Run()", "Resume() before Run()", "Resume() during Run()",
                         "Suspend() after Exit()", "Resume() after Exit()",  "creation failure",
                         "destroyed before Exit()", "illegal assignment"};
  for (int code = 0; code < 8; ++code)
    EXPECT_EQ(TThread::TThreadError(TThread::TThreadError::TErrorType(code)).why(),
              std::string("Error[thread]: ") + texts[code]);
}

TEST(TThread, RunsToFinishedWithItsExitCodeRefusesLateCallsAndRunsAgain) {
  using Error = TThread::TThreadError;
  Waiting_Worker worker;
  ASSERT_TRUE(worker.Start());
  EXPECT_EQ(worker.GetStatus(), TThread::Running);
  // A running thread is not started twice.
  EXPECT_EQ((std::pair{worker.Start(), worker.Last_Error().GetErrorType()}), std::pair(false, Error::CreationFailure));
  EXPECT_EQ((std::pair{worker.Resume(), worker.Last_Error().GetErrorType()}), std::pair(0xFFFFFFFFu, Error::ResumeDuringRun));
  EXPECT_EQ(worker.WaitForExit(0), uint32_t(WAIT_TIMEOUT));
  worker.go.Set();
  Wait_Until_Finished(worker);
  EXPECT_EQ(worker.Exit_Code(), 7);
  EXPECT_EQ(worker.WaitForExit(), 0xFFFFFFFFu);
  EXPECT_EQ((std::pair{worker.Suspend(), worker.Last_Error().GetErrorType()}), std::pair(0xFFFFFFFFu, Error::SuspendAfterExit));
  EXPECT_EQ((std::pair{worker.Resume(), worker.Last_Error().GetErrorType()}), std::pair(0xFFFFFFFFu, Error::ResumeAfterExit));

  // Started again; Exit ends the body with its code, and does nothing from outside it.
  worker.exit_early = true;
  ASSERT_TRUE(worker.Start());
  worker.go.Set();
  Wait_Until_Finished(worker);
  EXPECT_EQ(worker.Exit_Code(), 42);
  worker.Exit(5);
  EXPECT_EQ(worker.GetStatus(), TThread::Finished);

  // A termination request outlives the run it was made in.
  ASSERT_TRUE(worker.Start());
  worker.Terminate();
  worker.go.Set();
  Wait_Until_Finished(worker);
  ASSERT_TRUE(worker.Start());
  Wait_Until_Finished(worker);
  EXPECT_EQ((std::tuple{worker.runs.load(), worker.saw_request.load(), worker.Exit_Code()}), std::tuple(4, true, 99));
}

TEST(TThread, SuspendHoldsTheBodyAtItsNextCheckUntilResumed) {
  Polling_Worker worker;
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(Eventually([&] { return worker.rounds > 0; }));

  EXPECT_EQ((std::pair{worker.Suspend(), worker.GetStatus()}), std::pair(0u, TThread::Suspended));
  EXPECT_EQ(worker.WaitForExit(0), 0xFFFFFFFFu);
  EXPECT_EQ(worker.Suspend(), 1u);
  long held = worker.rounds;
  std::this_thread::sleep_for(20ms);
  EXPECT_LE(worker.rounds - held, 1);  // at most the round under way

  EXPECT_EQ((std::pair{worker.Resume(), worker.GetStatus()}), std::pair(2u, TThread::Suspended));
  EXPECT_EQ((std::pair{worker.Resume(), worker.GetStatus()}), std::pair(1u, TThread::Running));
  long resumed = worker.rounds;
  EXPECT_TRUE(Eventually([&] { return worker.rounds > resumed + 2; }));

  // The count stops at 127.
  for (int i = 0; i < 130; ++i) EXPECT_LE(worker.Suspend(), 127u);
  EXPECT_EQ(worker.Suspend(), 127u);
  // A suspended worker asked to end is let go to end.
  EXPECT_EQ(worker.TerminateAndWait(0xFFFFFFFF), 0xFFFFFFFFu);  // Suspended: no wait
  EXPECT_TRUE(Eventually([&] { return worker.GetStatus() == TThread::Finished; }));
}

TEST(TThread, DestroyingARunningThreadAsksItToEndAndWaits) {
  TThread never_started;
  Polling_Worker worker;
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(Eventually([&] { return worker.rounds > 0; }));
}  // no abort, no hang, no thread left behind

TEST(TThread, CopiesAreFreshAndAssignmentNeedsAStoppedTarget) {
  Waiting_Worker worker;
  ASSERT_TRUE(worker.Start());
  TThread copy(worker);
  EXPECT_EQ((std::pair{copy.GetStatus(), copy.GetId()}), std::pair(TThread::Created, 0u));

  TThread& as_base = worker;
  as_base = copy;
  EXPECT_EQ((std::pair{worker.Last_Error().GetErrorType(), worker.GetStatus()}), std::pair(TThread::TThreadError::AssignError, TThread::Running));

  worker.go.Set();
  worker.WaitForExit();
  as_base = copy;
  EXPECT_EQ((std::pair{worker.GetStatus(), worker.GetId()}), std::pair(TThread::Created, 0u));
  as_base = as_base;
  EXPECT_EQ(worker.GetStatus(), TThread::Created);
}

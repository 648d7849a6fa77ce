// TThread: the base of every worker thread. A worker derives from it and
// overrides Run; its owner starts it, asks it to end with Terminate (the
// body polls ShouldTerminate after every wait) and waits for it to exit.
//
// Misuse is not thrown at the caller: each operation that can be misused
// answers with a failure value and records a TThreadError, which Last_Error
// returns with its code and its text ("Error[thread]: ..."). The destructor
// never fails: it asks the body to end and waits for it.
//
// Suspend and Resume are cooperative: a suspended worker stops at its next
// ShouldTerminate call and stays there until it is resumed or asked to end.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/system/event_semaphore.h"

class TThread {
 public:
  enum TStatus { Created = 0, Running = 1, Suspended = 2, Finished = 3, Invalid = 4 };

  class TThreadError {
   public:
    enum TErrorType {
      None = -1,
      SuspendBeforeRun = 0,
      ResumeBeforeRun = 1,
      ResumeDuringRun = 2,
      SuspendAfterExit = 3,
      ResumeAfterExit = 4,
      CreationFailure = 5,
      DestroyBeforeExit = 6,
      AssignError = 7,
    };
    TThreadError() = default;
    explicit TThreadError(TErrorType code) : code_(code) {}
    TErrorType GetErrorType() const { return code_; }
    // "Error[thread]: " and the code's text; empty for None.
    std::string why() const;
    static const char* Text(TErrorType code);

   private:
    TErrorType code_ = None;
  };

  TThread();
  // A copy is a fresh, never started object: no thread is shared.
  TThread(const TThread&);
  // Allowed while the target is Created or Finished; it then becomes a fresh
  // Created object. Otherwise (a body running or suspended, which would be
  // left without an owner) records AssignError and changes nothing.
  TThread& operator=(const TThread&);
  virtual ~TThread();

  // Starts a new thread running Run. False (state Invalid, CreationFailure
  // recorded) when no thread can be made. A Finished object may be started
  // again; an earlier termination request stays set. A body that still
  // runs is not started a second time: false, CreationFailure recorded,
  // state kept.
  bool Start();
  virtual void Terminate();
  bool ShouldTerminate() const;
  // 0 when the thread ended, WAIT_TIMEOUT when ms passed first (on the
  // platform clock); 0xFFFFFFFF at once when the recorded state is not
  // Running.
  uint32_t WaitForExit(uint32_t ms = INFINITE);
  uint32_t TerminateAndWait(uint32_t ms = INFINITE);
  // Best effort: 2 highest .. -2 lowest; raising may be refused by the system.
  void SetPriority(int priority);
  TStatus GetStatus();
  // From inside Run: ends the body at once with the code.
  void Exit(int32_t code);
  // The previous suspend count, or 0xFFFFFFFF after recording an error.
  uint32_t Suspend();
  uint32_t Resume();

  uint32_t GetId() const { return thread_id_.load(); }
  int32_t Exit_Code() const { return exit_code_.load(); }
  const TThreadError& Last_Error() const { return last_error_; }

 protected:
  // The worker's body; its result is the exit code.
  virtual int32_t Run();

 private:
  struct TExit_Request {
    int32_t code;
  };
  void Entry();
  void Join();
  void Fail(TThreadError::TErrorType code) { last_error_ = TThreadError(code); }
  void Apply_Priority();
  bool On_Own_Thread() const;

  std::atomic<uint32_t> thread_id_{0};
  std::thread thread_;
  std::atomic<TStatus> state_{Created};
  std::atomic<bool> termination_requested_{false};
  std::atomic<int32_t> exit_code_{0};
  std::atomic<int> priority_{0};
  TEventSemaphore exited_{true, false};
  TThreadError last_error_;

  mutable std::mutex suspend_lock_;
  mutable std::condition_variable resumed_;
  uint32_t suspend_count_ = 0;
};

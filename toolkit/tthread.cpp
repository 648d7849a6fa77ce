#include "toolkit/tthread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <system_error>

namespace {

constexpr uint32_t Max_Suspend_Count = 127;
constexpr uint32_t Wait_Failed = 0xFFFFFFFF;

// The object whose body runs on this thread.
thread_local const TThread* Running_Object = nullptr;

}  // namespace

bool TThread::On_Own_Thread() const { return Running_Object == this; }

const char* TThread::TThreadError::Text(TErrorType code) {
  switch (code) {
    case SuspendBeforeRun: return "Suspend() before Run()";
    case ResumeBeforeRun: return "Resume() before Run()";
    case ResumeDuringRun: return "Resume() during Run()";
    case SuspendAfterExit: return "Suspend() after Exit()";
    case ResumeAfterExit: return "Resume() after Exit()";
    case CreationFailure: return "creation failure";
    case DestroyBeforeExit: return "destroyed before Exit()";
    case AssignError: return "illegal assignment";
    case None: break;
  }
  return "";
}

std::string TThread::TThreadError::why() const {
  if (code_ == None) return {};
  return std::string("Error[thread]: ") + Text(code_);
}

TThread::TThread() = default;

TThread::TThread(const TThread&) : TThread() {}

TThread& TThread::operator=(const TThread& other) {
  if (this == &other) return *this;
  TStatus status = GetStatus();
  // A live thread runs this object's body: forgetting it would orphan it.
  if (status == Running || status == Suspended) {
    Fail(TThreadError::AssignError);
    return *this;
  }
  Join();
  thread_id_ = 0;
  state_ = Created;
  termination_requested_ = false;
  exit_code_ = 0;
  exited_.Reset();
  return *this;
}

TThread::~TThread() {
  // Never throws and never leaves a thread running on a dead object: ask the
  // body to end, release a suspended one, and wait for it.
  termination_requested_ = true;
  {
    std::lock_guard<std::mutex> guard(suspend_lock_);
    suspend_count_ = 0;
  }
  resumed_.notify_all();
  if (thread_.joinable()) {
    if (On_Own_Thread())
      thread_.detach();
    else
      thread_.join();
  }
}

bool TThread::Start() {
  TStatus status = GetStatus();
  if (status == Running || status == Suspended) {
    // Starting twice would leave the first thread without an owner.
    Fail(TThreadError::CreationFailure);
    return false;
  }
  Join();
  exited_.Reset();
  thread_id_ = 0;
  {
    std::lock_guard<std::mutex> guard(suspend_lock_);
    suspend_count_ = 0;
  }
  state_ = Running;
  try {
    thread_ = std::thread([this] { Entry(); });
  } catch (const std::system_error&) {
    state_ = Invalid;
    Fail(TThreadError::CreationFailure);
    return false;
  }
  return true;
}

void TThread::Entry() {
  Running_Object = this;
  thread_id_ = static_cast<uint32_t>(syscall(SYS_gettid));
  Apply_Priority();
  int32_t code = -1;
  try {
    code = Run();
  } catch (const TExit_Request& request) {
    code = request.code;
  }
  exit_code_ = code;
  state_ = Finished;
  exited_.Set();
}

int32_t TThread::Run() { return -1; }

void TThread::Terminate() {
  // Also lets a suspended body go on to its end; the body's own waits are
  // for its owner to wake.
  {
    std::lock_guard<std::mutex> guard(suspend_lock_);
    termination_requested_ = true;
  }
  resumed_.notify_all();
}

bool TThread::ShouldTerminate() const {
  if (termination_requested_) return true;
  if (On_Own_Thread()) {
    std::unique_lock<std::mutex> lock(suspend_lock_);
    resumed_.wait(lock, [this] { return suspend_count_ == 0 || termination_requested_; });
  }
  return termination_requested_;
}

void TThread::Join() {
  if (thread_.joinable() && !On_Own_Thread()) thread_.join();
}

uint32_t TThread::WaitForExit(uint32_t ms) {
  if (state_ != Running) return Wait_Failed;
  if (On_Own_Thread()) return WAIT_TIMEOUT;
  uint32_t result = exited_.Wait(ms);
  if (result == WAIT_OBJECT_0) Join();
  return result;
}

uint32_t TThread::TerminateAndWait(uint32_t ms) {
  Terminate();
  return WaitForExit(ms);
}

void TThread::SetPriority(int priority) {
  priority_ = priority;
  Apply_Priority();
}

void TThread::Apply_Priority() {
  uint32_t tid = thread_id_;
  if (tid == 0) return;
  // Niceness stands in for priority classes; raising usually needs rights
  // the program does not have, and is then simply not done.
  int nice = -5 * priority_.load();
  setpriority(PRIO_PROCESS, tid, nice);
}

TThread::TStatus TThread::GetStatus() {
  if (state_ == Running || state_ == Suspended) {
    if (exited_.Is_Set()) state_ = Finished;
  }
  return state_;
}

void TThread::Exit(int32_t code) {
  if (!On_Own_Thread()) return;
  throw TExit_Request{code};
}

uint32_t TThread::Suspend() {
  TStatus status = GetStatus();
  if (status == Created) {
    Fail(TThreadError::SuspendBeforeRun);
    return Wait_Failed;
  }
  if (status == Finished) {
    Fail(TThreadError::SuspendAfterExit);
    return Wait_Failed;
  }
  if (status == Invalid) return Wait_Failed;
  std::lock_guard<std::mutex> guard(suspend_lock_);
  uint32_t previous = suspend_count_;
  if (previous < Max_Suspend_Count) {
    ++suspend_count_;
    state_ = Suspended;
  }
  return previous;
}

uint32_t TThread::Resume() {
  TStatus status = GetStatus();
  if (status == Created) {
    Fail(TThreadError::ResumeBeforeRun);
    return Wait_Failed;
  }
  if (status == Running) {
    Fail(TThreadError::ResumeDuringRun);
    return Wait_Failed;
  }
  if (status == Finished) {
    Fail(TThreadError::ResumeAfterExit);
    return Wait_Failed;
  }
  if (status == Invalid) return Wait_Failed;
  uint32_t previous;
  {
    std::lock_guard<std::mutex> guard(suspend_lock_);
    previous = suspend_count_;
    if (suspend_count_ > 0) --suspend_count_;
    if (previous <= 1) state_ = Running;
  }
  resumed_.notify_all();
  return previous;
}

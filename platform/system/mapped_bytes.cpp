#include "platform/system/mapped_bytes.h"

#include <setjmp.h>
#include <signal.h>

#include <atomic>
#include <cstring>

namespace {

// Where the copy under way on this thread goes on when it faults; null
// outside a copy. Set by the thread itself before it touches the mapping,
// so the handler (which runs on the faulting thread) finds it in place.
thread_local sigjmp_buf* recovery = nullptr;

// SIGBUS has one handler per process: the one found when ours was put in,
// to which every fault outside a copy goes on. Written once, before ours.
struct sigaction earlier_handler;

void Pass_On(int signal, siginfo_t* info, void* context) {
  if (earlier_handler.sa_flags & SA_SIGINFO) {
    if (earlier_handler.sa_sigaction) earlier_handler.sa_sigaction(signal, info, context);
    return;
  }
  if (earlier_handler.sa_handler != SIG_DFL && earlier_handler.sa_handler != SIG_IGN) {
    earlier_handler.sa_handler(signal);
    return;
  }
  // The default action: pending until this handler returns, it then ends
  // the process as the fault would have without us.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(SIGBUS, &fallback, nullptr);
  raise(SIGBUS);
}

void On_Bus_Fault(int signal, siginfo_t* info, void* context) {
  // Only async-signal-safe work here: a jump back into the copy, or the
  // earlier handler.
  if (sigjmp_buf* point = recovery) siglongjmp(*point, 1);
  Pass_On(signal, info, context);
}

bool Install_Handler() {
  if (sigaction(SIGBUS, nullptr, &earlier_handler) != 0) return false;
  struct sigaction handler {};
  handler.sa_sigaction = On_Bus_Fault;
  handler.sa_flags = SA_SIGINFO;
  sigemptyset(&handler.sa_mask);
  return sigaction(SIGBUS, &handler, nullptr) == 0;
}

}  // namespace

bool TMapped_Bytes::Copy(void* to, const void* from, size_t size) {
  static const bool installed = Install_Handler();
  if (!installed) return false;
  sigjmp_buf point;
  // The mask is saved with the point: the jump leaves the handler with
  // SIGBUS unblocked again, ready for the next fault.
  if (sigsetjmp(point, 1) != 0) {
    recovery = nullptr;
    return false;
  }
  recovery = &point;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(to, from, size);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  recovery = nullptr;
  return true;
}

#include "toolkit/demonstration_state.h"

#include <atomic>

namespace {

// Read by workers (a target realiser) as well as the interface thread.
std::atomic<bool> running{false};

}  // namespace

bool Demonstration_Running() { return running; }

void Set_Demonstration_Running(bool value) { running = value; }

namespace {

void (*hold_release)() = nullptr;  // interface thread only

}  // namespace

void Set_Demonstration_Hold_Release(void (*release)()) { hold_release = release; }

void Release_Demonstration_Hold() {
  if (Demonstration_Running() && hold_release) hold_release();
}

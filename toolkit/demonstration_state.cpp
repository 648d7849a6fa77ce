#include "toolkit/demonstration_state.h"

#include <atomic>

namespace {

// Read by workers (a target realiser) as well as the interface thread.
std::atomic<bool> running{false};

}  // namespace

bool Demonstration_Running() { return running; }

void Set_Demonstration_Running(bool value) { running = value; }

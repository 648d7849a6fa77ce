#include "toolkit/coarse_timer.h"

#include <array>

#include "platform/system/critical_section.h"
#include "platform/window/user.h"

namespace {

// The table through which timer procedures find their timers. Only the
// user-interface thread starts timers, so the lock guards registration.
struct Timer_Registry {
  std::array<Coarse_Timer*, Coarse_Timer::Slot_Count> slots{};
  int cursor = 0;
  TCriticalSection section;
};

Timer_Registry& Registry() {
  static Timer_Registry* registry = new Timer_Registry;  // outlives every timer
  return *registry;
}

}  // namespace

Coarse_Timer::Coarse_Timer() {
  Timer_Registry& registry = Registry();
  TCriticalSection::TLock lock(registry.section);
  for (int probe = 0; probe < Slot_Count; ++probe) {
    int slot = registry.cursor;
    registry.cursor = (registry.cursor + 1) % Slot_Count;
    if (!registry.slots[slot]) {
      registry.slots[slot] = this;
      Slot = slot;
      break;
    }
  }
}

Coarse_Timer::~Coarse_Timer() {
  Stop();
  if (Slot < 0) return;
  Timer_Registry& registry = Registry();
  TCriticalSection::TLock lock(registry.section);
  registry.slots[Slot] = nullptr;
}

bool Coarse_Timer::Start(uint32_t interval_ms, bool periodic, Timer_Client* client) {
  if (Slot < 0) return false;
  // A second start replaces the running timer instead of orphaning it.
  Stop();
  Client = client;
  Periodic = periodic ? 1 : 0;
  UINT id = SetTimer(HWND(), 0, interval_ms, &Coarse_Timer::Timer_Proc);
  if (id == 0) {
    Client = nullptr;
    return false;
  }
  Timer_Id = id;
  return true;
}

void Coarse_Timer::Stop() {
  Client = nullptr;
  if (Timer_Id != No_Timer) {
    KillTimer(HWND(), Timer_Id);
    Timer_Id = No_Timer;
  }
}

void Coarse_Timer::Timer_Proc(HWND, uint32_t, uint32_t id, uint32_t) {
  Timer_Registry& registry = Registry();
  for (Coarse_Timer* timer : registry.slots) {
    if (!timer || timer->Timer_Id != id) continue;
    Timer_Client* client = timer->Client;
    if (!timer->Periodic) timer->Stop();
    if (client) client->Timer_Tick();
    return;
  }
}

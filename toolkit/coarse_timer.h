// Coarse_Timer: a millisecond timer for objects that are not windows. It
// runs on the message loop of the thread that started it (window-less
// platform timers) and calls its Timer_Client. At most ten exist at once:
// each registers in a small process-wide table, through which the timer
// procedure finds the object from the platform timer's id.
#pragma once

#include <cstdint>

#include "toolkit/timer_client.h"

class HWND;

class Coarse_Timer {
 public:
  static constexpr int Slot_Count = 10;
  static constexpr uint32_t No_Timer = 0xFFFFFFFF;

  Coarse_Timer();
  ~Coarse_Timer();
  Coarse_Timer(const Coarse_Timer&) = delete;
  Coarse_Timer& operator=(const Coarse_Timer&) = delete;

  // False when this timer got no slot or the platform gave no timer. A
  // running timer is stopped first.
  bool Start(uint32_t interval_ms, bool periodic, Timer_Client* client);
  void Stop();

  bool Registered() const { return Slot >= 0; }
  bool Running() const { return Timer_Id != No_Timer; }

  // The platform's timer procedure (a window-less timer's callback).
  static void Timer_Proc(HWND, uint32_t message, uint32_t id, uint32_t time);

 private:
  Timer_Client* Client = nullptr;
  uint8_t Periodic = 0;
  uint32_t Timer_Id = No_Timer;
  int32_t Slot = -1;
};

// The wave device of headless runs: nothing is heard, but every buffer
// plays for its length at 22050 frames a second on the platform clock, so
// completions arrive in virtual time as tests advance it (on the advancing
// thread, before Advance returns) and in real time otherwise.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system/clock.h"
#include "platform/system/wave_device.h"

class TSilent_Wave_Device : public TWave_Device {
 public:
  TSilent_Wave_Device() = default;
  ~TSilent_Wave_Device() override;

  bool Can_Play() override { return true; }
  bool Attach(TWave_Voice& voice) override;
  void Detach(TWave_Voice& voice) override;
  void Lock() override { lock_.lock(); }
  void Unlock() override;
  void Started(TWave_Voice& voice) override;

 private:
  void Catch_Up();
  void Follow_Clock(TClock& clock, uint32_t now);
  void Run();
  void Clock_Moved();

  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<TWave_Voice*> voices_;
  bool stop_ = false;
  TClock* clock_ = nullptr;  // the clock the voices' ticks were read on
  std::thread thread_;
  TClock_Watch watch_{[this] { Clock_Moved(); }};
};

#include "platform/system/silent_wave_device.h"

#include <algorithm>
#include <limits>

#include "platform/system/wave_format.h"

TSilent_Wave_Device::~TSilent_Wave_Device() {
  {
    std::lock_guard guard(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool TSilent_Wave_Device::Attach(TWave_Voice& voice) {
  std::lock_guard guard(lock_);
  voices_.push_back(&voice);
  // Real time needs a thread to move the voices on; virtual time moves
  // them from Clock_Moved.
  if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  return true;
}

void TSilent_Wave_Device::Detach(TWave_Voice& voice) {
  std::lock_guard guard(lock_);
  voices_.erase(std::remove(voices_.begin(), voices_.end(), &voice), voices_.end());
}

void TSilent_Wave_Device::Unlock() {
  lock_.unlock();
  changed_.notify_all();
}

void TSilent_Wave_Device::Started(TWave_Voice& voice) {
  TClock& clock = TClock::Current();
  const uint32_t now = clock.Tick_Count();
  Follow_Clock(clock, now);
  voice.clock_tick = now;
  voice.clock_remainder = 0;
}

// The counts of two clocks have nothing to do with each other: when another
// clock is installed (a test's virtual clock coming or going), the voices
// play on from now on the new one, neither ending at once nor stalling.
void TSilent_Wave_Device::Follow_Clock(TClock& clock, uint32_t now) {
  if (&clock == clock_) return;
  clock_ = &clock;
  for (TWave_Voice* voice : voices_) voice->clock_tick = now;
}

// Plays each busy voice for the frames that the clock has moved on since it
// was last looked at; the remainder of a frame carries over, so a buffer of
// n frames ends when n * 1000 / 22050 milliseconds have passed.
void TSilent_Wave_Device::Catch_Up() {
  TClock& clock = TClock::Current();
  const uint32_t now = clock.Tick_Count();
  Follow_Clock(clock, now);
  for (TWave_Voice* voice : voices_) {
    if (!voice->Busy()) continue;
    const uint32_t elapsed = now - voice->clock_tick;
    voice->clock_tick = now;
    const uint64_t scaled = uint64_t{elapsed} * Wave_Output_Rate + voice->clock_remainder;
    voice->clock_remainder = static_cast<uint32_t>(scaled % 1000);
    const uint64_t frames = std::min<uint64_t>(scaled / 1000, std::numeric_limits<uint32_t>::max());
    voice->Play(nullptr, static_cast<uint32_t>(frames));
    if (!voice->Busy()) voice->clock_remainder = 0;
  }
}

void TSilent_Wave_Device::Clock_Moved() {
  {
    std::lock_guard guard(lock_);
    Catch_Up();
  }
  changed_.notify_all();
}

void TSilent_Wave_Device::Run() {
  std::unique_lock guard(lock_);
  while (!stop_) {
    Catch_Up();
    bool busy = std::any_of(voices_.begin(), voices_.end(), [](TWave_Voice* v) { return v->Busy(); });
    if (busy && !TClock::Current().Is_Virtual())
      changed_.wait_for(guard, std::chrono::milliseconds(5));
    else
      changed_.wait(guard);
  }
}

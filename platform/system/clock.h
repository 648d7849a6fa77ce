// The millisecond clock of the platform: a 32-bit tick count that wraps, as
// timers, frame pacing and double-click tests read it. The headless backend
// installs a virtual clock that tests advance by hand.
#pragma once

#include <cstdint>
#include <memory>

class TClock {
 public:
  virtual ~TClock() = default;
  virtual uint32_t Tick_Count() = 0;
  // Blocks the calling thread for about ms milliseconds of this clock.
  virtual void Sleep(uint32_t ms) = 0;

  // The clock in use; the real one unless a test installed another.
  static TClock& Current();
  // Installs a clock (not owned); nullptr goes back to the real clock.
  static void Install(TClock* clock);
};

// A clock that moves only when told to: Sleep returns once another thread
// has advanced the clock far enough.
class TVirtual_Clock : public TClock {
 public:
  explicit TVirtual_Clock(uint32_t start = 0x10000);
  ~TVirtual_Clock() override;
  uint32_t Tick_Count() override;
  void Sleep(uint32_t ms) override;
  void Advance(uint32_t ms);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Shorthands in the platform's own terms.
uint32_t GetTickCount();
void Sleep(uint32_t ms);

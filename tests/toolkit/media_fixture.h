// A headless window system with the silent wave device and a virtual clock,
// for the toolkit's timer, sound and animation tests.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/backend/headless/headless_session.h"
#include "platform/system/wave_out.h"

// The silent wave device, its probe asked of the device (not fixed) at both
// ends of a test.
struct Silent_Wave_Output {
  Silent_Wave_Output() { TWave_Out::Use_Device(Wave_Device_Kind::Silent), TWave_Out::Force_Probe(-1); }
  ~Silent_Wave_Output() { TWave_Out::Force_Probe(-1); }
};

class Media_Test : public ::testing::Test {
 protected:
  void Run_Until_Idle() { session.Run_Until_Idle(); }
  // Moves the clock on and handles what became due.
  void Advance(uint32_t ms) { session.Advance(ms); }
  // Moves the clock in steps, handling messages, until done() holds (or a
  // generous number of steps and two minutes of real time passed); another
  // thread may need a moment of real time to catch up between steps, and on
  // a busy machine many moments.
  bool Advance_Until(const std::function<bool()>& done, uint32_t step_ms = 10, int max_steps = 5000) {
    Run_Until_Idle();
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (int i = 0; (i < max_steps || std::chrono::steady_clock::now() < give_up) && !done(); ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      Advance(step_ms);
    }
    return done();
  }

  Silent_Wave_Output output;
  THeadless_Session session;
  THeadless_Backend* headless = &session.Backend();
};

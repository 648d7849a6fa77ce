// A headless window system with the silent wave device and a virtual clock,
// for the toolkit's timer, sound and animation tests. The window system and
// the wave output are reached through the helpers below, so that a test
// need not include both families of headers.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "platform/backend/headless/headless_backend.h"

// Wave output of tests: the silent device; probe fixed to bits (16, 8, 0) or
// asked of the device (-1).
void Use_Silent_Wave_Output();
void Force_Wave_Probe(int bits);

class Media_Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void Run_Until_Idle();
  // Moves the clock on and handles what became due.
  void Advance(uint32_t ms);
  // Moves the clock in steps, handling messages, until done() holds (or a
  // generous number of steps passed); another thread may need a moment of
  // real time to catch up between steps.
  bool Advance_Until(const std::function<bool()>& done, uint32_t step_ms = 10, int max_steps = 5000);

  THeadless_Backend* headless = nullptr;
};

#include "tests/toolkit/media_fixture.h"

#include <chrono>
#include <memory>
#include <thread>

#include "platform/window/desktop.h"

void Media_Test::SetUp() {
  Use_Silent_Wave_Output();
  Force_Wave_Probe(-1);
  auto backend = std::make_unique<THeadless_Backend>(TSize{1024, 768});
  headless = backend.get();
  TDesktop::Start(std::move(backend));
}

void Media_Test::TearDown() {
  TDesktop::Stop();
  Force_Wave_Probe(-1);
}

void Media_Test::Run_Until_Idle() { TDesktop::Current().Run_Until_Idle(); }

void Media_Test::Advance(uint32_t ms) {
  headless->Virtual_Clock().Advance(ms);
  Run_Until_Idle();
}

bool Media_Test::Advance_Until(const std::function<bool()>& done, uint32_t step_ms, int max_steps) {
  for (int i = 0; i < max_steps; ++i) {
    Run_Until_Idle();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    headless->Virtual_Clock().Advance(step_ms);
  }
  Run_Until_Idle();
  return done();
}

// Steps a test runs later, from inside whatever loop is running by then (a
// dialog's or a box's), so that it can answer a window it is about to open.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/window/user.h"

// The steps waiting for their time. A test that ends before one is due (its
// box answered sooner) drops them, so that none runs in the next test.
inline std::vector<std::function<void()>>& Later_Steps() {
  static std::vector<std::function<void()>> steps;
  return steps;
}

// Runs step after ms, from inside whatever loop is running then.
inline void Later(uint32_t ms, std::function<void()> step) {
  Later_Steps().push_back(std::move(step));
  SetTimer(HWND(), 0, ms, [](HWND, UINT, UINT id, uint32_t) {
    KillTimer(HWND(), id);
    std::vector<std::function<void()>>& steps = Later_Steps();
    if (steps.empty()) return;
    auto s = std::move(steps.front());
    steps.erase(steps.begin());
    s();
  });
}

// The command that runs a program on a virtual X server of its own.
#pragma once

#include <unistd.h>

#include <string>

// xvfb-run -a looks for a free display upward from a first number, 99 unless
// told. Tests started together by a parallel run would all look from 99, and
// two could settle on the same display: the second's program then talks to
// the first one's server and is refused. Each process looks from its own
// (the number must come before -a, which looks when it is read).
inline std::string Xvfb_Run(const std::string& screen) {
  const int first = 100 + int(getpid() % 9000) * 5;
  return "xvfb-run -n " + std::to_string(first) + " -a -s '-screen 0 " + screen + "'";
}

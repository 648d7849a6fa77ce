// The demonstration driver, as far as the rest of the program sees it: one
// object at a time, reached through The_Simulated_User, whose running flag
// is set while a demonstration replays input.
#pragma once

#include <cstdint>

class Simulated_User {
 public:
  // Becomes The_Simulated_User.
  Simulated_User();
  virtual ~Simulated_User();
  Simulated_User(const Simulated_User&) = delete;
  Simulated_User& operator=(const Simulated_User&) = delete;

  // Non-zero while a demonstration replays input; the mouse arbiter records
  // no input then.
  uint8_t Running = 0;
};

// The one driver, null while none exists.
extern Simulated_User* The_Simulated_User;

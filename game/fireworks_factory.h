// The maker of the fireworks shows that reward a finished run. So far it
// makes none.
#pragma once

#include <cstdint>

class Fireworks_Factory {
 public:
  Fireworks_Factory();
  ~Fireworks_Factory();
  Fireworks_Factory(const Fireworks_Factory&) = delete;
  Fireworks_Factory& operator=(const Fireworks_Factory&) = delete;

  // Prepares a show of waves waves of per_wave fireworks each.
  void Start(int32_t waves, int32_t per_wave);
  // Forgets the prepared show.
  void Drop();
};

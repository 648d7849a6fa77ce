// The maker of the fireworks shows that reward a finished run. So far it
// makes none.
#pragma once

class Fireworks_Factory {
 public:
  Fireworks_Factory();
  ~Fireworks_Factory();
  Fireworks_Factory(const Fireworks_Factory&) = delete;
  Fireworks_Factory& operator=(const Fireworks_Factory&) = delete;
};

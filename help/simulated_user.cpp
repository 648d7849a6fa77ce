#include "help/simulated_user.h"

Simulated_User* The_Simulated_User = nullptr;

Simulated_User::Simulated_User() { The_Simulated_User = this; }

Simulated_User::~Simulated_User() {
  if (The_Simulated_User == this) The_Simulated_User = nullptr;
}

#include "platform/window/validator.h"

bool TValidator::IsValidInput(std::string&, bool) { return true; }
bool TValidator::IsValid(const std::string&) { return true; }
void TValidator::Error(TWindow*) {}

bool TValidator::Valid(const std::string& str, TWindow* owner) {
  if (IsValid(str)) return true;
  Error(owner);
  return false;
}

#include "model/pstream.h"

#include <utility>

void pstream::Clear(uint32_t new_state) { state = new_state | (state & hardfail); }

void pstream::Fail_With(std::string text, uint32_t bits) {
  if (!Fail()) error_text = std::move(text);
  Set_State(bits);
}

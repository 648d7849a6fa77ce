#include "toolkit/standard_random.h"

namespace {

thread_local uint32_t State = 1;

}  // namespace

int32_t Standard_Random() {
  State = State * 214013u + 2531011u;
  return int32_t((State >> 16) & 0x7FFF);
}

void Seed_Standard_Random(uint32_t seed) { State = seed; }

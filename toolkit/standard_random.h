// The small random integers (0 to 32767) of the C library's classic
// generator, with one state per thread, so that a worker's chance tests
// never disturb another thread's numbers. A thread starts from seed 1.
#pragma once

#include <cstdint>

inline constexpr int32_t Standard_Random_Max = 32767;

// The next number 0..32767 of the calling thread.
int32_t Standard_Random();
// Restarts the calling thread's sequence from seed.
void Seed_Standard_Random(uint32_t seed);

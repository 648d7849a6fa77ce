// The system's own sounds, played through the wave output: "Default Beep",
// a short bright chime that says "not now".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Plays the named system sound (names ignore case); false for a name that is
// not known or when nothing can be played. With wait, returns once the
// sound has played (at once under a virtual clock, which only tests move).
// A new sound cuts off the one before.
bool Play_System_Sound(const std::string& alias, bool wait);

// The samples of "Default Beep": 16-bit, 22050 Hz, mono, little-endian.
const std::vector<uint8_t>& Default_Beep_Samples();

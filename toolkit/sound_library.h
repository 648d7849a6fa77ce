// Sound_Library: the six built-in sound clips (raw-data resources 4408 to
// 4413): 0 a rocket's flight, 1 an explosion, 2 and 3 spares, 4 the camera's
// click, 5 the fanfare of a completed run.
#pragma once

#include <array>
#include <memory>

#include "toolkit/sound_wave.h"

class Sound_Library {
 public:
  static constexpr int Clip_Count = 6;
  static constexpr uint32_t First_Resource = 4408;

  // Becomes The_Sound_Library.
  Sound_Library();
  ~Sound_Library();
  Sound_Library(const Sound_Library&) = delete;
  Sound_Library& operator=(const Sound_Library&) = delete;

  // The clip of a slot 0..5, null beyond them.
  Sound_Wave* Sound(int slot) const;

 private:
  std::array<std::unique_ptr<Sound_Wave>, Clip_Count> Sounds;
};

extern Sound_Library* The_Sound_Library;

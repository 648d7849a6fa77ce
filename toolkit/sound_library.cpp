#include "toolkit/sound_library.h"

Sound_Library* The_Sound_Library = nullptr;

Sound_Library::Sound_Library() {
  for (int slot = 0; slot < Clip_Count; ++slot) Sounds[slot] = std::make_unique<Sound_Wave>(First_Resource + slot);
  The_Sound_Library = this;
}

Sound_Library::~Sound_Library() {
  if (The_Sound_Library == this) The_Sound_Library = nullptr;
}

Sound_Wave* Sound_Library::Sound(int slot) const {
  return slot >= 0 && slot < Clip_Count ? Sounds[slot].get() : nullptr;
}

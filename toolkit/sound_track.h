// Sound_Clip and Sound_Track: sounds placed on the time line of an
// animation, mixed into one wave when the animation is finished.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/sound_wave.h"

// One placed sound: from `from` ms into the wave, for `length` ms (-1: to
// the wave's end), starting `start` ms into the track, lowered by `shift`
// halvings. The wave is not owned.
struct Sound_Clip {
  Sound_Wave* Wave = nullptr;
  int32_t Start = 0;
  int32_t From = 0;
  int32_t Length = -1;
  uint8_t Shift = 0;
};

class Sound_Track {
 public:
  Sound_Track() = default;
  Sound_Track(const Sound_Track&) = delete;
  Sound_Track& operator=(const Sound_Track&) = delete;

  // Places a copy of the clip; the track grows to the clip's end.
  void Add_Clip(const Sound_Clip& clip);
  void Add_Clip(Sound_Wave* wave, int32_t start, int32_t from, int32_t length, uint8_t shift);
  // Mixes every clip into one wave at the sound player's width (16 or 8
  // bits); nothing is made for an empty track or when nothing can play.
  // False when the wave's memory cannot be had. Empties the clip list.
  bool Mix();
  // The same at a given width (0: nothing plays).
  bool Mix(uint32_t bits);

  int32_t Length() const { return Track_Length; }
  Sound_Wave* Mixed_Wave() const { return Mixed.get(); }
  const std::vector<Sound_Clip>& Clips() const { return Clip_List; }

 private:
  std::vector<Sound_Clip> Clip_List;
  int32_t Track_Length = 0;
  std::unique_ptr<Sound_Wave> Mixed;
};

#include "toolkit/sound_track.h"

#include <algorithm>

#include "platform/system/wave_format.h"
#include "toolkit/sound_player.h"

void Sound_Track::Add_Clip(const Sound_Clip& clip) {
  if (!clip.Wave) return;
  int64_t end = clip.Length == -1 ? int64_t(clip.Start) + clip.Wave->Get_Length(Sound_Milliseconds) - clip.From
                                  : int64_t(clip.Start) + clip.Length;
  Clip_List.push_back(clip);
  Track_Length = int32_t(std::clamp<int64_t>(std::max<int64_t>(Track_Length, end), 0, INT32_MAX));
}

void Sound_Track::Add_Clip(Sound_Wave* wave, int32_t start, int32_t from, int32_t length, uint8_t shift) {
  Add_Clip(Sound_Clip{wave, start, from, length, shift});
}

bool Sound_Track::Mix() { return Mix(The_Sound_Player ? The_Sound_Player->Supported() : 0); }

bool Sound_Track::Mix(uint32_t bits) {
  if (Track_Length <= 0 || (bits != 8 && bits != 16)) {
    Clip_List.clear();
    return true;
  }
  Mixed = std::make_unique<Sound_Wave>(Track_Length, Sound_Milliseconds, true, uint16_t(bits), Wave_Output_Rate, 1);
  if (!Mixed->Is_Valid()) {
    Mixed.reset();
    Clip_List.clear();
    return false;
  }
  for (const Sound_Clip& clip : Clip_List) {
    Mixed->Set_Position(clip.Start, Sound_Milliseconds);
    clip.Wave->Set_Position(clip.From, Sound_Milliseconds);
    Mixed->Mix_From(*clip.Wave, clip.Length, Sound_Milliseconds, clip.Shift);
  }
  Clip_List.clear();
  return true;
}

// Wave images of any shape: parsing never reads outside the image, and a
// wave that parses can be positioned, silenced into and mixed from.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/sound_wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size, so that reads past it are caught.
  std::vector<uint8_t> image(data, data + size);
  Sound_Wave wave(image.data(), uint32_t(image.size()));
  if (!wave.Is_Valid()) return 0;
  int64_t length = wave.Get_Length(Sound_Frames);
  wave.Set_Position(length / 2, Sound_Frames);
  (void)wave.Get_Remaining(Sound_Milliseconds);
  for (uint16_t bits : {uint16_t(8), uint16_t(16)}) {
    Sound_Wave track(300, Sound_Milliseconds, true, bits, 22050, 1);
    track.Set_Position(7, Sound_Frames);
    track.Mix_From(wave, -1, Sound_Frames, int(size % 3));
    track.Mix_From(wave, 50, Sound_Milliseconds, 0);
  }
  return 0;
}

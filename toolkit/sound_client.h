// What a caller of the sound player implements to hear that its wave has
// finished playing.
#pragma once

class Sound_Wave;

class Sound_Client {
 public:
  virtual ~Sound_Client() = default;
  virtual void Sound_Done(Sound_Wave* wave) = 0;
};

// What plays the voices of the wave output: the sound card through SDL, or a
// silent device that plays in clock time for headless runs. Voices change
// only under the device's lock; the device plays them under the same lock
// and calls their done hooks there, so a hook must not call back into the
// output (it posts a message).
#pragma once

#include "platform/system/wave_voice.h"

class TWave_Device {
 public:
  virtual ~TWave_Device() = default;
  // Whether anything can be played at all.
  virtual bool Can_Play() = 0;
  // Starts playing the voice (opening the device for the first); false
  // when the device cannot be opened.
  virtual bool Attach(TWave_Voice& voice) = 0;
  // Once this returns the device no longer touches the voice.
  virtual void Detach(TWave_Voice& voice) = 0;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  // Lock held: an idle voice was given a buffer and starts playing now.
  virtual void Started(TWave_Voice& voice) = 0;
};

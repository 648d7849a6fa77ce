// Sound_Player: plays one wave at a time on the wave output, with at most
// one more waiting, and tells each wave's client when its wave has ended.
// Completions arrive as MM_WOM_DONE at a hidden window, so clients hear of
// them on the user-interface thread. All calls are made on that thread.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/sound_client.h"

class Sound_Callback_Window;
class TWave_Out;
class Sound_Wave;

class Sound_Player {
 public:
  // Needs the window system; becomes The_Sound_Player.
  Sound_Player();
  ~Sound_Player();
  Sound_Player(const Sound_Player&) = delete;
  Sound_Player& operator=(const Sound_Player&) = delete;

  // Plays the wave from its position, or keeps it waiting while another
  // plays. False when it is refused: wider samples than the output takes,
  // the device cannot be opened, or a wave is already waiting.
  bool Play(Sound_Wave* wave, Sound_Client* client);
  // Silences the output and forgets both waves; no client is told.
  void Stop();
  // The output reported the buffer with this tag as finished.
  void Wave_Done(uint32_t tag);

  bool Playing() const { return Is_Playing != 0; }
  // 16, 8 or 0 (no output at all).
  uint32_t Supported() const { return Supported_Bits; }

 private:
  bool Start(Sound_Wave* wave, Sound_Client* client);

  std::unique_ptr<TWave_Out> Device;
  uint32_t Playing_Tag = 0;
  Sound_Client* Playing_Client = nullptr;
  Sound_Wave* Playing_Wave = nullptr;
  Sound_Wave* Pending_Wave = nullptr;
  Sound_Client* Pending_Client = nullptr;
  uint8_t Is_Playing = 0;
  uint8_t Device_Owned = 0;
  uint32_t Supported_Bits = 0;
  uint32_t Stop_Count = 0;
  std::unique_ptr<Sound_Callback_Window> Window;
};

extern Sound_Player* The_Sound_Player;

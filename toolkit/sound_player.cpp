#include "toolkit/sound_player.h"

#include "platform/system/wave_out.h"
#include "toolkit/sound_callback_window.h"
#include "toolkit/sound_wave.h"

Sound_Player* The_Sound_Player = nullptr;

Sound_Player::Sound_Player() {
  The_Sound_Player = this;
  Window = std::make_unique<Sound_Callback_Window>([this](uint32_t tag) { Wave_Done(tag); });
  if (TWave_Out::Query(WAVEFORMATEX::Mono_Pcm(16)))
    Supported_Bits = 16;
  else if (TWave_Out::Query(WAVEFORMATEX::Mono_Pcm(8)))
    Supported_Bits = 8;
}

Sound_Player::~Sound_Player() {
  if (Device) Stop();
  Window.reset();
  if (The_Sound_Player == this) The_Sound_Player = nullptr;
}

bool Sound_Player::Play(Sound_Wave* wave, Sound_Client* client) {
  if (!wave || !wave->Is_Valid() || Supported_Bits == 0 || wave->Bits() > Supported_Bits) return false;
  if (Is_Playing) {
    if (Pending_Wave) return false;
    Pending_Wave = wave;
    Pending_Client = client;
    return true;
  }
  return Start(wave, client);
}

bool Sound_Player::Start(Sound_Wave* wave, Sound_Client* client) {
  if (!Device) {
    Device = TWave_Out::Open(wave->Format(), Window->Poster());
    if (!Device) return false;
    Device_Owned = 1;
  }
  uint32_t bytes = uint32_t(wave->Get_Remaining(Sound_Bytes));
  // A wave of another width than the device was opened for still plays:
  // the output converts it.
  uint32_t tag = Device->Write(wave->Position_Data(), bytes, wave->Bits());
  if (tag == 0) {
    Is_Playing = 0;
    Playing_Client = nullptr;
    if (Device_Owned) Device.reset();
    return false;
  }
  Playing_Tag = tag;
  Is_Playing = 1;
  Playing_Wave = wave;
  Playing_Client = client;
  return true;
}

void Sound_Player::Wave_Done(uint32_t tag) {
  // A completion of a buffer since stopped, or of another device, is stale.
  if (!Is_Playing || !Device || tag != Playing_Tag || !Device->Take_Done(tag)) return;
  Sound_Wave* next_wave = Pending_Wave;
  Sound_Client* next_client = Pending_Client;
  Pending_Wave = nullptr;
  Pending_Client = nullptr;
  if (!next_wave && Device_Owned) {
    Device.reset();
    Device_Owned = 0;
  }
  Is_Playing = 0;
  Sound_Wave* done_wave = Playing_Wave;
  Sound_Client* done_client = Playing_Client;
  Playing_Wave = nullptr;
  Playing_Client = nullptr;
  Playing_Tag = 0;
  uint32_t stops = Stop_Count;
  if (done_client) done_client->Sound_Done(done_wave);
  // A client that stopped the player meant silence: the waiting wave is
  // forgotten as Stop forgets it.
  if (Stop_Count != stops) next_wave = nullptr;
  if (next_wave && !Is_Playing) {
    // The waiting wave was promised to play; if it cannot, its client is
    // told at once rather than left waiting for an end that never comes.
    if (!Start(next_wave, next_client) && next_client) next_client->Sound_Done(next_wave);
  } else if (next_wave && next_client) {
    // The client of the finished wave started another one meanwhile.
    if (!Play(next_wave, next_client)) next_client->Sound_Done(next_wave);
  }
}

void Sound_Player::Stop() {
  ++Stop_Count;
  if (Is_Playing && Device) Device->Reset();
  Device.reset();
  Device_Owned = 0;
  Playing_Wave = nullptr;
  Playing_Client = nullptr;
  Pending_Wave = nullptr;
  Pending_Client = nullptr;
  Playing_Tag = 0;
  Is_Playing = 0;
}

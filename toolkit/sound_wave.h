// Sound_Wave: PCM samples with a play position: a built-in clip read from
// its RIFF image, or a blank wave made in memory to mix clips into.
// Amounts are given in a unit: sample frames, milliseconds or bytes.
#pragma once

#include <cstdint>

#include "platform/system/wave_format.h"
#include "toolkit/resource_data.h"
#include "toolkit/virtual_memory.h"

enum Sound_Unit : int { Sound_Frames = 0, Sound_Milliseconds = 1, Sound_Bytes = 2 };

class Sound_Wave {
 public:
  // The raw-data resource of that id, parsed as a RIFF image; invalid when
  // it is missing or not a wave the output can play (PCM, mono, 22050 Hz,
  // 8 or 16 bits).
  explicit Sound_Wave(uint32_t resource_id);
  // A RIFF image held elsewhere (it must outlive the wave).
  Sound_Wave(const uint8_t* image, uint32_t size);
  // A blank wave of length (in unit) of PCM samples in memory; silent when
  // fill is set. Invalid when the memory cannot be had.
  Sound_Wave(int64_t length, int unit, bool fill, uint16_t bits, uint32_t rate, uint16_t channels);
  ~Sound_Wave() = default;
  Sound_Wave(const Sound_Wave&) = delete;
  Sound_Wave& operator=(const Sound_Wave&) = delete;

  bool Is_Valid() const { return Data != nullptr; }
  // Why the wave is not valid, a short text to log or show; empty when it is.
  const char* Why_Invalid() const { return Data ? "" : Refusal; }
  const WAVEFORMATEX& Format() const { return Wave_Format; }
  uint8_t* Samples() const { return Data; }
  uint16_t Bits() const { return Wave_Format.bits_per_sample; }

  // Moves the position (clamped to the wave).
  void Set_Position(int64_t value, int unit);
  // Amounts in unit; -1 for an unknown unit.
  int64_t Get_Position(int unit) const;
  int64_t Get_Length(int unit) const;
  int64_t Get_Remaining(int unit) const;
  // The position's byte address.
  uint8_t* Position_Data() const;

  // Silence from the position, for amount (clamped to what remains); the
  // position does not move.
  void Fill_Silence(int64_t amount, int unit);
  // Adds source frames from the source's position into this wave at its
  // position, clamping each sum; the source is lowered by shift halvings.
  // amount -1: all that remains of the source. Positions do not move.
  void Mix_From(const Sound_Wave& source, int64_t amount, int unit, int shift);

 private:
  // Takes the image's samples, or gives the reason it cannot.
  const char* Parse(const uint8_t* image, uint32_t size);
  int64_t From_Frames(int64_t frames, int unit) const;
  int64_t To_Frames(int64_t amount, int unit) const;

  WAVEFORMATEX Wave_Format;
  Resource_Data Resource;
  Virtual_Memory Memory;
  uint8_t* Data = nullptr;
  const char* Refusal = "No sound";
  uint32_t Position = 0;
  uint32_t Length = 0;
};

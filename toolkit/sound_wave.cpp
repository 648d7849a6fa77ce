#include "toolkit/sound_wave.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

uint32_t Read_U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Read_U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

int Clamp_8(int s) { return s > 127 ? 255 : s < -128 ? 0 : s + 128; }
int16_t Clamp_16(int s) { return int16_t(std::clamp(s, -32768, 32767)); }

// Samples are little-endian, as is every machine the program runs on; a
// copy of two bytes reads one whatever its alignment.
static_assert(std::endian::native == std::endian::little);
int16_t Sample_16(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
void Store_16(uint8_t* p, int16_t v) { std::memcpy(p, &v, 2); }

}  // namespace

Sound_Wave::Sound_Wave(uint32_t resource_id) : Resource(resource_id) {
  Refusal = Resource.Data() ? Parse(Resource.Data(), Resource.Size()) : "No such sound";
}

Sound_Wave::Sound_Wave(const uint8_t* image, uint32_t size) {
  if (image) Refusal = Parse(image, size);
}

Sound_Wave::Sound_Wave(int64_t length, int unit, bool fill, uint16_t bits, uint32_t rate, uint16_t channels) {
  Wave_Format.format_tag = WAVE_FORMAT_PCM;
  Wave_Format.channels = channels;
  Wave_Format.bits_per_sample = bits;
  Wave_Format.samples_per_sec = rate;
  Wave_Format.block_align = uint16_t(channels * bits / 8);
  Wave_Format.avg_bytes_per_sec = Wave_Format.block_align * rate;
  Wave_Format.extra_size = 0;
  Refusal = "The wave's shape or length is not possible";
  if (Wave_Format.block_align == 0 || rate == 0 || length <= 0) return;
  int64_t frames = To_Frames(length, unit);
  int64_t bytes = unit == Sound_Bytes ? length : frames * Wave_Format.block_align;
  if (frames <= 0 || frames > 0xFFFFFFFF || bytes <= 0) return;
  Refusal = "There is no memory for the wave";
  if (!Memory.Reserve(size_t(bytes), Virtual_Memory::Commit_All) || Memory.Top() != size_t(bytes)) return;
  Data = Memory.Base();
  Length = uint32_t(frames);
  if (fill) Fill_Silence(Length, Sound_Frames);
}

// A RIFF WAVE image: chunks after the 12-byte header, each padded to an
// even length, walked within both the RIFF size and the image; "fmt " must
// come before "data".
const char* Sound_Wave::Parse(const uint8_t* image, uint32_t size) {
  if (size < 12 || std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0)
    return "Not a RIFF wave";
  uint64_t end = std::min<uint64_t>(uint64_t(Read_U32(image + 4)) + 8, size);
  uint64_t offset = 12;
  bool have_format = false;
  const uint8_t* samples = nullptr;
  uint32_t sample_bytes = 0;
  while (offset + 8 <= end && !(have_format && samples)) {
    const uint8_t* chunk = image + offset;
    uint64_t body = offset + 8;
    uint64_t chunk_size = std::min<uint64_t>(Read_U32(chunk + 4), end - body);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (chunk_size < 16) return "The format chunk is too short";
      const uint8_t* f = image + body;
      Wave_Format.format_tag = Read_U16(f);
      Wave_Format.channels = Read_U16(f + 2);
      Wave_Format.samples_per_sec = Read_U32(f + 4);
      Wave_Format.avg_bytes_per_sec = Read_U32(f + 8);
      Wave_Format.block_align = Read_U16(f + 12);
      Wave_Format.bits_per_sample = Read_U16(f + 14);
      Wave_Format.extra_size = 0;
      have_format = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!have_format) return "The samples come before their format";
      samples = image + body;
      sample_bytes = uint32_t(chunk_size);
    }
    offset = body + Read_U32(chunk + 4) + (Read_U32(chunk + 4) & 1);
  }
  if (!have_format) return "No format chunk";
  if (!samples) return "No samples";
  // Only what the output plays is taken, so a wave is refused here rather
  // than failing when played.
  if (Wave_Format.format_tag != WAVE_FORMAT_PCM) return "Not PCM samples";
  if (Wave_Format.bits_per_sample != 8 && Wave_Format.bits_per_sample != 16)
    return "Only samples of 8 or 16 bits can be played";
  if (Wave_Format.channels != 1) return "Only mono waves can be played";
  if (Wave_Format.samples_per_sec != Wave_Output_Rate) return "Only waves of 22050 Hz can be played";
  // Sizes must agree, or readers of the samples would step past them.
  if (Wave_Format.block_align != Wave_Format.bits_per_sample / 8) return "The frame size does not match the format";
  // A derived figure some writers get wrong; the output checks it.
  Wave_Format.avg_bytes_per_sec = Wave_Output_Rate * Wave_Format.block_align;
  Length = sample_bytes / Wave_Format.block_align;
  Data = const_cast<uint8_t*>(samples);
  return "";
}

int64_t Sound_Wave::From_Frames(int64_t frames, int unit) const {
  switch (unit) {
    case Sound_Frames: return frames;
    case Sound_Milliseconds:
      return Wave_Format.samples_per_sec ? frames * 1000 / Wave_Format.samples_per_sec : 0;
    case Sound_Bytes: return frames * Wave_Format.block_align;
  }
  return -1;
}

int64_t Sound_Wave::To_Frames(int64_t amount, int unit) const {
  switch (unit) {
    case Sound_Frames: return amount;
    case Sound_Milliseconds: return int64_t(Wave_Format.samples_per_sec) * amount / 1000;
    case Sound_Bytes: return Wave_Format.block_align ? amount / Wave_Format.block_align : 0;
  }
  return -1;
}

void Sound_Wave::Set_Position(int64_t value, int unit) {
  int64_t frames = To_Frames(value, unit);
  if (unit < Sound_Frames || unit > Sound_Bytes) return;
  Position = uint32_t(std::clamp<int64_t>(frames, 0, Length));
}

int64_t Sound_Wave::Get_Position(int unit) const { return From_Frames(Position, unit); }
int64_t Sound_Wave::Get_Length(int unit) const { return From_Frames(Length, unit); }
int64_t Sound_Wave::Get_Remaining(int unit) const { return From_Frames(int64_t(Length) - Position, unit); }

uint8_t* Sound_Wave::Position_Data() const {
  return Data ? Data + size_t(Position) * Wave_Format.block_align : nullptr;
}

void Sound_Wave::Fill_Silence(int64_t amount, int unit) {
  if (!Data || amount <= 0) return;
  int64_t frames = std::min<int64_t>(To_Frames(amount, unit), int64_t(Length) - Position);
  if (frames <= 0) return;
  size_t bytes = size_t(frames) * Wave_Format.block_align;
  if (Wave_Format.bits_per_sample == 8)
    std::memset(Position_Data(), 128, bytes);
  else if (Wave_Format.bits_per_sample == 16)
    std::memset(Position_Data(), 0, bytes);
}

void Sound_Wave::Mix_From(const Sound_Wave& source, int64_t amount, int unit, int shift) {
  if (!Data || !source.Data) return;
  // Mono samples of 8 or 16 bits on both sides.
  if (Wave_Format.channels != 1 || source.Wave_Format.channels != 1) return;
  uint16_t to_bits = Wave_Format.bits_per_sample;
  uint16_t from_bits = source.Wave_Format.bits_per_sample;
  if ((to_bits != 8 && to_bits != 16) || (from_bits != 8 && from_bits != 16)) return;
  int64_t frames = int64_t(source.Length) - source.Position;
  if (amount != -1) frames = std::min(frames, source.To_Frames(amount, unit));
  frames = std::min(frames, int64_t(Length) - Position);
  if (frames <= 0) return;
  shift = std::clamp(shift, 0, 16);

  const uint8_t* x = source.Position_Data();
  uint8_t* d = Position_Data();
  // Only the incoming samples are lowered by the shift; what is already in
  // the track keeps its level.
  if (to_bits == 8 && from_bits == 8) {
    for (int64_t i = 0; i < frames; ++i) d[i] = uint8_t(Clamp_8(d[i] - 128 + ((x[i] - 128) >> shift)));
  } else if (to_bits == 8 && from_bits == 16) {
    for (int64_t i = 0; i < frames; ++i) d[i] = uint8_t(Clamp_8(d[i] - 128 + ((Sample_16(x + 2 * i) >> 8) >> shift)));
  } else if (to_bits == 16 && from_bits == 8) {
    for (int64_t i = 0; i < frames; ++i)
      Store_16(d + 2 * i, Clamp_16(Sample_16(d + 2 * i) + (((x[i] - 128) * 256) >> shift)));
  } else {
    for (int64_t i = 0; i < frames; ++i)
      Store_16(d + 2 * i, Clamp_16(Sample_16(d + 2 * i) + (Sample_16(x + 2 * i) >> shift)));
  }
}

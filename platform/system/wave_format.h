// The wave format record of the platform's wave output. The message a window
// receives when a buffer has finished playing, MM_WOM_DONE, is the window
// layer's (platform/window/messages.h).
#pragma once

#include <cstdint>

constexpr uint16_t WAVE_FORMAT_PCM = 1;

// The output plays 22050 samples a second, one channel.
constexpr uint32_t Wave_Output_Rate = 22050;

// Stored as 18 bytes in wave files: tag, channels, rate, average bytes per
// second, block align, bits per sample, extra size (little-endian).
struct WAVEFORMATEX {
  uint16_t format_tag = WAVE_FORMAT_PCM;
  uint16_t channels = 1;
  uint32_t samples_per_sec = Wave_Output_Rate;
  uint32_t avg_bytes_per_sec = 0;
  uint16_t block_align = 0;
  uint16_t bits_per_sample = 0;
  uint16_t extra_size = 0;

  // The output's own format at the given width.
  static WAVEFORMATEX Mono_Pcm(uint16_t bits) {
    WAVEFORMATEX format;
    format.bits_per_sample = bits;
    format.block_align = static_cast<uint16_t>(bits / 8);
    format.avg_bytes_per_sec = Wave_Output_Rate * format.block_align;
    return format;
  }
};

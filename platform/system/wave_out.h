// Wave output: an output handle plays PCM buffers at 22050 Hz mono, one
// buffer playing and one waiting, and reports each buffer that has finished
// playing through its done hook with the buffer's tag. The window layer's
// hook posts MM_WOM_DONE to a window; when that message is handled, Take_Done
// tells whether the tag still counts, so that a completion which belonged
// to a buffer since reset is ignored.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/system/wave_format.h"
#include "platform/system/wave_voice.h"

class TWave_Device;

enum class Wave_Device_Kind { Sdl, Silent };

class TWave_Out {
 public:
  // Called on the device's thread, or on the caller's thread for a buffer
  // that finishes at once; it must only hand the tag on (post a message).
  using Done_Hook = std::function<void(uint32_t tag)>;

  // The device behind every later Open: SDL (the default) or the silent
  // device of headless runs.
  static void Use_Device(Wave_Device_Kind kind);
  // Fixes the probe's answer for tests: 16 (8 and 16 bits play), 8 (8 bits
  // only), 0 (nothing plays); -1 asks the device again.
  static void Force_Probe(int bits);
  // The widest sample the output takes: 16, 8 or 0.
  static uint16_t Supported_Bits();
  // Whether Open would take the format: PCM, one channel, 22050 Hz, 8 or 16
  // bits within what the output supports, with consistent sizes.
  static bool Query(const WAVEFORMATEX& format);

  // An open output for buffers of this format; null when it is refused or
  // the device cannot be opened.
  static std::unique_ptr<TWave_Out> Open(const WAVEFORMATEX& format, Done_Hook done);
  ~TWave_Out();
  TWave_Out(const TWave_Out&) = delete;
  TWave_Out& operator=(const TWave_Out&) = delete;

  // Queues bytes of samples of bits_per_sample (0: the open format); they
  // must stay valid until finished or reset. Gives the buffer's tag (never
  // 0), or 0 when refused: two buffers already queued, or a width the
  // output does not take. Zero bytes finish at once when nothing plays.
  uint32_t Write(const void* data, uint32_t bytes, uint16_t bits_per_sample = 0);
  // Stops and forgets every buffer; no hook is called for them, and their
  // finished tags no longer count.
  void Reset();
  // True, once, for a tag of this output that has finished since the last
  // reset.
  bool Take_Done(uint32_t tag);
  size_t Queued();

 private:
  TWave_Out(TWave_Device& device, uint16_t bits, Done_Hook done);

  TWave_Device& device_;
  uint16_t bits_;
  TWave_Voice voice_;
};

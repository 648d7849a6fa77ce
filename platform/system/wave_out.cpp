#include "platform/system/wave_out.h"

#include <atomic>

#include "platform/system/clock.h"
#include "platform/system/sdl_wave_device.h"
#include "platform/system/silent_wave_device.h"

namespace {

std::atomic<Wave_Device_Kind> device_kind{Wave_Device_Kind::Sdl};
std::atomic<int> forced_probe{-1};
// Tags are unique for the run, so a tag of a closed output never matches.
std::atomic<uint32_t> next_tag{1};

// The devices live until the process ends, never destroyed: outputs held
// by other long-lived objects detach from them at exit.
TWave_Device& Device() {
  // A sped-up clock plays sounds silently at its own pace, in step with the
  // timers; a sound card would play them at the wall's.
  if (device_kind.load() == Wave_Device_Kind::Silent || TClock::Real_Rate() != 1) {
    static TSilent_Wave_Device* silent = new TSilent_Wave_Device;
    return *silent;
  }
  static TSdl_Wave_Device* sdl = new TSdl_Wave_Device;
  return *sdl;
}

uint32_t New_Tag() {
  uint32_t tag;
  do tag = next_tag.fetch_add(1);
  while (tag == 0);
  return tag;
}

}  // namespace

void TWave_Out::Use_Device(Wave_Device_Kind kind) { device_kind.store(kind); }

void TWave_Out::Force_Probe(int bits) { forced_probe.store(bits); }

uint16_t TWave_Out::Supported_Bits() {
  int forced = forced_probe.load();
  if (forced >= 0) return forced >= 16 ? 16 : forced >= 8 ? 8 : 0;
  return Device().Can_Play() ? 16 : 0;
}

bool TWave_Out::Query(const WAVEFORMATEX& format) {
  const uint16_t bits = format.bits_per_sample;
  return format.format_tag == WAVE_FORMAT_PCM && format.channels == 1 &&
         format.samples_per_sec == Wave_Output_Rate && (bits == 8 || bits == 16) &&
         format.block_align == bits / 8 && format.avg_bytes_per_sec == Wave_Output_Rate * format.block_align &&
         bits <= Supported_Bits();
}

std::unique_ptr<TWave_Out> TWave_Out::Open(const WAVEFORMATEX& format, Done_Hook done) {
  if (!Query(format)) return nullptr;
  std::unique_ptr<TWave_Out> out(new TWave_Out(Device(), format.bits_per_sample, std::move(done)));
  if (!out->device_.Attach(out->voice_)) return nullptr;
  return out;
}

TWave_Out::TWave_Out(TWave_Device& device, uint16_t bits, Done_Hook done)
    : device_(device), bits_(bits), voice_(std::move(done)) {}

TWave_Out::~TWave_Out() { device_.Detach(voice_); }

uint32_t TWave_Out::Write(const void* data, uint32_t bytes, uint16_t bits_per_sample) {
  const uint16_t bits = bits_per_sample ? bits_per_sample : bits_;
  if ((bits != 8 && bits != 16) || bits > Supported_Bits() || (bytes && !data)) return 0;
  TWave_Voice::Buffer buffer{static_cast<const uint8_t*>(data), bytes - bytes % (bits / 8u), bits, New_Tag()};
  device_.Lock();
  const bool idle = !voice_.Busy();
  const bool added = voice_.Add(buffer);
  if (added && idle) {
    device_.Started(voice_);
    voice_.Play(nullptr, 0);  // an empty buffer finishes at once
  }
  device_.Unlock();
  return added ? buffer.tag : 0;
}

void TWave_Out::Reset() {
  device_.Lock();
  voice_.Clear();
  device_.Unlock();
}

bool TWave_Out::Take_Done(uint32_t tag) {
  device_.Lock();
  bool finished = voice_.Take_Finished(tag);
  device_.Unlock();
  return finished;
}

size_t TWave_Out::Queued() {
  device_.Lock();
  size_t queued = voice_.Queued();
  device_.Unlock();
  return queued;
}

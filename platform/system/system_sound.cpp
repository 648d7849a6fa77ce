#include "platform/system/system_sound.h"

#include <cmath>
#include <memory>
#include <mutex>

#include "platform/system/clock.h"
#include "platform/system/event_semaphore.h"
#include "platform/system/wave_out.h"

namespace {

// 140 ms of a bell-like tone: a fundamental at 1319 Hz with a softer octave
// and twelfth, a 4 ms rise against clicks and an exponential fall.
std::vector<uint8_t> Make_Beep() {
  const double pi = 3.14159265358979323846;
  const int frames = static_cast<int>(Wave_Output_Rate * 140 / 1000);
  std::vector<uint8_t> bytes(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    double t = static_cast<double>(i) / Wave_Output_Rate;
    double rise = std::min(1.0, t / 0.004);
    double fall = std::exp(-t / 0.035);
    double tone = std::sin(2 * pi * 1319 * t) + 0.35 * std::sin(2 * pi * 2638 * t) +
                  0.12 * std::sin(2 * pi * 3957 * t);
    auto sample = static_cast<int16_t>(std::lround(tone / 1.47 * 0.45 * 32767 * rise * fall));
    bytes[2 * i] = static_cast<uint8_t>(sample & 0xFF);
    bytes[2 * i + 1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
  }
  return bytes;
}

bool Same_Alias(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && !b[i];
}

// The output system sounds play on, kept open between sounds.
struct Sound_Channel {
  std::mutex lock;
  std::unique_ptr<TWave_Out> out;
  TEventSemaphore done{true};
};

Sound_Channel& Channel() {
  static Sound_Channel channel;
  return channel;
}

}  // namespace

const std::vector<uint8_t>& Default_Beep_Samples() {
  static const std::vector<uint8_t> samples = Make_Beep();
  return samples;
}

bool Play_System_Sound(const std::string& alias, bool wait) {
  if (!Same_Alias(alias, "Default Beep")) return false;
  const std::vector<uint8_t>& samples = Default_Beep_Samples();
  Sound_Channel& channel = Channel();
  std::lock_guard guard(channel.lock);
  if (!channel.out) {
    channel.out = TWave_Out::Open(WAVEFORMATEX::Mono_Pcm(16), [&channel](uint32_t) { channel.done.Set(); });
    if (!channel.out) return false;
  }
  channel.out->Reset();
  channel.done.Reset();
  if (!channel.out->Write(samples.data(), static_cast<uint32_t>(samples.size()))) return false;
  if (wait && !TClock::Current().Is_Virtual()) {
    const uint32_t length_ms = static_cast<uint32_t>(samples.size() / 2 * 1000 / Wave_Output_Rate);
    channel.done.Wait(length_ms + 500);
  }
  return true;
}

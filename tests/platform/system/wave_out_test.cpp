#include "platform/system/wave_out.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system/clock.h"
#include "platform/system/event_semaphore.h"
#include "platform/system/sdl_wave_device.h"
#include "platform/system/system_sound.h"

namespace {

// What a window would receive: the tags of finished buffers, in order.
class Done_Log {
 public:
  TWave_Out::Done_Hook Hook() {
    return [this](uint32_t tag) {
      std::lock_guard guard(lock_);
      tags_.push_back(tag);
      arrived_.Set();
    };
  }
  std::vector<uint32_t> Take() {
    std::lock_guard guard(lock_);
    return std::exchange(tags_, {});
  }
  TEventSemaphore& Arrived() { return arrived_; }
  // Waits in real time for `count` tags (or gives up after a minute of
  // quiet, which a starved device thread on a busy machine never needs).
  std::vector<uint32_t> Wait_For(size_t count) {
    std::vector<uint32_t> tags;
    while (tags.size() < count && arrived_.Wait(60000) == WAIT_OBJECT_0) {
      auto more = Take();
      tags.insert(tags.end(), more.begin(), more.end());
    }
    return tags;
  }

 private:
  std::mutex lock_;
  std::vector<uint32_t> tags_;
  TEventSemaphore arrived_;
};

class Silent_Output : public ::testing::Test {
 protected:
  Silent_Output() {
    TWave_Out::Use_Device(Wave_Device_Kind::Silent);
    TWave_Out::Force_Probe(-1);
    TClock::Install(&clock_);
  }
  ~Silent_Output() override {
    TClock::Install(nullptr);
    TWave_Out::Force_Probe(-1);
  }

  std::unique_ptr<TWave_Out> Open(uint16_t bits) { return TWave_Out::Open(WAVEFORMATEX::Mono_Pcm(bits), log_.Hook()); }
  // The tags of the buffers that finish within the next ms of virtual time.
  std::vector<uint32_t> After(uint32_t ms) {
    clock_.Advance(ms);
    return log_.Take();
  }

  TVirtual_Clock clock_;
  Done_Log log_;
  // Samples for any write: at the output's 22050 frames a second, 2205
  // frames (2205 bytes of 8 bits, 4410 of 16) last 100 ms.
  const std::vector<uint8_t> wave_ = std::vector<uint8_t>(44100, 0);
};

using Tags = std::vector<uint32_t>;

TEST_F(Silent_Output, ProbeAndFormatsTheOutputTakes) {
  EXPECT_EQ(TWave_Out::Supported_Bits(), 16);
  EXPECT_TRUE(TWave_Out::Query(WAVEFORMATEX::Mono_Pcm(16)) && TWave_Out::Query(WAVEFORMATEX::Mono_Pcm(8)));
  WAVEFORMATEX stereo = WAVEFORMATEX::Mono_Pcm(16), fast = stereo, odd = stereo, compressed = stereo;
  stereo.channels = 2;
  fast.samples_per_sec = 44100;
  odd.block_align = 1;
  compressed.format_tag = 2;
  for (const WAVEFORMATEX& bad : {stereo, fast, odd, compressed, WAVEFORMATEX::Mono_Pcm(24)})
    EXPECT_FALSE(TWave_Out::Query(bad) || TWave_Out::Open(bad, nullptr));

  // An output that takes 8 bits only refuses 16-bit waves, also one by one.
  TWave_Out::Force_Probe(8);
  EXPECT_FALSE(TWave_Out::Query(WAVEFORMATEX::Mono_Pcm(16)) || TWave_Out::Open(WAVEFORMATEX::Mono_Pcm(16), nullptr));
  auto out = TWave_Out::Open(WAVEFORMATEX::Mono_Pcm(8), nullptr);
  ASSERT_TRUE(out);
  EXPECT_TRUE(out->Write(wave_.data(), 200, 16) == 0 && out->Write(wave_.data(), 100) != 0);

  TWave_Out::Force_Probe(0);
  EXPECT_EQ(TWave_Out::Supported_Bits(), 0);
  EXPECT_FALSE(TWave_Out::Open(WAVEFORMATEX::Mono_Pcm(8), nullptr) || Play_System_Sound("Default Beep", false));
}

TEST_F(Silent_Output, OnePlaysOneWaitsTheyFinishInOrderOnTimeAndAResetTellsNobody) {
  auto out = Open(8);
  ASSERT_TRUE(out);
  uint32_t a = out->Write(wave_.data(), 2205);      // 100 ms
  uint32_t b = out->Write(wave_.data(), 2204, 16);  // 49.98 ms, a wider wave on the same output
  ASSERT_TRUE(a != 0 && b != 0 && a != b);
  EXPECT_EQ(out->Write(wave_.data(), 10), 0u);  // a third is refused
  EXPECT_EQ(out->Queued(), 2u);

  EXPECT_EQ(After(99), Tags{});
  EXPECT_EQ(After(1), Tags{a});
  EXPECT_TRUE(out->Take_Done(a));
  EXPECT_FALSE(out->Take_Done(a) || out->Take_Done(b));  // once only; b still plays
  // Now there is room again.
  uint32_t c = out->Write(wave_.data(), 10);
  ASSERT_NE(c, 0u);
  EXPECT_EQ(After(49), Tags{});
  EXPECT_EQ(After(1), Tags{b});
  EXPECT_EQ(After(1), Tags{c});
  EXPECT_TRUE(out->Take_Done(b) && out->Take_Done(c));
  EXPECT_EQ(out->Queued(), 0u);
  // A reset tells nobody, and stale completions are ignored.
  a = out->Write(wave_.data(), 2205);
  b = out->Write(wave_.data(), 2205);
  clock_.Advance(50);
  out->Reset();
  EXPECT_EQ(out->Queued(), 0u);
  EXPECT_EQ(After(1000), Tags{});
  EXPECT_FALSE(out->Take_Done(a) || out->Take_Done(b));

  // A completion already on its way when the output was reset: its message
  // arrives after the reset and must not count.
  c = out->Write(wave_.data(), 2205);
  EXPECT_EQ(After(100), Tags{c});
  out->Reset();
  EXPECT_FALSE(out->Take_Done(c));

  // The output plays on after a reset, from the moment of the next write.
  uint32_t d = out->Write(wave_.data(), 2205);
  EXPECT_EQ(After(99), Tags{});
  EXPECT_EQ(After(1), Tags{d});
  EXPECT_TRUE(out->Take_Done(d) && !out->Take_Done(a));
}

TEST_F(Silent_Output, ZeroBytesFinishAtOnceOrRightAfterThePlayingBuffer) {
  auto out = Open(16);
  ASSERT_TRUE(out);
  uint32_t empty = out->Write(nullptr, 0);
  ASSERT_NE(empty, 0u);
  EXPECT_EQ(log_.Take(), Tags{empty});  // before Write returned
  EXPECT_TRUE(out->Take_Done(empty));

  uint32_t playing = out->Write(wave_.data(), 4410);
  uint32_t behind = out->Write(wave_.data(), 0);
  EXPECT_EQ(log_.Take(), Tags{});
  EXPECT_EQ(After(100), (Tags{playing, behind}));
  // A trailing half frame is not played.
  uint32_t odd = out->Write(wave_.data(), 1);
  EXPECT_EQ(log_.Take(), Tags{odd});
}

TEST_F(Silent_Output, ClosedOutputsFallSilentAndOutputsPlaySideBySide) {
  Done_Log other;
  auto one = Open(8);
  auto two = TWave_Out::Open(WAVEFORMATEX::Mono_Pcm(8), other.Hook());
  ASSERT_TRUE(one && two);
  uint32_t a = one->Write(wave_.data(), 2205);
  clock_.Advance(50);
  uint32_t b = two->Write(wave_.data(), 2205);
  EXPECT_EQ(After(50), Tags{a});
  EXPECT_EQ(other.Take(), Tags{});
  EXPECT_FALSE(two->Take_Done(a));  // another output's tag
  one->Write(wave_.data(), 2205);
  one.reset();
  clock_.Advance(50);
  EXPECT_EQ(other.Take(), Tags{b});
  EXPECT_EQ(After(500), Tags{});
}

TEST_F(Silent_Output, DefaultBeepIsAShortCleanClip) {
  const std::vector<uint8_t>& beep = Default_Beep_Samples();
  ASSERT_EQ(beep.size(), 3087u * 2);  // 140 ms
  auto sample = [&](size_t i) { return static_cast<int16_t>(beep[2 * i] | beep[2 * i + 1] << 8); };
  int peak = 0;
  for (size_t i = 0; i < beep.size() / 2; ++i) peak = std::max(peak, std::abs(static_cast<int>(sample(i))));
  EXPECT_TRUE(peak > 8000 && peak < 20000) << peak;
  // Soft edges: no click at either end.
  EXPECT_TRUE(std::abs(sample(0)) < 100 && std::abs(sample(beep.size() / 2 - 1)) < 400);

  EXPECT_TRUE(Play_System_Sound("Default Beep", true));  // a virtual clock does not hold it
  EXPECT_TRUE(Play_System_Sound("default beep", false));
  EXPECT_FALSE(Play_System_Sound("Default Beeps", false) || Play_System_Sound("", false));
}

TEST_F(Silent_Output, ABufferPlaysOnForItsLengthWhenTheClockIsChanged) {
  auto out = Open(16);
  ASSERT_TRUE(out);
  uint32_t a = out->Write(wave_.data(), 44100);  // one second
  ASSERT_NE(a, 0u);
  clock_.Advance(700);
  // The virtual clock goes (as when a desktop closes): the last 300 ms play
  // in real time.
  TClock::Install(nullptr);
  const auto gone = std::chrono::steady_clock::now();
  EXPECT_EQ(log_.Take(), Tags{});
  ASSERT_EQ(log_.Arrived().Wait(60000), WAIT_OBJECT_0);
  const auto played = std::chrono::steady_clock::now() - gone;
  EXPECT_EQ(log_.Take(), Tags{a});
  EXPECT_TRUE(played >= std::chrono::milliseconds(250) && played < std::chrono::milliseconds(3000));

  // And back: a virtual clock installed mid-buffer takes over the rest. A
  // busy machine may let more than the 100 ms pass: the rest is at least
  // what is left of the second after the real time that passed.
  const auto written = std::chrono::steady_clock::now();
  uint32_t b = out->Write(wave_.data(), 44100);
  ASSERT_NE(b, 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  TClock::Install(&clock_);
  const auto real_ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - written);
  ASSERT_LT(real_ms.count(), 900) << "the thread was held up for most of the buffer";
  const uint32_t quiet = 900 - uint32_t(real_ms.count());
  EXPECT_EQ(log_.Take(), Tags{});
  EXPECT_EQ(After(quiet), Tags{});
  EXPECT_EQ(After(1000 - quiet), Tags{b});
}

TEST(Silent_Output_Real_Time, BuffersFinishInRealTimeWithoutAVirtualClock) {
  TWave_Out::Use_Device(Wave_Device_Kind::Silent);
  Done_Log log;
  auto out = TWave_Out::Open(WAVEFORMATEX::Mono_Pcm(16), log.Hook());
  ASSERT_TRUE(out);
  std::vector<uint8_t> wave(441 * 2);  // 20 ms
  uint32_t a = out->Write(wave.data(), static_cast<uint32_t>(wave.size()));
  uint32_t b = out->Write(wave.data(), static_cast<uint32_t>(wave.size()));
  EXPECT_EQ(log.Wait_For(2), (Tags{a, b}));
  EXPECT_TRUE(Play_System_Sound("Default Beep", true));
}

// The SDL device on SDL's dummy driver, which consumes audio in real time
// without a sound card.
TEST(Sdl_Output, PlaysBuffersInOrderOnTheDummyDriver) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TWave_Out::Use_Device(Wave_Device_Kind::Sdl);
  TWave_Out::Force_Probe(-1);
  // Every SDL build has the dummy driver: a probe that finds nothing is a fault.
  if (TWave_Out::Supported_Bits() == 0) {
    TWave_Out::Use_Device(Wave_Device_Kind::Silent);
    FAIL() << "SDL's dummy audio driver gave no output";
  }
  Done_Log log;
  auto out = TWave_Out::Open(WAVEFORMATEX::Mono_Pcm(8), log.Hook());
  ASSERT_TRUE(out);
  std::vector<uint8_t> eight(1102, 200), sixteen(1102 * 2, 0x40);
  uint32_t a = out->Write(eight.data(), static_cast<uint32_t>(eight.size()));
  uint32_t b = out->Write(sixteen.data(), static_cast<uint32_t>(sixteen.size()), 16);
  EXPECT_EQ(log.Wait_For(2), (Tags{a, b}));
  EXPECT_TRUE(out->Take_Done(a));
  // Reset during playback: nothing arrives for the buffer.
  std::vector<uint8_t> long_wave(22050, 128);
  out->Write(long_wave.data(), static_cast<uint32_t>(long_wave.size()));
  out->Reset();
  EXPECT_EQ(log.Arrived().Wait(300), WAIT_TIMEOUT);
  out.reset();
  TWave_Out::Use_Device(Wave_Device_Kind::Silent);
}

// A machine whose sound system has no device to open (an empty ALSA
// configuration has no default device): the start says so in one line of
// its own and nothing else, and the program plays silently. Asked twice,
// as the program may: the answer is given once.
void Probe_Without_A_Device() {
  setenv("SDL_AUDIODRIVER", "alsa", 1);
  setenv("ALSA_CONFIG_PATH", "/dev/null", 1);
  TSdl_Wave_Device device;
  const bool first = device.Can_Play();
  const bool again = device.Can_Play();
  std::exit(first || again ? 1 : 0);
}

TEST(Sdl_Output, NoDeviceIsOneLineOnStderr) {
  // A fresh process: this one's SDL audio may be up on another driver.
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(Probe_Without_A_Device(), testing::ExitedWithCode(0),
              "^quendar: sound is off because no sound device answered\n$");
  GTEST_FLAG_SET(death_test_style, style);
}

}  // namespace

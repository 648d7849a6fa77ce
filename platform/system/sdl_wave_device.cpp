#include "platform/system/sdl_wave_device.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/system/wave_format.h"

namespace {

// ALSA writes every step of a failed open to stderr (eight lines on a
// machine without a sound card). SDL loads ALSA itself; when it chose ALSA
// the library is already in the process, and its error reports are silenced
// while a device opens. A failure still reaches us through SDL.
class TQuiet_Alsa {
 public:
  TQuiet_Alsa() {
    const char* driver = SDL_GetCurrentAudioDriver();
    if (!driver || std::strcmp(driver, "alsa") != 0) return;
    library_ = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (library_) set_handler_ = reinterpret_cast<Set_Handler>(dlsym(library_, "snd_lib_error_set_handler"));
    if (set_handler_) set_handler_(&Silent);
  }
  ~TQuiet_Alsa() {
    if (set_handler_) set_handler_(nullptr);  // ALSA's own reporting again
    if (library_) dlclose(library_);
  }
  TQuiet_Alsa(const TQuiet_Alsa&) = delete;
  TQuiet_Alsa& operator=(const TQuiet_Alsa&) = delete;

 private:
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using Set_Handler = int (*)(Handler);
  static void Silent(const char*, int, const char*, int, const char*, ...) {}

  void* library_ = nullptr;
  Set_Handler set_handler_ = nullptr;
};

}  // namespace

struct TSdl_Wave_Device::Impl {
  // Guards the voice list and the device id between callers; the audio
  // callback itself runs under SDL's device lock, which Lock() takes.
  std::mutex guard;
  std::vector<TWave_Voice*> voices;
  SDL_AudioDeviceID device = 0;
  std::optional<bool> can_play;
  bool audio_ready = false;

  static void Fill(void* self, Uint8* stream, int length) {
    auto* impl = static_cast<Impl*>(self);
    std::memset(stream, 0, static_cast<size_t>(length));
    auto* mix = reinterpret_cast<int16_t*>(stream);
    const uint32_t frames = static_cast<uint32_t>(length) / 2;
    for (TWave_Voice* voice : impl->voices) voice->Play(mix, frames);
  }

  bool Init_Audio() {
    if (!audio_ready) audio_ready = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return audio_ready;
  }

  SDL_AudioDeviceID Open() {
    SDL_AudioSpec want = {};
    want.freq = static_cast<int>(Wave_Output_Rate);
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 512;  // about 23 ms: completions come that soon after the end
    want.callback = &Impl::Fill;
    want.userdata = this;
    SDL_AudioSpec have;
    TQuiet_Alsa quiet;
    return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
};

TSdl_Wave_Device::TSdl_Wave_Device() : impl_(std::make_unique<Impl>()) {}

TSdl_Wave_Device::~TSdl_Wave_Device() {
  if (impl_->device) SDL_CloseAudioDevice(impl_->device);
}

bool TSdl_Wave_Device::Can_Play() {
  std::lock_guard guard(impl_->guard);
  if (!impl_->can_play) {
    // Asked once: a device that opens now is taken to be there for the run.
    bool ok = impl_->Init_Audio();
    if (ok && !impl_->device) {
      SDL_AudioDeviceID probe = impl_->Open();
      ok = probe != 0;
      if (ok) SDL_CloseAudioDevice(probe);
    }
    impl_->can_play = ok;
    if (!ok) std::fputs("quendar: sound is off because no sound device answered\n", stderr);
  }
  return *impl_->can_play;
}

bool TSdl_Wave_Device::Attach(TWave_Voice& voice) {
  std::lock_guard guard(impl_->guard);
  if (!impl_->device) {
    if (!impl_->Init_Audio()) return false;
    impl_->device = impl_->Open();
    if (!impl_->device) return false;
    impl_->voices.push_back(&voice);
    SDL_PauseAudioDevice(impl_->device, 0);
    return true;
  }
  SDL_LockAudioDevice(impl_->device);
  impl_->voices.push_back(&voice);
  SDL_UnlockAudioDevice(impl_->device);
  return true;
}

void TSdl_Wave_Device::Detach(TWave_Voice& voice) {
  std::lock_guard guard(impl_->guard);
  if (!impl_->device) return;
  SDL_LockAudioDevice(impl_->device);
  auto& voices = impl_->voices;
  voices.erase(std::remove(voices.begin(), voices.end(), &voice), voices.end());
  SDL_UnlockAudioDevice(impl_->device);
  if (voices.empty()) {
    SDL_CloseAudioDevice(impl_->device);
    impl_->device = 0;
  }
}

void TSdl_Wave_Device::Lock() {
  impl_->guard.lock();
  if (impl_->device) SDL_LockAudioDevice(impl_->device);
}

void TSdl_Wave_Device::Unlock() {
  if (impl_->device) SDL_UnlockAudioDevice(impl_->device);
  impl_->guard.unlock();
}

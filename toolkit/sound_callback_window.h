// The hidden window at which the wave output's completions arrive: a
// finished buffer's tag is posted to it from the output's thread and handed
// to the sound player on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class Sound_Callback_Window {
 public:
  explicit Sound_Callback_Window(std::function<void(uint32_t tag)> done);
  ~Sound_Callback_Window();
  Sound_Callback_Window(const Sound_Callback_Window&) = delete;
  Sound_Callback_Window& operator=(const Sound_Callback_Window&) = delete;

  // A hook for the output (any thread): posts the tag to the window.
  std::function<void(uint32_t tag)> Poster() const;

 private:
  class Window;
  std::unique_ptr<Window> window_;
};

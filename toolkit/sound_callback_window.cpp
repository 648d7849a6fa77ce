#include "toolkit/sound_callback_window.h"

#include "platform/window/user.h"
#include "platform/window/window.h"

class Sound_Callback_Window::Window : public TWindow {
 public:
  explicit Window(std::function<void(uint32_t)> done) : TWindow(nullptr, "Sound"), done_(std::move(done)) {
    Attr.Style = WS_POPUP;
    Create();
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == MM_WOM_DONE) {
      done_(uint32_t(wp));
      return 0;
    }
    return TWindow::WindowProc(msg, wp, lp);
  }

 private:
  std::function<void(uint32_t)> done_;
};

Sound_Callback_Window::Sound_Callback_Window(std::function<void(uint32_t)> done)
    : window_(std::make_unique<Window>(std::move(done))) {}

Sound_Callback_Window::~Sound_Callback_Window() {
  if (window_->IsWindow()) window_->Destroy();
}

std::function<void(uint32_t)> Sound_Callback_Window::Poster() const {
  HWND hwnd = window_->GetHandle();
  return [hwnd](uint32_t tag) { PostMessage(hwnd, MM_WOM_DONE, tag, 0); };
}

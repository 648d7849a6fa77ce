// The desktop's clipboard as the program uses it for pictures: it takes the
// clipboard with a picture (PNG bytes, made once and served to every program
// that asks), gives it up again while it still holds it, and hears of every
// change of the clipboard's owner, its own changes included, as the
// program's clipboard watcher expects.
//
// Backends choose the service: on X11 the program owns the CLIPBOARD
// selection (x11_clipboard.h); a display without a desktop clipboard (the
// headless backend) has the failing one, whose every placement fails. Tests
// may install a service of their own, which then wins.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TClipboard_Service {
 public:
  using TPicture = std::shared_ptr<const std::vector<uint8_t>>;
  virtual ~TClipboard_Service() = default;

  // Takes the clipboard with the picture; false when it cannot (nothing
  // changed then).
  virtual bool Place_Png(TPicture png) = 0;
  // Gives the clipboard up, only while the program still holds it; whether
  // it did.
  virtual bool Empty() = 0;
  // notice (null: none) is called after every change of the clipboard's
  // owner, and once at once for the watch itself. It may run on another
  // thread: it should only post a message.
  virtual void Watch(std::function<void()> notice) = 0;

  // The service a test installed, or null.
  static TClipboard_Service* Installed();
  static void Install(TClipboard_Service* service);
  // The service of a display without a clipboard.
  static TClipboard_Service& Failing();
};

// The X11 CLIPBOARD selection, owned through a connection of its own to the
// program's display and served by a thread of its own, so that other
// programs get the picture whatever the user-interface thread is doing.
//
// - Targets offered: TARGETS, TIMESTAMP and image/png.
// - Data above Incr_Threshold bytes goes by the INCR protocol: the requestor
//   gets the size, then one chunk each time it deletes the property.
// - Ownership is taken with a real server time (from a property change on
//   our window), and given up only while we still own the selection.
// - XFixes tells of every change of the selection's owner; each one calls
//   the watcher's notice.
//
// The user-interface thread's calls are handed to the thread and answered
// within a bounded wait; a display that cannot be opened makes every call
// fail.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/system/clipboard_service.h"

class TX11_Clipboard : public TClipboard_Service {
 public:
  // Bytes up to which a picture goes in one property change.
  static constexpr size_t Incr_Threshold = 256 * 1024;
  static constexpr size_t Incr_Chunk = 64 * 1024;

  // display: the X display's name (null: $DISPLAY).
  explicit TX11_Clipboard(const char* display = nullptr);
  ~TX11_Clipboard() override;
  TX11_Clipboard(const TX11_Clipboard&) = delete;
  TX11_Clipboard& operator=(const TX11_Clipboard&) = delete;

  bool Connected() const;
  bool Place_Png(TPicture png) override;
  bool Empty() override;
  void Watch(std::function<void()> notice) override;

  // How many transfers went by INCR so far (tests).
  int Incr_Transfers() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// TCommandEnabler: a request to a command's target to say whether the
// command is available now. Buttons and menu items make one for their
// command id and send or post WM_COMMAND_ENABLE (0x7FFF) with it in lParam;
// the target's response table answers through Enable. An enabler that dies
// takes its queued requests with it, so no target sees a dead enabler.
#pragma once

#include <string>

#include "platform/window/messages.h"

class TCommandEnabler {
 public:
  explicit TCommandEnabler(UINT id, HWND receiver = HWND());
  TCommandEnabler(const TCommandEnabler&) = delete;
  TCommandEnabler& operator=(const TCommandEnabler&) = delete;
  virtual ~TCommandEnabler();

  UINT GetId() const { return id_; }
  HWND GetReceiver() const { return receiver_; }
  // The base marks the request handled; subclasses show the state.
  virtual void Enable(bool enable = true);
  virtual void SetText(const std::string& text);
  enum { Unchecked = 0, Checked = 1, Indeterminate = 2 };
  virtual void SetCheck(int state);

  bool GetHandled() const { return handled_; }
  bool Enabled() const { return enabled_; }
  void Reset() { handled_ = false; }

 protected:
  void SetHandled() { handled_ = true; }

 private:
  UINT id_;
  HWND receiver_;
  bool handled_ = false;
  bool enabled_ = true;
};

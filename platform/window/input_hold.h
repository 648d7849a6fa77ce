// TInput_Hold: while it lives, the program's windows take no click, no key
// and no close, as behind a box, and the pointer shows the watch, though no
// box shows: for a wait on another thread's answer that may take seconds
// (a print server slow to answer), during which the interface goes on
// painting and running its timers. A box raised meanwhile rules over it.
// When it ends, the keyboard goes back to the window that had it.
#pragma once

#include <memory>

#include "platform/window/messages.h"

class TCursor;
class TWindow;

class TInput_Hold {
 public:
  TInput_Hold();
  ~TInput_Hold();
  TInput_Hold(const TInput_Hold&) = delete;
  TInput_Hold& operator=(const TInput_Hold&) = delete;

 private:
  std::unique_ptr<TWindow> box_;  // never shown
  HWND had_keys_;
  const TCursor* cursor_before_;
};

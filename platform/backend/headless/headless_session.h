// A window system on the headless backend for the length of a scope: what
// window and program tests stand on. It starts the desktop, drives it
// (handle what waits, advance the virtual clock) and stops it at the end,
// destroying any window still open.
#pragma once

#include <string>

#include "platform/backend/headless/headless_backend.h"

class TDesktop;

class THeadless_Session {
 public:
  explicit THeadless_Session(TSize screen = {1024, 768});
  ~THeadless_Session();
  THeadless_Session(const THeadless_Session&) = delete;
  THeadless_Session& operator=(const THeadless_Session&) = delete;

  THeadless_Backend& Backend() { return *backend_; }
  TDesktop& Desktop();
  // Handles every message and idle processing until nothing waits.
  void Run_Until_Idle();
  // Moves the virtual clock on (timers fall due), then runs until idle.
  void Advance(uint32_t ms);
  // Writes the screen, or a part of it, to $QUENDAR_SNAPSHOTS/<name>.png when
  // that variable is set; false when nothing was written.
  bool Snapshot(const std::string& name) const;
  bool Snapshot(const std::string& name, const TRect& area) const;

 private:
  THeadless_Backend* backend_;
};

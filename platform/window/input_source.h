// A source of synthetic input: the playback of a scripted demonstration.
// While one is installed, real input is blocked except Ctrl+Esc, which ends
// the playback and posts WM_CANCELJOURNAL to the application.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/window/backend.h"

class TInput_Source {
 public:
  virtual ~TInput_Source() = default;
  // Milliseconds until the next event is due (0: now), or nothing when the
  // source has no event waiting.
  virtual std::optional<uint32_t> Delay_To_Next(uint32_t now) = 0;
  // Takes the next event once it is due.
  virtual bool Take(uint32_t now, TInput_Event& event) = 0;
  // The source was removed (cancel chord or uninstall).
  virtual void Ended() {}
};

// Journal playback: an input source driven by a playback procedure in the
// classic form. The procedure is asked HC_GETNEXT for the next event and
// answers with a delay; once a delay of 0 is answered (asked again after
// each wait) the event is delivered as if from the machine (pointer moves,
// hit-testing, capture and focus routing, key translation), and HC_SKIP
// tells the procedure it was taken.
#pragma once

#include "platform/window/input_source.h"
#include "platform/window/messages.h"

// The event record the procedures fill and read: mouse events carry the
// screen point in paramL and paramH, key events the virtual key in paramL.
struct EVENTMSG {
  UINT message = 0;
  UINT paramL = 0;
  UINT paramH = 0;
  uint32_t time = 0;
  HWND hwnd;
};

enum : int { HC_ACTION = 0, HC_GETNEXT = 1, HC_SKIP = 2 };
using HOOKPROC = LRESULT (*)(int code, WPARAM wparam, LPARAM lparam);

// The machine event an event record stands for; false for messages that
// are not input.
bool Input_From_Event_Msg(const EVENTMSG& record, TInput_Event& event);
// The event record of a machine event (what a recording procedure sees).
bool Event_Msg_From_Input(const TInput_Event& event, EVENTMSG& record);

class TJournal_Playback : public TInput_Source {
 public:
  explicit TJournal_Playback(HOOKPROC proc) : proc_(proc) {}
  std::optional<uint32_t> Delay_To_Next(uint32_t now) override;
  bool Take(uint32_t now, TInput_Event& event) override;

 private:
  void Ask(uint32_t now);

  HOOKPROC proc_;
  bool asked_ = false;
  bool waited_ = false;  // the last answer was a delay, to be asked again
  uint32_t due_ = 0;
  EVENTMSG record_;
};

#include "platform/window/hooks.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/window/desktop.h"

namespace {

struct THooks {
  HHOOK next = 1;
  HHOOK playback = 0;
  std::unique_ptr<TJournal_Playback> source;
  // A playback source removed from inside its own procedure lives on until
  // the next change.
  std::vector<std::unique_ptr<TJournal_Playback>> retired;
  struct TRecorder {
    HHOOK hook;
    HOOKPROC proc;
  };
  std::vector<TRecorder> recorders;
};

THooks& Hooks() {
  static THooks hooks;
  return hooks;
}

void Update_Tap() {
  TDesktop& desk = TDesktop::Current();
  if (Hooks().recorders.empty()) {
    desk.Set_Record_Tap(nullptr);
    return;
  }
  desk.Set_Record_Tap([](const TInput_Event& e) {
    EVENTMSG record;
    if (!Event_Msg_From_Input(e, record)) return;
    record.time = e.time ? e.time : TDesktop::Current().Now();
    // A procedure may unhook itself: walk a copy.
    auto recorders = Hooks().recorders;
    for (auto& r : recorders) r.proc(HC_ACTION, 0, reinterpret_cast<LPARAM>(&record));
  });
}

void Forget_All() {
  THooks& h = Hooks();
  if (h.source) h.retired.push_back(std::move(h.source));
  h.playback = 0;
  h.recorders.clear();
}

}  // namespace

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, void*, uint32_t) {
  if (!TDesktop::Running() || !proc) return 0;
  THooks& h = Hooks();
  TDesktop& desk = TDesktop::Current();
  desk.Set_Journal_Cancel_Hook(Forget_All);
  if (kind == WH_JOURNALPLAYBACK) {
    if (h.playback) return 0;
    h.retired.clear();
    h.source = std::make_unique<TJournal_Playback>(proc);
    h.playback = h.next++;
    desk.Set_Input_Source(h.source.get());
    return h.playback;
  }
  if (kind == WH_JOURNALRECORD) {
    HHOOK hook = h.next++;
    h.recorders.push_back({hook, proc});
    Update_Tap();
    return hook;
  }
  return 0;
}

bool UnhookWindowsHookEx(HHOOK hook) {
  if (!hook || !TDesktop::Running()) return false;
  THooks& h = Hooks();
  if (hook == h.playback) {
    h.playback = 0;
    h.retired.push_back(std::move(h.source));
    TDesktop::Current().Set_Input_Source(nullptr);
    return true;
  }
  auto it = std::find_if(h.recorders.begin(), h.recorders.end(), [&](auto& r) { return r.hook == hook; });
  if (it == h.recorders.end()) return false;
  h.recorders.erase(it);
  Update_Tap();
  return true;
}

LRESULT CallNextHookEx(HHOOK, int, WPARAM, LPARAM) { return 0; }

bool Journal_Playback_Installed() { return Hooks().playback != 0; }

#include "gallery/preparer_thread.h"

#include "platform/window/user.h"

Drawing_Collection::Preparer_Thread::Preparer_Thread() = default;

Drawing_Collection::Preparer_Thread::~Preparer_Thread() {
  {
    std::lock_guard<std::mutex> hold(lock);
    quit = true;
  }
  changed.notify_all();
  if (GetStatus() == Running) WaitForExit();
}

void Drawing_Collection::Preparer_Thread::Start_Pass(Drawing_Collection* collection_,
                                                     std::vector<Presentation_Data*> items_) {
  Pause();
  {
    std::lock_guard<std::mutex> hold(lock);
    collection = collection_;
    items = std::move(items_);
    next = 0;
    requested = nullptr;
    requester = HWND();
    done = false;
    pause = false;
    phase = Phase::Pending;
  }
  changed.notify_all();
}

void Drawing_Collection::Preparer_Thread::Pause() {
  std::unique_lock<std::mutex> hold(lock);
  if (phase == Phase::Pending) {
    // Not taken yet: the pass simply never begins.
    phase = Phase::Idle;
    items.clear();
    collection = nullptr;
    requested = nullptr;
    return;
  }
  if (phase != Phase::Running) return;
  pause = true;
  changed.wait(hold, [this] { return phase == Phase::Idle; });
  pause = false;
}

bool Drawing_Collection::Preparer_Thread::Request(Drawing_Collection* collection_, Presentation_Data* presentation,
                                                  HWND window) {
  std::lock_guard<std::mutex> hold(lock);
  if (phase == Phase::Idle || collection != collection_ || quit) return false;
  requested = presentation;
  requester = window;
  // The cell it stands in now: the thread never reads a place, which only
  // this thread changes.
  requested_row = presentation->place.a;
  requested_column = presentation->place.b;
  return true;
}

bool Drawing_Collection::Preparer_Thread::Done() {
  std::lock_guard<std::mutex> hold(lock);
  return done;
}

bool Drawing_Collection::Preparer_Thread::Busy_With(const Drawing_Collection* collection_) {
  std::lock_guard<std::mutex> hold(lock);
  return phase != Phase::Idle && collection == collection_;
}

void Drawing_Collection::Preparer_Thread::Hold(bool hold) {
  {
    std::lock_guard<std::mutex> guard(lock);
    held = hold;
  }
  changed.notify_all();
}

int32_t Drawing_Collection::Preparer_Thread::Run() {
  std::unique_lock<std::mutex> hold(lock);
  for (;;) {
    changed.wait(hold, [this] { return quit || (phase == Phase::Pending && !held); });
    if (quit) return 0;
    phase = Phase::Running;
    Run_Pass(hold);
    done = !quit && next >= items.size();
    items.clear();
    collection = nullptr;
    requested = nullptr;
    requester = HWND();
    phase = Phase::Idle;
    changed.notify_all();
  }
}

// Holds the lock except while a drawing is prepared. The pass ends (and a
// request made since can no longer arrive unanswered) in the same hold that
// finds nothing left to do.
void Drawing_Collection::Preparer_Thread::Run_Pass(std::unique_lock<std::mutex>& hold) {
  while (!quit && !pause) {
    Presentation_Data* drawing = requested;
    const bool was_request = drawing != nullptr;
    const HWND window = requester;
    const int32_t row = requested_row, column = requested_column;
    if (!was_request) {
      while (next < items.size() && items[next]->Is_Ready()) ++next;
      if (next >= items.size()) return;
      drawing = items[next];
    }
    if (!drawing->Is_Ready()) {
      hold.unlock();
      collection->Prepare(*drawing, work);
      hold.lock();
    }
    if (was_request) {
      collection->picture_ready.Set();
      if (window) PostMessage(window, Picture_Ready_Message, WPARAM(row), LPARAM(column));
      if (requested == drawing) {
        requested = nullptr;
        requester = HWND();
      }
    }
  }
}

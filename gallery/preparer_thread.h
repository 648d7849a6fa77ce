// The one background thread of the process that makes the reduced pictures
// of the drawings a store read from its gallery file. A pass works through
// the grid's drawings in row-major order; a drawing the gallery window needs
// next overtakes the order, and the window hears of it through
// Picture_Ready_Message (wParam row, lParam column).
//
// The pass's life is one state under one lock: idle, pending (handed over,
// not yet taken by the thread) or running. Pause cancels a pending pass at
// once and waits only for a running one, which stops after the drawing in
// hand, so a Pause straight after Start_Pass never waits for a pass that
// has not begun.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "gallery/drawing_collection.h"
#include "toolkit/tthread.h"

class Drawing_Collection::Preparer_Thread : public TThread {
 public:
  Preparer_Thread();
  // Asks the thread to end, wakes it and waits for it.
  ~Preparer_Thread() override;

  // Hands over a pass over items (drawings of collection); a pass still
  // running is paused first.
  void Start_Pass(Drawing_Collection* collection, std::vector<Presentation_Data*> items);
  // Stops the pass: a pending one at once, a running one after the drawing
  // in hand. Returns at once when idle.
  void Pause();
  // Asks for presentation before the others; window (may be null) is told
  // when it is ready. False when no pass of collection is under way, so that
  // nobody would answer: the caller prepares the drawing itself.
  bool Request(Drawing_Collection* collection, Presentation_Data* presentation, HWND window);
  // True when the last pass ended with every listed drawing handled.
  bool Done();
  // True while a pass of collection is pending or running.
  bool Busy_With(const Drawing_Collection* collection);
  // Test hook: while held, a pass handed over stays pending (it reads no
  // record); let go, it begins. Test use only.
  void Hold(bool hold);

  // The pictures the thread reduces on; it alone touches them.
  Picture_Set work;

 protected:
  int32_t Run() override;

 private:
  enum class Phase { Idle, Pending, Running };

  // Works through the list, a requested drawing first, until it is done,
  // paused or asked to end.
  void Run_Pass(std::unique_lock<std::mutex>& hold);

  std::mutex lock;
  std::condition_variable changed;
  Phase phase = Phase::Idle;
  bool pause = false;
  bool held = false;
  bool quit = false;
  bool done = false;
  Drawing_Collection* collection = nullptr;
  std::vector<Presentation_Data*> items;
  size_t next = 0;
  Presentation_Data* requested = nullptr;
  HWND requester;
  int32_t requested_row = 0;
  int32_t requested_column = 0;
};

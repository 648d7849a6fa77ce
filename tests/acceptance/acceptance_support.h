// What the real-display tests share: the built program started as a child
// with a home of its own, xdotool to drive it, and the run of one test in a
// child of the test program on its own virtual X server.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/geometry.h"

// Writes a user file in data that lists one person, current, as an earlier
// run of the program leaves it: the program starts without its greeting.
void Write_Listed_Person(const std::string& data, const std::string& name, int32_t level, int32_t points = 0);

// This test program's own path.
std::string Self();
void Sleep_Ms(int ms);

// Runs xdotool with the arguments; a failure fails the test.
void Xdotool(const std::string& arguments);
std::string At(TPoint p);
void Click(TPoint p);
// Whether a window of that name (a pattern, as xdotool takes it) is on the
// display now: the program's frame is named by its caption.
bool Window_Named(const std::string& name);

// Opens help with its button, goes to the index with Home and follows the
// index's link to the Demonstrations page, each step seen done on the
// screen before the next.
void Open_Demonstrations(TPoint help_button, TPoint demonstrations_link);

// What a click or a key that changes the screen has done: waits until the
// screen differs from before, then until it has settled. The settled
// screen, empty when it never changed or never settled.
std::vector<uint32_t> Changed_And_Settled(const std::function<std::vector<uint32_t>()>& grab,
                                          const std::vector<uint32_t>& before);

// The processor time (in clock ticks) that the programs this test started
// have used so far, and whether one of their threads is running, waiting
// for a processor or for the disk now: a program that is still working,
// however slowly the machine lets it.
uint64_t Program_Cpu_Ticks();
bool Program_Busy();

// Progress for the waits below: a count that goes up each time it is asked
// when the started programs were busy at this look and the one before. A
// helper thread that wakes now and then and sleeps again (the processor
// time of an idle program moves every few seconds) is not progress.
uint64_t Program_Work_Seen();
// The whole screen's fingerprint (looked at once a second at most) with
// Program_Work_Seen: what the waits count as progress unless told
// otherwise. A wait for what never comes fails at its stall limit.
uint64_t Program_Progress();

// A fingerprint of pixels, for telling frames apart.
uint64_t Pixels_Hash(const std::vector<uint32_t>& pixels);

// How long the waits below go on. A machine under load makes the program
// slow, not stuck: a wait goes on while what it watches still changes, and
// fails only after a stretch of stall_ms without a change, or after cap_ms
// in all (far above what a loaded machine needs, so that a program that
// never stops changing cannot hold the test for ever).
struct Patience {
  int stall_ms = 30000;
  int cap_ms = 240000;
};

// Asks done() every poll_ms until it says yes; watched() is what shows
// progress (by default the screen and the started programs' work). False
// when it never said yes.
bool Wait_While_Progressing(const std::function<bool()>& done,
                            const std::function<uint64_t()>& watched = Program_Progress,
                            Patience patience = {}, int poll_ms = 100);

// Grabs the screen every 250 ms until it has stayed the same for still_ms
// with the started programs idle (the program has settled, not merely been
// kept from the processor); the last grab, empty when it never settled.
std::vector<uint32_t> Wait_Until_Still(const std::function<std::vector<uint32_t>()>& grab, Patience patience = {},
                                       int still_ms = 2500);

// What a click or a key set going is done, as far as the screen shows it:
// the screen still for a second with the program idle. The last grab, as
// Wait_Until_Still.
std::vector<uint32_t> Settle(const std::function<std::vector<uint32_t>()>& grab);

// Runs the current test in a child of this program on its own virtual X
// server of the given size (and bits per pixel); true when this is that
// child, which goes on.
bool In_Child_On_Screen(int width, int height, int depth = 24);

// The built program, started on the screen of the given size with its home,
// data and settings in folder (plus any extra NAME=value), and killed when
// it has not ended by the time this goes.
class Running_Program {
 public:
  Running_Program(const std::string& folder, TSize screen, const std::vector<std::string>& extra_environment = {});
  ~Running_Program();
  Running_Program(const Running_Program&) = delete;
  Running_Program& operator=(const Running_Program&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // The exit code, or -1 when it did not end: it may take as long as it
  // still works, but not ms without being seen at work.
  int Wait_For_Exit(int ms);
  // The processor time (in clock ticks) the program has used so far.
  uint64_t Cpu_Ticks() const;

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

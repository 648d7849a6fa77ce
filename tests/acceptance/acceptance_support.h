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

// Opens help with its button, goes to the index with Home and follows the
// index's link to the Demonstrations page, a moment for each.
void Open_Demonstrations(TPoint help_button, TPoint demonstrations_link);

// Grabs the screen every 250 ms until it has stayed the same for 2.5 s (the
// program has settled), at most 45 s; the last grab, empty when it never
// settled.
std::vector<uint32_t> Wait_Until_Still(const std::function<std::vector<uint32_t>()>& grab);

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
  // The exit code, or -1 when it did not end within ms.
  int Wait_For_Exit(int ms);

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

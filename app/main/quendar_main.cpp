// The program's entry: the window system on the machine's display (or
// headless when there is none), the application, its run loop, and the run
// loop's result as the exit code. A request from the system to end (a
// logout, `kill`, Ctrl+C) closes the program as its close box does, in
// whatever state it is, asking nothing.
#include "app/ifs_application.h"
#include "platform/backend/sdl/backend_choice.h"
#include "platform/system/end_signals.h"
#include "platform/window/desktop.h"

int main() {
  Start_Window_System();
  int code = 0;
  {
    TEnd_Signals end_signals([] { TDesktop::Current().Request_End(); });
    IFS_Application application;
    code = application.Run();
  }
  TDesktop::Stop();
  return code;
}

// The program's entry: the window system on the machine's display (or
// headless when there is none), the application, its run loop, and the run
// loop's result as the exit code.
#include "app/ifs_application.h"
#include "platform/backend/sdl/backend_choice.h"
#include "platform/window/desktop.h"

int main() {
  Start_Window_System();
  int code = 0;
  {
    IFS_Application application;
    code = application.Run();
  }
  TDesktop::Stop();
  return code;
}

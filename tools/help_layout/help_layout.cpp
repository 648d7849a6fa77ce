// quendar_help_layout: prints where the parts of the panels stand, as the
// fractions of the help arrows' frame that an ARROW line of the help script
// (resources/text/help_4407.txt) gives, for each screen size the help is
// checked at. An arrow pointing at a part takes the fractions of a point
// well inside it; the help script test checks that it lands there at every
// size.
#include <cstdio>

#include "tools/help_layout/help_targets.h"

namespace {

void Print(const char* title, const Help_Targets& targets, const TRect& frame) {
  std::printf("  %s\n", title);
  const double w = frame.Width(), h = frame.Height();
  for (const auto& [name, r] : targets) {
    std::printf("    %-16s centre %.3f, %.3f   box %.3f..%.3f x %.3f..%.3f\n", name.c_str(),
                ((r.left + r.right) / 2.0 - frame.left) / w, ((r.top + r.bottom) / 2.0 - frame.top) / h,
                (r.left - frame.left) / w, (r.right - frame.left) / w, (r.top - frame.top) / h,
                (r.bottom - frame.top) / h);
  }
}

}  // namespace

int main() {
  for (const TSize screen : {TSize(800, 600), TSize(1024, 768), TSize(1920, 1080)}) {
    Program_Options options;
    options.screen = screen;
    Program_Session program(options);
    program.Start();
    IFS_Main_Window& main = *program.Main();
    const TRect frame = The_Help_Window->Arrow_Frame;
    std::printf("%d x %d (arrow frame %d, %d, %d, %d)\n", screen.cx, screen.cy, frame.left, frame.top, frame.right,
                frame.bottom);
    Print("main window", Main_Window_Targets(main), frame);
    Print("review", Review_Targets(*main.review_window), frame);
    Print("editor", Editor_Targets(*main.editor), frame);
    auto* dialog = new User_Dialog(program.Frame(), nullptr, program.Frame()->User_Dialog_Place);
    dialog->Create();
    program.Run_Until_Idle();
    Print("name and level", Dialog_Targets(*dialog), frame);
    Print("gallery", Gallery_Targets(*program.Frame()->Gallery), frame);
    dialog->Destroy();
    delete dialog;
    program.Stop();
  }
  return 0;
}

// The main window: where its panels and buttons stand, the active panel and
// help, the private messages and the keys, the change of user.
#include <gtest/gtest.h>

#include "game/safari_controls.h"
#include "help/help_window.h"
#include "manipulators/transform_palette.h"
#include "tests/app/program_session.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_button.h"
#include "users/user_database.h"

TEST(Main_Window, Looks_Right_In_Each_Layout_Column) {
  for (TSize screen : {TSize(640, 480), TSize(800, 600), TSize(1024, 768), TSize(1920, 1080)}) {
    Program_Options options;
    options.screen = screen;
    Program_Session program(options);
    program.Start();
    IFS_Main_Window* main = program.Main();
    ASSERT_NE(main, nullptr);
    program.Snapshot("main_window_" + std::to_string(screen.cx) + "x" + std::to_string(screen.cy));
  }
}

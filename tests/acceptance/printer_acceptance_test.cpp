// The printer's "Printer Error" box on a real display: a print server that
// answered at start-up has stopped when a drawing is dropped on the
// printer; the box that says so, shown while the print cursor waits for
// Abort, closes with a click on its OK button. Page set-up: Return confirms
// its dialog; margins that leave the drawing too little room are refused
// with a box, the dialog staying open; over a server that has stopped
// answering, the gallery takes no click while the printers are asked
// after, and the person is told that none answers. At 1024 x 768 and at
// 1920 x 1080.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ifs_main_window.h"
#include "gallery/gallery_io_point.h"
#include "gallery/gallery_layout.h"
#include "gallery/gallery_window.h"
#include "gallery/printer_io.h"
#include "toolkit/rectangular_button.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/message_box.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/gallery_cell_picture.h"
#include "tests/acceptance/x_screen.h"
#include "tests/gallery/private_cups.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"

namespace {

// The server is gone before the job reaches it.
const char* const Box_Text = "Unable to print Quendar Drawing 1.\nThe printer quendar-pdf cannot be reached.";

// Page set-up's box when no printer answers.
const char* const No_Printer_Text = "No printer answers, so the page cannot be set up now.";

struct Layout {
  TPoint gallery, cell, printer;
  TPoint empty_cell;  // cell (1, 1), which stays empty
  int cell_side = 0;
  TRect box;  // the box's rectangle on the screen
  TPoint ok;  // its OK button
  TPoint setup, cancel;  // the printer's Setup button, the gallery's Cancel
  TRect no_printer_box;
};

TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// Measured headless on the same screen, which also leaves a drawing in the
// gallery of the user in data.
Layout Prepare(TSize screen, const std::string& data) {
  Program_Options options;
  options.screen = screen;
  options.user_path = data;
  std::filesystem::create_directories(data);
  Program_Session program(options);
  program.Start();
  program.Draw_Block();
  Layout l;
  l.gallery = Program_Session::Center_Of(program.Main()->gallery_button);
  program.Click(l.gallery);
  Gallery_Window& g = *program.Frame()->Gallery;
  l.cell = g.Cell_Screen_Point(g.Current_View(), 0, 0);
  l.empty_cell = g.Cell_Screen_Point(g.Current_View(), 1, 1);
  l.cell_side = g.Layout().grid[size_t(g.Current_View())]->Inner(0, 0).Width();
  const TPoint from = g.Main_IO_Screen_Point();
  auto& b = program.Backend();
  b.Move_To(from);
  b.Press(from);
  program.Run_Until_Idle();
  for (int i = 1; i <= 8; ++i) {
    b.Move_To(TPoint(from.x + (l.cell.x - from.x) * i / 8, from.y + (l.cell.y - from.y) * i / 8));
    program.Run_Until_Idle();
  }
  b.Release(l.cell);
  program.Run_Until_Idle();
  TPoint printer = Centre(g.Point(Gallery_Layout::Printer_Point)->Drop_Area());
  g.ClientToScreen(printer);
  l.printer = printer;
  program.Click(g.Save_Button_Screen_Point());
  l.setup = Program_Session::Center_Of(static_cast<Printer_IO*>(g.Point(Gallery_Layout::Printer_Point))->Setup_Button());
  l.cancel = Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Cancel_Id));
  TMessage_Box told(nullptr, TMessage_Box_Request{HWND(), No_Printer_Text, "Page Setup", MB_OK | MB_ICONEXCLAMATION});
  EXPECT_TRUE(told.Create());
  l.no_printer_box = told.GetWindowRect();
  told.Destroy();
  // The box the printer will show, made here only to see where it stands.
  TMessage_Box box(nullptr, TMessage_Box_Request{HWND(), Box_Text, "Printer Error", MB_OK | MB_ICONHAND});
  EXPECT_TRUE(box.Create());
  l.box = box.GetWindowRect();
  const TWindow& ok = *box.Children().front();
  const TRect r = ok.GetClientRect();
  l.ok = Centre(r);
  ok.ClientToScreen(l.ok);
  box.Destroy();
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

void Drag(TPoint from, TPoint to) {
  Xdotool("mousemove " + At(from) + " mousedown 1");
  for (int i = 1; i <= 8; ++i) {
    Xdotool("mousemove " + At(TPoint(from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8)));
    Sleep_Ms(15);
  }
  Xdotool("mouseup 1");
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, const TRect& r, int width) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const size_t i = size_t(y) * size_t(width) + size_t(x);
      n += i < a.size() && i < b.size() && a[i] != b[i];
    }
  return n;
}

void Box_Closes_With_The_Mouse(int width, int height) {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") +
                            testing::UnitTest::GetInstance()->current_test_info()->name();
  std::filesystem::create_directories(shots);
  char pattern[] = "/tmp/quendar-printer-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const Layout layout = Prepare(TSize(width, height), folder + "/data/Quendar/");

  Private_Cups cups;
  if (!cups.Start()) {
    // The PDF queue's backend runs only as the superuser.
    if (geteuid() != 0) GTEST_SKIP() << "the private print server needs root: " << cups.why();
    FAIL() << "the private print server could not start: " << cups.why();
  }
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  const int described_before = cups.Answered("Get-Printer-Attributes");
  Running_Program program(folder, TSize(width, height), {"CUPS_SERVER=" + cups.Socket()});
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(width, height); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = grab();
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", width, height, pixels.data(), width));
    return pixels;
  };
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
  Click(layout.gallery);
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the gallery never settled";
  // The printer asks the server for its printer on a thread of its own
  // (the default printer's name, then what the printer offers): on a
  // loaded machine the answer may come late, and a printer that never had
  // one takes no drop at all.
  EXPECT_TRUE(Wait_While_Progressing([&] {
    return cups.Answered("CUPS-Get-Default") > 0 && cups.Answered("Get-Printer-Attributes") > described_before;
  })) << "the printer never learnt of its printer";
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the gallery never settled";
  const std::vector<uint32_t> gallery = shot("01_gallery");

  // The server goes; the drawing is dropped on the printer, which still
  // thinks it has one.
  cups.Stop();
  const int box_area = layout.box.Width() * layout.box.Height();
  // The drawing's picture is made on a thread of its own after the gallery
  // opens, and a press on a cell that does not show it yet starts no drag:
  // the drag waits, as a person does, until the drawing shows.
  const auto screen_hash = [&] { return Pixels_Hash(grab()); };
  ASSERT_TRUE(Wait_While_Progressing([&] {
    return Cell_Picture_Shown(grab(), width, layout.cell, layout.empty_cell, layout.cell_side);
  })) << "the drawing never showed in its cell";
  Drag(layout.cell, layout.printer);
  // The wait goes on while the screen changes: the printer asks after its
  // server all the while, so the program never rests.
  Wait_While_Progressing([&] { return Differences(grab(), gallery, layout.box, width) > box_area / 4; }, screen_hash,
                         Patience{20000, 120000});
  const std::vector<uint32_t> boxed = shot("02_printer_error");
  const bool shown = Cell_Picture_Shown(boxed, width, layout.cell, layout.empty_cell, layout.cell_side);
  ASSERT_GT(Differences(boxed, gallery, layout.box, width), box_area / 4)
      << "no Printer Error box; the cell " << (shown ? "shows" : "does not show") << " its drawing";

  Click(layout.ok);
  Wait_While_Progressing([&] { return Differences(grab(), gallery, layout.box, width) < 50; });
  const std::vector<uint32_t> closed = shot("03_box_closed");
  EXPECT_LT(Differences(closed, gallery, layout.box, width), 50) << "the box did not close on a click";
  std::filesystem::remove_all(folder);
}

void Page_Setup_Over_A_Server_That_Stops(int width, int height) {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") +
                            testing::UnitTest::GetInstance()->current_test_info()->name();
  std::filesystem::create_directories(shots);
  char pattern[] = "/tmp/quendar-printer-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const Layout layout = Prepare(TSize(width, height), folder + "/data/Quendar/");

  Private_Cups cups;
  if (!cups.Start()) {
    if (geteuid() != 0) GTEST_SKIP() << "the private print server needs root: " << cups.why();
    FAIL() << "the private print server could not start: " << cups.why();
  }
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  const int described_before = cups.Answered("Get-Printer-Attributes");
  Running_Program program(folder, TSize(width, height), {"CUPS_SERVER=" + cups.Socket()});
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(width, height); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = Wait_Until_Still(grab);
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", width, height, pixels.data(), width));
    return pixels;
  };
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
  Click(layout.gallery);
  EXPECT_TRUE(Wait_While_Progressing([&] {
    return cups.Answered("CUPS-Get-Default") > 0 && cups.Answered("Get-Printer-Attributes") > described_before;
  })) << "the printer never learnt of its printer";
  const std::vector<uint32_t> gallery = shot("01_gallery");
  const TRect whole(0, 0, width, height);

  // The pointer rests where it rested for the gallery's picture, where its
  // tip is the same.
  const std::string rest = "mousemove " + At(layout.gallery);
  // A server that answers: the dialog comes, and Return confirms it.
  Click(layout.setup);
  Xdotool(rest);
  const std::vector<uint32_t> dialog = Changed_And_Settled(grab, gallery);
  ASSERT_FALSE(dialog.empty()) << "no Page Setup dialog";
  shot("02_page_setup");
  Xdotool("key Return");
  Wait_While_Progressing([&] { return Differences(grab(), gallery, whole, width) == 0; });
  EXPECT_EQ(Differences(shot("03_confirmed"), gallery, whole, width), 0) << "Return did not close the dialog";

  // Margins that leave the drawing too little room, Left 0 and Right 8000
  // on A4, are refused with a box; once it is closed the dialog is still
  // there, and Escape leaves it.
  Click(layout.setup);
  Xdotool(rest);
  ASSERT_FALSE(Changed_And_Settled(grab, gallery).empty()) << "no Page Setup dialog";
  // From OK back over Bottom to Right, then over Top to Left: a field
  // reached by Tab has its text selected, and typing replaces it.
  Xdotool("key shift+Tab shift+Tab");
  Xdotool("type 8000");
  Xdotool("key shift+Tab shift+Tab");
  Xdotool("type 0");
  const std::vector<uint32_t> typed = shot("03b_margins_typed");
  Xdotool("key Return");
  const std::vector<uint32_t> refused = Changed_And_Settled(grab, typed);
  ASSERT_FALSE(refused.empty()) << "the screen never settled";
  ASSERT_GT(Differences(refused, gallery, whole, width), 0) << "Left 0 and Right 8000 were taken without a word";
  shot("03c_margins_refused");
  Xdotool("key Return");
  Wait_While_Progressing([&] { return Differences(grab(), refused, whole, width) > 0; });
  const std::vector<uint32_t> still = shot("03d_box_closed");
  EXPECT_GT(Differences(still, gallery, whole, width), 0) << "the dialog went with the box";
  Xdotool("key Escape");
  Wait_While_Progressing([&] { return Differences(grab(), gallery, whole, width) == 0; });
  EXPECT_EQ(Differences(shot("03e_cancelled"), gallery, whole, width), 0) << "Escape did not close the dialog";

  // A server that has stopped: the gallery's Cancel is held while the
  // printers are asked after, then the person is told.
  cups.Freeze();
  Click(layout.setup);
  Click(layout.cancel);
  Xdotool(rest);
  const TRect box = layout.no_printer_box;
  const int box_area = box.Width() * box.Height();
  EXPECT_TRUE(Wait_While_Progressing([&] { return Differences(grab(), gallery, box, width) > box_area / 4; }))
      << "nobody was told that no printer answers";
  const std::vector<uint32_t> told = shot("04_no_printer_answers");
  // Below the box (above it, the caption shows the frame inactive).
  EXPECT_EQ(Differences(told, gallery, TRect(0, box.bottom, width, height), width), 0)
      << "the gallery's Cancel went past the wait";
  Xdotool("key Return");
  Wait_While_Progressing([&] { return Differences(grab(), gallery, whole, width) == 0; });
  EXPECT_EQ(Differences(shot("05_answered"), gallery, whole, width), 0) << "the gallery did not stay as it was";
  cups.Thaw();
  std::filesystem::remove_all(folder);
}

TEST(Printer_Acceptance, Printer_Error_Box_Closes_With_The_Mouse_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Box_Closes_With_The_Mouse(1024, 768);
}

TEST(Printer_Acceptance, Printer_Error_Box_Closes_With_The_Mouse_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Box_Closes_With_The_Mouse(1920, 1080);
}

}  // namespace

TEST(Printer_Acceptance, Page_Setup_Over_A_Server_That_Stops_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Page_Setup_Over_A_Server_That_Stops(1024, 768);
}

TEST(Printer_Acceptance, Page_Setup_Over_A_Server_That_Stops_At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Page_Setup_Over_A_Server_That_Stops(1920, 1080);
}

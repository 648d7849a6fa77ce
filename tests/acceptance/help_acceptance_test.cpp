// Help and the manipulator editor on a real display, at 1024 x 768 where the
// layout fills the screen and at 1920 x 1080 where it stands centred: the
// focus rectangle of help's buttons moves without leaving dots, the editor's
// number panel stands in the layout beside the editor, and the
// acknowledgements' link opens the thank-you note beside the program in a
// stand-in browser that writes down what it was given.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "help/help_section.h"
#include "help/help_window.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "model/gui_colors.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/control_paint.h"
#include "platform/window/message_box.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_button.h"
#include "users/user.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

// Level 5, where the editor has its colour step.
const char* const Person = "Ann";
constexpr int32_t Person_Level = 4;

TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// Where the things the test clicks stand, measured headless on the same
// screen size.
struct Layout {
  TPoint help, system_box, close_box;
  TRect stop_focus;  // the focus rectangle round help's STOP
  TPoint note_link;  // the acknowledgements' link
  TPoint slot, edit, editor_cancel;
  TPoint title_field;  // the middle of the editor's title field
  TPoint origin;       // the layout's top left corner
  TRect failed_box;    // the box saying the browser could not open the page
};

Layout Measure_Layout(TSize screen) {
  Program_Options options;
  options.screen = screen;
  Program_Session program(options);
  program.Start();
  program.Change_User(Person, Person_Level);
  IFS_Main_Window& main = *program.Main();
  Layout l;
  l.help = Program_Session::Center_Of(main.help_button);
  l.system_box = Centre(program.Frame()->System_Box_Rect());
  l.close_box = Centre(program.Frame()->Close_Box_Rect());
  // The help window covers the screen from its corner: its client points
  // are screen points.
  const Help_Section& index = The_Help_Window->Section(0);
  l.stop_focus = index.buttons[End_Place].Inflated_By(4, 4);
  for (const Help_Link& link : The_Help_Window->Section(5).Page(0)->links)
    if (link.target) l.note_link = Centre(link.rect);
  l.slot = main.manipulator_palette->Window()->Slot_Screen_Point(0);
  l.edit = main.manipulator_palette->Window()->Edit_Button_Screen_Point();
  l.editor_cancel = main.editor->Corner_Screen_Point(2);
  l.title_field = main.editor->Title_Field_Screen_Point();
  l.origin = The_GUI_Sizes->Origin_On_Screen();
  TMessage_Box box(nullptr, {HWND(), "The default browser could not open the page.\n", "Web Access",
                             MB_OK | MB_ICONEXCLAMATION});
  box.Create();
  l.failed_box = box.GetWindowRect();
  box.Destroy();
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

// A browser that writes its arguments to a file, first on the program's
// path; with failing set it then ends with exit code 1.
std::string Make_Stand_In_Browser(const std::string& folder, const std::string& record, bool failing = false) {
  const std::string bin = folder + "/bin";
  std::filesystem::create_directories(bin);
  std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s|' \"$@\" > '" << record << ".tmp'\nmv '" << record
                                   << ".tmp' '" << record << "'\n"
                                   << (failing ? "exit 1\n" : "");
  chmod((bin + "/xdg-open").c_str(), 0755);
  const char* path = std::getenv("PATH");
  return "PATH=" + bin + ":" + (path ? path : "/usr/bin:/bin");
}

std::string Read_Line(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::vector<uint32_t> Crop(const std::vector<uint32_t>& p, int width, const TRect& r) {
  std::vector<uint32_t> out;
  if (p.size() < size_t(r.bottom) * size_t(width)) return out;
  for (int y = r.top; y < r.bottom; ++y)
    out.insert(out.end(), p.begin() + y * width + r.left, p.begin() + y * width + r.right);
  return out;
}

// Whether the screen's pixel at p is white; a failed grab has no pixels.
bool White_At(const std::vector<uint32_t>& pixels, int width, TPoint p) {
  const size_t at = size_t(p.y) * size_t(width) + size_t(p.x);
  return at < pixels.size() && (pixels[at] & 0xFFFFFF) == 0xFFFFFF;
}

void Check_Help_And_Editor(TSize size) {
  const std::string tag = std::to_string(size.cx) + "x" + std::to_string(size.cy);
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/help_") + tag;
  std::filesystem::create_directories(shots);
  const Layout layout = Measure_Layout(size);

  char pattern[] = "/tmp/quendar-help-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  Write_Listed_Person(folder + "/data/Quendar/", Person, Person_Level);
  const std::string record = folder + "/browser-arguments";
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, size, {Make_Stand_In_Browser(folder, record), "QUENDAR_CLOCK_RATE=4"});
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(size.cx, size.cy); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = grab();
    EXPECT_TRUE(!pixels.empty() && Write_PNG_RGB(shots + "/" + name + ".png", size.cx, size.cy, pixels.data(), size.cx));
    return pixels;
  };
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";

  auto stop_area = [&] { return Crop(grab(), size.cx, layout.stop_focus); };
  auto settle = [&] { EXPECT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled"; };

  // Help's focus moves off STOP with Tab; the page painted afresh (a page
  // on and back, the focus staying where Tab put it) shows STOP the same.
  const std::vector<uint32_t> no_help = stop_area();
  Click(layout.help);
  ASSERT_TRUE(Wait_While_Progressing([&] { return stop_area() != no_help; })) << "help did not open";
  settle();
  const std::vector<uint32_t> focused = stop_area();
  Xdotool("key Tab");
  ASSERT_TRUE(Wait_While_Progressing([&] { return stop_area() != focused; })) << "Tab did not move the focus";
  const std::vector<uint32_t> after_tab = Crop(shot("01_help_after_tab"), size.cx, layout.stop_focus);
  const std::vector<uint32_t> index = grab();
  Xdotool("key Right");
  ASSERT_TRUE(Wait_While_Progressing([&] { return grab() != index; })) << "Right did not turn the page";
  Xdotool("key Left");
  settle();
  EXPECT_EQ(after_tab, Crop(shot("02_help_painted_afresh"), size.cx, layout.stop_focus))
      << "the old focus rectangle left dots round STOP";
  Xdotool("key Escape");
  settle();

  // The editor's number panel: its title field where the layout puts it,
  // nothing of it left of the layout.
  const std::vector<uint32_t> before_slot = grab();
  Click(layout.slot);
  ASSERT_FALSE(Changed_And_Settled(grab, before_slot).empty()) << "the slot was not chosen";
  Click(layout.edit);
  const TPoint field = layout.title_field;
  EXPECT_TRUE(Wait_While_Progressing([&] { return White_At(grab(), size.cx, field); })) << "the editor did not open";
  settle();
  const std::vector<uint32_t> editor = shot("03_editor");
  EXPECT_TRUE(White_At(editor, size.cx, field)) << "no title field in the middle of the panel";
  if (layout.origin.x > 4) {
    EXPECT_FALSE(White_At(editor, size.cx, TPoint(layout.origin.x - 4, field.y))) << "the panel reaches left of the layout";
  }
  Click(layout.editor_cancel);
  settle();

  // The acknowledgements from the system menu, its access letters
  // underlined, and their link.
  const std::vector<uint32_t> before_menu = grab();
  Click(layout.system_box);
  ASSERT_TRUE(Wait_While_Progressing([&] { return grab() != before_menu; })) << "the system menu did not open";
  settle();
  shot("04_system_menu");
  Xdotool("key Up Return");
  settle();
  shot("05_acknowledgements");
  Click(layout.note_link);
  std::string received;
  Wait_While_Progressing([&] { return !(received = Read_Line(record)).empty(); });
  const std::string note = (std::filesystem::path(Self()).parent_path().parent_path() / "app" / "acknowledgements.html").string();
  EXPECT_EQ(received, note + "|") << "the browser was not given the note, alone";
  EXPECT_TRUE(std::filesystem::is_regular_file(note)) << "the note is not beside the program";
  settle();
  shot("06_after_the_link");
  Click(layout.close_box);
  EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";
  std::filesystem::remove_all(folder);
}

// A browser that starts and fails: the program, gone out of the browser's
// way, comes back with a box that says so over the main window; answered,
// the main window is as it was.
void Check_Failing_Browser(TSize size) {
  const std::string tag = std::to_string(size.cx) + "x" + std::to_string(size.cy);
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots =
      (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/help_failing_browser_") + tag;
  std::filesystem::create_directories(shots);
  const Layout layout = Measure_Layout(size);

  char pattern[] = "/tmp/quendar-help-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  Write_Listed_Person(folder + "/data/Quendar/", Person, Person_Level);
  const std::string record = folder + "/browser-arguments";
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, size, {Make_Stand_In_Browser(folder, record, true)});
  ASSERT_TRUE(program.Started());
  auto grab = [&] { return screen.Pixels(size.cx, size.cy); };
  auto settled = [&](const std::string& name) {
    std::vector<uint32_t> pixels = Wait_Until_Still(grab);
    EXPECT_FALSE(pixels.empty()) << "the screen never settled before " << name;
    EXPECT_TRUE(Write_PNG_RGB(shots + "/" + name + ".png", size.cx, size.cy, pixels.data(), size.cx));
    return pixels;
  };
  const std::vector<uint32_t> main = settled("00_main_window");
  Click(layout.system_box);
  Xdotool("key Up Return");
  settled("01_acknowledgements");
  Click(layout.note_link);
  const TRect& box_place = layout.failed_box;
  const TPoint caption = box_place.TopLeft() + TPoint(40, 5);
  auto caption_shown = [&] {
    const std::vector<uint32_t> pixels = grab();
    const size_t at = size_t(caption.y) * size_t(size.cx) + size_t(caption.x);
    return at < pixels.size() && pixels[at] == Control_Paint::Active_Caption.Xrgb();
  };
  EXPECT_TRUE(Wait_While_Progressing(caption_shown)) << "no box said the page did not open";
  EXPECT_FALSE(Read_Line(record).empty()) << "the browser was not started";
  const std::vector<uint32_t> box = settled("02_box");
  // Left of the box the main window shows again, as it was.
  const TRect left_of_box(0, box_place.top, box_place.left, box_place.bottom);
  EXPECT_EQ(Crop(box, size.cx, left_of_box), Crop(main, size.cx, left_of_box)) << "the main window is not back";
  Xdotool("key Return");
  const std::vector<uint32_t> answered = settled("03_answered");
  EXPECT_EQ(Crop(answered, size.cx, box_place), Crop(main, size.cx, box_place)) << "the box stayed";
  Click(layout.close_box);
  EXPECT_EQ(program.Wait_For_Exit(15000), 0) << "the program did not end when closed";
  std::filesystem::remove_all(folder);
}

}  // namespace

TEST(Help_Acceptance, A_Browser_That_Fails_Is_Told_At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Check_Failing_Browser(TSize(1024, 768));
}

TEST(Help_Acceptance, At_1024x768) {
  if (In_Child_On_Screen(1024, 768)) Check_Help_And_Editor(TSize(1024, 768));
}

TEST(Help_Acceptance, At_1920x1080) {
  if (In_Child_On_Screen(1920, 1080)) Check_Help_And_Editor(TSize(1920, 1080));
}

// The program ends when the system tells it to, on a real display at
// 1024 x 768. SIGTERM (a logout, `kill`) ends it in every state a person
// can leave it in, with a box up or not, and no file of the person's is
// written by it unless it held a change (an edit open in the manipulator
// editor is kept as OK keeps it); when the X server goes away under it the
// process ends at once, with a box up or not, without spending the
// processor on a display that is gone.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ifs_main_window.h"
#include "gallery/gallery_layout.h"
#include "gallery/gallery_window.h"
#include "gallery/printer_io.h"
#include "game/safari_controls.h"
#include "help/help_section.h"
#include "help/help_window.h"
#include "manipulators/handle_palette.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"
#include "platform/gdi/png_writer.h"
#include "toolkit/round_button.h"
#include "users/user_data.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/platform/own_x_server.h"
#include "tests/program/program_session.h"

namespace {

const TSize Screen_Size(1024, 768);
const char* const Person = "Ann";

TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

struct Layout {
  TPoint gallery, name, help, demonstrations_link, first_show, camera, system_box, note_link, page_setup;
};

// Where the things the tests click stand, measured headless.
Layout Measure() {
  Program_Options options;
  options.screen = Screen_Size;
  Program_Session program(options);
  program.Start();
  program.Change_User(Person, 0);
  Layout l;
  IFS_Main_Window& main = *program.Main();
  l.gallery = Program_Session::Center_Of(main.gallery_button);
  l.name = Program_Session::Center_Of(main.name_button);
  l.help = Program_Session::Center_Of(main.help_button);
  l.camera = main.safari_controls->Panel_Screen_Point();
  l.system_box = Centre(program.Frame()->System_Box_Rect());
  for (const Help_Link& link : The_Help_Window->Section(5).Page(0)->links)
    if (link.target) l.note_link = Centre(link.rect);
  program.Click(l.gallery);
  l.page_setup = Program_Session::Center_Of(
      program.Frame()->Gallery->Point(Gallery_Layout::Printer_Point)->ChildWithId(Printer_IO::Setup_Id));
  const Help_Section& help = The_Help_Window->Section(0);
  for (const Help_Link& link : help.Page(0)->links)
    if (link.page == -2) l.demonstrations_link = Centre(link.rect);
  for (const Help_Link& link : help.Page(-2)->links)
    if (link.demonstration == 0) l.first_show = Centre(link.rect);
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

// Every file of the user data folder and what it holds.
std::map<std::string, std::string> Files_In(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// Bytes that no reader takes for a user file or a gallery.
std::string Damaged_Bytes() { return std::string(64, '\xA5') + "not what it should be"; }

// The caption names the way to stop a demonstration while one plays.
bool Caption_Has_Stop_Hint() { return std::system("xdotool search --name 'Press CTRL-ESC' >/dev/null 2>&1") == 0; }

// One run of the program in a folder of its own, with the screen it draws on.
class Ending_Run {
 public:
  explicit Ending_Run(const std::string& name) {
    const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
    shots_ = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/ending_") + name;
    std::filesystem::create_directories(shots_);
    char pattern[] = "/tmp/quendar-ending-XXXXXX";
    folder_ = mkdtemp(pattern);
    data_ = folder_ + "/data/Quendar/";
    std::filesystem::create_directories(data_);
  }
  ~Ending_Run() {
    program_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& Data() const { return data_; }
  Running_Program& Program() { return *program_; }

  void Start(const std::vector<std::string>& environment) {
    program_ = std::make_unique<Running_Program>(folder_, Screen_Size, environment);
    ASSERT_TRUE(program_->Started());
  }
  std::vector<uint32_t> Grab() {
    return screen_ ? screen_->Pixels(Screen_Size.cx, Screen_Size.cy) : std::vector<uint32_t>();
  }
  // The screen once it has settled, kept as a picture.
  std::vector<uint32_t> Settled(const std::string& shot) {
    std::vector<uint32_t> pixels = Wait_Until_Still([&] { return Grab(); });
    EXPECT_FALSE(pixels.empty()) << "the screen never settled before " << shot;
    Keep(shot, pixels);
    return pixels;
  }
  void Keep(const std::string& shot, const std::vector<uint32_t>& pixels) {
    const std::string path = shots_ + "/" + shot + ".png";
    EXPECT_TRUE(Write_PNG_RGB(path, Screen_Size.cx, Screen_Size.cy, pixels.data(), Screen_Size.cx));
  }
  // Clicks and waits until the click has changed the screen and it settled.
  void Click_And_Settle(TPoint where, const std::string& shot) {
    const std::vector<uint32_t> before = Settled("before_" + shot);
    Click(where);
    ASSERT_TRUE(Wait_While_Progressing([&] { return Grab() != before; })) << "nothing changed for " << shot;
    Settled(shot);
  }
  // This test's own connection to the X server goes before the server:
  // Xlib would end this process when it found the server gone.
  void Let_Go_Of_The_Display() { screen_.reset(); }

 private:
  std::string shots_, folder_, data_;
  std::optional<X_Screen> screen_{std::in_place};
  std::unique_ptr<Running_Program> program_;
};

// A state of the program, reached from its start.
struct State {
  const char* name;
  bool damaged_user_file;  // the user file's box is up at start, before the frame
  bool damaged_gallery;    // the gallery's box is up at start, over the frame
  std::function<void(Ending_Run&, const Layout&)> reach;
  bool no_browser = false;  // no opener on the path: a link raises a box
};

void Nothing(Ending_Run&, const Layout&) {}

// The acknowledgements' link finds no browser (the program runs without
// one): help goes, and its box stands over what was in front.
void Raise_Web_Access_Box(Ending_Run& run, const Layout& l) {
  Click(l.system_box);
  Xdotool("key Up Return");
  run.Settled("acknowledgements");
  run.Click_And_Settle(l.note_link, "web_access_box");
}

const State States[] = {
    {"user_file_box_at_start", true, false, Nothing},
    {"gallery_box_over_the_main_window", false, true, Nothing},
    {"main_window", false, false, Nothing},
    {"web_access_box_over_the_main_window", false, false, Raise_Web_Access_Box, true},
    {"name_and_level_dialog", false, false,
     [](Ending_Run& run, const Layout& l) { run.Click_And_Settle(l.name, "dialog"); }},
    {"gallery", false, false, [](Ending_Run& run, const Layout& l) { run.Click_And_Settle(l.gallery, "gallery"); }},
    // The printers are asked for on the line, then the page set-up stands
    // over the gallery.
    {"page_setup_over_the_gallery", false, false,
     [](Ending_Run& run, const Layout& l) {
       run.Click_And_Settle(l.gallery, "gallery");
       run.Click_And_Settle(l.page_setup, "page_setup");
     }},
    {"game", false, false, [](Ending_Run& run, const Layout& l) { run.Click_And_Settle(l.camera, "game"); }},
    {"web_access_box_over_the_game", false, false,
     [](Ending_Run& run, const Layout& l) {
       run.Click_And_Settle(l.camera, "game");
       Raise_Web_Access_Box(run, l);
     },
     true},
    {"demonstration", false, false,
     [](Ending_Run& run, const Layout& l) {
       Open_Demonstrations(l.help, l.demonstrations_link);
       Click(l.first_show);
       bool playing = false;
       Wait_While_Progressing([&] { return playing = Caption_Has_Stop_Hint(); });
       ASSERT_TRUE(playing) << "no demonstration started";
       // Seen playing on, not only started.
       const std::vector<uint32_t> first = run.Grab();
       ASSERT_TRUE(Wait_While_Progressing([&] { return run.Grab() != first; })) << "the demonstration did not play";
       run.Keep("playing", run.Grab());
     }},
};

const State& Named(const std::string& name) {
  for (const State& s : States)
    if (name == s.name) return s;
  ADD_FAILURE() << "no state " << name;
  return States[0];
}

// Starts the program in the state, with its files written first.
void Start_In(Ending_Run& run, const State& state, const Layout& layout) {
  Write_Listed_Person(run.Data(), Person, 0);
  if (state.damaged_user_file) std::ofstream(run.Data() + "quendar.usr", std::ios::binary) << Damaged_Bytes();
  if (state.damaged_gallery) std::ofstream(run.Data() + Person + ".gal", std::ios::binary) << Damaged_Bytes();
  std::vector<std::string> environment;
  if (state.no_browser) {
    const std::string empty_bin = run.Data() + "../empty-bin";
    std::filesystem::create_directories(empty_bin);
    environment.push_back("PATH=" + empty_bin);
  }
  ASSERT_NO_FATAL_FAILURE(run.Start(environment));
  run.Settled("started");
  ASSERT_NO_FATAL_FAILURE(state.reach(run, layout));
}

void Terminated_In(const std::string& name) {
  const State& state = Named(name);
  const Layout layout = Measure();
  Ending_Run run(name);
  ASSERT_NO_FATAL_FAILURE(Start_In(run, state, layout));
  const std::map<std::string, std::string> files = Files_In(run.Data());
  ASSERT_EQ(kill(run.Program().Pid(), SIGTERM), 0);
  EXPECT_EQ(run.Program().Wait_For_Exit(30000), 0) << "the program did not end when the system asked";
  EXPECT_EQ(Files_In(run.Data()), files) << "ending changed the person's files";
}

void Display_Lost_In(const std::string& name) {
  const State& state = Named(name);
  const Layout layout = Measure();
  // An X server of the test's own, which it can take away under the
  // program: the one the test runs on must outlive the test. The test and
  // the program it starts use it from the start on.
  Own_X_Server server(std::to_string(Screen_Size.cx) + "x" + std::to_string(Screen_Size.cy) + "x24");
  ASSERT_TRUE(server.Running()) << "no X server of the test's own could be started";
  setenv("DISPLAY", server.Display().c_str(), 1);
  unsetenv("XAUTHORITY");
  Ending_Run run(name);
  ASSERT_NO_FATAL_FAILURE(Start_In(run, state, layout));
  const std::map<std::string, std::string> files = Files_In(run.Data());
  run.Let_Go_Of_The_Display();
  Running_Program& program = run.Program();
  const uint64_t before = program.Cpu_Ticks();
  // Two seconds of the processor after the server went: the program spins.
  const uint64_t spinning = 2 * uint64_t(sysconf(_SC_CLK_TCK));
  server.Kill();
  bool spun = false;
  Wait_While_Progressing(
      [&] {
        spun = program.Cpu_Ticks() - before > spinning;
        siginfo_t info = {};
        const bool ended = waitid(P_PID, id_t(program.Pid()), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                           info.si_pid == program.Pid();
        return spun || ended;
      },
      [&] { return program.Cpu_Ticks(); });
  EXPECT_FALSE(spun) << "the program spent the processor on a display that is gone";
  EXPECT_EQ(program.Wait_For_Exit(0), 1) << "the program did not end by itself when its display went";
  EXPECT_EQ(Files_In(run.Data()), files) << "ending changed the person's files";
}

// The manipulator editor at level 4, open on the first manipulator, its
// first copy chosen and moved by its centre handle: where each step is
// clicked, and the person's manipulator file as the system's end leaves it
// when a headless run takes the same steps.
struct Editor_Steps {
  TPoint slot, edit, copy, handle, free_move, drag_to;
  std::string kept;
};

// The centre of r, in w's client points, on the screen.
TPoint On_Screen(const TWindow& w, const TRect& r) {
  TPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  w.ClientToScreen(p);
  return p;
}

Editor_Steps Measure_Editor() {
  Program_Options options;
  options.screen = Screen_Size;
  Program_Session program(options);
  program.Start();
  program.Change_User(Person, 3);
  IFS_Main_Window& main = *program.Main();
  Editor_Steps s;
  s.slot = main.manipulator_palette->Window()->Slot_Screen_Point(0);
  program.Click(s.slot);
  s.edit = main.manipulator_palette->Window()->Edit_Button_Screen_Point();
  program.Click(s.edit);
  Transform_Edit_Window& editor = *main.editor;
  EXPECT_TRUE(editor.Is_Open());
  const Point_2D centre = editor.Image(0)->Map_Point(0.5f, 0.5f);
  s.copy = editor.Screen_Point(centre);
  program.Click(s.copy);
  s.handle = On_Screen(editor, editor.Handle_Rects[8]);
  program.Click(s.handle);
  const Handle_Palette& handles = *editor.Palette;
  for (int i = 0; i < handles.Shown_Count; ++i)
    if (handles.Shown[size_t(i)]->Code == 2) s.free_move = On_Screen(handles, handles.Cells[size_t(i)]);
  program.Click(s.free_move);
  s.drag_to = editor.Screen_Point({centre.x + 0.1f, centre.y - 0.1f});
  THeadless_Backend& mouse = program.Backend();
  mouse.Move_To(s.handle);
  mouse.Press(s.handle);
  program.Run_Until_Idle();
  mouse.Move_To(s.drag_to);
  program.Run_Until_Idle();
  mouse.Release(s.drag_to);
  program.Run_Until_Idle();
  const std::string file = The_User_Data.directory + Person + ", level 4.man";
  EXPECT_EQ(program.End_For_The_System(), 0);
  std::ifstream in(file, std::ios::binary);
  s.kept.assign(std::istreambuf_iterator<char>(in), {});
  EXPECT_FALSE(s.kept.empty()) << "the headless run kept no manipulator file";
  return s;
}

// SIGTERM while the editor holds an edit: the edit is kept as OK keeps it
// and saved, as the headless run saves it; no other file changes.
void Terminated_With_The_Editor_Open() {
  const Editor_Steps steps = Measure_Editor();
  Ending_Run run("manipulator_editor");
  Write_Listed_Person(run.Data(), Person, 3);
  ASSERT_NO_FATAL_FAILURE(run.Start({}));
  run.Settled("started");
  ASSERT_NO_FATAL_FAILURE(run.Click_And_Settle(steps.slot, "chosen"));
  ASSERT_NO_FATAL_FAILURE(run.Click_And_Settle(steps.edit, "editor"));
  ASSERT_NO_FATAL_FAILURE(run.Click_And_Settle(steps.copy, "copy_chosen"));
  ASSERT_NO_FATAL_FAILURE(run.Click_And_Settle(steps.handle, "handle_palette"));
  ASSERT_NO_FATAL_FAILURE(run.Click_And_Settle(steps.free_move, "free_move"));
  const std::vector<uint32_t> before = run.Settled("before_drag");
  // As a hand drags: pressed, moved in small steps, let go.
  const TPoint from = steps.handle, to = steps.drag_to;
  Xdotool("mousemove " + At(from) + " mousedown 1");
  for (int i = 1; i <= 8; ++i) {
    Xdotool("mousemove " + At(TPoint(from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8)));
    Sleep_Ms(15);
  }
  Xdotool("mouseup 1");
  ASSERT_FALSE(Changed_And_Settled([&] { return run.Grab(); }, before).empty()) << "the drag moved nothing";
  const std::string manipulators = std::string(Person) + ", level 4.man", users = "quendar.usr";
  std::map<std::string, std::string> files = Files_In(run.Data());
  ASSERT_EQ(files.count(manipulators), 0u);
  ASSERT_EQ(kill(run.Program().Pid(), SIGTERM), 0);
  EXPECT_EQ(run.Program().Wait_For_Exit(30000), 0) << "the program did not end when the system asked";
  std::map<std::string, std::string> now = Files_In(run.Data());
  EXPECT_EQ(now.count(manipulators), 1u) << "the edit was not kept";
  EXPECT_TRUE(now[manipulators] == steps.kept) << "the edit was not kept as OK keeps it";
  // The user file notes that the person's own manipulators are in use; no
  // other file changes.
  EXPECT_EQ(now.count(users), 1u);
  for (const std::string& name : {manipulators, users}) files.erase(name), now.erase(name);
  EXPECT_EQ(now, files) << "ending changed the person's other files";
}

}  // namespace

TEST(System_End_Editor_Acceptance, Terminated_Keeps_The_Open_Edit) {
  if (In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) Terminated_With_The_Editor_Open();
}

class System_End_Acceptance : public testing::TestWithParam<std::string> {};

TEST_P(System_End_Acceptance, Terminated) {
  if (In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) Terminated_In(GetParam());
}

INSTANTIATE_TEST_SUITE_P(In, System_End_Acceptance,
                         testing::Values("user_file_box_at_start", "gallery_box_over_the_main_window", "main_window",
                                         "web_access_box_over_the_main_window", "name_and_level_dialog", "gallery",
                                         "page_setup_over_the_gallery", "game", "web_access_box_over_the_game",
                                         "demonstration"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

class Display_Lost_Acceptance : public testing::TestWithParam<std::string> {};

TEST_P(Display_Lost_Acceptance, Ends_At_Once) {
  if (In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) Display_Lost_In(GetParam());
}

INSTANTIATE_TEST_SUITE_P(In, Display_Lost_Acceptance,
                         testing::Values("user_file_box_at_start", "gallery_box_over_the_main_window", "main_window",
                                         "web_access_box_over_the_main_window", "name_and_level_dialog",
                                         "page_setup_over_the_gallery", "game"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// Quendar as a person meets it: the built program on a virtual X server at
// 1024 x 768, driven with xdotool, a screenshot after every step. A step is
// one line in the table below; each new thing a person can do adds its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/user_dialog.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_dialog.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_matrix_dialog.h"
#include "manipulators/transform_palette.h"
#include "platform/gdi/png_writer.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/narrow_folder.h"
#include "toolkit/round_button.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/review_window.h"

extern char** environ;

namespace {

constexpr int Width = 1024, Height = 768;

std::string Self() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, size_t(n)) : std::string();
}

void Sleep_Ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Where the things a person clicks stand: the same layout, made headless
// and taken through the same steps.
struct Layout {
  TPoint gallery, name, match, help;
  TPoint close_box{Width - 10, 10};
  // The Name and Level dialog: level 4's button and OK.
  TPoint level_4, dialog_ok;
  // At level 4.
  TPoint wheel_color, first_manipulator, iterate, undo, review, review_ok, edit, editor_image, handle, editor_ok;
  // The editor's numeric dialog: the Matrix tab, the e field, Apply.
  TPoint matrix_tab, e_field, apply;
  TRect edit_area;
};

TPoint Screen_Centre(const TWindow& window, const TRect& client) {
  TPoint p((client.left + client.right) / 2, (client.top + client.bottom) / 2);
  window.ClientToScreen(p);
  return p;
}

Layout Measure_Layout() {
  Program_Options options;
  options.screen = TSize(Width, Height);
  Program_Session program(options);
  program.Start();
  IFS_Main_Window& main = *program.Main();
  Layout l;
  l.gallery = Program_Session::Center_Of(main.gallery_button);
  l.name = Program_Session::Center_Of(main.name_button);
  l.match = Program_Session::Center_Of(main.match_button);
  l.help = Program_Session::Center_Of(main.help_button);
  {
    User_Dialog dialog(program.Frame(), nullptr, program.Frame()->User_Dialog_Place);
    dialog.Create();
    program.Run_Until_Idle();
    l.level_4 = dialog.Level_Column_Point(3);
    l.dialog_ok = dialog.OK_Button_Point();
    dialog.Destroy();
  }
  program.Change_User("Ann", 3);
  l.wheel_color = main.color_wheel->Color_Screen_Point(5);
  Shape_Transform_Window& page = *main.manipulator_palette->Window();
  l.first_manipulator = page.Slot_Screen_Point(0);
  l.iterate = main.drawing_window->Corner_Screen_Point(1);
  l.undo = main.drawing_window->Corner_Screen_Point(2);
  l.review = main.drawing_window->Corner_Screen_Point(0);
  l.review_ok = main.review_window->Corner_Screen_Point(3);
  l.edit = page.Edit_Button_Screen_Point();
  program.Click(l.first_manipulator);
  program.Click(l.edit);
  Transform_Edit_Window& editor = *main.editor;
  const Affine_Transform_2D* first = editor.Image(0);
  if (first) l.editor_image = editor.Screen_Point(first->Map_Point(0.5f, 0.5f));
  program.Click(l.editor_image);
  l.handle = Screen_Centre(editor, editor.Handle_Rects[0]);
  l.editor_ok = editor.Corner_Screen_Point(3);
  l.edit_area = editor.GetWindowRect();
  if (auto* dialog = dynamic_cast<Transform_Edit_Dialog*>(main.ChildWithId(Transform_Edit_Dialog::Window_Id))) {
    l.matrix_tab = Screen_Centre(*dialog->Folder, dialog->Folder->Tabs[2].Rect);
    program.Click(l.matrix_tab);
    l.e_field = Program_Session::Center_Of(dialog->Matrix_Page->Coefficient_Fields[4]);
    l.apply = Program_Session::Center_Of(dialog->Apply_Button);
  }
  return l;
}

void Xdotool(const std::string& arguments) {
  const std::string command = "xdotool " + arguments;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

std::string At(TPoint p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

void Click(TPoint p) { Xdotool("mousemove " + At(p) + " click 1"); }

// Presses at from, moves to to in small steps, as a hand drags, and lets go.
void Drag(TPoint from, TPoint to) {
  Xdotool("mousemove " + At(from) + " mousedown 1");
  for (int i = 1; i <= 5; ++i)
    Xdotool("mousemove " + At(TPoint(from.x + (to.x - from.x) * i / 5, from.y + (to.y - from.y) * i / 5)));
  Xdotool("mouseup 1");
}

class Running_Program {
 public:
  explicit Running_Program(const std::string& folder) {
    std::vector<std::string> env = {"QUENDAR_SCREEN=1024x768", "HOME=" + folder, "XDG_CONFIG_HOME=" + folder + "/config",
                                    "XDG_DATA_HOME=" + folder + "/data", "XDG_RUNTIME_DIR=" + folder + "/run",
                                    "XDG_CACHE_HOME=" + folder + "/cache", "ASAN_OPTIONS=detect_leaks=0"};
    std::filesystem::create_directories(folder + "/run");
    std::filesystem::permissions(folder + "/run", std::filesystem::perms::owner_all);
    for (char** e = environ; *e; ++e) {
      std::string v = *e;
      if (v.rfind("DISPLAY=", 0) == 0 || v.rfind("XAUTHORITY=", 0) == 0 || v.rfind("PATH=", 0) == 0) env.push_back(v);
    }
    std::vector<char*> envp;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string program = std::filesystem::path(Self()).parent_path().parent_path() / "app" / "quendar";
    char* argv[] = {program.data(), nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
  }
  ~Running_Program() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Started() const { return pid_ > 0; }
  // The exit code, or -1 when it did not end within ms.
  int Wait_For_Exit(int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      Sleep_Ms(50);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

}  // namespace

TEST(Acceptance, Quendar_Starts_Shows_Its_Main_Window_And_Its_Round_Buttons_Answer) {
  if (!std::getenv("QUENDAR_ACCEPTANCE_CHILD")) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0) {
      if (std::getenv("CI")) FAIL() << "xvfb-run and xdotool are missing (scripts/install-deps)";
      GTEST_SKIP() << "xvfb-run and xdotool are needed (scripts/install-deps)";
    }
    std::string command = "QUENDAR_ACCEPTANCE_CHILD=1 ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 1024x768x24' '" +
                          Self() + "' --gtest_filter='Acceptance.*'";
    EXPECT_EQ(std::system(command.c_str()), 0) << "run it by hand: QUENDAR_ACCEPTANCE_CHILD=1 xvfb-run " << Self();
    return;
  }
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = snapshots && *snapshots ? snapshots : "acceptance_screenshots";
  std::filesystem::create_directories(shots);
  const Layout layout = Measure_Layout();

  char pattern[] = "/tmp/quendar-acceptance-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder);
  ASSERT_TRUE(program.Started());

  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = screen.Pixels(Width, Height);
    EXPECT_FALSE(pixels.empty());
    if (!pixels.empty()) {
      EXPECT_TRUE(Write_PNG_RGB(shots + "/" + name + ".png", Width, Height, pixels.data(), Width));
    }
    return pixels;
  };
  // Start-up is over when the screen has stayed the same for 2.5 s and the
  // Help button is painted (the title, which changes as it uncovers its
  // picture and then goes, is gone by then).
  std::vector<uint32_t> last;
  int still_ms = 0;
  for (int waited = 0; waited < 45000 && still_ms < 2500; waited += 250) {
    Sleep_Ms(250);
    std::vector<uint32_t> now = screen.Pixels(Width, Height);
    still_ms = (now == last) ? still_ms + 250 : 0;
    last = std::move(now);
  }
  ASSERT_GE(still_ms, 2500) << "the screen never settled";
  std::vector<uint32_t> started = shot("01_main_window");
  auto pixel = [&](const std::vector<uint32_t>& p, TPoint at) { return p[size_t(at.y) * Width + at.x]; };
  // The caption bar's pixels.
  auto Caption = [&](const std::vector<uint32_t>& p) { return std::vector<uint32_t>(p.begin(), p.begin() + 20 * Width); };
  // The screen is the program's, not a bare X server's.
  EXPECT_NE(pixel(started, layout.help), pixel(started, TPoint(Width - 2, Height - 2)));

  struct Step {
    const char* name;
    std::function<void()> act;
  };
  const Step steps[] = {
      {"02_gallery_opened",
       [&] {
         Click(layout.gallery);
         Sleep_Ms(700);
         // The gallery has taken the main window's place.
         EXPECT_NE(pixel(screen.Pixels(Width, Height), layout.gallery), pixel(started, layout.gallery));
       }},
      {"03_gallery_left", [&] { Click({Width / 2, Height / 2}); }},
      {"04_match_this", [&] { Click(layout.match); }},
      {"05_help", [&] { Click(layout.help); }},
      {"06_name_and_level", [&] { Click(layout.name); }},
      {"07_name_typed", [&] { Xdotool("type Ann"); Xdotool("key Return"); }},
      {"08_level_4", [&] { Click(layout.level_4); Sleep_Ms(2500); }},
      {"09_caption_changed",
       [&] {
         Click(layout.dialog_ok);
         Sleep_Ms(1500);
         EXPECT_NE(Caption(screen.Pixels(Width, Height)), Caption(started));
       }},
      {"10_colour_picked", [&] { Click(layout.wheel_color); Sleep_Ms(1500); }},
      {"11_manipulator_applied", [&] { Click(layout.first_manipulator); }},
      {"12_iterated", [&] { Click(layout.iterate); Sleep_Ms(8000); }},
      {"13_undone", [&] { Click(layout.undo); }},
      {"14_review", [&] { Click(layout.review); }},
      {"15_review_ok", [&] { Click(layout.review_ok); }},
      {"16_editor", [&] { Click(layout.edit); }},
      {"17_image_selected", [&] { Click(layout.editor_image); }},
      {"18_handle_dragged", [&] { Drag(layout.handle, TPoint(layout.handle.x + 30, layout.handle.y + 20)); }},
      {"19_matrix_page", [&] { Click(layout.matrix_tab); }},
      {"20_coefficient_typed",
       [&] {
         Click(layout.e_field);
         Xdotool("key End shift+Home");
         Xdotool("type 0.3");
       }},
      {"21_coefficient_applied",
       [&] {
         const std::vector<uint32_t> before = screen.Pixels(Width, Height);
         Click(layout.apply);
         Sleep_Ms(700);
         // The image moved in the edit area.
         const std::vector<uint32_t> after = screen.Pixels(Width, Height);
         int changed = 0;
         for (int y = layout.edit_area.top; y < layout.edit_area.bottom; ++y)
           for (int x = layout.edit_area.left; x < layout.edit_area.right; ++x)
             changed += pixel(before, TPoint(x, y)) != pixel(after, TPoint(x, y));
         EXPECT_GT(changed, 100);
       }},
      {"22_editor_ok", [&] { Click(layout.editor_ok); }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    Sleep_Ms(700);
    shot(step.name);
  }
  // Back from the gallery, the main window looks as it did at first.
  std::vector<uint32_t> end = screen.Pixels(Width, Height);
  EXPECT_EQ(pixel(end, layout.gallery), pixel(started, layout.gallery));

  // The manipulators were edited: closing asks whether to save them.
  Click(layout.close_box);
  Sleep_Ms(1000);
  shot("23_save_asked");
  Xdotool("key Return");
  EXPECT_EQ(program.Wait_For_Exit(10000), 0);
  std::filesystem::remove_all(folder);
}

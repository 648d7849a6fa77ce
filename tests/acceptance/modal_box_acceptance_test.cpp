// Boxes hold the program's input on a real display, at 1024 x 768: a box
// raised while the program starts (a damaged gallery, a full disk) keeps a
// click on the Gallery button or on the close box from reaching the half-built
// main window, and the "Web Access" box raised by the hidden help window is
// answered by Return, by Escape and by its OK button, whose click never
// reaches the drawing under it; once it is answered, F1 opens help at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "help/help_section.h"
#include "help/help_window.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/control_paint.h"
#include "platform/window/message_box.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/x_screen.h"
#include "tests/platform/system/small_disk.h"
#include "tests/program/program_session.h"
#include "toolkit/round_button.h"
#include "users/gallery_file.h"

namespace {

const TSize Screen_Size(1024, 768);
const char* const Person = "Ann";
// Level 5: the manipulators' file flag is written to the user file at start.
constexpr int32_t Person_Level = 4;

TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

struct Layout {
  TPoint gallery, close_box, system_box, note_link;
  TRect web_box, web_ok;  // the "Web Access" box and its OK button
};

// Where the things the tests click stand, measured headless.
Layout Measure() {
  Program_Options options;
  options.screen = Screen_Size;
  Program_Session program(options);
  program.Start();
  program.Change_User(Person, Person_Level);
  Layout l;
  l.gallery = Program_Session::Center_Of(program.Main()->gallery_button);
  l.close_box = Centre(program.Frame()->Close_Box_Rect());
  l.system_box = Centre(program.Frame()->System_Box_Rect());
  for (const Help_Link& link : The_Help_Window->Section(5).Page(0)->links)
    if (link.target) l.note_link = Centre(link.rect);
  TMessage_Box box(nullptr, {HWND(), "Unable to locate default browser.\n", "Web Access", MB_OK | MB_ICONEXCLAMATION});
  box.Create();
  l.web_box = box.GetWindowRect();
  l.web_ok = box.ChildWithId(IDOK)->GetWindowRect();
  box.Destroy();
  EXPECT_EQ(program.Stop(), 0);
  return l;
}

// Two drawings read whole, then a record whose length runs past the end.
std::string Damaged_Gallery() {
  const uint32_t side = 8, length = Gallery_File::Header_Size + 16 + side * side;
  std::vector<uint8_t> bytes(3 * length + Gallery_File::End_Size, 0);
  for (int record = 0; record < 2; ++record) {
    uint8_t* at = bytes.data() + record * length;
    Gallery_File::Write_Header(at, length, record, 0);
    Gallery_File::Write_U32(at + Gallery_File::Header_Size, side);
    Gallery_File::Write_U32(at + Gallery_File::Header_Size + 4, side);
    Gallery_File::Write_U32(at + Gallery_File::Header_Size + 8, 0xFFFFFF);
  }
  Gallery_File::Write_Header(bytes.data() + 2 * length, 0x7FFFFFFF, 2, 0);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<uint32_t> Crop(const std::vector<uint32_t>& p, const TRect& r) {
  std::vector<uint32_t> out;
  if (p.size() < size_t(r.bottom) * size_t(Screen_Size.cx)) return out;
  for (int y = r.top; y < r.bottom; ++y)
    out.insert(out.end(), p.begin() + y * Screen_Size.cx + r.left, p.begin() + y * Screen_Size.cx + r.right);
  return out;
}

// One run of the program in a folder of its own, with the screen it draws on.
class Boxes_Run {
 public:
  explicit Boxes_Run(const std::string& name) : name_(name) {
    const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
    shots_ = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/boxes_") + name;
    std::filesystem::create_directories(shots_);
    char pattern[] = "/tmp/quendar-boxes-XXXXXX";
    folder_ = mkdtemp(pattern);
    data_ = folder_ + "/data/Quendar/";
    std::filesystem::create_directories(data_);
  }
  ~Boxes_Run() {
    program_.reset();
    disk_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& Data() const { return data_; }

  // A small file system of its own for the user data (root only).
  bool Mount_Small_Disk() {
    disk_.emplace(data_, "64k");
    return disk_->mounted;
  }
  // Every block left is taken: the user file cannot be written again.
  void Fill_Disk() const { disk_->Fill(); }
  void Start(const std::vector<std::string>& environment = {}) {
    program_ = std::make_unique<Running_Program>(folder_, Screen_Size, environment);
    ASSERT_TRUE(program_->Started());
  }
  bool Running() { return program_->Wait_For_Exit(0) == -1; }
  int Wait_For_Exit() { return program_->Wait_For_Exit(20000); }

  std::vector<uint32_t> Grab() { return screen_.Pixels(Screen_Size.cx, Screen_Size.cy); }
  // The screen once it has settled, kept as a picture.
  std::vector<uint32_t> Settled(const std::string& shot) {
    std::vector<uint32_t> pixels = Wait_Until_Still([&] { return Grab(); });
    EXPECT_FALSE(pixels.empty()) << "the screen never settled before " << shot;
    EXPECT_TRUE(Write_PNG_RGB(shots_ + "/" + shot + ".png", Screen_Size.cx, Screen_Size.cy, pixels.data(), Screen_Size.cx));
    return pixels;
  }

 private:
  std::string name_, shots_, folder_, data_;
  std::optional<Small_Disk> disk_;
  X_Screen screen_;
  std::unique_ptr<Running_Program> program_;
};

// A click the box holds leaves the screen as it was and the program running;
// once the box is answered, the program goes on and ends when closed.
void Click_Under_The_Box(Boxes_Run& run, TPoint where, const std::string& what) {
  const std::vector<uint32_t> box = run.Settled("01_box_at_start");
  Click(where);
  EXPECT_EQ(run.Settled("02_after_" + what), box) << "a click on the " << what << " went past the box";
  ASSERT_TRUE(run.Running()) << "the program ended under the box";
}

// Answers the start-up boxes one by one (each holds the close box the same
// way), then closes the program.
void Answer_Every_Box_And_Close(Boxes_Run& run, TPoint close_box, int boxes) {
  for (int box = 0; box < boxes; ++box) {
    Xdotool("key Return");
    run.Settled("03_answered_" + std::to_string(box));
    ASSERT_TRUE(run.Running()) << "the program ended when box " << box + 1 << " was answered";
  }
  Click(close_box);
  EXPECT_EQ(run.Wait_For_Exit(), 0) << "the program did not end when closed";
}

// The person's gallery is damaged: the program starts with its box up.
void Start_With_Damaged_Gallery(Boxes_Run& run) {
  Write_Listed_Person(run.Data(), Person, Person_Level);
  std::ofstream(run.Data() + Person + ".gal", std::ios::binary) << Damaged_Gallery();
  ASSERT_NO_FATAL_FAILURE(run.Start());
}

void Damaged_Gallery_Then_Gallery_Button() {
  const Layout layout = Measure();
  Boxes_Run run("damaged_gallery_gallery_button");
  ASSERT_NO_FATAL_FAILURE(Start_With_Damaged_Gallery(run));
  ASSERT_NO_FATAL_FAILURE(Click_Under_The_Box(run, layout.gallery, "gallery_button"));
  Xdotool("key Return");
  const std::vector<uint32_t> main = run.Settled("03_main_window");
  Click(layout.gallery);
  EXPECT_NE(run.Settled("04_gallery"), main) << "the gallery did not open once the box was answered";
  ASSERT_TRUE(run.Running());
}

void Damaged_Gallery_Then_Close_Box() {
  const Layout layout = Measure();
  Boxes_Run run("damaged_gallery_close_box");
  ASSERT_NO_FATAL_FAILURE(Start_With_Damaged_Gallery(run));
  ASSERT_NO_FATAL_FAILURE(Click_Under_The_Box(run, layout.close_box, "close_box"));
  Answer_Every_Box_And_Close(run, layout.close_box, 1);
}

void Full_Disk_Then_Close_Box() {
  if (geteuid() != 0) GTEST_SKIP() << "a full disk is made on a file system of its own, which needs root";
  const Layout layout = Measure();
  Boxes_Run run("full_disk_close_box");
  if (!run.Mount_Small_Disk()) FAIL() << "no small file system could be mounted on " << run.Data();
  Write_Listed_Person(run.Data(), Person, Person_Level);
  run.Fill_Disk();
  ASSERT_NO_FATAL_FAILURE(run.Start());
  ASSERT_NO_FATAL_FAILURE(Click_Under_The_Box(run, layout.close_box, "close_box"));
  // The disk that is nearly full, then the user file that cannot be written.
  Answer_Every_Box_And_Close(run, layout.close_box, 2);
}

// With no opener on the path, the acknowledgements' link raises the "Web
// Access" box over the main window; each way of answering it closes it, and
// what lay under it is left as it was.
void Web_Access_Box_Answered() {
  const Layout layout = Measure();
  Boxes_Run run("web_access");
  Write_Listed_Person(run.Data(), Person, Person_Level);
  const std::string empty_bin = run.Data() + "../empty-bin";
  std::filesystem::create_directories(empty_bin);
  ASSERT_NO_FATAL_FAILURE(run.Start({"PATH=" + empty_bin}));
  const std::vector<uint32_t> main = run.Settled("00_main_window");
  struct Answer {
    const char* name;
    std::string xdotool;
  };
  const Answer answers[] = {
      {"return", "key Return"},
      {"escape", "key Escape"},
      // The pointer leaves the box's place, where the screen is compared.
      {"click_ok", "mousemove " + At(Centre(layout.web_ok)) + " click 1 mousemove " + At(layout.note_link)},
  };
  for (const Answer& answer : answers) {
    SCOPED_TRACE(answer.name);
    Click(layout.system_box);
    Xdotool("key Up Return");
    EXPECT_NE(run.Settled(std::string("01_acknowledgements_") + answer.name), main);
    Click(layout.note_link);
    const std::vector<uint32_t> box = run.Settled(std::string("02_box_") + answer.name);
    ASSERT_NE(Crop(box, layout.web_box), Crop(main, layout.web_box)) << "no box over the main window";
    const TPoint caption = layout.web_box.TopLeft() + TPoint(40, 5);
    EXPECT_EQ(box[size_t(caption.y) * Screen_Size.cx + caption.x], Control_Paint::Active_Caption.Xrgb())
        << "the box is not the active window";
    Xdotool(answer.xdotool);
    const std::vector<uint32_t> after = run.Settled(std::string("03_answered_") + answer.name);
    EXPECT_EQ(Crop(after, layout.web_box), Crop(main, layout.web_box)) << "the box stayed, or what lay under it changed";
    ASSERT_TRUE(run.Running());
    // The keyboard is the main window's again: F1 opens help at once.
    Xdotool("key F1");
    const std::vector<uint32_t> help = Changed_And_Settled([&] { return run.Grab(); }, after);
    EXPECT_FALSE(help.empty()) << "F1 did nothing once the box was answered";
    Xdotool("key Escape");
    run.Settled(std::string("04_help_closed_") + answer.name);
  }
  Click(layout.close_box);
  EXPECT_EQ(run.Wait_For_Exit(), 0) << "the program did not end when closed";
}

}  // namespace

TEST(Modal_Box_Acceptance, A_Damaged_Gallery_At_Start_Holds_The_Gallery_Button) {
  if (In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) Damaged_Gallery_Then_Gallery_Button();
}

TEST(Modal_Box_Acceptance, A_Damaged_Gallery_At_Start_Holds_The_Close_Box) {
  if (In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) Damaged_Gallery_Then_Close_Box();
}

TEST(Modal_Box_Acceptance, A_Full_Disk_At_Start_Holds_The_Close_Box) {
  if (In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) Full_Disk_Then_Close_Box();
}

TEST(Modal_Box_Acceptance, The_Web_Access_Box_Takes_Keys_And_Its_Own_Clicks) {
  if (In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) Web_Access_Box_Answered();
}

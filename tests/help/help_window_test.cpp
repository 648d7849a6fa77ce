// The help window in the running program, with the built-in pages: its
// keys and history, its focus and hover tips, clicks on links, buttons and
// outside the page, the demonstrations' links and the browser.
#include "help/help_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "demos/simulated_user.h"
#include "gallery/gallery_window.h"
#include "platform/gdi/brush.h"
#include "platform/window/desktop.h"
#include "platform/window/hooks.h"
#include "platform/window/window_dc.h"
#include "tests/program/program_session.h"
#include "toolkit/tip_window.h"
#include "workspace/drawing_window.h"
#include "toolkit/round_button.h"
#include "workspace/shape_palette.h"

namespace {

TPoint Centre(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class Help_Window_Test : public testing::Test {
 protected:
  Help_Window_Test() {
    program.Start();
    main = program.Main();
  }
  ~Help_Window_Test() override { EXPECT_EQ(program.Stop(), 0); }

  static Help_Window& help() { return *The_Help_Window; }
  int32_t Page() const { return The_Help_Window->Section(The_Help_Window->Current_Section()).current_page; }
  std::deque<int32_t> History() const { return The_Help_Window->Section(The_Help_Window->Current_Section()).history; }
  const Help_Section& Shown() const { return The_Help_Window->Section(The_Help_Window->Current_Section()); }
  void Show(int section) {
    help().Show_Section(section, main);
    program.Run_Until_Idle();
  }
  // The centre of the first link of the shown page that goes to page.
  TPoint Link_To(int32_t page) const {
    for (const Help_Link& link : help().Current_Page()->links)
      if (link.page == page && link.rect != Shown().buttons[Next_Place] && link.rect != Shown().buttons[Previous_Place])
        return Centre(link.rect);
    ADD_FAILURE() << "no link to " << page;
    return {};
  }

  Program_Session program;
  IFS_Main_Window* main = nullptr;
};

TEST_F(Help_Window_Test, KeysTurnPagesAndKeepAHistoryUntilTheSectionIsReset) {
  main->Help();
  program.Run_Until_Idle();
  ASSERT_TRUE(help().IsWindowVisible());
  EXPECT_FALSE(main->drawing_window->IsWindowEnabled());
  struct Step {
    UINT key;
    int32_t page;
  } steps[] = {{VK_PRIOR, 0}, {VK_NEXT, 1}, {VK_RIGHT, 2}, {VK_END, 20}, {VK_NEXT, 20}, {VK_RIGHT, 20},
               {VK_UP, 2},    {VK_LEFT, 1}, {VK_HOME, 0}, {VK_HOME, 0}};
  for (const Step& s : steps) {
    program.Key(s.key);
    EXPECT_EQ(Page(), s.page) << "key " << s.key;
  }
  EXPECT_EQ(History(), (std::deque<int32_t>{0, 1, 2, 1}));
  // Home leaves a side page too; pages that do not exist are not gone to.
  help().Go_To_Page(-2, true);
  program.Key(VK_HOME);
  EXPECT_EQ(Page(), 0);
  for (int32_t missing : {21, 30, -1, -3, -9}) help().Go_To_Page(missing, true);
  EXPECT_EQ(std::pair(Page(), History().size()), std::pair(0, size_t(6)));
  // Escape closes; the section opens again where it was left, until reset.
  program.Key(VK_NEXT);
  program.Key(VK_ESCAPE);
  EXPECT_FALSE(help().IsWindowVisible());
  EXPECT_TRUE(main->drawing_window->IsWindowEnabled()) << "the owner was told";
  Show(0);
  EXPECT_EQ(Page(), 1);
  help().Reset_Section(0);
  EXPECT_EQ(std::pair(Page(), History().empty()), std::pair(0, true));
  // The history keeps the last 25 pages.
  for (int32_t n = 1; n <= 26; ++n) help().Go_To_Page(n % 21, true);
  ASSERT_EQ(History().size(), Help_Section::History_Limit);
  EXPECT_EQ(History().front(), 1) << "the oldest, page 0, went";
}

TEST_F(Help_Window_Test, TabMovesTheFocusAmongEnabledButtonsWithoutRepaintingThePage) {
  Show(0);
  EXPECT_EQ(help().Focused(), Help_Window::End_Button);
  const int paints = help().Page_Paints;
  program.Key(VK_TAB);
  EXPECT_EQ(help().Focused(), Help_Window::Next_Button);
  program.Key(VK_TAB);
  EXPECT_EQ(help().Focused(), Help_Window::End_Button) << "Previous and Review are off on page 0";
  EXPECT_EQ(help().Page_Paints, paints);
  // The focus leaves a button that the new page disables; Enter acts on it.
  help().Go_To_Page(19, true);
  program.Key(VK_TAB);
  program.Key(VK_TAB);
  ASSERT_EQ(help().Focused(), Help_Window::Next_Button);
  program.Key(VK_RETURN);
  EXPECT_EQ(std::pair(Page(), help().Focused()), std::pair(20, int32_t(Help_Window::Previous_Button)));
  program.Key(VK_RETURN);
  EXPECT_EQ(Page(), 19);
  program.Key(VK_ESCAPE);
  // A section with one page and no history: only End Help; the
  // acknowledgements: only OK, which Enter closes.
  Show(1);
  program.Key(VK_TAB);
  EXPECT_EQ(help().Focused(), Help_Window::End_Button);
  program.Key(VK_ESCAPE);
  Show(5);
  program.Key(VK_TAB);
  EXPECT_EQ(help().Focused(), Help_Window::OK_Button);
  program.Key(VK_RETURN);
  EXPECT_FALSE(help().IsWindowVisible());
}

// The focus rectangle is drawn by inverting; whatever else is painted near
// it must lie under it, or taking it away leaves dots on the screen.
TEST_F(Help_Window_Test, TheFocusRectangleLeavesNothingBehindWhenItMoves) {
  Show(0);
  help().Go_To_Page(3, false);
  program.Run_Until_Idle();
  ASSERT_EQ(help().Focused(), Help_Window::End_Button);
  const TRect old_focus = help().Focus_Rect(Help_Window::End_Button).Inflated_By(2, 2);
  auto pixels = [&] {
    TScreenDC screen;
    std::vector<uint32_t> seen;
    for (int y = old_focus.top; y < old_focus.bottom; ++y)
      for (int x = old_focus.left; x < old_focus.right; ++x) seen.push_back(uint32_t(screen.GetPixel(TPoint(x, y))));
    return seen;
  };
  program.Key(VK_TAB);
  ASSERT_NE(help().Focused(), Help_Window::End_Button);
  const std::vector<uint32_t> after_tab = pixels();
  help().Go_To_Page(3, false);  // the whole page painted afresh, the focus elsewhere
  program.Run_Until_Idle();
  EXPECT_EQ(after_tab, pixels());
}

// A menu that closed just before help opened (the system menu's
// Acknowledgements) leaves its place to be repainted; help's picture of the
// screen is taken after that repaint, not with the menu still in it.
TEST_F(Help_Window_Test, HelpShowsTheScreenAsRepaintedNotWhatWasLeftOnIt) {
  const TRect left_over(4, 30, 60, 80);
  {
    TScreenDC screen;
    screen.FillRect(left_over, TBrush(TColor(255, 0, 255)));
  }
  TDesktop::Current().Expose(left_over, nullptr);
  Show(5);
  TScreenDC screen;
  EXPECT_NE(screen.GetPixel(Centre(left_over)), TColor(255, 0, 255));
}

TEST_F(Help_Window_Test, HoveringAButtonShowsItsTipAndRepaintsNoPage) {
  Show(0);
  const int paints = help().Page_Paints;
  program.Backend().Move_To(Centre(Shown().buttons[Next_Place]));
  program.Run_Until_Idle();
  EXPECT_EQ(help().Hover(), Help_Window::Next_Button);
  ASSERT_NE(The_Tip_Window->Item, nullptr);
  EXPECT_STREQ(The_Tip_Window->Item, "Next Page");
  program.Advance(Tip_Window::Show_Delay + 100);
  EXPECT_TRUE(The_Tip_Window->Shown);
  program.Backend().Move_To(Centre(help().Current_Page()->owner_area));
  program.Run_Until_Idle();
  EXPECT_EQ(help().Hover(), Help_Window::No_Button);
  EXPECT_FALSE(The_Tip_Window->Shown);
  EXPECT_EQ(help().Page_Paints, paints);
}

TEST_F(Help_Window_Test, ClicksFollowLinksGoBackAndCloseTheHelp) {
  Show(0);
  program.Click(Link_To(2));  // "Getting help" on the index
  EXPECT_EQ(Page(), 2);
  program.Click(Centre(Shown().buttons[Review_Place]));
  EXPECT_EQ(std::pair(Page(), History().empty()), std::pair(0, true));
  // The right button acts as the left.
  const TPoint to_side = Link_To(-2);
  program.Backend().Move_To(to_side);
  program.Backend().Press(to_side, TInput_Event::Right);
  program.Backend().Release(to_side, TInput_Event::Right);
  program.Run_Until_Idle();
  EXPECT_EQ(Page(), -2);
  program.Click(Centre(Shown().buttons[End_Place]));
  EXPECT_FALSE(help().IsWindowVisible());
  // A click outside the round page, inside its box, closes the help and
  // reaches what lies below.
  Show(0);
  const TRect area = help().Current_Page()->owner_area;
  const TPoint corner(area.left + 3, area.top + 3);
  program.Click(corner);
  EXPECT_FALSE(help().IsWindowVisible());
  EXPECT_FALSE(Journal_Playback_Installed()) << "the replay ended";
  EXPECT_TRUE(main->drawing_window->IsWindowEnabled());
  // A click on a shape button outside the page puts that shape in.
  Show(0);
  const auto blank = [&] { return !main->drawing_window->current.picture || main->drawing_window->current.picture->Blank; };
  ASSERT_TRUE(blank());
  program.Click(Program_Session::Center_Of(main->shape_palette->Buttons[1]));
  program.Advance(500);
  EXPECT_FALSE(help().IsWindowVisible());
  EXPECT_FALSE(blank()) << "the click reached the shape button";
  // A round button acts when let go: the release, already there when the
  // press is replayed, is replayed too.
  Show(0);
  program.Click(Program_Session::Center_Of(main->gallery_button));
  program.Advance(500);
  EXPECT_EQ(program.Frame()->GetClientWindow(), (TWindow*)program.Frame()->Gallery);
}

TEST_F(Help_Window_Test, OkInTheAcknowledgementsOnlyCloses) {
  Show(5);
  help().Go_To_Page(0, true);  // a history, so the one button is also Review
  program.Click(Centre(Shown().buttons[End_Place]));
  EXPECT_FALSE(help().IsWindowVisible());
  EXPECT_EQ(std::pair(Shown().current_page, Shown().history.size()), std::pair(0, size_t(1)));
}

TEST_F(Help_Window_Test, DemonstrationLinksStartTheirDemonstrationOrExplainWhyNot) {
  Show(0);
  help().Go_To_Page(-2, false);
  const auto& links = help().Current_Page()->links;
  auto show = [&](int32_t n) {
    for (const Help_Link& l : links)
      if (l.demonstration == n) return Centre(l.rect);
    return TPoint();
  };
  // The demonstration starts playing; Ctrl+Esc stops it.
  auto stop = [&] {
    program.Backend().Key_Down(VK_CONTROL);
    program.Backend().Key(VK_ESCAPE);
    program.Backend().Key_Up(VK_CONTROL);
    program.Run_Until_Idle();
    EXPECT_FALSE(The_Simulated_User->Running());
  };
  program.Click(show(3));
  EXPECT_FALSE(help().IsWindowVisible());
  EXPECT_EQ(The_Simulated_User->Mode(), Simulated_User::Pattern_Mode);
  stop();
  // No game at level 5: a message, and the page stays.
  program.Change_User("Five", 4);
  Show(0);
  help().Go_To_Page(-2, false);
  for (int32_t game : {0, 1}) {
    const size_t boxes = program.Boxes.size();
    program.Click(show(game));
    EXPECT_TRUE(help().IsWindowVisible());
    EXPECT_EQ(Page(), -2);
    EXPECT_EQ(program.Boxes.size(), boxes + 1);
  }
  ASSERT_FALSE(program.Boxes.empty());
  EXPECT_EQ(program.Boxes.back().caption, "Game Demonstration");
  EXPECT_EQ(program.Boxes.back().text, "The game doesn't run at level 5\nPlease change levels and try again");
  program.Click(show(2));
  EXPECT_EQ(The_Simulated_User->Mode(), Simulated_User::Color_Mixing_Mode);
  stop();
}

TEST_F(Help_Window_Test, ArrowsOfAnExcludedLevelAreNotDrawn) {
  for (int32_t level : {0, 4}) {
    program.Change_User(level ? "Five" : "One", level);
    Show(0);
    help().Go_To_Page(9, false);  // the game's page: its arrow is not there at level 5
    program.Run_Until_Idle();
    const Help_Arrow& arrow = help().Current_Page()->arrows.at(0);
    const TPoint on_line((arrow.start.x + arrow.elbow.x) / 2, arrow.start.y);
    TScreenDC screen;
    EXPECT_EQ(screen.GetPixel(on_line) == TColor(255, 0, 0), level == 0) << "level index " << level;
    program.Key(VK_ESCAPE);
  }
}

TEST_F(Help_Window_Test, LinksOpenTheBrowserOnThePath) {
  const std::string bin = program.Folder() + "/bin", out = program.Folder() + "/opened";
  std::filesystem::create_directories(bin);
  {
    std::ofstream opener(bin + "/xdg-open");
    opener << "#!/bin/sh\nprintf '%s|' \"$@\" > " << out << ".tmp\nmv " << out << ".tmp " << out << "\n";
  }
  chmod((bin + "/xdg-open").c_str(), 0755);
  const std::string saved_path = getenv("PATH") ? getenv("PATH") : "";
  const char* saved_browser = getenv("BROWSER");
  const std::string browser = saved_browser ? saved_browser : "";
  unsetenv("BROWSER");
  setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);
  EXPECT_TRUE(help().Open_URL("file:///tmp/a b;c.html"));
  std::string received;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);  // a busy machine starts it late
  while (received.empty() && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::getline(in, received);
  }
  EXPECT_EQ(received, "file:///tmp/a b;c.html|") << "one argument, as it stands";
  setenv("PATH", bin.c_str(), 1);
  std::filesystem::remove(bin + "/xdg-open");
  EXPECT_FALSE(help().Open_URL("x"));
  ASSERT_FALSE(program.Boxes.empty());
  EXPECT_EQ(std::pair(program.Boxes.back().caption, program.Boxes.back().text),
            std::pair(std::string("Web Access"), std::string("Unable to locate default browser.\n")));
  setenv("PATH", saved_path.c_str(), 1);
  if (saved_browser) setenv("BROWSER", browser.c_str(), 1);
}

// An opener that starts and then fails: the program, out of the browser's
// way, comes back and says the page did not open.
TEST_F(Help_Window_Test, AnOpenerThatFailsBringsTheProgramBackWithABox) {
  const std::string bin = program.Folder() + "/bin";
  std::filesystem::create_directories(bin);
  std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nexit 1\n";
  chmod((bin + "/xdg-open").c_str(), 0755);
  const std::string saved_path = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", bin.c_str(), 1);
  unsetenv("BROWSER");
  Show(5);
  TPoint link;
  for (const Help_Link& l : help().Current_Page()->links)
    if (l.target) link = Centre(l.rect);
  program.Click(link);
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);  // a busy machine ends it late
  while (program.Boxes.empty() && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    program.Run_Until_Idle();
  }
  setenv("PATH", saved_path.c_str(), 1);
  ASSERT_EQ(program.Boxes.size(), 1u);
  EXPECT_EQ(std::pair(program.Boxes[0].caption, program.Boxes[0].text),
            std::pair(std::string("Web Access"), std::string("The default browser could not open the page.\n")));
  EXPECT_FALSE(program.Frame()->Minimised) << "the program stayed out of the way";
  EXPECT_FALSE(help().IsWindowVisible());
}

}  // namespace

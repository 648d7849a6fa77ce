// The built-in help script, read by the running program on three screens:
// every section there with its pages, every link going somewhere, every
// arrow landing in the part of the panel its line names, every line of text
// on its page. With QUENDAR_SNAPSHOTS set, every page is saved as it shows
// over its panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "gallery/gallery_window.h"
#include "manipulators/shape_transform_window.h"
#include "model/shape_catalogue.h"
#include "platform/gdi/memory_dc.h"
#include "platform/system/resource.h"
#include "platform/window/desktop.h"
#include "toolkit/gui_sizes.h"
#include "tools/help_layout/help_targets.h"

namespace {

// The names the ARROW lines end with: [section][main page or side page].
struct Arrow_Names {
  std::vector<std::vector<std::vector<std::string>>> main, side;
};

Arrow_Names Read_Arrow_Names(const char* p, const char* end) {
  Arrow_Names names;
  std::vector<std::string>* page = nullptr;
  while (p < end) {
    const char* line_end = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
    if (!line_end) line_end = end;
    std::string line(p, line_end);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    p = line_end + 1;
    if (strncasecmp(line.c_str(), "SECTION", 7) == 0) {
      names.main.emplace_back();
      names.side.emplace_back();
    } else if (strncasecmp(line.c_str(), "END", 3) == 0) {
      break;
    } else if (strncasecmp(line.c_str(), "PAGE", 4) == 0) {
      auto& list = std::atoi(line.c_str() + 4) >= 0 ? names.main.back() : names.side.back();
      page = &list.emplace_back();
    } else if (strncasecmp(line.c_str(), "ARROW", 5) == 0 && page) {
      page->push_back(line.substr(line.find_last_of(' ') + 1));
    }
  }
  return names;
}

// The folder of this program, as the "ProgPath" links name it when the
// settings do not.
std::string Program_Folder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::filesystem::path(std::string(path, size_t(n))).parent_path().string() : std::string();
}

struct Section_Shape {
  int mains, sides;
};
constexpr Section_Shape Expected[Help_Window::Section_Count] = {{21, 1}, {1, 0}, {5, 0}, {2, 0}, {1, 0}, {1, 0}, {1, 0}};

class Help_Script : public testing::TestWithParam<TSize> {
 protected:
  Help_Script() : program(Options()) {}
  Program_Options Options() {
    Program_Options options;
    options.screen = GetParam();
    return options;
  }
  std::string Tag() const { return std::to_string(GetParam().cx) + "x" + std::to_string(GetParam().cy); }

  // Shows every page of the section over what is on the screen now; the
  // pictures' names end with the suffix.
  void Snap_Pages(int section, TWindow* owner, const std::string& suffix = "") {
    Help_Window& help = *The_Help_Window;
    help.Reset_Section(section);
    help.Show_Section(section, owner);
    program.Run_Until_Idle();
    const Help_Section& s = help.Section(section);
    for (int32_t n = 0; n < s.Main_Count(); ++n) {
      help.Go_To_Page(n, false);
      program.Run_Until_Idle();
      program.Snapshot("help_" + Tag() + "_s" + std::to_string(section) + "_p" + std::to_string(n) + suffix);
    }
    for (size_t k = 0; k < s.side_pages.size(); ++k) {
      help.Go_To_Page(-2 - int32_t(k), false);
      program.Run_Until_Idle();
      program.Snapshot("help_" + Tag() + "_s" + std::to_string(section) + "_side" + std::to_string(k) + suffix);
    }
    help.Hide(0);
    help.Reset_Section(section);
    program.Run_Until_Idle();
  }

  Program_Session program;
};

// Whether every run of the page lies on the page, measured in its font.
void Expect_Text_On_Page(const Help_Page& page, const std::string& where) {
  TMemoryDC dc;
  const TFont title("Times New Roman", (*The_GUI_Sizes)[33]);
  const TFont text("MS Sans Serif", (*The_GUI_Sizes)[30]);
  const TRegion ellipse = TRegion::Ellipse(page.owner_area);
  for (const Help_String& run : page.strings) {
    dc.SelectObject(run.font == Help_Title_Font ? title : text);
    const TSize size = dc.GetTextExtent(std::string_view(run.text, size_t(run.length)));
    const int left = run.alignment == Help_Align_Centre_Top ? run.x - size.cx / 2 : run.x;
    const TRect box(left, run.y, left + size.cx, run.y + size.cy);
    const std::string text_of_run(run.text, size_t(run.length));
    if (page.round) {
      for (TPoint corner : {box.TopLeft(), TPoint(box.right - 1, box.top), TPoint(box.left, box.bottom - 1),
                            TPoint(box.right - 1, box.bottom - 1)})
        EXPECT_TRUE(ellipse.Contains(corner)) << where << ": \"" << text_of_run << "\" leaves the page";
    } else {
      EXPECT_TRUE(page.owner_area.Contains(box)) << where << ": \"" << text_of_run << "\" leaves the page";
    }
  }
}

TEST_P(Help_Script, EverySectionPageLinkArrowAndLineIsWhereItBelongs) {
  program.Start();
  IFS_Main_Window& main = *program.Main();
  Help_Window& help = *The_Help_Window;
  if (std::getenv("QUENDAR_SNAPSHOTS")) {
    Snap_Pages(0, &main);
    Snap_Pages(5, &main);
  }
  // The dialog lays out its section when it is made; the gallery, made
  // hidden at start, laid out its two in its set-up.
  auto* dialog = new User_Dialog(program.Frame(), nullptr, program.Frame()->User_Dialog_Place);
  dialog->Create();
  program.Run_Until_Idle();
  Gallery_Window& gallery = *program.Frame()->Gallery;

  const TResource block = Find_Resource(RT_RCDATA, Help_Window::Script_Resource);
  ASSERT_TRUE(block);
  const char* text = reinterpret_cast<const char*>(block.data);
  ASSERT_NE(std::strstr(text, "\r\n"), nullptr) << "the block's lines end with CR LF";
  const Arrow_Names names = Read_Arrow_Names(text, text + block.size);
  ASSERT_EQ(names.main.size(), size_t(Help_Window::Section_Count));

  Help_Targets targets = Main_Window_Targets(main);
  targets.merge(Review_Targets(*main.review_window));
  targets.merge(Editor_Targets(*main.editor));
  targets.merge(Dialog_Targets(*dialog));
  targets.merge(Gallery_Targets(gallery));
  const TRect& frame = help.Arrow_Frame;

  for (int s = 0; s < Help_Window::Section_Count; ++s) {
    const Help_Section& section = help.Section(s);
    SCOPED_TRACE("section " + std::to_string(s));
    ASSERT_TRUE(section.loaded);
    ASSERT_EQ(section.Main_Count(), Expected[s].mains);
    ASSERT_EQ(int(section.side_pages.size()), Expected[s].sides);
    for (int k = 0; k < Expected[s].mains + Expected[s].sides; ++k) {
      const bool side = k >= Expected[s].mains;
      const int32_t number = side ? -2 - (k - Expected[s].mains) : k;
      const Help_Page& page = *section.Page(number);
      const std::string where = "section " + std::to_string(s) + " page " + std::to_string(number);
      EXPECT_EQ(page.number, number);
      EXPECT_FALSE(page.strings.empty()) << where;
      for (const Help_Link& link : page.links) {
        if (link.page != -1) {
          EXPECT_NE(section.Page(link.page), nullptr) << where << " links to " << link.page;
        }
        EXPECT_LE(link.demonstration, 5) << where;
        // The only link out is the acknowledgements' note, beside the program.
        if (s >= 5) {
          if (link.target) {
            EXPECT_EQ(*link.target, Program_Folder() + "/acknowledgements.html") << where;
          }
        } else {
          EXPECT_FALSE(link.target) << where << ": the other pages open no documents";
        }
      }
      const auto& arrow_names = side ? names.side[size_t(s)][size_t(k - Expected[s].mains)] : names.main[size_t(s)][size_t(k)];
      ASSERT_EQ(page.arrows.size(), arrow_names.size()) << where;
      for (size_t a = 0; a < page.arrows.size(); ++a) {
        const auto target = targets.find(arrow_names[a]);
        ASSERT_NE(target, targets.end()) << where << ": no part named " << arrow_names[a];
        EXPECT_TRUE(target->second.Contains(page.arrows[a].tip))
            << where << ": the arrow misses " << arrow_names[a] << " at (" << page.arrows[a].tip.x << ", "
            << page.arrows[a].tip.y << ")";
        EXPECT_TRUE(frame.Contains(page.arrows[a].tip)) << where;
        // What lies under the page cannot be seen while it is up.
        const TPoint tip = page.arrows[a].tip;
        EXPECT_FALSE(page.round ? TRegion::Ellipse(page.owner_area).Contains(tip) : page.owner_area.Contains(tip))
            << where << ": the arrow to " << arrow_names[a] << " ends on the page";
      }
      Expect_Text_On_Page(page, where);
    }
  }
  // The review's arrows go to its four corners; its pictures lie under the
  // page.
  EXPECT_EQ(help.Section(1).Page(0)->arrows.size(), 4u);
  for (int s : {5, 6}) {
    const auto& links = help.Section(s).Page(0)->links;
    EXPECT_EQ(std::count_if(links.begin(), links.end(), [](const Help_Link& l) { return l.target.has_value(); }), 1)
        << "the acknowledgements link to the thank-you note";
  }
  // The index lists ten topics; the demonstrations page has six, and the
  // welcome page leads to it.
  EXPECT_EQ(help.Section(0).Page(0)->links.size(), 10u + 2u);
  EXPECT_EQ(help.Section(0).Page(-2)->bitmaps.size(), 6u);
  // Its last link, a line of its own and not the end of the sentence
  // above, leads back to the welcome page whose picture leads here, and
  // says so (the up arrow goes back to the list).
  const Help_Page& demonstrations = *help.Section(0).Page(-2);
  const auto& runs = demonstrations.strings;
  ASSERT_GE(runs.size(), 2u);
  EXPECT_EQ(std::string_view(runs.back().text, size_t(runs.back().length)), "Back to the Welcome page");
  EXPECT_GT(runs.back().y, runs[runs.size() - 2].y);
  EXPECT_EQ(runs.back().x, runs[runs.size() - 2].x);
  ASSERT_FALSE(demonstrations.links.empty());
  EXPECT_EQ(demonstrations.links.back().page, 1) << "Back leads elsewhere than the welcome page";
  const Help_String& welcome_title = help.Section(0).Page(1)->strings.front();
  EXPECT_EQ(welcome_title.font, Help_Title_Font);
  EXPECT_EQ(std::string_view(welcome_title.text, size_t(welcome_title.length)), "Welcome to Quendar");
  // The page on choosing a cycle points at the arrow button it speaks of.
  const std::vector<std::string>& cycle_arrows = names.main[0][19];
  EXPECT_NE(std::find(cycle_arrows.begin(), cycle_arrows.end(), "cycle_row_button"), cycle_arrows.end());
  const auto& welcome = help.Section(0).Page(1)->links;
  EXPECT_EQ(std::count_if(welcome.begin(), welcome.end(), [](const Help_Link& l) { return l.page == -2; }), 2)
      << "the Demonstrations picture and label";

  if (std::getenv("QUENDAR_SNAPSHOTS")) Snap_Pages(3, dialog);
  dialog->Destroy();
  delete dialog;
  if (std::getenv("QUENDAR_SNAPSHOTS")) {
    // The review and the editor need a drawing and a manipulator.
    program.Change_User("Ann", 3);
    program.Draw_Block();
    program.Click(main.manipulator_palette->Window()->Slot_Screen_Point(0));
    program.Click(main.drawing_window->Corner_Screen_Point(0));
    Snap_Pages(1, &main);
    program.Click(main.review_window->Corner_Screen_Point(3));
    program.Click(main.manipulator_palette->Window()->Edit_Button_Screen_Point());
    Snap_Pages(2, &main);
    program.Click(main.editor->Corner_Screen_Point(2));
    // The gallery's pages over the gallery, the drawing handed to it.
    program.Click(Program_Session::Center_Of(main.gallery_button));
    Snap_Pages(4, &gallery);
    Snap_Pages(6, &gallery);
    program.Click(Program_Session::Center_Of(gallery.ChildWithId(Gallery_Window::Cancel_Id)));
  }
  EXPECT_EQ(program.Stop(), 0);
}

// The main window's parts move with the level (the game's row grows, the
// colour cycles come at level 5): every arrow drawn at a level lands in its
// part as the screen stands at that level.
TEST_P(Help_Script, EveryArrowDrawnAtALevelLandsInItsPartAtThatLevel) {
  program.Start();
  IFS_Main_Window& main = *program.Main();
  const TResource block = Find_Resource(RT_RCDATA, Help_Window::Script_Resource);
  ASSERT_TRUE(block);
  const char* text = reinterpret_cast<const char*>(block.data);
  const Arrow_Names names = Read_Arrow_Names(text, text + block.size);
  const Help_Section& section = The_Help_Window->Section(0);
  // The panels that some levels do not show: an arrow at them points at
  // nothing there.
  const std::map<std::string, const TWindow*> shown_by_level = {
      {"game", main.safari_controls},     {"camera", main.safari_controls},
      {"first_step", main.safari_controls}, {"match_button", main.match_button},
      {"cycles", main.color_cycles},      {"cycle_row_button", main.color_cycles}};
  for (int32_t level = 0; level < 5; ++level) {
    program.Change_User("Ann", level);
    Help_Targets targets = Main_Window_Targets(main);
    for (const auto& [name, window] : shown_by_level)
      if (!window->IsWindowVisible()) targets[name] = TRect();
    for (int32_t n = 0; n < section.Main_Count(); ++n) {
      const Help_Page& page = *section.Page(n);
      for (size_t a = 0; a < page.arrows.size(); ++a) {
        if (page.arrows[a].excluded_levels & (1u << level)) continue;
        const std::string& name = names.main[0][size_t(n)][a];
        EXPECT_TRUE(targets.at(name).Contains(page.arrows[a].tip))
            << "level " << level + 1 << " page " << n << ": the arrow misses " << name;
      }
    }
    // Level 5 shows the arrows the first start's pictures leave out.
    if (level == 4 && std::getenv("QUENDAR_SNAPSHOTS")) Snap_Pages(0, &main, "_level5");
  }
  EXPECT_EQ(program.Stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, Help_Script, testing::Values(TSize(800, 600), TSize(1024, 768), TSize(1920, 1080)),
                         [](const auto& info) { return std::to_string(info.param.cx) + "x" + std::to_string(info.param.cy); });

}  // namespace

// Reading a help section and laying out its pages, with a font of fixed
// advance (6 pixels a character, 10 high) so every position is known.
#include "help/help_section.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int32_t U = 16, Line = 16, Advance = 6;
const TRect Box(100, 50, 500, 450);  // a 400 x 400 owner

struct Parsed {
  std::string text;
  Help_Section section;
  const Help_Page& Page(int32_t n) const { return *section.Page(n); }
};

Help_Layout_Context Context(bool single = false) {
  Help_Layout_Context c;
  c.u = U;
  c.L = Line;
  c.arrow_frame = TRect(0, 0, 1000, 800);
  c.single_button = single;
  c.measure = [](const char*, int32_t length) { return TSize(Advance * length, 10); };
  c.setting = [](const std::string& name) -> std::optional<std::string> {
    if (name == "ProgPath") return std::string("/opt/quendar");
    return std::nullopt;
  };
  return c;
}

// Reads body (lines joined by LF, sent with CR LF) as one section.
std::unique_ptr<Parsed> Parse(const std::string& body, bool round = false, bool single = false,
                              TRect owner = Box) {
  auto p = std::make_unique<Parsed>();
  for (char ch : body) {
    if (ch == '\n') p->text += '\r';
    p->text += ch;
  }
  p->section.body_begin = p->text.data();
  p->section.body_end = p->text.data() + p->text.size();
  p->section.Load(Context(single), owner, round);
  return p;
}

std::string Text_Of(const Help_String& s) { return std::string(s.text, size_t(s.length)); }

TEST(Help_Script_Keywords, AreMatchedByPrefixInAnyCaseAndTheRestIsPassedOver) {
  const auto p = Parse(
      "remark before any page\n"
      "TEXT no page yet\n"
      "JUMP 3\n"
      "Page 0\n"
      "Title Hello\n"
      "text One\n"
      "TEXT+ Two\n"
      "CONTINUE   three\n"
      "continue .Four\n"
      "TEXT \"   \n"
      "CONTINUE Five\n"
      "Texture: the word is the keyword's\n"
      "   TEXT not in the first column\n"
      "\n");
  const Help_Page& page = p->Page(0);
  std::vector<std::string> runs;
  for (const auto& s : page.strings) runs.push_back(Text_Of(s));
  EXPECT_EQ(runs, (std::vector<std::string>{"Hello", "One", "Two", " three", ".Four", "   ", " Five",
                                            "the word is the keyword's"}));
  // TEXT+ is one plain line lower; CONTINUE stays on its line after the run.
  const auto& s = page.strings;
  EXPECT_EQ(std::pair(s[2].x, s[2].y), std::pair(s[1].x, s[1].y + Line));
  EXPECT_EQ(std::pair(s[3].x, s[3].y), std::pair(s[2].x + 3 * Advance, s[2].y));
  EXPECT_EQ(s[4].x, s[3].x + 6 * Advance);
  EXPECT_EQ(std::pair(s[0].alignment, s[0].font), std::pair(Help_Align_Centre_Top, int32_t(Help_Title_Font)));
  EXPECT_TRUE(page.links.size() == 1 && page.links[0].page == -1) << "only End Help: the early JUMP had no run";
}

TEST(Help_Script_Pages, AreNumberedInOrderWithTheirNavigationLinks) {
  const auto p = Parse("PAGE 0\nTEXT a\nPAGE 1\nTEXT b\nJUMP 0\nPAGE 2\nTEXT c\nPAGE 3\nTEXT d\nPAGE 5\nTEXT e\n"
                       "PAGE -2\nTEXT s\nPAGE -3\nTEXT t\n");
  const Help_Section& s = p->section;
  ASSERT_EQ(s.Main_Count(), 5);
  ASSERT_EQ(s.side_pages.size(), 2u);
  EXPECT_EQ(p->Page(4).number, 4) << "PAGE 5 after pages 0 to 3 makes page 4";
  // End Help, Previous, the line's links, then Next.
  const auto& links = p->Page(1).links;
  ASSERT_EQ(links.size(), 4u);
  EXPECT_EQ(links[0].rect, s.buttons[End_Place]);
  EXPECT_EQ(std::pair(links[1].rect, links[1].page), std::pair(s.buttons[Previous_Place], 0));
  EXPECT_EQ(links[2].page, 0);
  EXPECT_EQ(std::pair(links[3].rect, links[3].page), std::pair(s.buttons[Next_Place], 2));
  EXPECT_EQ(p->Page(3).links.back().page, 4);
  EXPECT_EQ(p->Page(4).links.size(), 2u) << "the last page has no Next";
  // Side pages by number, without Previous or Next.
  EXPECT_EQ(s.Page(-2), s.side_pages[0].get());
  EXPECT_EQ(s.Page(-3), s.side_pages[1].get());
  EXPECT_EQ(p->Page(-3).links.size(), 1u);
  for (int32_t missing : {-1, -4, 5, 30, INT32_MIN, INT32_MAX}) EXPECT_EQ(s.Page(missing), nullptr) << missing;
  // A single-button section's side pages have no End Help.
  const auto single = Parse("PAGE 0\nTEXT a\nPAGE -2\nTEXT s\n", false, true);
  EXPECT_EQ(single->Page(0).links.size(), 1u);
  EXPECT_TRUE(single->Page(-2).links.empty());
}

TEST(Help_Script_Arrows, ReadTheirSideFractionsAndExcludedLevels) {
  const auto p = Parse("PAGE 0\nTITLE T\nTEXT abcd\n"
                       "ARROW LEFT, .04, .52\n"
                       "ARROW RIGHT, 0.82, -0.246\n"
                       "ARROW right, .82, -.9 EXCLUDE 123\n"
                       "ARROW Left, -0.3, .75 exclude 5 shapes\n"
                       "ARROW LEFT, .5, .5 EXCLUDE 0\n"
                       "ARROW LEFT, nan, .5\n"
                       "ARROW LEFT, .5\n");
  const Help_Page& page = p->Page(0);
  const Help_String& run = page.strings[1];
  ASSERT_EQ(page.arrows.size(), 5u) << "lines without both fractions are passed over";
  const Help_Arrow& left = page.arrows[0];
  EXPECT_EQ(left.start, TPoint(run.x - U / 4, run.y + U / 2));
  EXPECT_EQ(left.elbow, TPoint(Box.left + U / 2, run.y + U / 2));
  EXPECT_EQ(left.tip, TPoint(40, 416));
  const int32_t margin = Box.Width() / 16;
  EXPECT_EQ(page.arrows[1].start, TPoint(run.x + 4 * Advance + U / 4, run.y + U / 2));
  EXPECT_EQ(page.arrows[1].elbow, TPoint(Box.right - margin + U / 2, run.y + U / 2));
  EXPECT_EQ(page.arrows[1].tip, TPoint(820, run.y + U / 2)) << "a negative y keeps the start's height";
  EXPECT_EQ(page.arrows[2].tip, page.arrows[1].tip);
  EXPECT_EQ(page.arrows[1].excluded_levels, 0u);
  EXPECT_EQ(page.arrows[2].excluded_levels, 0b111u);
  EXPECT_EQ(page.arrows[3].tip, TPoint(page.arrows[3].elbow.x, 600)) << "a negative x keeps the elbow's";
  EXPECT_EQ(page.arrows[3].excluded_levels, 0b10000u);
  EXPECT_EQ(page.arrows[4].excluded_levels, 0u) << "there is no level 0";
}

TEST(Help_Script_Links, JumpUrlAndShowMakeLinksOverTheirRuns) {
  const auto p = Parse("PAGE 0\nTEXT Go there\nJUMP 3\nTEXT Read me\nURL %ProgPath%/readme.html\n"
                       "TEXT Plain\nURL https://example.org/a\nTEXT Unknown\nURL %NoSuchValue%/x\n"
                       "TEXT Open\nURL %ProgPath\n"
                       "SHOW 4 Demo label\nSHOW -2 Side label\nTEXT after\n");
  const Help_Page& page = p->Page(0);
  const auto& l = page.links;
  ASSERT_EQ(l.size(), 1u + 3u + 4u);
  const Help_String& go = page.strings[0];
  EXPECT_EQ(l[1].rect, TRect(go.x, go.y, go.x + 8 * Advance, go.y + 10));
  EXPECT_EQ(std::pair(l[1].page, go.font), std::pair(3, int32_t(Help_Link_Font)));
  EXPECT_EQ(l[2].target, std::optional<std::string>("/opt/quendar/readme.html"));
  EXPECT_EQ(l[3].target, std::optional<std::string>("https://example.org/a"));
  EXPECT_EQ(page.strings[3].font, Help_Text_Font) << "no value: the run stays plain";
  EXPECT_EQ(page.strings[4].font, Help_Text_Font) << "no closing percent sign";
  // Each SHOW links its picture and its label.
  EXPECT_EQ(std::tuple(l[4].demonstration, l[4].page, l[4].rect), std::tuple(4, -1, page.bitmaps[0].rect));
  EXPECT_EQ(std::pair(l[5].demonstration, Text_Of(page.strings[5])), std::pair(4, std::string("Demo label")));
  EXPECT_EQ(std::pair(l[6].page, l[7].page), std::pair(-2, -2));
  // Spacing: a label u/2 below its picture's top, the next picture 17u/8
  // below that label, a text 9u/4 below the last label.
  const TRect first = page.bitmaps[0].rect, second = page.bitmaps[1].rect;
  EXPECT_EQ(first.Size(), TSize(4 * U, 2 * U));
  EXPECT_EQ(page.strings[5].y, first.top + U / 2);
  EXPECT_EQ(page.strings[5].x, first.right + U);
  EXPECT_EQ(second.top, page.strings[5].y + 17 * U / 8);
  EXPECT_EQ(page.strings[7].y, page.strings[6].y + 9 * U / 4);
}

TEST(Help_Layout, FirstLinesAndWrapsFollowTheOwnersShape) {
  const int32_t W = Box.Width(), H = Box.Height();
  struct Case {
    const char* body;
    bool round;
    TPoint first;
  } cases[] = {
      {"PAGE 0\nTITLE T\nTEXT a\n", false, {Box.left + W / 16, Box.top + 3 * U}},
      {"PAGE 0\nTEXT a\n", false, {Box.left + W / 16, Box.top + U}},
      {"PAGE 0\nTEXT a\n", true, {Box.left + W / 8, Box.top + H / 12 + 3 * U}},
      {"PAGE 0\nTITLE T\nTEXT a\n", true, {Box.left + W / 8, Box.top + H / 12 + 3 * U}},
  };
  for (const Case& c : cases) {
    const auto p = Parse(c.body, c.round);
    const Help_String& run = p->Page(0).strings.back();
    EXPECT_EQ(TPoint(run.x, run.y), c.first) << c.body << (c.round ? " round" : "");
  }
  // Rectangular: the limit is r - W/16 = 475 from x 125, 58 characters. The
  // cut is at the last blank that lets the first part fit; the rest goes one
  // line lower at the left, however long it is.
  const std::string long_line = std::string(50, 'a') + " bbbbbbb  cc " + std::string(80, 'd');
  const auto p = Parse("PAGE 0\nTEXT " + long_line + "\nCONTINUE " + std::string(30, 'e') + "\n");
  const auto& s = p->Page(0).strings;
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(Text_Of(s[0]), std::string(50, 'a') + " bbbbbbb");
  EXPECT_EQ(Text_Of(s[1]), "cc " + std::string(80, 'd'));
  EXPECT_EQ(TPoint(s[1].x, s[1].y), TPoint(s[0].x, s[0].y + Line));
  // A CONTINUE whose first word does not fit moves whole, without its blank.
  EXPECT_EQ(Text_Of(s[2]), std::string(30, 'e'));
  EXPECT_EQ(TPoint(s[2].x, s[2].y), TPoint(s[0].x, s[1].y + Line));
}

TEST(Help_Layout, CircleEdgesNarrowTowardsTheTopAndBottom) {
  const TRect round(100, 50, 500, 1000);  // R = 200; the height is not used
  EXPECT_EQ(Help_Section::Right_Edge(round, 250), 500);
  EXPECT_EQ(Help_Section::Left_Edge(round, 250), 100);
  // d = 200 - 40 = 160, k = 120 (120 * 120 = 14400 = 40000 - 25600).
  EXPECT_EQ(Help_Section::Right_Edge(round, 90), 420);
  EXPECT_EQ(Help_Section::Left_Edge(round, 410), 180);
  for (int32_t outside : {50, 40, 450, 2000, INT32_MIN / 2}) EXPECT_EQ(Help_Section::Right_Edge(round, outside), 300);
}

TEST(Help_Layout, ButtonRowsForTheThreeKindsOfSection) {
  const int32_t w = 3 * U, c = (Box.left + Box.right) / 2, H = Box.Height();
  auto lefts = [](const Help_Section& s) {
    return std::array<int32_t, 4>{s.buttons[0].left, s.buttons[1].left, s.buttons[2].left, s.buttons[3].left};
  };
  const auto rect = Parse("PAGE 0\n");
  EXPECT_EQ(lefts(rect->section), (std::array<int32_t, 4>{c - 3 * w / 2 - 2 * w, c - 3 * w / 2 + 4 * w, c - 3 * w / 2,
                                                          c - 3 * w / 2 + 2 * w}));
  EXPECT_EQ(rect->section.buttons[0].top, Box.bottom - H / 24 - w);
  EXPECT_EQ(rect->section.counter_point, TPoint(Box.right - 2 * U, Box.top + U / 2));
  const auto round = Parse("PAGE 0\n", true);
  EXPECT_EQ(lefts(round->section), (std::array<int32_t, 4>{c - 5 * w / 4 - 3 * w / 2, c - 5 * w / 4 + 3 * w,
                                                           c - 5 * w / 4, c - 5 * w / 4 + 3 * w / 2}));
  EXPECT_EQ(round->section.buttons[0].top, Box.bottom - H / 16 - w);
  EXPECT_EQ(round->section.counter_point, TPoint(c, Box.bottom - 2 * U + 4));
  const auto single = Parse("PAGE 0\n", false, true);
  EXPECT_EQ(single->section.buttons[End_Place], TRect(c - w / 2, Box.bottom - H / 24 - w, c + w - w / 2, Box.bottom - H / 24));
  EXPECT_EQ(single->section.buttons[Review_Place], single->section.buttons[End_Place]);
  EXPECT_TRUE(single->section.buttons[Previous_Place].IsEmpty() && single->section.buttons[Next_Place].IsEmpty());
}

TEST(Help_Script_Sections, AreFoundUpToTheEndOrTheLastSlot) {
  const std::string script = "remark\r\nSECTION 0\r\nPAGE 0\r\nSECTION 1\r\nPAGE 0\r\nsection 2\r\nEND\r\nSECTION 3\r\n";
  Help_Section s[7];
  EXPECT_EQ(Help_Section::Scan(script.data(), script.data() + script.size(), s, 7), 3);
  EXPECT_EQ(std::string(s[0].body_begin, s[0].body_end), "PAGE 0\r\n");
  EXPECT_EQ(std::string(s[2].body_begin, s[2].body_end), "");
  // No END: the last section runs to the block's end; more sections than
  // slots: the rest are not read.
  const std::string open = "SECTION\nPAGE 0\nSECTION\nSECTION\nTEXT x";
  Help_Section two[2];
  EXPECT_EQ(Help_Section::Scan(open.data(), open.data() + open.size(), two, 2), 2);
  EXPECT_EQ(std::string(two[1].body_begin, two[1].body_end), "");
  EXPECT_EQ(Help_Section::Scan(open.data(), open.data() + open.size() - 6, two, 2), 2);
}

TEST(Help_Script_Faults, LinesWithoutTheirTextOrNumberAndBareLineEndsAreSafe) {
  const auto p = Parse("PAGE 0\nTITLE\nTEXT\nTEXT \"\nCONTINUE\nSHOW 3\nSHOW x label\nPAGE\nPAGE zz\n"
                       "JUMP\nURL\nTEXT a\nJUMP 99999999999\nARROW\n");
  const Help_Page& page = p->Page(0);
  ASSERT_EQ(p->section.Main_Count(), 1);
  ASSERT_EQ(page.strings.size(), 1u);
  EXPECT_EQ(Text_Of(page.strings[0]), "a");
  EXPECT_EQ(page.links.back().page, INT32_MAX) << "numbers are read within bounds";
  // Lines ended by LF alone keep their last character.
  Help_Section s;
  const std::string bare = "PAGE 0\nTEXT end";
  s.body_begin = bare.data();
  s.body_end = bare.data() + bare.size();
  s.Load(Context(), Box, false);
  EXPECT_EQ(Text_Of(s.Page(0)->strings[0]), "end");
  // A second load lays nothing out again.
  s.Load(Context(), TRect(0, 0, 10, 10), true);
  EXPECT_EQ(s.Page(0)->owner_area, Box);
}

}  // namespace

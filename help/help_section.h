// One section of the help script: the pages shown over one panel, read and
// laid out the first time the panel asks for them.
//
// The script is lines of text ended by CR LF. A line starting with one of
// the keywords (any case, compared over the keyword's length) adds to the
// current page; every other line is passed over:
//   PAGE n           a new page: main page when n >= 0, side page -2, -3, ...
//   TITLE text       the page's centred title
//   TEXT text        a new paragraph ("TEXT+" a new line of it)
//   CONTINUE text    more of the paragraph, right after the last run
//   SHOW n label     the "Show" picture and its label: demonstration n, or
//                    side page n when n is negative
//   JUMP n / URL t   the last run becomes a link to page n / to address t
//   ARROW side, x, y [EXCLUDE digits]   an arrow from the last run
//   SECTION / END    the section / the script ends
// The script is built in, but it is still read with care: every length is
// kept within its line, lines that need a page or a run that is not there
// are passed over, and numbers are read within their line.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "help/help_page.h"

// What laying out a section needs from the window that shows it.
struct Help_Layout_Context {
  int32_t u = 16;  // the unit of every help size
  int32_t L = 16;  // a plain line step
  // The rectangle the arrows' fractions are of: the layout the panels stand in.
  TRect arrow_frame;
  const TBitmap* show_picture = nullptr;
  bool single_button = false;
  // The extent of a run in the text font.
  std::function<TSize(const char* text, int32_t length)> measure;
  // A named settings value (the %Name% of a link target), or nothing.
  std::function<std::optional<std::string>(const std::string& name)> setting;
};

// The four buttons of a section, by their place in Help_Section::buttons.
enum Help_Button_Place { Previous_Place = 0, Next_Place = 1, End_Place = 2, Review_Place = 3 };

class Help_Section {
 public:
  static constexpr size_t History_Limit = 25;

  // Finds up to count sections in [begin, end): each starts after a SECTION
  // line; the last ends at the END line, or at end when there is none.
  static int Scan(const char* begin, const char* end, Help_Section* sections, int count);

  // Reads and lays out the section's pages for the owner area (help-window
  // coordinates); a section already loaded is left as it is.
  void Load(const Help_Layout_Context& context, const TRect& owner_area, bool round);

  // The page of that number, or null when there is none.
  const Help_Page* Page(int32_t number) const;
  const Help_Page* Current() const { return Page(current_page); }
  int32_t Main_Count() const { return int32_t(main_pages.size()); }

  // The right and left edges at height y of the circle of a round owner.
  static int32_t Right_Edge(const TRect& owner, int32_t y);
  static int32_t Left_Edge(const TRect& owner, int32_t y);

  std::vector<std::unique_ptr<Help_Page>> main_pages;
  const char* body_begin = nullptr;
  const char* body_end = nullptr;
  bool loaded = false;
  std::array<TRect, 4> buttons{};  // Previous Page, Next Page, End Help, Review
  TPoint counter_point;
  int32_t current_page = -1;
  std::deque<int32_t> history;
  std::vector<std::unique_ptr<Help_Page>> side_pages;

 private:
  class Parser;
  void Set_Frame(const Help_Layout_Context& context, const TRect& owner, bool round);
};

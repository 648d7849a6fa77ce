#include "help/help_section.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// Arrow tips further out than this are off every screen; keeping them here
// keeps the arithmetic of painting in range.
constexpr double Coordinate_Limit = 1 << 20;

// Whether the line [p, end) begins with the keyword, in any case.
bool Starts_With(const char* p, const char* end, const char* keyword) {
  const size_t n = std::strlen(keyword);
  return size_t(end - p) >= n && strncasecmp(p, keyword, n) == 0;
}

// From inside a word to the start of the next argument: past the word, then
// past every blank and comma after it.
const char* Next_Argument(const char* q, const char* end) {
  while (q < end && *q != ' ' && *q != ',' && *q != '\n') ++q;
  while (q < end && (*q == ' ' || *q == ',')) ++q;
  return q;
}

// The argument at q as a null-terminated copy, at most one token long.
std::string Token(const char* q, const char* end) {
  const char* e = q;
  while (e < end && e - q < 40 && *e != ' ' && *e != ',' && *e != '\r' && *e != '\n') ++e;
  return std::string(q, e);
}

std::optional<int32_t> Read_Integer(const char* q, const char* end) {
  const std::string token = Token(q, end);
  char* stop = nullptr;
  const long long value = std::strtoll(token.c_str(), &stop, 10);
  if (stop == token.c_str()) return std::nullopt;
  return int32_t(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::optional<double> Read_Fraction(const char* q, const char* end) {
  const std::string token = Token(q, end);
  char* stop = nullptr;
  const double value = std::strtod(token.c_str(), &stop);
  if (stop == token.c_str() || !std::isfinite(value)) return std::nullopt;
  return value;
}

int32_t Circle_Half_Chord(const TRect& owner, int32_t y) {
  const int64_t r = (int64_t{owner.right} - owner.left) >> 1;
  const int64_t d = r - (int64_t{y} - owner.top);
  const int64_t v = r * r - d * d;
  if (v < 1) return 0;
  int64_t k = int64_t(std::sqrt(double(v)));
  while (k * k > v) --k;
  while ((k + 1) * (k + 1) <= v) ++k;
  return int32_t(k);
}

}  // namespace

int32_t Help_Section::Right_Edge(const TRect& owner, int32_t y) {
  return owner.left + ((owner.right - owner.left) >> 1) + Circle_Half_Chord(owner, y);
}

int32_t Help_Section::Left_Edge(const TRect& owner, int32_t y) {
  return owner.left + ((owner.right - owner.left) >> 1) - Circle_Half_Chord(owner, y);
}

int Help_Section::Scan(const char* begin, const char* end, Help_Section* sections, int count) {
  int found = 0;
  for (const char* p = begin; p < end;) {
    const char* line_end = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
    const char* next = line_end ? line_end + 1 : end;
    if (!line_end) line_end = end;
    if (Starts_With(p, line_end, "SECTION")) {
      if (found > 0) sections[found - 1].body_end = p;
      if (found == count) return found;
      sections[found].body_begin = next;
      sections[found].body_end = end;
      ++found;
    } else if (Starts_With(p, line_end, "END")) {
      if (found > 0) sections[found - 1].body_end = p;
      return found;
    }
    p = next;
  }
  return found;
}

const Help_Page* Help_Section::Page(int32_t number) const {
  if (number >= 0) return size_t(number) < main_pages.size() ? main_pages[size_t(number)].get() : nullptr;
  if (number == -1) return nullptr;
  const int64_t index = -2 - int64_t{number};
  return uint64_t(index) < side_pages.size() ? side_pages[size_t(index)].get() : nullptr;
}

// The frame a section's pages are laid out in, and one pass over its lines.
class Help_Section::Parser {
 public:
  Parser(Help_Section& section, const Help_Layout_Context& context, const TRect& owner, bool round)
      : s(section), c(context), owner(owner), round(round) {
    const int32_t u = c.u;
    const int32_t W = owner.right - owner.left, H = owner.bottom - owner.top;
    const int32_t mid = (owner.left + owner.right) / 2;
    if (round) {
      title = {mid, owner.top + H / 12};
      text_left = owner.left + W / 8;
      text_top = owner.top + H / 12 + 3 * u;
      margin = H / 24;
    } else {
      title = {mid, owner.top + u};
      text_left = owner.left + W / 16;
      text_top = owner.top + 3 * u;
      margin = W / 16;
    }
  }

  void Run() {
    for (const char* p = s.body_begin; p && p < s.body_end;) {
      const char* line_end = static_cast<const char*>(std::memchr(p, '\n', size_t(s.body_end - p)));
      const char* next = line_end ? line_end + 1 : s.body_end;
      if (!line_end) line_end = s.body_end;
      // The CR before the LF is no part of a text; a line without one loses nothing.
      const char* text_end = (line_end > p && line_end[-1] == '\r') ? line_end - 1 : line_end;
      if (!Line(p, line_end, text_end)) return;
      p = next;
    }
  }

 private:
  enum class Kind { Text, Text_Plus, Continue };

  Help_Section& s;
  const Help_Layout_Context& c;
  TRect owner;
  bool round;
  TPoint title;
  int32_t text_left = 0, text_top = 0, margin = 0;

  Help_Page* page = nullptr;
  int32_t previous = -1;  // index of the previous run in page->strings
  bool first_item = true, has_title = false, after_show = false;

  int32_t Width(const Help_String& run) const { return c.measure(run.text, run.length).cx; }

  // False when the section ends here.
  bool Line(const char* p, const char* end, const char* text_end) {
    if (Starts_With(p, end, "PAGE")) return Page_Line(p, end), true;
    if (Starts_With(p, end, "TITLE")) return Title_Line(p, text_end), true;
    if (Starts_With(p, end, "TEXT"))
      return Text_Line(p + 4 < end && p[4] == '+' ? Kind::Text_Plus : Kind::Text, p, text_end), true;
    if (Starts_With(p, end, "CONTINUE")) return Text_Line(Kind::Continue, p, text_end), true;
    if (Starts_With(p, end, "SHOW")) return Show_Line(p, text_end), true;
    if (Starts_With(p, end, "ARROW")) return Arrow_Line(p, text_end), true;
    if (Starts_With(p, end, "JUMP")) return Jump_Line(p, text_end), true;
    if (Starts_With(p, end, "URL")) return Url_Line(p, text_end), true;
    return !Starts_With(p, end, "END") && !Starts_With(p, end, "SECTION");
  }

  void Page_Line(const char* p, const char* end) {
    const std::optional<int32_t> written = Read_Integer(Next_Argument(p, end), end);
    if (!written) return;
    const bool main = *written >= 0;
    // Pages are numbered by their order: main pages 0, 1, 2, ..., side pages
    // -2, -3, ..., whatever number the line gives, so every page is found
    // under its own number.
    const int32_t n = main ? int32_t(s.main_pages.size()) : -2 - int32_t(s.side_pages.size());
    if (main && !s.main_pages.empty())
      s.main_pages.back()->links.push_back({s.buttons[Next_Place], n, -1, std::nullopt});
    auto made = std::make_unique<Help_Page>();
    made->number = n;
    made->owner_area = owner;
    made->round = round;
    if (!(c.single_button && !main)) made->links.push_back({s.buttons[End_Place], -1, -1, std::nullopt});
    if (main && !s.main_pages.empty())
      made->links.push_back({s.buttons[Previous_Place], int32_t(s.main_pages.size()) - 1, -1, std::nullopt});
    page = made.get();
    (main ? s.main_pages : s.side_pages).push_back(std::move(made));
    previous = -1;
    first_item = true;
    has_title = false;
    after_show = false;
  }

  void Title_Line(const char* p, const char* text_end) {
    const char* text = Next_Argument(p, text_end);
    if (!page || text >= text_end) return;
    page->strings.push_back({text, int32_t(text_end - text), title.x, title.y, Help_Align_Centre_Top, Help_Title_Font});
    has_title = true;
  }

  int32_t First_Top() const { return !round && !has_title ? title.y : text_top; }

  void Text_Line(Kind kind, const char* p, const char* text_end) {
    const char* text = Next_Argument(p, text_end);
    if (!page || text >= text_end) return;
    if (kind == Kind::Continue) {
      // One word space before the run, unless it ends a sentence.
      if (*text != '.') --text;
    } else if (*text == '"') {
      ++text;
    }
    const int32_t length = int32_t(text_end - text);
    if (length <= 0) return;
    int32_t x = text_left, y = First_Top();
    if (!first_item && previous >= 0) {
      const Help_String& prev = page->strings[size_t(previous)];
      if (kind == Kind::Continue) {
        x = prev.x + Width(prev);
        y = prev.y;
      } else {
        y = prev.y + (kind == Kind::Text_Plus ? c.L : after_show ? 9 * c.u / 4 : 3 * c.u / 2);
      }
    }
    Place_Run(text, length, x, y);
    first_item = false;
    after_show = false;
  }

  // Adds the run at (x, y), wrapped once at the last blank that lets its
  // first part fit; the rest goes one line lower at the text's left side.
  void Place_Run(const char* text, int32_t length, int32_t x, int32_t y) {
    const int32_t limit = (round ? Right_Edge(owner, y) : owner.right) - margin;
    int32_t fitted = length;
    int32_t cut = -1;
    while (fitted > 0 && int64_t{x} + c.measure(text, fitted).cx > limit) {
      int32_t blank = fitted - 1;
      while (blank >= 0 && text[blank] != ' ') --blank;
      cut = std::max(blank, 0);
      fitted = std::max(blank, 0);
    }
    if (cut < 0) return Add_Run(text, length, x, y);
    if (fitted > 0) Add_Run(text, fitted, x, y);
    const char* rest = text + cut;
    const char* rest_end = text + length;
    if (rest < rest_end && *rest == ' ') ++rest;
    if (rest < rest_end && *rest == ' ') ++rest;
    if (rest < rest_end) Add_Run(rest, int32_t(rest_end - rest), text_left, y + c.L);
  }

  void Add_Run(const char* text, int32_t length, int32_t x, int32_t y) {
    page->strings.push_back({text, length, x, y, Help_Align_Left_Top, Help_Text_Font});
    previous = int32_t(page->strings.size()) - 1;
  }

  void Show_Line(const char* p, const char* text_end) {
    const char* arg = Next_Argument(p, text_end);
    const std::optional<int32_t> n = Read_Integer(arg, text_end);
    const char* label = Next_Argument(arg, text_end);
    if (!page || !n || label >= text_end) return;
    const int32_t u = c.u;
    int32_t top = First_Top();
    if (!first_item && previous >= 0)
      top = page->strings[size_t(previous)].y + (after_show ? 17 * u / 8 : 3 * u / 2);
    const TRect picture(text_left + u, top, text_left + 5 * u, top + 2 * u);
    page->bitmaps.push_back({c.show_picture, picture});
    Help_String run{label, int32_t(text_end - label), picture.right + u, (picture.top + picture.bottom - u) / 2,
                    Help_Align_Left_Top, Help_Link_Font};
    page->strings.push_back(run);
    previous = int32_t(page->strings.size()) - 1;
    const int32_t target_page = *n < 0 ? *n : -1, demonstration = *n < 0 ? -1 : *n;
    page->links.push_back({picture, target_page, demonstration, std::nullopt});
    page->links.push_back({Extent(run), target_page, demonstration, std::nullopt});
    first_item = false;
    after_show = true;
  }

  TRect Extent(const Help_String& run) const {
    const TSize size = c.measure(run.text, run.length);
    return TRect(run.x, run.y, run.x + size.cx, run.y + size.cy);
  }

  Help_String* Previous_Run() { return page && previous >= 0 ? &page->strings[size_t(previous)] : nullptr; }

  void Jump_Line(const char* p, const char* text_end) {
    const std::optional<int32_t> n = Read_Integer(Next_Argument(p, text_end), text_end);
    Help_String* run = Previous_Run();
    if (!run || !n) return;
    run->font = Help_Link_Font;
    page->links.push_back({Extent(*run), *n, -1, std::nullopt});
  }

  void Url_Line(const char* p, const char* text_end) {
    const char* text = Next_Argument(p, text_end);
    Help_String* run = Previous_Run();
    if (!run || text >= text_end) return;
    std::string target;
    if (*text == '%') {
      // %Name% names a settings value that the rest of the line follows.
      const char* name = text + 1;
      const char* close = name;
      while (close < text_end && close - name <= 30 && *close != '%') ++close;
      if (close >= text_end || *close != '%' || close - name > 30 || !c.setting) return;
      std::optional<std::string> value = c.setting(std::string(name, close));
      // With no value the link would point somewhere else entirely: the run
      // stays plain text.
      if (!value) return;
      if (value->size() > 255) value->resize(255);
      target = *value + std::string(close + 1, text_end);
    } else {
      target.assign(text, text_end);
    }
    run->font = Help_Link_Font;
    page->links.push_back({Extent(*run), -1, -1, std::move(target)});
  }

  void Arrow_Line(const char* p, const char* text_end) {
    const char* side = Next_Argument(p, text_end);
    const char* x_arg = Next_Argument(side, text_end);
    const char* y_arg = Next_Argument(x_arg, text_end);
    const std::optional<double> fx = Read_Fraction(x_arg, text_end), fy = Read_Fraction(y_arg, text_end);
    const Help_String* run = Previous_Run();
    if (!run || !fx || !fy) return;
    const int32_t u = c.u;
    Help_Arrow arrow;
    if (Starts_With(side, text_end, "LEFT")) {
      arrow.start = {run->x + (-u) / 4, run->y + u / 2};
      const int32_t edge = round ? Left_Edge(owner, arrow.start.y) : owner.left;
      arrow.elbow = {edge + u / 2, arrow.start.y};
    } else {
      arrow.start = {run->x + Width(*run) + u / 4, run->y + u / 2};
      const int32_t edge = round ? Right_Edge(owner, arrow.start.y) : owner.right;
      arrow.elbow = {edge - margin + u / 2, arrow.start.y};
    }
    const TRect& frame = c.arrow_frame;
    auto along = [](double f, int32_t from, int32_t size, int32_t otherwise) {
      if (f < 0) return otherwise;
      return from + int32_t(std::min(f * size, Coordinate_Limit));
    };
    arrow.tip = {along(*fx, frame.left, frame.right - frame.left, arrow.elbow.x),
                 along(*fy, frame.top, frame.bottom - frame.top, arrow.elbow.y)};
    const char* more = Next_Argument(y_arg, text_end);
    if (Starts_With(more, text_end, "EXCLUDE")) {
      for (const char* d = Next_Argument(more, text_end); d < text_end && *d >= '0' && *d <= '9'; ++d)
        if (*d >= '1' && *d <= '5') arrow.excluded_levels |= 1u << (*d - '1');
    }
    page->arrows.push_back(arrow);
  }
};

void Help_Section::Set_Frame(const Help_Layout_Context& context, const TRect& owner, bool round) {
  const int32_t u = context.u, w = 3 * u, h = 3 * u;
  const int32_t H = owner.bottom - owner.top;
  const int32_t mid = (owner.left + owner.right) / 2;
  const int32_t top = owner.bottom - (round ? H / 16 : H / 24) - h;
  counter_point = round ? TPoint(mid, owner.bottom - 2 * u + 4) : TPoint(owner.right - 2 * u, owner.top + u / 2);
  auto at = [&](int32_t left) { return TRect(left, top, left + w, top + h); };
  buttons = {};
  if (context.single_button) {
    buttons[End_Place] = buttons[Review_Place] = at(mid - w / 2);
    return;
  }
  const int32_t first = round ? mid - 5 * w / 4 : mid - 3 * w / 2;
  const int32_t step = round ? 3 * w / 2 : 2 * w;
  buttons[Previous_Place] = at(first - step);
  buttons[End_Place] = at(first);
  buttons[Review_Place] = at(first + step);
  buttons[Next_Place] = at(first + (round ? 3 * w : 4 * w));
}

void Help_Section::Load(const Help_Layout_Context& context, const TRect& owner_area, bool round) {
  if (loaded) return;
  loaded = true;
  current_page = 0;
  Set_Frame(context, owner_area, round);
  Parser(*this, context, owner_area, round).Run();
}

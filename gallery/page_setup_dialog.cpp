#include "gallery/page_setup_dialog.h"

#include <algorithm>
#include <cctype>

#include "gallery/drawing_printout.h"
#include "platform/gdi/code_page_1252.h"
#include "platform/window/button.h"
#include "platform/window/control_paint.h"
#include "platform/window/message_box.h"
#include "platform/window/static.h"
#include "platform/window/user.h"
#include "toolkit/gui_sizes.h"

namespace {

constexpr const char* Margin_Names[4] = {"Left", "Top", "Right", "Bottom"};

int32_t Hmm_To_Thousandths(int32_t hmm) { return int32_t(int64_t(hmm) * 1000 / 2540); }

// The row height of the dialog: a layout size, or a fixed one before the
// sizes exist (tests of the printer alone).
int Row() { return The_GUI_Sizes ? std::max(18, (*The_GUI_Sizes)[31]) : 24; }

int Text_Width(const std::string& text) { return Control_Paint::Text_Extent(Control_Paint::Ui_Font(), text).cx; }

// The text cut short with "..." where it is wider than width.
std::string Fitted(std::string text, int width) {
  if (Text_Width(text) <= width) return text;
  while (!text.empty() && Text_Width(text + "...") > width) text.pop_back();
  return text + "...";
}

bool Borderless(const TPrint_Media& m) { return !m.left && !m.bottom && !m.right && !m.top; }

// The server writes inches as "8.5 x 11 \"": the mark goes right after the
// number, as people write it.
std::string Inch_Marks_Joined(std::string text) {
  for (size_t quote = text.find('"'); quote != std::string::npos; quote = text.find('"', quote + 1)) {
    size_t blank = quote;
    while (blank > 0 && text[blank - 1] == ' ') --blank;
    if (blank == quote || blank == 0 || !std::isdigit(static_cast<unsigned char>(text[blank - 1]))) continue;
    text.erase(blank, quote - blank);
    quote = blank;
  }
  return text;
}

// A paper's name for people, in the program's code page (the server speaks
// UTF-8).
std::string Paper_Name(const TPrint_Media& m) {
  return Inch_Marks_Joined(Code_Page_1252_From_Utf8(m.label.empty() ? m.name : m.label));
}

constexpr const char* Landscape_Text = "(landscape)";

// The side of the drawings printed: the drawing square of the screen's
// layout, or the gallery's own without one.
int32_t Printed_Drawing_Side() { return The_GUI_Sizes ? (*The_GUI_Sizes)[Drawing_Side_Size] : 360; }

constexpr const char* Unit = " thousandths of an inch";

// Where the printout puts a drawing: the printable area, the page between
// the margins and the drawing, centred on it at its largest whole scale, in
// the printer's pixels from the top left of the printable area.
struct Landing {
  TRect printable, page, drawing;
};

Landing Landing_Of(const Printer::Print_Data& data, int32_t drawing_side) {
  Printer::Print_Data bare = data;
  bare.margins = TRect();
  const TRect page = Printer::Page_Of(data);
  return {Printer::Page_Of(bare), page,
          Drawing_Printout::Placement(page, Printer::Pixels_Per_Inch(data), TSize(drawing_side, drawing_side))};
}

// One way across the paper as it lies: its two margins (edges of a
// rectangle), and the paper's extent and the printer's own margins that
// way, in thousandths of an inch.
struct Way {
  const char *first, *second;
  const char *extent_name, *size_word;  // "width", "wide"
  int TRect::*edge_1;
  int TRect::*edge_2;
  int32_t extent, least_1, least_2;
};

// Whether the drawing lies whole within the printable area this way. A page
// of nothing between the margins prints nothing at all.
bool Whole(const Landing& l, const Way& w) {
  return l.page.*w.edge_1 < l.page.*w.edge_2 && l.drawing.*w.edge_1 >= l.printable.*w.edge_1 &&
         l.drawing.*w.edge_2 <= l.printable.*w.edge_2;
}

// A margin as it is taken: 0 prints from the edge the printer can reach.
int32_t Taken(int32_t margin, int32_t least) { return margin ? margin : least; }

// Where a margin is 0, what it stands for.
std::string Zero_Note(const Way& w, const TRect& margins) {
  const int32_t margin_1 = margins.*w.edge_1, margin_2 = margins.*w.edge_2;
  const int32_t least = margin_1 ? w.least_2 : w.least_1;
  if ((margin_1 && margin_2) || least <= 0) return std::string();
  return "\nA margin of 0 stands for the printer's own, " + std::to_string(least) + Unit + ".";
}

// What the margin that pushes the drawing off may be, the other margins
// kept: the values next below the one asked that keep it whole this way.
// The values are tried one by one, for the page's edges move by whole
// pixels and the drawing's scale with the page.
std::string Offer(const Printer::Print_Data& data, int32_t drawing_side, const Way& w, const Landing& l) {
  const TRect& margins = data.margins;
  // The drawing falls off beside one margin when the other pushes it
  // there; of margins that leave no page, the larger gives way.
  const int32_t taken_1 = Taken(margins.*w.edge_1, w.least_1), taken_2 = Taken(margins.*w.edge_2, w.least_2);
  bool first_pushes = l.drawing.*w.edge_2 > l.printable.*w.edge_2;
  if (l.page.*w.edge_1 >= l.page.*w.edge_2) first_pushes = taken_1 >= taken_2;
  int TRect::*const pushing = first_pushes ? w.edge_1 : w.edge_2;
  Printer::Print_Data tried = data;
  auto whole_with = [&](int32_t value) {
    tried.margins.*pushing = value;
    return Whole(Landing_Of(tried, drawing_side), w);
  };
  int32_t high = std::min(margins.*pushing - 1, Page_Setup_Dialog::Largest_Margin);
  while (high >= 0 && !whole_with(high)) --high;
  // Margins of 0 both leave the page the printable area, which holds it.
  if (high < 0) return std::string("\n") + w.first + " and " + w.second + " margins of 0 leave it room.";
  int32_t low = high;
  while (low > 0 && whole_with(low - 1)) --low;
  const std::string range = low > 0 ? "from " + std::to_string(low) + " to " : high ? "at most " : "";
  return std::string("\nWith the ") + (first_pushes ? w.second : w.first) + " margin at " +
         std::to_string(margins.*(first_pushes ? w.edge_2 : w.edge_1)) + ", the " +
         (first_pushes ? w.first : w.second) + " margin may be " + range + std::to_string(high) + Unit + ".";
}

// Why the drawing, as the printout places it, does not lie whole within
// the printable area this way. Each sentence after the first goes on a line
// of its own, as in every box that says what to do, so that the box stays
// a readable width on a wide screen.
std::string Refusal_On(const Printer::Print_Data& data, int32_t drawing_side, const Way& w, const Landing& l,
                       int32_t dpi) {
  const TRect at_own_size = Drawing_Printout::Placement(TRect(), Printer::Pixels_Per_Inch(data),
                                                        TSize(drawing_side, drawing_side));
  const int32_t drawing = at_own_size.*w.edge_2 - at_own_size.*w.edge_1;
  const int32_t printable = l.printable.*w.edge_2 - l.printable.*w.edge_1;
  if (printable < drawing)
    return "The drawing prints " + std::to_string((int64_t(drawing) * 1000 + dpi - 1) / dpi) + Unit + " " +
           w.size_word + ", more than the " + std::to_string(int64_t(printable) * 1000 / dpi) +
           " this paper can print.\nChoose a larger paper or turn it.";
  const TRect& margins = data.margins;
  const std::string pair = std::string(w.first) + " and " + w.second + " margins";
  std::string why;
  if (Taken(margins.*w.edge_1, w.least_1) + Taken(margins.*w.edge_2, w.least_2) >= w.extent)
    why = "The " + pair + " must come to less than " + std::to_string(w.extent) + Unit + ", the " + w.extent_name +
          " of the paper.";
  else if (l.page.*w.edge_1 >= l.page.*w.edge_2)  // by less than the printer's pixel
    why = "The " + pair + " leave no room between them.";
  else
    why = "The drawing is printed in the middle between the " + pair +
          ".\nThese put part of it where the printer cannot print.";
  return why + Offer(data, drawing_side, w, l) + Zero_Note(w, margins);
}

}  // namespace

Page_Setup_Dialog::Page_Setup_Dialog(TWindow* owner, TPrint_Service& service_, const Printer::Print_Data& data)
    : TDialog(owner, "Page Setup"), service(service_), result(data), orientation(data.orientation) {
  names = service.Printer_Names();
  const auto found = std::find(names.begin(), names.end(), data.device.name);
  if (data.error != PDERR_NODEFAULTPRN && found != names.end()) printer = int(found - names.begin());
  else if (!names.empty()) printer = 0;
  Load_Papers();

  const int u = Row();
  Attr.Style = WS_POPUP | WS_CAPTION | WS_BORDER;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const int label = 5 * u, arrow = u + u / 2;
  // The names shown fit their fields: the fields grow with the widest name
  // of the papers and printers at hand, as far as the screen allows; a name
  // still wider (another printer's paper) is cut short.
  int widest = 0;
  for (const std::string& name : names) widest = std::max(widest, Text_Width(Code_Page_1252_From_Utf8(name)));
  for (const TPrint_Media& m : papers) widest = std::max(widest, Text_Width(Paper_Name(m)));
  const int fixed = label + 2 * arrow + 2 * u;
  const int w = std::clamp(widest + u / 2 + fixed, 18 * u, std::max(18 * u, std::min(32 * u, sw - u)));
  value_w = w - fixed;
  orientation_w = std::max(3 * u, Text_Width(Landscape_Text) + u / 2);
  Attr.Set_Rect(TRect((sw - w) / 2, (sh - 12 * u) / 2, (sw + w) / 2, (sh + 12 * u) / 2));

  auto row = [&](int r) { return u / 2 + r * (u + u / 2); };
  // Text beside buttons stands on their middle, however tall a row is.
  auto beside = [&](const char* text, int x, int y, int width) {
    auto* field = new TStatic(this, -1, text, x, y, width, u);
    field->Attr.Style |= SS_CENTERIMAGE;
    return field;
  };
  beside("Printer:", u / 2, row(0), label);
  new TButton(this, Printer_Back_Id, "<", u / 2 + label, row(0), arrow, u);
  printer_text = beside("", u / 2 + label + arrow + u / 2, row(0), value_w);
  new TButton(this, Printer_Next_Id, ">", w - u - arrow, row(0), arrow, u);
  beside("Paper:", u / 2, row(1), label);
  new TButton(this, Paper_Back_Id, "<", u / 2 + label, row(1), arrow, u);
  paper_text = beside("", u / 2 + label + arrow + u / 2, row(1), value_w);
  new TButton(this, Paper_Next_Id, ">", w - u - arrow, row(1), arrow, u);
  beside("Orientation:", u / 2, row(2), label);
  new TButton(this, Portrait_Id, "Portrait", u / 2 + label, row(2), 4 * u, u);
  new TButton(this, Landscape_Id, "Landscape", u / 2 + label + 4 * u + u / 2, row(2), 4 * u, u);
  orientation_text = beside("", u / 2 + label + 9 * u, row(2), orientation_w);
  new TStatic(this, -1, "Margins (1/1000 inch):", u / 2, row(3), w - u, u);
  for (int i = 0; i < 4; ++i) {
    const int x = u / 2 + i * (w - u) / 4;
    new TStatic(this, -1, Margin_Names[i], x, row(4), 3 * u, u);
    const int32_t value = i == 0 ? data.margins.left : i == 1 ? data.margins.top : i == 2 ? data.margins.right
                                                                                         : data.margins.bottom;
    margin_fields[size_t(i)] = new Number_Edit<int32_t>(this, First_Margin_Id + i, TRect(x, row(5), x + 3 * u, row(5) + u),
                                                        value, 0, Largest_Margin, nullptr, 0, 0);
  }
  new TButton(this, IDOK, "OK", w / 2 - 5 * u, row(6) + u / 2, 4 * u, u, true);
  new TButton(this, IDCANCEL, "Cancel", w / 2 + u, row(6) + u / 2, 4 * u, u);
}

void Page_Setup_Dialog::Load_Papers() {
  papers.clear();
  paper = -1;
  if (printer < 0) return;
  const std::string& name = names[size_t(printer)];
  papers = Ordinary_Papers(service.Media(name));
  // The printer in use keeps the paper chosen for it; any other starts on
  // its own default paper, which is printed on as the printer's own when it
  // is not among those offered.
  if (result.error != PDERR_NODEFAULTPRN && name == result.device.name) paper = Paper_Like(result.device.media);
  if (paper >= 0) return;
  TPrinter_Description device;
  if (service.Describe(name, device)) paper = Paper_Like(device.media);
  else if (!papers.empty()) paper = 0;
}

int Page_Setup_Dialog::Paper_Like(const TPrint_Media& wanted) const {
  auto index = [&](auto same) {
    const auto found = std::find_if(papers.begin(), papers.end(), same);
    return found == papers.end() ? -1 : int(found - papers.begin());
  };
  // By name, or by size: a borderless paper whose twin with margins is
  // offered in its place.
  const int named = index([&](const TPrint_Media& m) { return m.name == wanted.name; });
  if (named >= 0) return named;
  return index([&](const TPrint_Media& m) { return m.width == wanted.width && m.length == wanted.length; });
}

std::vector<TPrint_Media> Page_Setup_Dialog::Ordinary_Papers(const std::vector<TPrint_Media>& offered) {
  // A paper without margins that the printer also offers with margins is
  // its borderless twin: the ordinary one is offered, and the twin would
  // only hide it in a long list.
  std::vector<TPrint_Media> kept;
  for (const TPrint_Media& m : offered) {
    const bool twin = Borderless(m) && std::any_of(offered.begin(), offered.end(), [&](const TPrint_Media& o) {
                        return !Borderless(o) && o.width == m.width && o.length == m.length;
                      });
    if (!twin) kept.push_back(m);
  }
  return kept;
}

void Page_Setup_Dialog::SetupWindow() {
  TDialog::SetupWindow();
  Show_Choices();
}

void Page_Setup_Dialog::Show_Choices() {
  if (!printer_text || !printer_text->IsWindow()) return;
  const int room = value_w - 2;
  printer_text->SetText(
      printer < 0 ? std::string("Undefined") : Fitted(Code_Page_1252_From_Utf8(names[size_t(printer)]), room));
  if (paper < 0) paper_text->SetText(printer < 0 ? "" : "Printer's own");
  else paper_text->SetText(Fitted(Paper_Name(papers[size_t(paper)]), room));
  orientation_text->SetText(orientation == DMORIENT_LANDSCAPE ? Landscape_Text : "(portrait)");
}

void Page_Setup_Dialog::Step_Printer(int step) {
  if (names.empty()) return;
  const int count = int(names.size());
  printer = ((printer < 0 ? 0 : printer) + step % count + count) % count;
  Load_Papers();
  Show_Choices();
}

void Page_Setup_Dialog::Step_Paper(int step) {
  if (papers.empty()) return;
  const int count = int(papers.size());
  paper = ((paper < 0 ? 0 : paper) + step % count + count) % count;
  Show_Choices();
}

void Page_Setup_Dialog::Set_Orientation(int16_t value) {
  orientation = value;
  Show_Choices();
}

LRESULT Page_Setup_Dialog::EvCommand(UINT id, HWND control, UINT notify_code) {
  if (notify_code == 0) {
    switch (int(id)) {
      case Printer_Back_Id: Step_Printer(-1); return 0;
      case Printer_Next_Id: Step_Printer(1); return 0;
      case Paper_Back_Id: Step_Paper(-1); return 0;
      case Paper_Next_Id: Step_Paper(1); return 0;
      case Portrait_Id: Set_Orientation(DMORIENT_PORTRAIT); return 0;
      case Landscape_Id: Set_Orientation(DMORIENT_LANDSCAPE); return 0;
      default: break;
    }
  }
  return TDialog::EvCommand(id, control, notify_code);
}

std::string Page_Setup_Dialog::No_Room_Refusal(const Printer::Print_Data& data, int32_t drawing_side) {
  const TPoint ppi = Printer::Pixels_Per_Inch(data);
  if (ppi.x <= 0 || ppi.y <= 0) return std::string();  // a printer without a resolution: nothing to judge by
  // The paper as it lies: landscape turns the sheet and its own margins.
  const TPrint_Media& m = data.device.media;
  const bool landscape = data.orientation == DMORIENT_LANDSCAPE;
  const TRect own = Printer::Own_Margins(data);
  const Way across{"Left", "Right", "width", "wide", &TRect::left, &TRect::right,
                   Hmm_To_Thousandths(landscape ? m.length : m.width), own.left, own.right};
  const Way down{"Top", "Bottom", "height", "tall", &TRect::top, &TRect::bottom,
                 Hmm_To_Thousandths(landscape ? m.width : m.length), own.top, own.bottom};
  const Landing landing = Landing_Of(data, drawing_side);
  if (!Whole(landing, across)) return Refusal_On(data, drawing_side, across, landing, ppi.x);
  if (!Whole(landing, down)) return Refusal_On(data, drawing_side, down, landing, ppi.y);
  return std::string();
}

void Page_Setup_Dialog::CmOk() {
  std::array<int32_t, 4> margins{};
  for (size_t i = 0; i < 4; ++i) {
    if (!margin_fields[i]->Get_Value(margins[i]) || margins[i] < 0 || margins[i] > Largest_Margin) {
      ::MessageBox(GetHandle(),
                   std::string("The ") + Margin_Names[i] + " margin must be a number from 0 to 20000" + Unit + ".",
                   "Page Setup", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
  }
  Printer::Print_Data chosen = result;
  if (printer >= 0) {
    TPrinter_Description device;
    if (!service.Describe(names[size_t(printer)], device)) {
      ::MessageBox(GetHandle(), "The printer " + names[size_t(printer)] + " does not answer.", "Page Setup",
                   MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    if (paper >= 0) device.media = papers[size_t(paper)];
    chosen.device = device;
    chosen.error = 0;
    const TPrint_Media& m = device.media;
    chosen.minimum_margins = TRect(Hmm_To_Thousandths(m.left), Hmm_To_Thousandths(m.top),
                                   Hmm_To_Thousandths(m.right), Hmm_To_Thousandths(m.bottom));
    chosen.paper_size = TSize(Hmm_To_Thousandths(m.width), Hmm_To_Thousandths(m.length));
    chosen.page_setup = true;
    chosen.page_setup_flags |= PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
    chosen.orientation = orientation;
  }
  chosen.margins = TRect(margins[0], margins[1], margins[2], margins[3]);
  if (printer >= 0) {
    const std::string refusal = No_Room_Refusal(chosen, Printed_Drawing_Side());
    if (!refusal.empty()) {
      ::MessageBox(GetHandle(), refusal, "Page Setup", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
  }
  result = chosen;
  TDialog::CmOk();
}

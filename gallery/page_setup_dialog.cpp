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

// The two margins across one way of the paper as it lies, and what lies
// between them.
struct Way {
  const char *first, *second;
  const char *extent_name, *size_word;  // "width", "wide"
  int32_t extent;                       // the paper's, in thousandths of an inch
  int32_t margin_1, least_1, margin_2, least_2;  // the margins and the printer's own
  // In the printer's pixels: the page between the margins, the printable
  // area, and the drawing printed at its own size.
  int32_t room, printable, drawing;
  int32_t dpi;
};

// Where a margin is 0, what it stands for.
std::string Zero_Note(const Way& w) {
  const int32_t least = w.margin_1 ? w.least_2 : w.least_1;
  if ((w.margin_1 && w.margin_2) || least <= 0) return std::string();
  return " A margin of 0 stands for the printer's own, " + std::to_string(least) + ".";
}

// Why the margins leave the drawing no room (empty when they leave some).
// A margin of 0 prints from the edge the printer can reach, its own margin
// there.
std::string No_Room_On(const Way& w) {
  const int32_t taken_1 = w.margin_1 ? w.margin_1 : w.least_1, taken_2 = w.margin_2 ? w.margin_2 : w.least_2;
  if (w.extent <= 0 || taken_1 + taken_2 < w.extent) return std::string();
  return std::string("The ") + w.first + " and " + w.second + " margins must come to less than " +
         std::to_string(w.extent) + ", the " + w.extent_name + " of the paper." + Zero_Note(w);
}

// Why the margins leave less room than the drawing takes at its own size
// (empty when it fits): the drawing, centred between them, would print
// over them and, beside a narrow one, off the paper.
std::string Too_Little_Room_On(const Way& w) {
  if (w.dpi <= 0 || w.room >= w.drawing) return std::string();
  const int64_t drawing = (int64_t(w.drawing) * 1000 + w.dpi - 1) / w.dpi;  // thousandths, rounded up
  if (w.printable < w.drawing)
    return "The drawing prints " + std::to_string(drawing) + " " + w.size_word + ", more than the " +
           std::to_string(int64_t(w.printable) * 1000 / w.dpi) + " this paper can print: choose a larger paper" +
           " or turn it.";
  // Each margin's edge moves by whole pixels, cut toward the paper's edge;
  // a margin under the printer's own moves its edge outward by less than it
  // asks, so that two margins of a total within this leave the room whole.
  const int64_t spare = int64_t(w.printable - w.drawing) * 1000 / w.dpi;
  return std::string("The ") + w.first + " and " + w.second + " margins leave the drawing too little room: it prints " +
         std::to_string(drawing) + " " + w.size_word + ". " + w.first + " and " + w.second +
         " margins that come to at most " + std::to_string(w.least_1 + w.least_2 + spare) + " leave it room." +
         Zero_Note(w);
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
  // The paper as it lies: landscape turns the sheet and its own margins.
  const TPrint_Media& m = data.device.media;
  const bool landscape = data.orientation == DMORIENT_LANDSCAPE;
  const int32_t width = Hmm_To_Thousandths(landscape ? m.length : m.width);
  const int32_t height = Hmm_To_Thousandths(landscape ? m.width : m.length);
  const int32_t least_left = Hmm_To_Thousandths(landscape ? m.top : m.left);
  const int32_t least_top = Hmm_To_Thousandths(landscape ? m.right : m.top);
  const int32_t least_right = Hmm_To_Thousandths(landscape ? m.bottom : m.right);
  const int32_t least_bottom = Hmm_To_Thousandths(landscape ? m.left : m.bottom);
  const TRect& margins = data.margins;
  // The page as a job would print it, and the drawing at its smallest.
  Printer::Print_Data bare = data;
  bare.margins = TRect();
  const TRect printable = Printer::Page_Of(bare), page = Printer::Page_Of(data);
  const TPoint ppi = Printer::Pixels_Per_Inch(data);
  const TRect drawing = Drawing_Printout::Placement(TRect(), ppi, TSize(drawing_side, drawing_side));
  const Way across{"Left",        "Right",          "width",         "wide",      width,
                   margins.left,  least_left,       margins.right,   least_right,
                   page.Width(),  printable.Width(), drawing.Width(), ppi.x};
  const Way down{"Top",          "Bottom",           "height",         "tall",       height,
                 margins.top,    least_top,          margins.bottom,   least_bottom,
                 page.Height(),  printable.Height(), drawing.Height(), ppi.y};
  for (const Way* way : {&across, &down}) {
    std::string why = No_Room_On(*way);
    if (why.empty()) why = Too_Little_Room_On(*way);
    if (!why.empty()) return why;
  }
  return std::string();
}

void Page_Setup_Dialog::CmOk() {
  std::array<int32_t, 4> margins{};
  for (size_t i = 0; i < 4; ++i) {
    if (!margin_fields[i]->Get_Value(margins[i]) || margins[i] < 0 || margins[i] > Largest_Margin) {
      ::MessageBox(GetHandle(), std::string("The ") + Margin_Names[i] + " margin must be a number from 0 to 20000.",
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

#include "gallery/page_setup_dialog.h"

#include "gallery/drawing_printout.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <thread>

#include "platform/window/control_paint.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/edit.h"
#include "platform/window/message_box.h"
#include "platform/window/static.h"
#include "tests/gallery/printer_fakes.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

// Two printers with letter and A4 paper, letter the default.
struct Page_Setup_Service : Fake_Print_Service {
  Page_Setup_Service() {
    TPrint_Media letter{"na_letter_8.5x11in", "US Letter", 21590, 27940, 635, 635, 635, 635};
    TPrint_Media a4{"iso_a4_210x297mm", "A4", 21000, 29700, 423, 423, 423, 423};
    papers = {letter, a4};
    printer.media = letter;
  }
  // Each printer's own default paper, where it is not letter.
  bool Describe(const std::string& name, TPrinter_Description& out) override {
    if (!Fake_Print_Service::Describe(name, out)) return false;
    if (const auto own = defaults.find(name); own != defaults.end()) out.media = own->second;
    return true;
  }
  std::map<std::string, TPrint_Media> defaults;
};

class Page_Setup_Test : public testing::Test, public Widget_Stage {
 protected:
  Page_Setup_Test() : Widget_Stage(1024) { printer.Settle(); }
  void TearDown() override { EXPECT_EQ(service.calls_on_interface_thread, 0); }
  Page_Setup_Dialog* Dialog() { return dynamic_cast<Page_Setup_Dialog*>(TWindow::From_Handle(GetActiveWindow())); }

  Page_Setup_Service service;
  Message_Box_Catcher catcher;
  Printer printer{&service};
};

TEST_F(Page_Setup_Test, OkTakesPrinterPaperOrientationAndMarginsCancelChangesNothing) {
  Later(10, [&] {
    Page_Setup_Dialog* d = Dialog();
    ASSERT_NE(d, nullptr);
    session.Snapshot("page_setup_dialog", d->GetWindowRect());
    d->SendMessage(WM_COMMAND, Page_Setup_Dialog::Printer_Next_Id);
    d->SendMessage(WM_COMMAND, Page_Setup_Dialog::Paper_Next_Id);
    d->SendMessage(WM_COMMAND, Page_Setup_Dialog::Landscape_Id);
    d->Margin_Field(0)->SetText("1000");
    d->Margin_Field(3)->SetText("0");
    session.Backend().Key(VK_RETURN);  // the keyboard is on OK
  });
  printer.Setup(parent);
  const Printer::Print_Data& data = printer.Data();
  EXPECT_EQ(data.device.name, "Hall");
  EXPECT_EQ(data.device.media.name, "iso_a4_210x297mm");
  EXPECT_EQ(data.orientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(data.margins, TRect(1000, 1500, 1500, 0));
  EXPECT_EQ(data.minimum_margins, TRect(166, 166, 166, 166));  // 4.23 mm in thousandths of an inch
  EXPECT_EQ(data.paper_size, TSize(8267, 11692));

  Later(10, [&] {
    Page_Setup_Dialog* d = Dialog();
    ASSERT_NE(d, nullptr);
    d->SendMessage(WM_COMMAND, Page_Setup_Dialog::Printer_Next_Id);
    d->Margin_Field(1)->SetText("3");
    d->SendMessage(WM_COMMAND, IDCANCEL);
  });
  printer.Setup(parent);
  EXPECT_EQ(printer.Data().device.name, "Hall");
  EXPECT_EQ(printer.Data().margins, TRect(1000, 1500, 1500, 0));
}

TEST_F(Page_Setup_Test, EachPrinterStartsOnItsOwnDefaultPaperAndThePrinterInUseOnThePaperChosen) {
  // Hall's default is A4 without margins, offered only with them; the
  // Attic's is a paper it does not offer.
  service.names = {"Office", "Hall", "Attic"};
  service.defaults["Hall"] = {"iso_a4_210x297mm_borderless", "A4 (Borderless)", 21000, 29700, 0, 0, 0, 0};
  // The Attic's photo paper is narrower than the drawing between margins of
  // 1.5 inch, which centred still lies whole on it.
  service.defaults["Attic"] = {"custom_100x150mm", "100 x 150 mm", 10000, 15000, 300, 300, 300, 300};
  struct Step {
    int printer_step, paper_step;
    const char* shown;
  };
  // Each Setup: the steps taken, then OK (true) or Cancel, then the printer
  // and the paper of the print data.
  struct Session {
    std::vector<Step> steps;
    bool ok;
    const char *printer, *paper;
  };
  const Session sessions[] = {
      {{{0, 0, "US Letter"}, {0, 1, "A4"}, {1, 0, "A4"}, {1, 0, "Printer's own"}}, true, "Attic", "custom_100x150mm"},
      {{{0, 0, "Printer's own"}, {1, 0, "US Letter"}, {1, 0, "A4"}, {0, 1, "US Letter"}}, true, "Hall",
       "na_letter_8.5x11in"},
      {{{0, 0, "US Letter"}, {1, 0, "Printer's own"}, {-1, 0, "US Letter"}, {-1, 0, "US Letter"}}, false, "Hall",
       "na_letter_8.5x11in"},
  };
  for (const Session& run : sessions) {
    Later(10, [&] {
      Page_Setup_Dialog* d = Dialog();
      ASSERT_NE(d, nullptr);
      for (const Step& step : run.steps) {
        if (step.printer_step) d->Step_Printer(step.printer_step);
        if (step.paper_step) d->Step_Paper(step.paper_step);
        EXPECT_EQ(d->Paper_Field()->Title(), step.shown) << "on " << d->Printer_Field()->Title();
      }
      d->SendMessage(WM_COMMAND, run.ok ? IDOK : IDCANCEL);
      // Refused, it is still there to be cancelled.
      if (!catcher.boxes.empty()) {
        ADD_FAILURE() << catcher.boxes[0];
        d->SendMessage(WM_COMMAND, IDCANCEL);
      }
    });
    printer.Setup(parent);
    EXPECT_EQ(printer.Data().device.name, run.printer);
    EXPECT_EQ(printer.Data().device.media.name, run.paper);
  }
}

namespace {

// Runs a step on the interface thread from another thread, through the
// queue: the wait for the printers moves no clock that a timer would need.
std::function<void()> the_step;
void Run_The_Step(HWND, UINT, UINT, uint32_t) { the_step(); }

// Takes a click and a key, and counts them.
struct Counting_Window : TWindow {
  explicit Counting_Window(TWindow* parent) : TWindow(parent, "Owner") { Attr.Set_Rect(TRect(0, 0, 300, 200)); }
  void EvLButtonDown(UINT, const TPoint&) override { ++inputs; }
  void EvKeyDown(UINT, UINT, UINT) override { ++inputs; }
  int inputs = 0;
};

}  // namespace

// While the printers are asked after, nothing takes input and the pointer
// shows the watch; then the dialog comes only for an owner still shown and
// when a printer answered, else the person is told.
TEST_F(Page_Setup_Test, TheWaitForPrintersHoldsInputAndItsAnswerGoesOnlyToAnOwnerStillThere) {
  struct Case {
    const char* name;
    std::vector<std::string> printers;
    bool owner_goes;
    bool dialog;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"printers answer", {"Office", "Hall"}, false, true, {}},
      {"owner hidden meanwhile", {"Office", "Hall"}, true, false, {}},
      {"no printer answers", {}, false, false, {"Page Setup: No printer answers, so the page cannot be set up now."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* owner = new Counting_Window(parent);
    ASSERT_TRUE(owner->Create());
    owner->SetFocus();
    Idle();
    service.names = c.printers;
    service.hold_names = true;
    const int asked = service.names_entered;
    bool watch = false, dialog = false;
    the_step = [&] {
      watch = TDesktop::Current().Cursor() == &TCursor::Wait();
      Click(TPoint(50, 50));
      session.Backend().Key(VK_SPACE);
      TDesktop::Current().Pump_Waiting_Messages();
      if (c.owner_goes) owner->ShowWindow(SW_HIDE);
      service.hold_names = false;
    };
    std::thread asker([&] {
      if (Fake_Print_Service::Reached(service.names_entered, asked + 1))
        TDesktop::Current().Post(HWND(), WM_TIMER, 0, reinterpret_cast<LPARAM>(&Run_The_Step));
    });
    Later(10, [&] {
      dialog = Dialog() != nullptr;
      if (dialog) Dialog()->SendMessage(WM_COMMAND, IDCANCEL);
    });
    printer.Setup(owner);
    asker.join();
    Later_Steps().clear();
    EXPECT_TRUE(watch);
    EXPECT_EQ(owner->inputs, 0) << "a click or a key went past the wait";
    EXPECT_EQ(dialog, c.dialog);
    EXPECT_EQ(catcher.boxes, c.boxes);
    catcher.boxes.clear();
    owner->Destroy();
    delete owner;
  }
}

TEST_F(Page_Setup_Test, MarginThatIsNoNumberIsRefusedWithAMessage) {
  Later(10, [&] {
    Page_Setup_Dialog* d = Dialog();
    ASSERT_NE(d, nullptr);
    d->Margin_Field(2)->SetText("lots");
    d->SendMessage(WM_COMMAND, IDOK);
    EXPECT_TRUE(d->IsModal());  // still open
    d->SendMessage(WM_COMMAND, IDCANCEL);
  });
  printer.Setup(parent);
  ASSERT_EQ(catcher.boxes.size(), 1u);
  EXPECT_EQ(catcher.boxes[0], "Page Setup: The Right margin must be a number from 0 to 20000 thousandths of an inch.");
  EXPECT_EQ(printer.Data().margins, TRect(1500, 1500, 1500, 1500));
}

// Margins that meet or pass across the paper as it lies would print a
// blank page, and margins between which the drawing, centred at its own
// size, would reach past what the printer can print leave part of it off:
// they are refused, saying how far a margin may go, and the dialog stays
// open. A drawing narrower than the page between them is taken wherever it
// lies whole within the printable area. At 600 dpi A4 prints 4760 by 6815
// pixels and has its own margins of 166 thousandths of an inch (99 pixels),
// US Letter 4800 by 6300 with 250; the drawing is 576 pixels square.
TEST_F(Page_Setup_Test, MarginsThatLeaveTheDrawingNoRoomAreRefusedWithAMessage) {
  // A photo paper whose printer keeps more of its top and bottom edges than
  // of its sides (in hundredths of mm: left, bottom, right, top). Turned,
  // its top is the page's left: 196 thousandths, the bottom on the right
  // 472; 3141 by 2220 pixels.
  service.papers.push_back({"custom_100x150mm", "100 x 150 mm", 10000, 15000, 300, 1200, 300, 500});
  const std::string unit = " thousandths of an inch";
  auto across = [&](const char* width) {
    return "Page Setup: The Left and Right margins must come to less than " + std::string(width) + unit +
           ", the width of the paper.";
  };
  auto down = [&](const char* height) {
    return "Page Setup: The Top and Bottom margins must come to less than " + std::string(height) + unit +
           ", the height of the paper.";
  };
  auto off = [](const char* first, const char* second) {
    return std::string("Page Setup: The drawing is printed in the middle between the ") + first + " and " + second +
           " margins.\nThese put part of it where the printer cannot print.";
  };
  auto offer = [&](const char* kept, const char* at, const char* changed, const char* range) {
    return std::string("\nWith the ") + kept + " margin at " + at + ", the " + changed + " margin may be " + range +
           unit + ".";
  };
  auto own = [&](const char* least) { return "\nA margin of 0 stands for the printer's own, " + std::string(least) + unit + "."; };
  const std::string across_a4 = across("8267"), down_a4 = down("11692");
  const std::string across_letter = across("8500"), down_letter = down("11000");
  struct Case {
    const char* paper;
    bool landscape;
    TRect margins;        // left, top, right, bottom
    std::string refusal;  // empty: taken
  };
  const Case cases[] = {
      // A Right margin under the printer's own widens the page past what it
      // prints, and the drawing, larger on it, reaches past that too.
      {"A4", false, {4133, 1500, 4134, 1500}, across_a4 + offer("Left", "4133", "Right", "from 37 to 4132")},
      {"A4", false, {9000, 1500, 9000, 1500}, across_a4 + "\nLeft and Right margins of 0 leave it room."},
      {"A4", false, {4133, 1500, 4132, 1500}, ""},
      {"A4", false, {1500, 5846, 1500, 5846}, down_a4 + offer("Bottom", "5846", "Top", "at most 5844")},
      {"A4", false, {1500, 0, 1500, 11526}, down_a4 + offer("Top", "0", "Bottom", "at most 10565") + own("166")},
      // The page between them, 575 pixels tall, holds the drawing but for
      // a pixel that lies on the margin.
      {"A4", false, {1500, 9233, 1500, 1500}, ""},
      // Less than a pixel of page is left, though they come to less than the height.
      {"A4", false, {1500, 10190, 1500, 1500}, ""},
      {"A4", false, {1500, 10191, 1500, 1500},
       "Page Setup: The Top and Bottom margins leave no room between them." +
           offer("Bottom", "1500", "Top", "at most 10190")},
      {"A4", false, {0, 1500, 7140, 1500}, ""},
      {"A4", false, {0, 1500, 7141, 1500}, off("Left", "Right") + offer("Left", "0", "Right", "at most 7140") + own("166")},
      {"A4", false, {0, 1500, 8000, 1500}, off("Left", "Right") + offer("Left", "0", "Right", "at most 7140") + own("166")},
      {"A4", false, {0, 1500, 8101, 1500}, across_a4 + offer("Left", "0", "Right", "at most 7140") + own("166")},
      // Centred by halving toward the left, the drawing on a page a pixel
      // narrower than itself overhangs the left by that pixel.
      {"US Letter", false, {7293, 1500, 0, 1500}, ""},
      {"US Letter", false, {7294, 1500, 0, 1500},
       off("Left", "Right") + offer("Right", "0", "Left", "at most 7293") + own("250")},
      {"US Letter", false, {0, 1500, 7291, 1500}, ""},
      {"US Letter", false, {0, 1500, 7292, 1500},
       off("Left", "Right") + offer("Left", "0", "Right", "at most 7291") + own("250")},
      {"US Letter", false, {4250, 1500, 4250, 1500}, across_letter + offer("Right", "4250", "Left", "from 89 to 4249")},
      {"US Letter", false, {1500, 1500, 1500, 8541}, ""},
      {"US Letter", false, {1500, 5500, 1500, 5500}, down_letter + offer("Bottom", "5500", "Top", "at most 5499")},
      // Turned, the sheet's width runs down the page.
      {"US Letter", true, {1500, 1500, 9499, 1500}, ""},
      {"US Letter", true, {1500, 1500, 9500, 1500}, across("11000") + offer("Left", "1500", "Right", "at most 9499")},
      {"US Letter", true, {1500, 4250, 1500, 4250}, down("8500") + offer("Bottom", "4250", "Top", "from 89 to 4249")},
      // The photo paper with margins of 1.5 inch, both ways up.
      {"100 x 150 mm", false, {1500, 1500, 1500, 1500}, ""},
      {"100 x 150 mm", true, {1500, 1500, 1500, 1500}, ""},
      // Turned, its own margins differ left and right.
      {"100 x 150 mm", true, {0, 1500, 4748, 1500}, ""},
      {"100 x 150 mm", true, {0, 1500, 4749, 1500},
       off("Left", "Right") + offer("Left", "0", "Right", "at most 4748") + own("196")},
      {"100 x 150 mm", true, {1500, 1500, 4403, 1500}, ""},
      {"100 x 150 mm", true, {1500, 1500, 4404, 1500},
       "Page Setup: The Left and Right margins leave no room between them." +
           offer("Left", "1500", "Right", "at most 4403")},
  };
  TRect kept = printer.Data().margins;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.paper) + (c.landscape ? " landscape " : " ") + std::to_string(c.margins.left) + " " +
                 std::to_string(c.margins.top) + " " + std::to_string(c.margins.right) + " " +
                 std::to_string(c.margins.bottom));
    Later(10, [&] {
      Page_Setup_Dialog* d = Dialog();
      ASSERT_NE(d, nullptr);
      for (size_t i = 0; i < d->Papers().size() && d->Paper_Field()->Title() != c.paper; ++i) d->Step_Paper(1);
      ASSERT_EQ(d->Paper_Field()->Title(), c.paper);
      d->Set_Orientation(c.landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
      const int32_t values[4] = {c.margins.left, c.margins.top, c.margins.right, c.margins.bottom};
      for (int i = 0; i < 4; ++i) d->Margin_Field(i)->SetText(std::to_string(values[i]));
      d->SendMessage(WM_COMMAND, IDOK);
      // Refused, it is still there to be cancelled.
      if (!catcher.boxes.empty()) {
        EXPECT_EQ(Dialog(), d);
        d->SendMessage(WM_COMMAND, IDCANCEL);
      }
    });
    printer.Setup(parent);
    if (c.refusal.empty()) {
      EXPECT_TRUE(catcher.boxes.empty()) << catcher.boxes[0];
      kept = c.margins;
    } else {
      EXPECT_EQ(catcher.boxes, std::vector<std::string>{c.refusal});
    }
    EXPECT_EQ(printer.Data().margins, kept);
    catcher.boxes.clear();
  }
}

TEST_F(Page_Setup_Test, PapersAreNamedInTheCodePageFitTheirFieldsAndBorderlessTwinsStepAside) {
  const TPrint_Media a4_borderless{"iso_a4_210x297mm", "A4 (Borderless)", 21000, 29700, 0, 0, 0, 0};
  const TPrint_Media inches{"custom_8.94x14in", "8.94 x 14\u2033", 22708, 35560, 635, 635, 635, 635};
  const TPrint_Media legal{"na_legal_8.5x14in", "8.5 x 14 \"", 21590, 35560, 635, 635, 635, 635};  // as the server writes it
  const TPrint_Media huge{"custom_1682x2381mm", "1682 x 2381 mm (Borderless)", 168200, 238100, 0, 0, 0, 0};
  const TPrint_Media a4{"iso_a4_210x297mm", "A4", 21000, 29700, 423, 423, 423, 423};
  const TPrint_Media endless{"custom_endless", std::string(300, 'W'), 10000, 10000, 100, 100, 100, 100};
  service.papers = {a4_borderless, inches, legal, huge, a4, endless};
  service.printer.media = inches;  // the printer's default, where the dialog opens
  Later(10, [&] {
    Page_Setup_Dialog* d = Dialog();
    ASSERT_NE(d, nullptr);
    std::vector<std::string> offered;
    for (const TPrint_Media& m : d->Papers()) offered.push_back(m.label);
    // A4 without margins steps aside for A4; a borderless paper without a twin stays.
    EXPECT_EQ(offered, (std::vector<std::string>{inches.label, legal.label, huge.label, a4.label, endless.label}));
    auto fits = [](const TStatic* field) {
      return Control_Paint::Text_Extent(Control_Paint::Ui_Font(), field->Title()).cx <= field->GetClientRect().Width();
    };
    const std::string shown[] = {"8.94 x 14\"", "8.5 x 14\"", "1682 x 2381 mm (Borderless)", "A4"};
    for (const std::string& name : shown) {
      EXPECT_EQ(d->Paper_Field()->Title(), name);
      EXPECT_TRUE(fits(d->Paper_Field())) << name;
      if (name == shown[2]) Idle(), session.Snapshot("page_setup_dialog_long_paper", d->GetWindowRect());
      d->Step_Paper(1);
    }
    // Wider than the screen: cut short.
    EXPECT_EQ(d->Paper_Field()->Title().substr(d->Paper_Field()->Title().size() - 3), "...");
    EXPECT_TRUE(fits(d->Paper_Field()));
    d->Set_Orientation(DMORIENT_LANDSCAPE);
    EXPECT_EQ(d->Orientation_Field()->Title(), "(landscape)");
    EXPECT_TRUE(fits(d->Orientation_Field()));
    EXPECT_TRUE(fits(d->Printer_Field()));
    d->SendMessage(WM_COMMAND, IDCANCEL);
  });
  printer.Setup(parent);
}

// The middle of the rows of pixels in r that hold text.
double Ink_Middle(Widget_Stage& stage, const TRect& r) {
  int first = -1, last = -1;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (stage.Pixel({x, y}) == Control_Paint::Text.Xrgb()) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return first < 0 ? -1 : (first + last) / 2.0;
}

// The labels and the names beside the buttons stand on the buttons' middle,
// however tall the rows are at the screen's size.
TEST(Page_Setup, TextBesideTheButtonsStandsOnTheirMiddleAtEverySize) {
  for (const TSize screen : {TSize(1024, 768), TSize(1920, 1080)}) {
    SCOPED_TRACE(screen.cx);
    Widget_Stage stage(screen.cx, screen.cy);
    Page_Setup_Service service;
    Message_Box_Catcher catcher;
    Printer printer{&service};
    printer.Settle();
    Later(10, [&] {
      auto* d = dynamic_cast<Page_Setup_Dialog*>(TWindow::From_Handle(GetActiveWindow()));
      ASSERT_NE(d, nullptr);
      stage.Idle();
      stage.session.Snapshot("page_setup_dialog_" + std::to_string(screen.cx), d->GetWindowRect());
      const std::map<std::string, int> button_beside = {
          {"Printer:", Page_Setup_Dialog::Printer_Back_Id}, {"Paper:", Page_Setup_Dialog::Paper_Back_Id},
          {"Orientation:", Page_Setup_Dialog::Portrait_Id}, {"Office", Page_Setup_Dialog::Printer_Back_Id},
          {"US Letter", Page_Setup_Dialog::Paper_Back_Id}, {"(portrait)", Page_Setup_Dialog::Portrait_Id}};
      int seen = 0;
      for (TWindow* field : d->Children()) {
        const auto beside = button_beside.find(field->Title());
        if (!dynamic_cast<TStatic*>(field) || beside == button_beside.end()) continue;
        const TRect button = d->ChildWithId(beside->second)->GetWindowRect();
        EXPECT_NEAR(Ink_Middle(stage, field->GetWindowRect()), (button.top + button.bottom - 1) / 2.0, 2.0)
            << field->Title();
        ++seen;
      }
      EXPECT_EQ(seen, 6);
      d->SendMessage(WM_COMMAND, IDCANCEL);
    });
    printer.Setup(stage.parent);
  }
}

// The refusal of margins that push the drawing off the paper, as the person
// sees it: each sentence on a line of its own, so that the box keeps a
// readable width on a wide screen instead of one line across most of it.
TEST(Page_Setup, TheRefusalBoxWrapsToAReadableWidthAtEverySize) {
  std::vector<int> widths;
  for (const TSize screen : {TSize(1024, 768), TSize(1920, 1080)}) {
    SCOPED_TRACE(screen.cx);
    Widget_Stage stage(screen.cx, screen.cy);
    Page_Setup_Service service;
    const TMessage_Box_Hook shown = Set_Message_Box_Hook(nullptr);
    Printer printer{&service};
    printer.Settle();
    TRect box;
    Later(10, [&] {
      auto* d = dynamic_cast<Page_Setup_Dialog*>(TWindow::From_Handle(GetActiveWindow()));
      ASSERT_NE(d, nullptr);
      const int32_t margins[4] = {0, 1500, 7292, 1500};
      for (int i = 0; i < 4; ++i) d->Margin_Field(i)->SetText(std::to_string(margins[i]));
      Later(10, [&] {
        TWindow* refusal = TWindow::From_Handle(GetActiveWindow());
        ASSERT_NE(dynamic_cast<TMessage_Box*>(refusal), nullptr);
        stage.Idle();
        box = refusal->GetWindowRect();
        stage.session.Snapshot("page_setup_refusal_" + std::to_string(screen.cx), box);
        stage.session.Backend().Key(VK_RETURN);
      });
      d->SendMessage(WM_COMMAND, IDOK);
      d->SendMessage(WM_COMMAND, IDCANCEL);
    });
    printer.Setup(stage.parent);
    Set_Message_Box_Hook(shown);
    // No line is so long that the screen's own limit had to break it.
    EXPECT_GT(box.Width(), 0);
    EXPECT_LT(box.Width(), 640);
    widths.push_back(box.Width());
  }
  // The lines are the text's own: a wider screen does not widen the box.
  EXPECT_EQ(widths, std::vector<int>(2, widths.front()));
}

std::string Text(const TRect& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

// Print data as the dialog makes them, for paper at dpi (x, y).
Printer::Print_Data Set_Up(const TPrint_Media& paper, bool landscape, TPoint dpi, const TRect& margins) {
  Printer::Print_Data data;
  data.device.media = paper;
  data.device.dpi_x = dpi.x, data.device.dpi_y = dpi.y;
  auto thousandths = [](int32_t hmm) { return int32_t(int64_t(hmm) * 1000 / 2540); };
  data.minimum_margins =
      TRect(thousandths(paper.left), thousandths(paper.top), thousandths(paper.right), thousandths(paper.bottom));
  data.orientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  data.margins = margins;
  return data;
}

// Whether a drawing side pixels square lies whole on what the printer of
// data prints, where the printout puts it on the page a job gives it. The printable area is worked out here from the paper.
bool Printed_Whole(const Printer::Print_Data& data, int32_t side) {
  const TPrint_Media& m = data.device.media;
  const bool turned = data.orientation == DMORIENT_LANDSCAPE;
  const TPoint ppi = Printer::Pixels_Per_Inch(data);
  const int32_t across = turned ? m.length - m.top - m.bottom : m.width - m.left - m.right;
  const int32_t down = turned ? m.width - m.left - m.right : m.length - m.top - m.bottom;
  const TRect printable(0, 0, int(int64_t(across) * ppi.x / 2540), int(int64_t(down) * ppi.y / 2540));
  const TRect page = Printer::Page_Of(data);
  // A page of nothing prints nothing.
  return !page.IsEmpty() && printable.Contains(Drawing_Printout::Placement(page, ppi, TSize(side, side)));
}

// The margins taken are just those with which the printout puts the
// drawing whole within the printable area; and the margin a refusal offers
// is the last taken before the value refused.
TEST(Page_Setup, MarginsAreTakenJustWhenThePrintedDrawingLiesWholeAndTheMarginOfferedIsTheLastTaken) {
  const TPrint_Media a4{"iso_a4_210x297mm", "A4", 21000, 29700, 423, 423, 423, 423};
  const TPrint_Media a4_borderless{"iso_a4_210x297mm", "A4", 21000, 29700, 0, 0, 0, 0};
  const TPrint_Media letter{"na_letter_8.5x11in", "US Letter", 21590, 27940, 635, 635, 635, 635};
  const TPrint_Media letter_borderless{"na_letter_8.5x11in", "US Letter", 21590, 27940, 0, 0, 0, 0};
  const TPrint_Media label{"custom_40x60mm", "40 x 60 mm", 4000, 6000, 300, 300, 300, 300};
  // Its printer keeps 20 mm on the left, more than its page spares.
  const TPrint_Media strip{"custom_77x150mm", "", 7730, 15000, 2000, 300, 0, 300};
  struct Case {
    const char* what;
    TPrint_Media paper;
    bool landscape;
    TPoint dpi;
    int32_t side;
    TRect margins;
    bool taken;
    const char* says = nullptr;  // the refusal, where it is checked
  };
  const Case cases[] = {
      {"A4, left below the printer's own", a4, false, {600, 600}, 576, {100, 1500, 7075, 1500}, true},
      {"A4, left below the printer's own, right too wide", a4, false, {600, 600}, 576, {100, 1500, 7076, 1500}, false},
      {"A4 borderless, 360 square", a4_borderless, false, {300, 300}, 360, {100, 1500, 7169, 1500}, true},
      {"A4 borderless, 360 square, too wide", a4_borderless, false, {300, 300}, 360, {100, 1500, 7170, 1500}, false},
      {"A4 turned, 600 by 300 dpi: printed half as wide in pixels", a4, true, {600, 300}, 576,
       {10189, 1500, 1500, 1500}, true},
      {"A4 turned, 600 by 300 dpi, too wide", a4, true, {600, 300}, 576, {10190, 1500, 1500, 1500}, false},
      {"A4 turned, top just fits", a4, true, {600, 300}, 576, {1500, 6765, 1500, 1500}, true},
      {"A4 turned, top too wide", a4, true, {600, 300}, 576, {1500, 6766, 1500, 1500}, false},
      {"Letter at 300 dpi, left just fits", letter, false, {300, 300}, 576, {6336, 1500, 0, 1500}, true},
      {"Letter at 300 dpi, left too wide", letter, false, {300, 300}, 576, {6337, 1500, 0, 1500}, false},
      {"Letter borderless, left 0 and right 8499", letter_borderless, false, {300, 300}, 576, {0, 1500, 8499, 1500},
       false,
       "The drawing is printed in the middle between the Left and Right margins.\nThese put part of it where the"
       " printer cannot print.\nWith the Left margin at 0, the Right margin may be at most 6583 thousandths of an inch."},
      {"a paper narrower than the drawing", label, false, {300, 300}, 576, {0, 0, 0, 0}, false,
       "The drawing prints 1920 thousandths of an inch wide, more than the 1336 this paper can print.\nChoose a larger"
       " paper or turn it."},
      // Margins under the printer's own widen the page past what it prints,
      // and the drawing, nine times its size there, reaches past that.
      {"A4, margins of 1, ten times the drawing", a4, false, {600, 600}, 490, {1, 1, 1, 1}, false,
       "The drawing is printed in the middle between the Left and Right margins.\nThese put part of it where the"
       " printer cannot print.\nWith the Right margin at 1, the Left margin may be 0 thousandths of an inch."},
      {"the printer's own left margin is more than the page spares", strip, false, {300, 300}, 576,
       {1, 1500, 1, 1500}, false,
       "The drawing is printed in the middle between the Left and Right margins.\nThese put part of it where the"
       " printer cannot print.\nLeft and Right margins of 0 leave it room."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Printer::Print_Data data = Set_Up(c.paper, c.landscape, c.dpi, c.margins);
    const std::string refusal = Page_Setup_Dialog::No_Room_Refusal(data, c.side);
    EXPECT_EQ(refusal.empty(), c.taken) << refusal;
    if (c.says) {
      EXPECT_EQ(refusal, c.says);
    }
    EXPECT_EQ(Printed_Whole(data, c.side), c.taken);
    // The margin offered is taken, and one more is not; so is the lowest of
    // a range, and one less is not.
    auto taken_with = [&](const TRect& margins) {
      return Page_Setup_Dialog::No_Room_Refusal(Set_Up(c.paper, c.landscape, c.dpi, margins), c.side).empty();
    };
    const std::string kept = " margin at ", may = " margin may be ";
    const size_t changed_at = refusal.find(may);
    if (changed_at == std::string::npos) {
      // Or both margins of 0.
      const bool across = refusal.find("Left and Right margins of 0") != std::string::npos;
      if (!across && refusal.find("Top and Bottom margins of 0") == std::string::npos) continue;
      TRect margins = c.margins;
      (across ? margins.left : margins.top) = 0, (across ? margins.right : margins.bottom) = 0;
      EXPECT_TRUE(taken_with(margins));
      continue;
    }
    const size_t name_at = refusal.rfind(' ', changed_at - 1) + 1;
    const std::string name = refusal.substr(name_at, changed_at - name_at);
    std::map<std::string, int TRect::*> edges = {
        {"Left", &TRect::left}, {"Top", &TRect::top}, {"Right", &TRect::right}, {"Bottom", &TRect::bottom}};
    ASSERT_TRUE(edges.count(name)) << name;
    std::string range = refusal.substr(changed_at + may.size());
    int32_t low = -1;
    if (range.rfind("from ", 0) == 0) {
      low = std::stoi(range.substr(5));
      range = range.substr(range.find(" to ") + 4);
    } else if (range.rfind("at most ", 0) == 0) {
      range = range.substr(8);
    }
    const int32_t high = std::stoi(range);
    for (const auto& [value, taken] : {std::pair{high, true}, {high + 1, false}, {low, true}, {low - 1, false}}) {
      if (value < 0) continue;
      TRect margins = c.margins;
      margins.*edges[name] = value;
      EXPECT_EQ(taken_with(margins), taken) << name << " " << value;
    }
  }
}

// Over a run of each margin, the page set-up takes just the margins with
// which the printout puts the drawing whole within what the printer prints.
TEST(Page_Setup, TheRefusalAgreesWithThePrintoutOverARunOfMargins) {
  const TPrint_Media a4{"iso_a4_210x297mm", "A4", 21000, 29700, 423, 423, 423, 423};
  const TPrint_Media photo{"custom_100x150mm", "", 10000, 15000, 300, 1200, 300, 500};
  struct Case {
    TPrint_Media paper;
    bool landscape;
    TPoint dpi;
  };
  const Case cases[] = {{a4, false, {600, 600}}, {photo, true, {600, 300}}, {photo, false, {300, 300}}};
  int taken = 0, refused = 0;
  for (const Case& c : cases) {
    for (int TRect::*edge : {&TRect::left, &TRect::top, &TRect::right, &TRect::bottom}) {
      // A step that is no multiple of a pixel at any of these resolutions
      // meets the rounding at many phases; a finer one took up to nine
      // minutes under AddressSanitizer on a busy machine. The exact edges
      // are pinned by the table above.
      for (int32_t value = 0; value <= 12000; value += 29) {
        TRect margins(1500, 1500, 1500, 1500);
        margins.*edge = value;
        const Printer::Print_Data data = Set_Up(c.paper, c.landscape, c.dpi, margins);
        const bool whole = Printed_Whole(data, 576);
        ASSERT_EQ(Page_Setup_Dialog::No_Room_Refusal(data, 576).empty(), whole)
            << c.paper.name << (c.landscape ? " turned, " : ", ") << Text(margins);
        ++(whole ? taken : refused);
      }
    }
  }
  // Both sides of the line were crossed.
  EXPECT_GT(taken, 1000);
  EXPECT_GT(refused, 1000);
}

TEST(Page_Setup, OrdinaryPapersKeepTheirOrderAndBorderlessOnesWithoutATwin) {
  const TPrint_Media letter_borderless{"na_letter", "", 21590, 27940, 0, 0, 0, 0};
  const TPrint_Media letter{"na_letter", "", 21590, 27940, 635, 635, 635, 635};
  const TPrint_Media photo{"photo", "", 10160, 15240, 0, 0, 0, 0};
  const TPrint_Media turned{"turned", "", 27940, 21590, 635, 635, 635, 635};  // not the same size
  auto names = [](const std::vector<TPrint_Media>& papers) {
    std::vector<std::string> out;
    for (const TPrint_Media& m : papers) out.push_back(m.name + (m.left ? "" : " borderless"));
    return out;
  };
  EXPECT_EQ(names(Page_Setup_Dialog::Ordinary_Papers({letter_borderless, photo, letter, turned})),
            (std::vector<std::string>{"photo borderless", "na_letter", "turned"}));
  EXPECT_EQ(names(Page_Setup_Dialog::Ordinary_Papers({letter_borderless})),
            (std::vector<std::string>{"na_letter borderless"}));
}

}  // namespace

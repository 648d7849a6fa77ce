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
  service.defaults["Attic"] = {"custom_130x180mm", "130 x 180 mm", 13000, 18000, 300, 300, 300, 300};
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
      {{{0, 0, "US Letter"}, {0, 1, "A4"}, {1, 0, "A4"}, {1, 0, "Printer's own"}}, true, "Attic", "custom_130x180mm"},
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
  EXPECT_EQ(catcher.boxes[0], "Page Setup: The Right margin must be a number from 0 to 20000.");
  EXPECT_EQ(printer.Data().margins, TRect(1500, 1500, 1500, 1500));
}

// Margins that meet or pass across the paper as it lies would print a
// blank page, and margins that leave less room than the drawing takes at its
// own size would print it over them and, beside a narrow one, off the
// paper: they are refused, saying how far they may go, and the dialog stays
// open. A4 is 8267 by 11692 thousandths of an inch with its own margins of
// 166, US Letter 8500 by 11000 with 250; the drawing, 576 pixels square,
// prints 960 square at 600 dpi.
TEST_F(Page_Setup_Test, MarginsThatLeaveTheDrawingNoRoomAreRefusedWithAMessage) {
  auto across = [](const char* width) {
    return std::string("Page Setup: The Left and Right margins must come to less than ") + width +
           ", the width of the paper.";
  };
  auto down = [](const char* height) {
    return std::string("Page Setup: The Top and Bottom margins must come to less than ") + height +
           ", the height of the paper.";
  };
  auto too_little = [](const char* first, const char* second, const char* size, const char* total) {
    return std::string("Page Setup: The ") + first + " and " + second +
           " margins leave the drawing too little room: it prints 960 " + size + ". " + first + " and " + second +
           " margins that come to at most " + total + " leave it room.";
  };
  const std::string across_a4 = across("8267"), down_a4 = down("11692");
  const std::string across_letter = across("8500"), down_letter = down("11000");
  const std::string own_a4 = " A margin of 0 stands for the printer's own, 166.";
  const std::string own_letter = " A margin of 0 stands for the printer's own, 250.";
  struct Case {
    const char* paper;
    bool landscape;
    TRect margins;        // left, top, right, bottom
    std::string refusal;  // empty: taken
  };
  const Case cases[] = {
      {"A4", false, {4133, 1500, 4134, 1500}, across_a4},
      {"A4", false, {9000, 1500, 9000, 1500}, across_a4},
      {"A4", false, {4133, 1500, 4133, 1500}, too_little("Left", "Right", "wide", "7305")},
      {"A4", false, {1500, 5846, 1500, 5846}, down_a4},
      {"A4", false, {1500, 0, 1500, 11526}, down_a4 + own_a4},
      {"A4", false, {1500, 9232, 1500, 1500}, ""},
      {"A4", false, {1500, 9233, 1500, 1500}, too_little("Top", "Bottom", "tall", "10730")},
      {"A4", false, {0, 1500, 7140, 1500}, ""},
      {"A4", false, {0, 1500, 7141, 1500}, too_little("Left", "Right", "wide", "7305") + own_a4},
      {"A4", false, {0, 1500, 8000, 1500}, too_little("Left", "Right", "wide", "7305") + own_a4},
      {"A4", false, {0, 1500, 8101, 1500}, across_a4 + own_a4},
      {"US Letter", false, {7291, 1500, 0, 1500}, ""},
      {"US Letter", false, {7292, 1500, 0, 1500}, too_little("Left", "Right", "wide", "7540") + own_letter},
      {"US Letter", false, {4250, 1500, 4250, 1500}, across_letter},
      {"US Letter", false, {1500, 1500, 1500, 8541}, ""},
      {"US Letter", false, {1500, 1500, 1500, 8542}, too_little("Top", "Bottom", "tall", "10040")},
      {"US Letter", false, {1500, 5500, 1500, 5500}, down_letter},
      // Turned, the sheet's width runs down the page.
      {"US Letter", true, {1500, 1500, 8541, 1500}, ""},
      {"US Letter", true, {1500, 1500, 8542, 1500}, too_little("Left", "Right", "wide", "10040")},
      {"US Letter", true, {1500, 4250, 1500, 4250}, down("8500")},
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

// The margins taken are just those between which the drawing, printed as a
// job prints it, lies whole on the page and so on the paper; and the total
// a refusal offers is one that every split of it leaves room.
TEST(Page_Setup, MarginsAreTakenJustWhenTheDrawingFitsBetweenThemAndTheTotalOfferedLeavesItRoom) {
  const TPrint_Media a4{"iso_a4_210x297mm", "A4", 21000, 29700, 423, 423, 423, 423};
  const TPrint_Media a4_borderless{"iso_a4_210x297mm", "A4", 21000, 29700, 0, 0, 0, 0};
  const TPrint_Media letter{"na_letter_8.5x11in", "US Letter", 21590, 27940, 635, 635, 635, 635};
  const TPrint_Media letter_borderless{"na_letter_8.5x11in", "US Letter", 21590, 27940, 0, 0, 0, 0};
  const TPrint_Media label{"custom_40x60mm", "40 x 60 mm", 4000, 6000, 300, 300, 300, 300};
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
      {"A4, left below the printer's own", a4, false, {600, 600}, 576, {100, 1500, 7205, 1500}, true},
      {"A4, left below the printer's own, right too wide", a4, false, {600, 600}, 576, {100, 1500, 7206, 1500}, false},
      {"A4 borderless, 360 square", a4_borderless, false, {300, 300}, 360, {100, 1500, 6969, 1500}, true},
      {"A4 borderless, 360 square, too wide", a4_borderless, false, {300, 300}, 360, {100, 1500, 6970, 1500}, false},
      {"A4 turned, 600 by 300 dpi: printed half as wide in pixels", a4, true, {600, 300}, 576, {9232, 1500, 1500, 1500},
       true},
      {"A4 turned, 600 by 300 dpi, too wide", a4, true, {600, 300}, 576, {9233, 1500, 1500, 1500}, false},
      {"A4 turned, top just fits", a4, true, {600, 300}, 576, {1500, 5807, 1500, 1500}, true},
      {"A4 turned, top too wide", a4, true, {600, 300}, 576, {1500, 5808, 1500, 1500}, false},
      {"Letter at 300 dpi, left just fits", letter, false, {300, 300}, 576, {6333, 1500, 0, 1500}, true},
      {"Letter at 300 dpi, left too wide", letter, false, {300, 300}, 576, {6334, 1500, 0, 1500}, false},
      {"Letter borderless, left 0 and right 8499", letter_borderless, false, {300, 300}, 576, {0, 1500, 8499, 1500},
       false},
      {"a paper narrower than the drawing", label, false, {300, 300}, 576, {0, 0, 0, 0}, false,
       "The drawing prints 1920 wide, more than the 1336 this paper can print: choose a larger paper or turn it."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Printer::Print_Data data = Set_Up(c.paper, c.landscape, c.dpi, c.margins);
    const std::string refusal = Page_Setup_Dialog::No_Room_Refusal(data, c.side);
    EXPECT_EQ(refusal.empty(), c.taken) << refusal;
    if (c.says) {
      EXPECT_EQ(refusal, c.says);
    }
    // Where a job puts the drawing: between the margins exactly when they
    // are taken, and then on the paper, which reaches past the printable
    // area by the printer's own margins.
    const TPoint ppi = Printer::Pixels_Per_Inch(data);
    const TRect page = Printer::Page_Of(data);
    const TRect placed = Drawing_Printout::Placement(page, ppi, TSize(c.side, c.side));
    EXPECT_EQ(page.Contains(placed), c.taken) << "page " << Text(page) << ", drawing " << Text(placed);
    Printer::Print_Data bare = data;
    bare.margins = TRect();
    const TRect printable = Printer::Page_Of(bare);
    const TRect own = c.landscape ? TRect(data.minimum_margins.top, data.minimum_margins.right,
                                          data.minimum_margins.bottom, data.minimum_margins.left)
                                  : data.minimum_margins;
    const TRect paper(printable.left - own.left * ppi.x / 1000, printable.top - own.top * ppi.y / 1000,
                      printable.right + own.right * ppi.x / 1000, printable.bottom + own.bottom * ppi.y / 1000);
    if (c.taken) {
      EXPECT_TRUE(paper.Contains(placed)) << "paper " << Text(paper) << ", drawing " << Text(placed);
    }
    // The total offered, split any way, leaves the drawing room.
    const std::string offer = "margins that come to at most ";
    const size_t at = refusal.find(offer);
    if (at == std::string::npos) continue;
    const int32_t total = std::stoi(refusal.substr(at + offer.size()));
    const bool across = refusal.find("Left and Right") != std::string::npos;
    const int32_t least_1 = across ? own.left : own.top, least_2 = across ? own.right : own.bottom;
    // A margin just under the printer's own loses the fraction of a pixel
    // that the other gains.
    const std::pair<int32_t, int32_t> splits[] = {{0, total - least_1},
                                                  {total - least_2, 0},
                                                  {1, total - 1},
                                                  {least_1 - 1, total - least_1 + 1},
                                                  {total / 2, total - total / 2}};
    for (const auto& [first, second] : splits) {
      TRect margins = c.margins;
      (across ? margins.left : margins.top) = first;
      (across ? margins.right : margins.bottom) = second;
      EXPECT_EQ(Page_Setup_Dialog::No_Room_Refusal(Set_Up(c.paper, c.landscape, c.dpi, margins), c.side), "")
          << "split " << first << " + " << second << " of " << total;
    }
  }
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

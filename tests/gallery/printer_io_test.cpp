#include "gallery/printer_io.h"

#include <gtest/gtest.h>

#include "gallery/printer.h"
#include "platform/system/clock.h"
#include "tests/gallery/drop_point_stage.h"
#include "tests/gallery/printer_fakes.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "toolkit/rectangular_button.h"

namespace {

class Printer_IO_Test : public Drop_Point_Test {
 protected:
  Printer_IO_Test() { Make_Point(); }
  ~Printer_IO_Test() override {
    delete point;
    printer.reset();
  }
  // Moves the clock on in steps; the printer takes what its line answered
  // after each.
  void Advance(uint32_t ms, uint32_t step = 10) {
    for (uint32_t done = 0; done < ms; done += step) {
      session.Advance(std::min(step, ms - done));
      printer->Settle();
    }
  }
  void Make_Point() {
    printer->Settle();
    point = new Printer_IO(gallery, TRect(20, 300, 20 + 192, 300 + 260));
    EXPECT_TRUE(point->Create());
    Idle();
  }
  // Drops the drawing of a cell and lets the job's thread spool it.
  void Drop_From(const Drawing_Place& source) {
    point->Accept_Drop(source);
    if (printer->Busy()) printer->Wait_For_Thread();
  }
  bool Enabled(int id) {
    TCommandEnabler enabler(UINT(id), point->GetHandle());
    point->SendMessage(WM_COMMAND_ENABLE, 0, reinterpret_cast<LPARAM>(&enabler));
    return enabler.Enabled();
  }
  bool Slot_Full() { return Store().State(Slot(Drawing_Place::Printer_Slot)) != 0; }
  void TearDown() override {
    delete point;
    point = nullptr;
    printer.reset();
    EXPECT_EQ(service.calls_on_interface_thread, 0);
  }
  static TPoint Screen_Centre(const TWindow& w) {
    const TRect r = w.GetClientRect();
    TPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    w.ClientToScreen(p);
    return p;
  }
  TPoint On_Cross() {
    const TRect r = point->Printer_Area();
    TPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    point->ClientToScreen(p);
    return p;
  }

  Fake_Print_Service service;
  Message_Box_Catcher catcher;
  std::unique_ptr<Printer> printer = std::make_unique<Printer>(&service);
  Printer_IO* point = nullptr;
};

TEST_F(Printer_IO_Test, LayoutFollowsTheWidthAndTheTipNamesThePrinter) {
  const int s = 576 / 6, g = Size(29), h = 192 * 3 / 5, bh = h * 4 / 10, bw = (192 - 3 * g) / 2;
  EXPECT_EQ(point->Paper_Area(), TRect((192 - s) / 2, 0, (192 - s) / 2 + s, s));
  const int top = s - h * 3 / 4;
  EXPECT_EQ(point->Printer_Area(), TRect(g, top, 192 - g, top + h));
  const int t = bh / 3 + top + h;
  EXPECT_EQ(point->Setup_Button()->GetWindowRect(), TRect(20 + g, 300 + t, 20 + g + bw, 300 + t + bh));
  EXPECT_EQ(point->Abort_Button()->GetWindowRect().left, 20 + 2 * g + bw);
  EXPECT_EQ(point->Drop_Area(), TRect(20 + (192 - s) / 2, 300, 20 + (192 - s) / 2 + s, 300 + top + h));
  EXPECT_STREQ(point->Tip_Text(), "Printer: Office");
  EXPECT_TRUE(Enabled(Printer_IO::Setup_Id));
  EXPECT_FALSE(Enabled(Printer_IO::Abort_Id));
  session.Snapshot("printer_point_idle", point->GetWindowRect());
}

TEST_F(Printer_IO_Test, DroppedDrawingPrintsBlinksAndLeavesTheSlotWhenTheJobEnds) {
  Put_Drawing(0, 0);
  Drop_From(Cell(0, 0));
  EXPECT_TRUE(Slot_Full());
  EXPECT_EQ(Store().State(Cell(0, 0)), 3);  // a grid drawing stays in its cell
  ASSERT_EQ(service.titles, std::vector<std::string>{"Quendar Drawing 1"});
  EXPECT_TRUE(point->Busy());
  EXPECT_TRUE(point->Shown());
  ASSERT_NE(point->Miniature(), nullptr);
  EXPECT_EQ(point->Miniature()->Width(), 576 / 6);
  EXPECT_FALSE(Enabled(Printer_IO::Setup_Id));
  EXPECT_TRUE(Enabled(Printer_IO::Abort_Id));
  // Seen at once, printing at the five-second look: the blinking starts.
  Advance(500 + 5000);
  EXPECT_FALSE(point->Busy());
  Advance(800);
  EXPECT_FALSE(point->Shown());
  Advance(200);
  EXPECT_TRUE(point->Shown());
  session.Snapshot("printer_point_printing", point->GetWindowRect());
  // A second drop while the job runs is refused without a word.
  Put_Drawing(0, 1);
  point->Accept_Drop(Cell(0, 1));
  EXPECT_EQ(service.titles.size(), 1u);
  service.state = TPrint_Job_State::Completed;
  Advance(500);
  EXPECT_FALSE(Slot_Full());
  EXPECT_EQ(point->Miniature(), nullptr);
  EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(Printer_IO_Test, RefusedDropsLeaveEverythingAsItWas) {
  Put_Drawing(1, 1);
  // A slot already holding a drawing.
  Store().Move(Slot(Drawing_Place::Printer_Slot), Cell(1, 1));
  point->Accept_Drop(Cell(1, 1));
  EXPECT_TRUE(service.titles.empty());
  Store().Forget_Place(Slot(Drawing_Place::Printer_Slot));
  // No printer: the cross, no job, no message.
  delete point;
  printer.reset();
  service.has_default = false;
  printer = std::make_unique<Printer>(&service);
  Make_Point();
  EXPECT_STREQ(point->Tip_Text(), "Printer: Undefined");
  point->Accept_Drop(Cell(1, 1));
  EXPECT_FALSE(Slot_Full());
  EXPECT_TRUE(service.titles.empty());
  EXPECT_TRUE(catcher.boxes.empty());
  const TRect r = point->Printer_Area();
  TPoint on_cross((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  point->ClientToScreen(on_cross);
  EXPECT_EQ(Pixel(on_cross), 0x000000u);
  session.Snapshot("printer_point_undefined", point->GetWindowRect());
}

TEST_F(Printer_IO_Test, JobThePrinterRefusesEmptiesTheSlotAndUsesTwoNumbers) {
  Recording_Printout other;
  Counting_Client other_client;
  other.hold_until_abort = true;
  ASSERT_TRUE(printer->Submit(&other, &other_client));
  Put_Drawing(2, 2);
  point->Accept_Drop(Cell(2, 2));
  EXPECT_FALSE(Slot_Full());
  EXPECT_EQ(point->Current_Printout().drawing, nullptr);
  EXPECT_FALSE(point->Busy());
  printer->Cancel_Job();
  Drop_From(Cell(2, 2));
  EXPECT_EQ(service.titles.back(), "Quendar Drawing 3");
}

TEST_F(Printer_IO_Test, AbortAndTheFiveMinuteGiveUpEndTheJob) {
  Put_Drawing(0, 0);
  Drop_From(Cell(0, 0));
  Advance(500);  // seen
  point->SendMessage(WM_COMMAND, Printer_IO::Abort_Id);
  printer->Settle();
  EXPECT_EQ(service.cancelled, std::vector<int32_t>{7});
  service.state = TPrint_Job_State::Cancelled;
  Advance(5000);
  EXPECT_FALSE(Slot_Full());

  // A job that never ends, started just before the tick count wraps.
  service.state = TPrint_Job_State::Waiting;
  session.Advance(0xFFFFFFFFu - GetTickCount() - 1000u);
  Drop_From(Cell(0, 0));
  Advance(5500);  // printing: the blink timer runs
  Advance(300000 - 6000, 500);
  EXPECT_TRUE(Slot_Full());
  Advance(1500, 100);
  EXPECT_FALSE(Slot_Full());
  EXPECT_EQ(service.cancelled.back(), 8);
  EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(Printer_IO_Test, LostServerShowsTheCrossUntilItAnswersAndOnlyThenTakesDrops) {
  const uint32_t plain = Pixel(On_Cross());
  Put_Drawing(0, 0);
  Drop_From(Cell(0, 0));
  Advance(500);  // seen
  service.state = TPrint_Job_State::Unreachable;
  service.reachable = false;
  Advance(3 * 5000);
  EXPECT_FALSE(Slot_Full());
  EXPECT_EQ(catcher.boxes.size(), 1u);
  Idle();
  EXPECT_EQ(Pixel(On_Cross()), 0x000000u);
  point->Accept_Drop(Cell(0, 0));
  EXPECT_FALSE(Slot_Full());
  EXPECT_EQ(service.titles.size(), 1u);
  session.Snapshot("printer_point_lost", point->GetWindowRect());
  service.reachable = true;
  service.state = TPrint_Job_State::Waiting;
  Advance(5000);
  Idle();
  EXPECT_EQ(Pixel(On_Cross()), plain);
  Drop_From(Cell(0, 0));
  EXPECT_TRUE(Slot_Full());
  EXPECT_EQ(service.titles.size(), 2u);
  EXPECT_EQ(catcher.boxes.size(), 1u);
}

// A window of the gallery that counts the presses it gets.
struct Pressed_Window : TWindow {
  explicit Pressed_Window(TWindow* parent) : TWindow(parent) {
    Attr.Style = WS_CHILD | WS_VISIBLE;
    Attr.Set_Rect(TRect(700, 600, 800, 700));
  }
  void EvLButtonDown(UINT, const TPoint&) override { ++presses; }
  int presses = 0;
};

TEST_F(Printer_IO_Test, WhileThePrintCursorWaitsAPressElsewhereGoesToWhatItHits) {
  // Messages go through the windows' own filters first, as in the program.
  TDesktop::Current().Pre_Dispatch_Hook = [](MSG& m) {
    for (TWindow* w = TDesktop::Current().Window(m.hwnd); w; w = w->Is_Child() ? w->Parent : nullptr)
      if (w->PreProcessMsg(m)) return true;
    return false;
  };
  auto* other = new Pressed_Window(gallery);
  ASSERT_TRUE(other->Create());
  Idle();
  Put_Drawing(0, 0);
  Drop_From(Cell(0, 0));
  ASSERT_TRUE(point->Busy());
  EXPECT_EQ(GetCapture(), point->Abort_Button()->GetHandle());
  Click(Screen_Centre(*other));
  EXPECT_EQ(other->presses, 1);
  EXPECT_FALSE(point->Busy());
  EXPECT_NE(GetCapture(), point->Abort_Button()->GetHandle());
  EXPECT_TRUE(Slot_Full());  // the job goes on
  // Abort itself still takes a press while the cursor waits.
  printer->Cancel_Job();
  printer->Settle();
  Drop_From(Cell(0, 0));
  ASSERT_TRUE(point->Busy());
  Click(Screen_Centre(*point->Abort_Button()));
  EXPECT_FALSE(Slot_Full());
  EXPECT_EQ(other->presses, 1);
}

TEST_F(Printer_IO_Test, PrinterErrorBoxShownWhileThePrintCursorWaitsClosesWithTheMouse) {
  // A real box this time, answered by a click on its OK button.
  const TMessage_Box_Hook hook = Set_Message_Box_Hook(nullptr);
  static Printer_IO_Test* test;
  static bool clicked, forced;
  test = this, clicked = false, forced = false;
  // Looks for the box every 100 ms.
  SetTimer(HWND(), 0, 100, [](HWND, UINT, UINT id, uint32_t) {
    TWindow* box = TWindow::From_Handle(GetActiveWindow());
    if (!box || box->Children().empty() || box->Title() != std::string("Printer Error")) return;
    KillTimer(HWND(), id);
    const TPoint ok = Screen_Centre(*box->Children().front());
    test->session.Backend().Move_To(ok);
    test->session.Backend().Press(ok);
    test->session.Backend().Release(ok);
    clicked = true;
  });
  // Should the click be lost, the box is answered so that the test ends.
  SetTimer(HWND(), 0, 3000, [](HWND, UINT, UINT id, uint32_t) {
    KillTimer(HWND(), id);
    if (TWindow* box = TWindow::From_Handle(GetActiveWindow()); box && box->Title() == std::string("Printer Error")) {
      forced = true;
      box->PostMessage(WM_COMMAND, IDOK);
    }
  });
  service.refuse = true;  // the server stopped before the job reached it
  Put_Drawing(0, 0);
  Drop_From(Cell(0, 0));
  ASSERT_TRUE(point->Busy());
  Advance(4000);
  Set_Message_Box_Hook(hook);
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(forced) << "the box took no click";
  EXPECT_FALSE(Slot_Full());
  EXPECT_FALSE(point->Busy());
}

TEST_F(Printer_IO_Test, ClosingThePointWhilePrintingCancelsTheJob) {
  Put_Drawing(0, 0);
  Drop_From(Cell(0, 0));
  Advance(500);
  delete point;
  point = nullptr;
  printer->Settle();
  EXPECT_FALSE(printer->Busy());
  EXPECT_EQ(service.cancelled, std::vector<int32_t>{7});
  Advance(6000);
}

}  // namespace

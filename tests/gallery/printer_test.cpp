#include "gallery/printer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/gdi/device_caps.h"
#include "platform/system/cups_print_service.h"
#include "tests/gallery/printer_fakes.h"
#include "tests/platform/system/stand_in_print_server.h"
#include "tests/toolkit/media_fixture.h"

namespace {

class Printer_Test : public Media_Test {
 protected:
  Printer_Test() { printer->Settle(); }
  // Moves the clock on; the printer then takes what its line answered.
  void Advance(uint32_t ms) {
    Media_Test::Advance(ms);
    if (printer) printer->Settle();
  }
  // Submits a job and lets its thread finish.
  void Submit_And_Spool() {
    ASSERT_TRUE(printer->Submit(&printout, &client));
    printer->Wait_For_Thread();
  }
  // One tick of the poll timer as it stands.
  void Tick() { Advance(printer->Poll_Interval()); }
  void TearDown() override {
    printer.reset();
    EXPECT_EQ(service.calls_on_interface_thread, 0);
  }

  Fake_Print_Service service;
  Message_Box_Catcher catcher;
  std::unique_ptr<Printer> printer = std::make_unique<Printer>(&service);
  Recording_Printout printout;
  Counting_Client client;
};

TEST_F(Printer_Test, DefaultPrinterGetsMarginsOfAnInchAndAHalfAndNoneWithoutOne) {
  EXPECT_TRUE(printer->Defined());
  EXPECT_EQ(printer->Device_Name(), "Office");
  EXPECT_EQ(printer->Data().margins, TRect(1500, 1500, 1500, 1500));
  EXPECT_EQ(printer->Data().page_setup_flags, PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES);
  printer.reset();
  service.has_default = false;
  Printer none(&service);
  none.Settle();
  EXPECT_FALSE(none.Defined());
  EXPECT_EQ(none.Data().error, PDERR_NODEFAULTPRN);
  EXPECT_EQ(none.Device_Name(), "Undefined");
  EXPECT_EQ(none.Data().margins, TRect(0, 0, 0, 0));
  EXPECT_EQ(none.Device_Caps(RASTERCAPS), 0);
}

TEST_F(Printer_Test, WatchedJobIsPrintingAtTheOnTimeLookAndEndsOnce) {
  Submit_And_Spool();
  EXPECT_FALSE(printer->Submit(&printout, &client));  // one job at a time
  EXPECT_EQ(service.titles, std::vector<std::string>{"Test Page"});
  EXPECT_EQ(printout.ended, 1);
  Tick();  // found by its id
  EXPECT_EQ(printer->Job_Id(), 7);
  EXPECT_EQ(printer->Poll_Interval(), 5000u);
  EXPECT_EQ(client.printing, 0);
  Tick();  // the on-time five-second look
  EXPECT_EQ(client.printing, 1);
  EXPECT_EQ(printer->Poll_Interval(), 500u);
  Tick();
  Tick();
  EXPECT_EQ(client.printing, 1);
  EXPECT_EQ(client.ended, 0);
  service.state = TPrint_Job_State::Completed;
  Tick();
  EXPECT_EQ(client.ended, 1);
  EXPECT_EQ(client.last, &printout);
  EXPECT_FALSE(printer->Busy());
  EXPECT_EQ(printer->Job_Id(), -1);
  Advance(5000);
  EXPECT_EQ(client.ended, 1);
  EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(Printer_Test, LateFiveSecondLookWaitsForTheNextOnTimeOne) {
  Submit_And_Spool();
  Tick();
  // The user-interface thread was held up: the look comes too late.
  Advance(5050);
  EXPECT_EQ(client.printing, 0);
  EXPECT_EQ(printer->Poll_Interval(), 5000u);
  Advance(4999);
  Advance(1);
  EXPECT_EQ(client.printing, 1);
}

TEST_F(Printer_Test, JobThatLeavesTheQueueEarlyEndsWithoutPrintingNotice) {
  for (TPrint_Job_State gone : {TPrint_Job_State::Gone, TPrint_Job_State::Cancelled}) {
    client = Counting_Client();
    service.state = TPrint_Job_State::Waiting;
    Submit_And_Spool();
    Tick();
    service.state = gone;
    Tick();
    EXPECT_EQ(client.printing, 0);
    EXPECT_EQ(client.ended, 1);
  }
  EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(Printer_Test, FailedJobsAreReportedOnceAndEnd) {
  struct Case {
    const char* what;
    bool has_default;
    bool refuse;
    TPrint_Job_State later;
  };
  for (const Case& c : {Case{"refused by the printer", true, true, TPrint_Job_State::Waiting},
                        Case{"no printer at all", false, false, TPrint_Job_State::Waiting},
                        Case{"aborted by the system", true, false, TPrint_Job_State::Failed}}) {
    SCOPED_TRACE(c.what);
    printer.reset();
    service.has_default = c.has_default;
    service.refuse = c.refuse;
    service.state = TPrint_Job_State::Waiting;
    printer = std::make_unique<Printer>(&service);
    printer->Settle();
    client = Counting_Client();
    catcher.boxes.clear();
    Submit_And_Spool();
    for (int i = 0; i < 3 && printer->Busy(); ++i) {
      Tick();
      service.state = c.later;
    }
    EXPECT_FALSE(printer->Busy());
    EXPECT_EQ(client.ended, 1);
    EXPECT_EQ(client.printing, 0);
    EXPECT_EQ(catcher.boxes, std::vector<std::string>{"Printer Error: Unable to print Test Page"});
    Advance(60000);
    EXPECT_EQ(catcher.boxes.size(), 1u);
  }
}

TEST_F(Printer_Test, CancelBeforeTheJobIsSeenEndsAtOnceAndQuietly) {
  EXPECT_FALSE(printer->Cancel_Job());
  printout.hold_until_abort = true;
  ASSERT_TRUE(printer->Submit(&printout, &client));
  while (printout.printed == 0) std::this_thread::yield();
  EXPECT_TRUE(printer->Cancel_Job());
  EXPECT_EQ(client.ended, 1);
  EXPECT_EQ(printout.ended, 1);
  EXPECT_TRUE(service.titles.empty());  // nothing reached the printer
  EXPECT_TRUE(service.cancelled.empty());
  Advance(2000);
  EXPECT_EQ(client.ended, 1);
  // Taken by the printer but not seen yet: withdrawn there, ended here.
  client = Counting_Client();
  printout.hold_until_abort = false;
  Submit_And_Spool();
  EXPECT_TRUE(printer->Cancel_Job());
  EXPECT_EQ(client.ended, 1);
  printer->Settle();
  EXPECT_EQ(service.cancelled, std::vector<int32_t>{7});
  EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(Printer_Test, CancelOfASeenJobGoesThroughTheServerAndEndsWhenItIsGone) {
  Submit_And_Spool();
  Tick();
  EXPECT_TRUE(printer->Cancel_Job());
  printer->Settle();
  EXPECT_EQ(service.cancelled, std::vector<int32_t>{7});
  EXPECT_EQ(client.ended, 0);
  service.state = TPrint_Job_State::Cancelled;
  Advance(5000);
  EXPECT_EQ(client.ended, 1);
  EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(Printer_Test, TickCountWrapKeepsTheOnTimeRule) {
  // Bring the clock to 3 s before it wraps past zero.
  Advance(0xFFFFFFFFu - GetTickCount() - 3000u);
  Submit_And_Spool();
  Tick();
  const uint32_t found = GetTickCount();
  Tick();
  EXPECT_LT(GetTickCount(), found);  // wrapped
  EXPECT_EQ(client.printing, 1);
}

TEST_F(Printer_Test, ServerThatStopsAnsweringIsReportedOnceAndAskedAfterUntilItAnswers) {
  Submit_And_Spool();
  Tick();  // found
  // One look left unanswered is no loss.
  service.state = TPrint_Job_State::Unreachable;
  Tick();
  service.state = TPrint_Job_State::Waiting;
  Tick();
  Tick();
  EXPECT_TRUE(printer->Busy());
  EXPECT_TRUE(catcher.boxes.empty());
  service.state = TPrint_Job_State::Waiting;
  client.ended = 0;
  // Gone while the job is watched, or before it reached the server.
  for (bool watched : {true, false}) {
    SCOPED_TRACE(watched ? "gone while watched" : "gone before the job");
    catcher.boxes.clear();
    client = Counting_Client();
    if (!watched) {
      service.reachable = false;
      Submit_And_Spool();
    }
    service.state = TPrint_Job_State::Unreachable;
    service.reachable = false;
    for (int i = 0; i < 5 && printer->Busy(); ++i) Tick();
    EXPECT_FALSE(printer->Busy());
    EXPECT_EQ(client.ended, 1);
    EXPECT_EQ(catcher.boxes, std::vector<std::string>{
                                 "Printer Error: Unable to print Test Page.\nThe printer Office cannot be reached."});
    EXPECT_FALSE(printer->Defined());
    EXPECT_EQ(printer->Device_Name(), "Office");
    for (int i = 0; i < 4; ++i) Tick();  // asked after, no answer yet
    EXPECT_FALSE(printer->Defined());
    EXPECT_EQ(printer->Poll_Interval(), 5000u);
    service.reachable = true;
    Tick();
    EXPECT_TRUE(printer->Defined());
    EXPECT_EQ(printer->Poll_Interval(), 0u);  // nothing more to ask
    EXPECT_EQ(catcher.boxes.size(), 1u);
  }
}

TEST_F(Printer_Test, PageRectangleMovesEachMarginEdgeInward) {
  Printer::Print_Data& data = printer->Data_For_Setup();
  data.minimum_margins = TRect(250, 0, 250, 0);
  data.margins = TRect(1500, 0, 1000, 500);
  Submit_And_Spool();
  const int width = printer->Device_Caps(HORZRES), height = printer->Device_Caps(VERTRES);
  EXPECT_EQ(width, 5100);  // letter at 600 dpi, no unprintable margins
  EXPECT_EQ(height, 6600);
  // (1500 - 250) x 600 / 1000 = 750; a margin of 0 leaves the edge.
  EXPECT_EQ(printout.page, TRect(750, 0, width - 450, height - 300));
  EXPECT_EQ(printout.ppi, TPoint(600, 600));
  printer->Set_Orientation(DMORIENT_LANDSCAPE);
  EXPECT_EQ(printer->Device_Caps(HORZRES), 6600);
  // Turned, the printer's own margins and resolutions turn with the sheet:
  // its top edge becomes the page's left, its vertical resolution the
  // page's horizontal one.
  Printer::Print_Data turned = printer->Data();
  turned.device.media = {"na_letter_8.5x11in", "", 21590, 27940, 635, 1270, 635, 0};
  turned.device.dpi_x = 600, turned.device.dpi_y = 300;
  turned.minimum_margins = TRect(250, 500, 250, 0);
  turned.margins = TRect(1500, 1000, 1500, 1000);
  EXPECT_EQ(Printer::Pixels_Per_Inch(turned), TPoint(300, 600));
  // 3150 by 4800 printable; (1500 - 500) x 300 / 1000 = 300 on the left.
  EXPECT_EQ(Printer::Page_Of(turned), TRect(300, 450, 3150 - 450, 4800 - 450));
}

TEST_F(Printer_Test, LeavingWhilePrintingCancelsWaitsAndTellsNobody) {
  Submit_And_Spool();
  Tick();
  printer->Forget_Client(&client);
  printer->Settle();
  EXPECT_FALSE(printer->Busy());
  EXPECT_EQ(service.cancelled, std::vector<int32_t>{7});
  EXPECT_EQ(client.ended, 0);
  // The printer itself going away while its thread spools waits for it.
  printout.hold_until_abort = true;
  ASSERT_TRUE(printer->Submit(&printout, &client));
  while (printout.printed == 0) std::this_thread::yield();
  printer.reset();
  EXPECT_EQ(printout.ended, 2);
}

TEST_F(Printer_Test, SeenJobWhoseLookWentUnansweredIsStillWithdrawn) {
  struct Case {
    const char* what;
    std::function<void()> leave;
  };
  const Case cases[] = {
      {"Abort", [this] { EXPECT_TRUE(printer->Cancel_Job()); }},
      {"the client going away", [this] { printer->Forget_Client(&client); }},
      {"the printer going away", [this] { printer.reset(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!printer) printer = std::make_unique<Printer>(&service);
    printer->Settle();
    service.state = TPrint_Job_State::Waiting;
    service.cancelled.clear();
    Submit_And_Spool();
    Tick();  // seen
    service.state = TPrint_Job_State::Unreachable;
    Tick();  // one look left unanswered: the job may still print
    c.leave();
    if (printer) printer->Settle();
    ASSERT_EQ(service.cancelled.size(), 1u);
    EXPECT_GE(service.cancelled[0], 7);
    if (printer && printer->Busy()) {
      service.state = TPrint_Job_State::Cancelled;
      Tick();
    }
    EXPECT_FALSE(printer && printer->Busy());
  }
}

TEST_F(Printer_Test, LateAnswerAboutAnEndedJobIsNotTakenForTheNextOne) {
  Submit_And_Spool();
  Tick();  // seen as job 7
  // The five-second look at job 7 is kept waiting by the server...
  service.hold_looks = true;
  service.state = TPrint_Job_State::Completed;
  Media_Test::Advance(5000);
  ASSERT_TRUE(Fake_Print_Service::Reached(service.looks_entered, 1));
  // ... while its client goes away, and another job is taken as job 8.
  printer->Forget_Client(&client);
  Counting_Client next;
  ASSERT_TRUE(printer->Submit(&printout, &next));
  printer->Wait_For_Thread();
  Media_Test::Advance(500);
  EXPECT_EQ(printer->Job_Id(), 8);
  // Job 7's answer comes at last: job 8 prints on.
  service.hold_looks = false;
  printer->Settle();
  EXPECT_TRUE(printer->Busy());
  EXPECT_EQ(next.ended, 0);
  service.state = TPrint_Job_State::Printing;
  Tick();
  EXPECT_EQ(next.printing, 1);
  EXPECT_EQ(next.ended, 0);
}

TEST_F(Printer_Test, UnansweredLooksAddUpOnlyWhenTheyComeInARow) {
  Submit_And_Spool();
  Tick();
  // A long print on a busy machine: every other look goes unanswered.
  for (int i = 0; i < 2 * 3; ++i) {
    service.state = i % 2 ? TPrint_Job_State::Printing : TPrint_Job_State::Unreachable;
    Tick();
  }
  EXPECT_TRUE(printer->Busy());
  EXPECT_TRUE(printer->Defined());
  EXPECT_TRUE(catcher.boxes.empty());
}

TEST_F(Printer_Test, ServerCallDeafToInterruptHoldsNeitherAbortNorTheEnd) {
  for (bool abort : {true, false}) {
    SCOPED_TRACE(abort ? "Abort" : "the printer going away");
    if (!printer) printer = std::make_unique<Printer>(&service);
    printer->Settle();
    client = Counting_Client();
    const int entered = service.submits_entered, cancels = service.cancels;
    service.hold_submits = true;
    ASSERT_TRUE(printer->Submit(&printout, &client));
    ASSERT_TRUE(Fake_Print_Service::Reached(service.submits_entered, entered + 1));
    const int let_go = service.submits_let_go;
    if (abort) {
      EXPECT_TRUE(printer->Cancel_Job());
      EXPECT_FALSE(printer->Busy());
      EXPECT_EQ(client.ended, 1);
    } else {
      printer.reset();
    }
    // Back while the server still holds the document (it lets go after a
    // minute at most): nothing waited for it.
    EXPECT_EQ(service.submits_let_go, let_go) << "the printer waited for the server";
    // The server takes the job after all: nobody waits for it any more, and
    // it is withdrawn at once.
    service.hold_submits = false;
    ASSERT_TRUE(Fake_Print_Service::Reached(service.cancels, cancels + 1));
    std::lock_guard lock(service.mutex);
    EXPECT_EQ(service.cancelled.back(), service.next_job - 1);
  }
  EXPECT_TRUE(catcher.boxes.empty());
}

// A print server that never answers (silent, or dripping a byte now and
// then) holds neither the start nor the end of the program.
class Printer_Silent_Server_Test : public Media_Test {};

TEST_F(Printer_Silent_Server_Test, PrinterStartsAndEndsAtOnceWhenTheServerNeverAnswers) {
  using Clock = std::chrono::steady_clock;
  for (auto manner : {Stand_In_Print_Server::Manner::Silent, Stand_In_Print_Server::Manner::Dripping}) {
    Stand_In_Print_Server server(manner);
    ASSERT_TRUE(server.Listening());
    TCups_Print_Service cups(server.Path());
    // "At once" is far sooner than the question's deadline, which a start or
    // an end that waited for the answer would reach; the bounds leave a busy
    // machine the rest.
    const auto at_once = std::chrono::milliseconds(TCups_Print_Service::Question_Deadline_Ms / 2);
    const Clock::time_point start = Clock::now();
    Clock::time_point ending;
    {
      Printer printer(&cups);
      EXPECT_LT(Clock::now() - start, at_once);
      EXPECT_FALSE(printer.Defined());
      // Gone while it asks for the default printer.
      const Clock::time_point give_up = Clock::now() + std::chrono::seconds(120);
      while (server.Connections() == 0 && Clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      EXPECT_EQ(server.Connections(), 1);
      ending = Clock::now();
    }
    EXPECT_LT(Clock::now() - ending, at_once);
  }
}

}  // namespace

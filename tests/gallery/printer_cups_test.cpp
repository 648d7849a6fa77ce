// A drawing dropped on the printer and printed through a real print server:
// our own cupsd with a cups-pdf queue as the default printer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "gallery/printer.h"
#include "gallery/printer_io.h"
#include "platform/system/cups_print_service.h"
#include "tests/gallery/drop_point_stage.h"
#include "tests/gallery/peer_tools.h"
#include "tests/gallery/printer_fakes.h"
#include "tests/gallery/private_cups.h"

namespace {

using Clock = std::chrono::steady_clock;

// Whether done() came true within seconds of real time.
bool Within(int seconds, const std::function<bool()>& done) {
  const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
  while (!done() && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return done();
}

// The CUPS service, with the documents handed to it counted as they go in
// and as they come back.
struct Counting_Service : TPrint_Service {
  bool Default_Printer(TPrinter_Description& printer) override { return real.Default_Printer(printer); }
  bool Describe(const std::string& name, TPrinter_Description& printer) override {
    return real.Describe(name, printer);
  }
  std::vector<std::string> Printer_Names() override { return real.Printer_Names(); }
  std::vector<TPrint_Media> Media(const std::string& name) override { return real.Media(name); }
  int32_t Submit(const std::string& printer, const std::string& title, const std::string& paper,
                 const std::vector<uint8_t>& pdf) override {
    ++going;
    const int32_t job = real.Submit(printer, title, paper, pdf);
    ++back;
    return job;
  }
  TPrint_Job_State Job_State(const std::string& printer, int32_t job) override { return real.Job_State(printer, job); }
  bool Cancel(const std::string& printer, int32_t job) override { return real.Cancel(printer, job); }
  void Interrupt() override { real.Interrupt(); }
  void Resume() override { real.Resume(); }

  TCups_Print_Service real;
  std::atomic<int> going{0}, back{0};
};

class Printer_Cups_Test : public Drop_Point_Test {
 protected:
  ~Printer_Cups_Test() override {
    delete point;
    printer.reset();
  }
  // Moves the virtual clock on in real time until done() or seconds passed.
  bool Wait_For(const std::function<bool()>& done, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done() && std::chrono::steady_clock::now() < end) {
      session.Advance(500);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
  }

  Private_Cups cups;
  Message_Box_Catcher catcher;
  std::unique_ptr<Printer> printer;
  Printer_IO* point = nullptr;
};

TEST_F(Printer_Cups_Test, DroppedDrawingComesOutOfTheDefaultQueueAsItsOwnPixels) {
  ASSERT_TRUE(cups.Start()) << "the private print server could not start: " << cups.why();
  printer = std::make_unique<Printer>();
  printer->Settle();
  ASSERT_TRUE(printer->Defined());
  EXPECT_EQ(printer->Device_Name(), Private_Cups::Queue);
  // What the page set-up dialog offers: the queue and its papers, named for people.
  TCups_Print_Service cups_service;
  EXPECT_EQ(cups_service.Printer_Names(), std::vector<std::string>{Private_Cups::Queue});
  const std::vector<TPrint_Media> papers = cups_service.Media(Private_Cups::Queue);
  ASSERT_FALSE(papers.empty());
  EXPECT_FALSE(papers.front().label.empty());
  EXPECT_EQ(cups_service.Job_State(Private_Cups::Queue, 1), TPrint_Job_State::Gone);
  point = new Printer_IO(gallery, TRect(20, 300, 20 + 192, 300 + 260));
  ASSERT_TRUE(point->Create());
  EXPECT_STREQ(point->Tip_Text(), "Printer: quendar-pdf");

  const Rgb_Image expected = Colours_Of(*Put_Drawing(0, 0));
  point->Accept_Drop(Cell(0, 0));
  ASSERT_TRUE(printer->Busy());
  const Drawing_Place printer_slot = Slot(Drawing_Place::Printer_Slot);
  ASSERT_TRUE(Wait_For([&] { return Store().State(printer_slot) == 0; }, 90))
      << "the job did not end: job " << printer->Job_Id() << ", status " << printer->Status() << "\n"
      << cups.Log();
  EXPECT_TRUE(catcher.boxes.empty()) << catcher.boxes.front();

  std::string pdf;
  ASSERT_TRUE(Wait_For([&] { return !(pdf = cups.Output_Of(cups.First_Job())).empty(); }, 20))
      << "cups-pdf wrote no document for job " << cups.First_Job() << "\n" << cups.Log();
  // The filters hand the page on as rectangles of the picture's colours at
  // the printer's resolution: the page read at that resolution shows every
  // pixel of the drawing as a block of the same colour.
  Temp_Folder folder;
  const std::string dpi = std::to_string(printer->Device_Caps(LOGPIXELSX));
  ASSERT_EQ(Run_Tool("pdftoppm -r " + dpi + " -png -singlefile '" + pdf + "' " + folder / "page"), 0);
  std::filesystem::remove(pdf);
  const Rgb_Image page = Read_Png(folder / "page.png");
  const TRect box = Ink_Box(page);
  EXPECT_EQ(box.Width(), box.Height());
  EXPECT_GE(box.Width(), 2 * 576);  // the largest whole scale: 2 at 300 dpi on letter paper
  EXPECT_EQ(Printed_Differences(page, box, expected), 0)
      << "drawing printed at (" << box.left << ", " << box.top << ")-(" << box.right << ", " << box.bottom
      << ") of " << page.width << " x " << page.height;
}

TEST_F(Printer_Cups_Test, ServerThatHangsAfterItsFirstAnswersHoldsNeitherAbortNorTheEnd) {
  ASSERT_TRUE(cups.Start()) << "the private print server could not start: " << cups.why();
  Counting_Service service;
  const Drawing_Place printer_slot = Slot(Drawing_Place::Printer_Slot);
  for (bool abort : {true, false}) {
    SCOPED_TRACE(abort ? "Abort" : "closing");
    // The printer must never wait for the server: if it does, the server
    // goes on after a while so that the test ends, and fails.
    std::promise<void> finished;
    auto watchdog = std::async(std::launch::async, [&, done = finished.get_future()] {
      done.wait_for(std::chrono::seconds(10));
      cups.Thaw();
    });
    printer = std::make_unique<Printer>(&service);
    printer->Settle();
    ASSERT_TRUE(printer->Defined());
    point = new Printer_IO(gallery, TRect(20, 300, 20 + 192, 300 + 260));
    ASSERT_TRUE(point->Create());
    const int column = abort ? 0 : 1;
    Put_Drawing(0, column);
    cups.Freeze();
    const int sent = service.going;
    point->Accept_Drop(Cell(0, column));
    ASSERT_TRUE(printer->Busy());
    ASSERT_TRUE(Within(10, [&] { return service.going > sent; })) << "the job never went to the server";
    Clock::time_point start = Clock::now();
    if (abort) {
      point->Cm_Abort();
      EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
      EXPECT_FALSE(printer->Busy());
      EXPECT_EQ(Store().State(printer_slot), 0);
      start = Clock::now();
    }
    delete point;
    point = nullptr;
    printer.reset();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    finished.set_value();
    watchdog.get();
    // The document cut off on its way comes back, and nothing was printed.
    EXPECT_TRUE(Within(20, [&] { return service.back == service.going; }));
    EXPECT_TRUE(cups.Output_Of(cups.First_Job()).empty());
  }
  EXPECT_TRUE(catcher.boxes.empty());
}

}  // namespace

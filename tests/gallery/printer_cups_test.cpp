// A drawing dropped on the printer and printed through a real print server:
// our own cupsd with a cups-pdf queue as the default printer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

#include "gallery/page_setup_dialog.h"
#include "gallery/printer.h"
#include "gallery/printer_io.h"
#include "platform/system/cups_print_service.h"
#include "platform/window/static.h"
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
// and as they come back, and the last job it took and withdrew.
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
    taken = job;
    ++back;
    return job;
  }
  TPrint_Job_State Job_State(const std::string& printer, int32_t job) override { return real.Job_State(printer, job); }
  bool Cancel(const std::string& printer, int32_t job) override {
    const bool done = real.Cancel(printer, job);
    withdrawn = job;
    return done;
  }
  void Interrupt() override { real.Interrupt(); }
  void Resume() override { real.Resume(); }

  TCups_Print_Service real;
  std::atomic<int> going{0}, back{0};
  std::atomic<int32_t> taken{0}, withdrawn{0};
};

class Printer_Cups_Test : public Drop_Point_Test {
 protected:
  ~Printer_Cups_Test() override {
    delete point;
    printer.reset();
  }
  void SetUp() override {
    if (cups.Start()) return;
    // The PDF queue's backend runs only as the superuser.
    if (geteuid() != 0) GTEST_SKIP() << "the private print server needs root: " << cups.why();
    FAIL() << "the private print server could not start: " << cups.why();
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

  // Set up with Left 0 and the widest Right the page set-up takes beside
  // it, the drawing comes out whole on the paper at its own size.
  Printer::Print_Data edge = printer->Data();
  edge.margins.left = 0;
  edge.margins.right = 8000;
  EXPECT_NE(Page_Setup_Dialog::No_Room_Refusal(edge, expected.width), "");
  while (edge.margins.right > 0 && !Page_Setup_Dialog::No_Room_Refusal(edge, expected.width).empty())
    --edge.margins.right;
  printer->Set_Margins(edge.margins);
  point->Accept_Drop(Cell(0, 0));
  ASSERT_TRUE(Wait_For([&] { return Store().State(printer_slot) == 0; }, 90)) << cups.Log();
  ASSERT_TRUE(Wait_For([&] { return !(pdf = cups.Output_Of(cups.First_Job() + 1)).empty(); }, 20)) << cups.Log();
  ASSERT_EQ(Run_Tool("pdftoppm -r " + dpi + " -png -singlefile '" + pdf + "' " + folder / "edge"), 0);
  std::filesystem::remove(pdf);
  const Rgb_Image edge_page = Read_Png(folder / "edge.png");
  const TRect edge_box = Ink_Box(edge_page);
  EXPECT_EQ(edge_box.Width(), expected.width) << "Right " << edge.margins.right;
  EXPECT_EQ(Printed_Differences(edge_page, edge_box, expected), 0)
      << "Right " << edge.margins.right << ": drawing printed at (" << edge_box.left << ", " << edge_box.top << ")-("
      << edge_box.right << ", " << edge_box.bottom << ") of " << edge_page.width << " x " << edge_page.height;
  EXPECT_TRUE(catcher.boxes.empty()) << catcher.boxes.front();
}

using Points = std::pair<int, int>;

// The size of the PDF's first page in whole points.
Points Page_Points(const std::string& pdf) {
  Temp_Folder folder;
  if (Run_Tool("pdfinfo '" + pdf + "' >" + folder / "info")) return Points();
  std::ifstream in(folder / "info");
  std::string line;
  double w = 0, h = 0;
  while (std::getline(in, line))
    if (std::sscanf(line.c_str(), "Page size: %lf x %lf", &w, &h) == 2) break;
  return Points(int(std::lround(w)), int(std::lround(h)));
}

TEST_F(Printer_Cups_Test, EachQueueOpensOnItsOwnDefaultPaperAndPrintsOnIt) {
  // The default queue's driver names A4 its paper. Of the others, one is
  // given letter as its default, and one's driver is made to name A5, which
  // the server then reports only as the default paper's size. On the last,
  // whose driver names A4, the person has chosen letter paper of her own.
  struct Case {
    std::string queue, options, own_options;
    Points sheet;
  };
  const Case cases[] = {{Private_Cups::Queue, "", "", Points(595, 842)},
                        {"quendar-letter", "-o media-default=na_letter_8.5x11in", "", Points(612, 792)},
                        {"quendar-us", "-o PageSize=Letter", "", Points(612, 792)},
                        {"quendar-a5", "-o PageSize=A5", "", Points(421, 595)},
                        {"quendar-own", "", "-o media=na_letter_8.5x11in", Points(612, 792)}};
  for (const Case& c : cases) {
    if (c.queue != Private_Cups::Queue) {
      ASSERT_TRUE(cups.Add_Queue(c.queue, c.options)) << cups.Log();
    }
    if (!c.own_options.empty()) {
      ASSERT_TRUE(cups.Set_Own_Options(c.queue, c.own_options));
    }
  }
  printer = std::make_unique<Printer>();
  printer->Settle();
  point = new Printer_IO(gallery, TRect(20, 300, 20 + 192, 300 + 260));
  ASSERT_TRUE(point->Create());
  Put_Drawing(0, 0, 96);
  int job = cups.First_Job();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.queue);
    Later(10, [&] {
      auto* d = dynamic_cast<Page_Setup_Dialog*>(TWindow::From_Handle(GetActiveWindow()));
      ASSERT_NE(d, nullptr);
      for (size_t i = 0; i < d->Printer_Names().size() && d->Printer_Field()->Title() != c.queue; ++i)
        d->Step_Printer(1);
      Idle();  // the choice painted
      session.Snapshot("page_setup_" + c.queue, d->GetWindowRect());
      d->SendMessage(WM_COMMAND, IDOK);
    });
    printer->Setup(parent);
    const TPrint_Media& paper = printer->Data().device.media;
    EXPECT_EQ(printer->Data().device.name, c.queue);
    EXPECT_EQ(Points(std::lround(paper.width * 72 / 2540.0), std::lround(paper.length * 72 / 2540.0)), c.sheet)
        << paper.name;

    point->Accept_Drop(Cell(0, 0));
    ASSERT_TRUE(Wait_For([&] { return Store().State(Slot(Drawing_Place::Printer_Slot)) == 0; }, 90)) << cups.Log();
    std::string pdf;
    ASSERT_TRUE(Wait_For([&] { return !(pdf = cups.Output_Of(job)).empty(); }, 20))
        << "cups-pdf wrote no document for job " << job << "\n" << cups.Log();
    EXPECT_EQ(Page_Points(pdf), c.sheet);
    std::filesystem::remove(pdf);
    ++job;
  }
  EXPECT_TRUE(catcher.boxes.empty()) << catcher.boxes.front();
}

TEST_F(Printer_Cups_Test, ServerThatHangsAfterItsFirstAnswersHoldsNeitherAbortNorTheEnd) {
  Counting_Service service;
  const Drawing_Place printer_slot = Slot(Drawing_Place::Printer_Slot);
  for (bool abort : {true, false}) {
    SCOPED_TRACE(abort ? "Abort" : "closing");
    // The printer must never wait for the server: if it does, the server
    // goes on after a while so that the test ends, and fails. The while is
    // two minutes: a busy machine may take long to set up the job.
    std::promise<void> finished;
    std::atomic<bool> thawed{false};
    auto watchdog = std::async(std::launch::async, [&, done = finished.get_future()] {
      if (done.wait_for(std::chrono::seconds(120)) != std::future_status::ready) thawed = true;
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
    ASSERT_TRUE(Within(60, [&] { return service.going > sent; })) << "the job never went to the server";
    // Each is back while the server is still frozen: nothing waited for it.
    if (abort) {
      point->Cm_Abort();
      EXPECT_FALSE(thawed) << "Abort waited for the server";
      EXPECT_FALSE(printer->Busy());
      EXPECT_EQ(Store().State(printer_slot), 0);
    }
    delete point;
    point = nullptr;
    printer.reset();
    EXPECT_FALSE(thawed) << "the printer's end waited for the server";
    finished.set_value();
    watchdog.get();
    // The document cut off on its way comes back, and nothing was printed.
    // A job the server took all the same is withdrawn by its sender, which
    // the printer let go: the service it calls must outlive that call.
    EXPECT_TRUE(Within(120, [&] { return service.back == service.going; }));
    if (service.taken > 0) {
      EXPECT_TRUE(Within(120, [&] { return service.withdrawn == service.taken; }));
    }
    EXPECT_TRUE(cups.Output_Of(cups.First_Job()).empty());
  }
  EXPECT_TRUE(catcher.boxes.empty());
}

}  // namespace

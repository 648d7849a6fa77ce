// A drawing printed through a real print server: our own cupsd with a
// cups-pdf queue as the default printer.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "gallery/drawing_printout.h"
#include "gallery/printer.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "tests/gallery/printer_fakes.h"
#include "tests/gallery/private_cups.h"
#include "tests/toolkit/media_fixture.h"

namespace {

class Printer_Cups_Test : public Media_Test {
 protected:
  // Moves the virtual clock on in real time until done() or seconds passed.
  bool Wait_For(const std::function<bool()>& done, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done() && std::chrono::steady_clock::now() < end) {
      Advance(500);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
  }

  GUI_Colors colors;
  DIB_Allocator pool{2, 5, 360};
};

TEST_F(Printer_Cups_Test, DrawingComesOutOfTheDefaultQueueAsItsOwnPixels) {
  Private_Cups cups;
  ASSERT_TRUE(cups.Start()) << "the private print server could not start: " << cups.why();
  Message_Box_Catcher catcher;
  Printer printer;
  ASSERT_TRUE(printer.Defined());
  EXPECT_EQ(printer.Device_Name(), Private_Cups::Queue);
  EXPECT_GT(printer.Device_Caps(HORZRES), 0);

  auto drawing = std::make_unique<Shape_Drawing>(360, 360, nullptr, TColor(255, 255, 255));
  for (int y = 0; y < 360; ++y)
    for (int x = 0; x < 360; ++x)
      drawing->Bitmap->GetBits()[y * drawing->Bitmap->Pitch() + x] = uint8_t((x / 9 + 5 * (y / 12)) % 60 + 10);
  const Rgb_Image expected = Colours_Of(*drawing);
  Drawing_Printout printout(nullptr);
  printout.Set_Drawing(std::move(drawing));
  Counting_Client client;
  ASSERT_TRUE(printer.Submit(&printout, &client));
  ASSERT_TRUE(Wait_For([&] { return client.ended == 1; }, 20)) << "the job did not end: job " << printer.Job_Id()
                                                                  << ", status " << printer.Status() << "\n"
                                                                  << cups.Log();
  EXPECT_TRUE(catcher.boxes.empty()) << catcher.boxes.front();

  std::string pdf;
  ASSERT_TRUE(Wait_For([&] { return !(pdf = cups.Output_Of(cups.First_Job())).empty(); }, 20))
      << "cups-pdf wrote no document for job " << cups.First_Job();
  // The filters hand the page on as rectangles of the picture's colours at
  // the printer's resolution: the page read at that resolution shows every
  // pixel of the drawing as a block of the same colour.
  Temp_Folder folder;
  const std::string dpi = std::to_string(printer.Device_Caps(LOGPIXELSX));
  ASSERT_EQ(Run_Tool("pdftoppm -r " + dpi + " -png -singlefile '" + pdf + "' " + folder / "page"), 0);
  std::filesystem::remove(pdf);
  const Rgb_Image page = Read_Png(folder / "page.png");
  const TRect box = Ink_Box(page);
  EXPECT_EQ(box.Width(), box.Height());
  EXPECT_GE(box.Width(), 2 * 360);
  EXPECT_EQ(Printed_Differences(page, box, expected), 0)
      << "drawing printed at (" << box.left << ", " << box.top << ")-(" << box.right << ", " << box.bottom << ") of "
      << page.width << " x " << page.height << ", paper " << printer.Data().device.media.name << " "
      << printer.Data().device.media.width << " x " << printer.Data().device.media.length << " at " << dpi;
}

}  // namespace

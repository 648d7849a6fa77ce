#include "gallery/drawing_printout.h"

#include <gtest/gtest.h>

#include "platform/gdi/pdf_page_writer.h"
#include "platform/gdi/print_dc.h"
#include "tests/gallery/peer_tools.h"
#include "tests/model/model_fixture.h"

namespace {

TEST(Drawing_Printout_Placement, LargestWholeScaleCentredWithTheAspectKept) {
  struct Case {
    const char* what;
    TRect page;
    TPoint ppi;
    TSize drawing;
    TRect expected;
  };
  const Case cases[] = {
      {"equal resolutions: k = 3 across, centred down", {100, 200, 1900, 2600}, {600, 600}, {576, 576},
       {100 + 36, 200 + 336, 100 + 36 + 1728, 200 + 336 + 1728}},
      {"taller page limits k by its height", {0, 0, 5000, 1200}, {300, 300}, {576, 576}, {1924, 24, 3076, 1176}},
      {"300 by 600 dpi: twice as tall as wide", {0, 0, 2400, 6000}, {300, 600}, {360, 360}, {30, 660, 2370, 5340}},
      {"600 by 300 dpi: twice as wide as tall", {0, 0, 6000, 2400}, {600, 300}, {360, 360}, {660, 30, 5340, 2370}},
      {"larger than the page: own size, overhanging", {10, 10, 110, 510}, {300, 300}, {103, 103}, {8, 208, 111, 311}},
      {"a page of nothing still gets the drawing once", {0, 0, 0, 0}, {300, 300}, {4, 4}, {-2, -2, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Drawing_Printout::Placement(c.page, c.ppi, c.drawing), c.expected);
  }
}

TEST(Drawing_Printout_Title, EveryHandingOverCountsAlsoOfNone) {
  Drawing_Printout printout(nullptr);
  printout.Set_Drawing(nullptr);
  EXPECT_EQ(printout.title, "Quendar Drawing 1");
  // A refused job hands over a copy and then none: two numbers gone.
  printout.Set_Drawing(nullptr);
  printout.Set_Drawing(nullptr);
  EXPECT_EQ(printout.title, "Quendar Drawing 3");
}

class Drawing_Printout_Page : public Model_Test {
 protected:
  // A drawing with a run of colours in every row, so that a shift, a
  // mirror or a smoothed edge shows.
  std::unique_ptr<Shape_Drawing> Striped(int side) {
    auto drawing = std::make_unique<Shape_Drawing>(side, side, nullptr, TColor(255, 255, 255));
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) Pixel(*drawing, x, y) = uint8_t((x / 7 + 3 * (y / 5)) % 40 + 10);
    Fill(*drawing, 0, 0, side / 3, side / 4, Index(TColor(255, 0, 0)));
    return drawing;
  }
};

TEST_F(Drawing_Printout_Page, PdfHoldsTheDrawingOnceAndReadsBackPixelForPixel) {
  if (!Tool_Exists("pdfimages") || !Tool_Exists("pdftoppm")) GTEST_FAIL() << "poppler-utils are not installed";
  Drawing_Printout printout(nullptr);
  // Readers smooth images enlarged less than four times, whatever the
  // document asks; at six times they show the pixels as they are.
  printout.Set_Drawing(Striped(120));
  const Rgb_Image drawing = Colours_Of(*printout.drawing);
  // A 10 by 10 inch sheet at 100 dpi with a printable area from (0.5, 1) inch.
  TPrintDC dc(900, 800, 100, 100, TPrintDC::TKind::Kept);
  const TRect page(20, 20, 880, 780);
  printout.Begin_Printing(page, TPoint(100, 100));
  EXPECT_EQ(printout.placement, TRect(90, 40, 810, 760));  // k = 6
  printout.Print_Page(dc, page);
  printout.End_Printing();
  EXPECT_EQ(printout.drawing, nullptr);
  ASSERT_EQ(dc.Pictures().size(), 1u);
  TPdf_Page_Geometry geometry{720, 720, 36, 72, 100, 100};
  const std::vector<uint8_t> pdf = TPdf_Page_Writer::Write(geometry, dc.Pictures());
  ASSERT_FALSE(pdf.empty());

  Temp_Folder folder;
  std::ofstream(folder / "page.pdf", std::ios::binary).write(reinterpret_cast<const char*>(pdf.data()), long(pdf.size()));
  // The image inside the document: the drawing itself, at its own size.
  ASSERT_EQ(Run_Tool("pdfimages -png " + folder / "page.pdf" + " " + folder / "image"), 0);
  EXPECT_FALSE(std::filesystem::exists(folder / "image-001.png"));  // only one image
  const Rgb_Image image = Read_Png(folder / "image-000.png");
  EXPECT_EQ(Differences(image, drawing), 0);
  // The page as a reader shows it at the printer's resolution: the pixels
  // repeated six times each way, from device pixel (90, 40) of the printable area.
  ASSERT_EQ(Run_Tool("pdftoppm -r 100 -png -singlefile " + folder / "page.pdf" + " " + folder / "page"), 0);
  const Rgb_Image shown = Read_Png(folder / "page.png");
  ASSERT_EQ(shown.width, 1000);
  EXPECT_EQ(Differences(shown, drawing, 6, 50 + 90, 100 + 40), 0);
  EXPECT_EQ(shown.At(50 + 89, 100 + 40), 0xFFFFFFu);
  EXPECT_EQ(shown.At(50 + 810, 100 + 759), 0xFFFFFFu);
}

}  // namespace

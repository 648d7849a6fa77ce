#include "toolkit/gui_bitmaps.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/gdi/memory_dc.h"
#include "tests/toolkit/pictures_fixture.h"

namespace {

class GUI_Bitmaps_Test : public Pictures_Test {
 protected:
  std::unique_ptr<TMemoryDC> screen = GUI_Bitmaps::Screen_Reference();

  // A w x h picture in the face colour with the given pixels set to colour.
  TBitmap Face_With(int w, int h, std::initializer_list<TPoint> points, TColor colour) {
    TBitmap b(w, h);
    TMemoryDC dc(b);
    dc.SelectObject(TBrush(The_GUI_Colors->Scheme[0]));
    dc.PatBlt(TRect(0, 0, w, h), PATCOPY);
    for (TPoint p : points) dc.SetPixel(p, colour);
    return b;
  }
};

// The first size asked for is kept until the picture is dropped; the text
// picture likewise, whatever its label.
TEST_F(GUI_Bitmaps_Test, First_Size_Wins) {
  EXPECT_EQ(The_GUI_Bitmaps, &stores.bitmaps);
  auto& pictures = stores.bitmaps.Pictures;
  EXPECT_TRUE(stores.bitmaps.Get(13, TSize(40, 40)));
  const TBitmap* first = pictures[13].get();
  EXPECT_FALSE(stores.bitmaps.Get(13, TSize(60, 60)));
  EXPECT_TRUE(pictures[13].get() == first && first->Size() == TSize(40, 40));
  stores.bitmaps.Drop(13);
  EXPECT_TRUE(stores.bitmaps.Get(13, TSize(60, 60)));
  EXPECT_EQ(pictures[13]->Size(), TSize(60, 60));

  EXPECT_TRUE(stores.bitmaps.Get_Text_Picture(TSize(60, 60), "Ann", 1));
  const TBitmap* text = pictures[22].get();
  const uint32_t before = Pixel(*text, 0, 0);
  EXPECT_FALSE(stores.bitmaps.Get_Text_Picture(TSize(60, 60), "Bob", 3));
  EXPECT_FALSE(stores.bitmaps.Get(22, TSize(60, 60)));
  EXPECT_EQ(pictures[22].get(), text);
  stores.bitmaps.Drop(22);
  EXPECT_TRUE(stores.bitmaps.Get_Text_Picture(TSize(70, 50), "Bob", 3));
  EXPECT_EQ(pictures[22]->Size(), TSize(70, 50));
  EXPECT_EQ(Pixel(*pictures[22], 0, 0), before);
}

TEST_F(GUI_Bitmaps_Test, Resource_Pictures_Are_There_And_Others_Stay_Empty) {
  for (int id : {3, 4, 5, 6, 36}) {
    ASSERT_TRUE(stores.bitmaps.Pictures[size_t(id)]) << id;
    EXPECT_FALSE(stores.bitmaps.Get(id, TSize(10, 10)));
    EXPECT_EQ(stores.bitmaps.Pictures[size_t(id)]->Size(), id == 36 ? TSize(48, 24) : TSize(32, 32));
    EXPECT_TRUE(id == 36 || stores.bitmaps.Pictures[size_t(id)]->BitsPixel() == 1) << id;
  }
  for (int id : {0, 32, 33, 34, 37, -1}) {
    EXPECT_FALSE(stores.bitmaps.Get(id, TSize(10, 10))) << id;
    EXPECT_TRUE(id < 0 || id > 34 || !stores.bitmaps.Pictures[size_t(id)]) << id;
  }
  // The busy cursor's mask is opaque over the counter box; its image white there.
  const TBitmap &image = *stores.bitmaps.Pictures[5], &mask = *stores.bitmaps.Pictures[6];
  for (int y = 11; y < 21; ++y)
    for (int x = 15; x < 26; ++x) EXPECT_TRUE(Pixel(mask, x, y) == 0 && Pixel(image, x, y) == 0xFFFFFF) << x << "," << y;
  EXPECT_EQ(Pixel(mask, 5, 0), 0u);  // the hot spot is on the arrow's tip
  EXPECT_EQ(Pixel(mask, 0, 31), 0xFFFFFFu);
}

TEST_F(GUI_Bitmaps_Test, Checker_Starts_With_Colour_B) {
  const auto checker = GUI_Bitmaps::Make_Checker_Bitmap(*screen, TColor::Black, TColor::White);
  ASSERT_EQ(checker->Size(), TSize(8, 8));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(Pixel(*checker, x, y), (x + y) % 2 ? 0u : 0xFFFFFFu) << x << "," << y;
  // Palette-index colours resolve through the scheme palette.
  const auto scheme = GUI_Bitmaps::Make_Checker_Bitmap(*screen, TColor::Palette_Index(0), TColor::Palette_Index(255));
  EXPECT_EQ(Pixel(*scheme, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(*scheme, 0, 1), 0u);
}

TEST_F(GUI_Bitmaps_Test, Disabled_Picture_Is_A_Silhouette_With_A_Highlight) {
  const uint32_t face = Scheme_Xrgb(0), shadow = Scheme_Xrgb(2), light = Scheme_Xrgb(4);
  const auto disabled = [&](int w, int h, std::initializer_list<TPoint> points, TColor colour = TColor::Black) {
    return GUI_Bitmaps::Make_Disabled_Picture(*screen, Face_With(w, h, points, colour));
  };
  EXPECT_EQ(Count(*disabled(7, 5, {}), face), 35);
  // Width 7 leaves padding in the 8-byte working rows.
  const auto one = disabled(7, 5, {TPoint(3, 2)}, TColor(200, 0, 0));
  ASSERT_EQ(one->Size(), TSize(7, 5));
  EXPECT_EQ(std::tuple(Pixel(*one, 3, 2), Pixel(*one, 4, 3), Count(*one, face)), std::tuple(shadow, light, 33));
  // A pixel in the last column or row casts its highlight out of the picture.
  const auto edge = disabled(6, 4, {TPoint(5, 1), TPoint(2, 3)});
  EXPECT_EQ(std::pair(Count(*edge, light), Count(*edge, shadow)), std::pair(0, 2));
  // A shadow on another shadow takes no highlight; column 0 never does.
  const auto pair = disabled(6, 4, {TPoint(1, 1), TPoint(2, 2), TPoint(0, 3)});
  EXPECT_EQ(std::tuple(Pixel(*pair, 2, 2), Pixel(*pair, 3, 3), Pixel(*pair, 0, 0)), std::tuple(shadow, light, face));
}

TEST_F(GUI_Bitmaps_Test, Two_Colour_Mask_Marks_The_Key) {
  const TColor key(0, 0, 255);
  TBitmap source(5, 3);
  TMemoryDC dc(source);
  dc.SelectObject(TBrush(key));
  dc.PatBlt(TRect(0, 0, 5, 3), PATCOPY);
  dc.SetPixel(1, 1, TColor(0, 0, 128));  // another blue of the palette
  dc.SetPixel(4, 2, TColor::White);
  // Into a colour picture larger than the source and into a monochrome one.
  TBitmap colour_mask(8, 4), mono(5, 3, 1, 1, nullptr);
  for (TBitmap* mask : {&colour_mask, &mono}) {
    GUI_Bitmaps::Blit_Two_Color(*screen, source, *mask, key);
    EXPECT_EQ(std::tuple(Pixel(*mask, 0, 0), Pixel(*mask, 1, 1), Pixel(*mask, 4, 2), Count(*mask, 0xFFFFFF)),
              std::tuple(0xFFFFFFu, 0u, 0u, 13));
  }
  EXPECT_EQ(Pixel(colour_mask, 6, 3), 0u);  // beyond the source: untouched
}

TEST_F(GUI_Bitmaps_Test, Recolour_Replaces_One_Colour) {
  TBitmap picture = Face_With(9, 3, {TPoint(0, 0), TPoint(8, 2)}, TColor(255, 255, 0));
  const uint32_t face = Scheme_Xrgb(0);
  GUI_Bitmaps::Blit_Recolor(*screen, picture, TColor(255, 255, 0), TColor(255, 255, 0));
  EXPECT_EQ(std::pair(Count(picture, 0xFFFF00), Count(picture, face)), std::pair(2, 25));
  GUI_Bitmaps::Blit_Recolor(*screen, picture, TColor(255, 255, 0), The_GUI_Colors->Scheme[11]);
  EXPECT_EQ(std::pair(Count(picture, Scheme_Xrgb(11)), Count(picture, face)), std::pair(2, 25));
  // The palette-index form of the face colour names the same pixels.
  const int face_index = The_GUI_Colors->Palette->GetNearestPaletteIndex(TColor::From_Xrgb(face));
  GUI_Bitmaps::Blit_Recolor(*screen, picture, TColor::Palette_Index(face_index), TColor::Black);
  EXPECT_EQ(Count(picture, 0), 25);
}

}  // namespace

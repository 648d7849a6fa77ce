// The safari strip's two sprites: drawn through their masks over any
// background, and the album's points and photo.
#include <gtest/gtest.h>

#include "game/shape_album.h"
#include "game/shape_camera.h"
#include "model/dib_allocator.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "platform/gdi/raster_op.h"
#include "tests/toolkit/pictures_fixture.h"

namespace {

constexpr uint32_t Green = 0x00FF00;

class Camera_Album_Test : public Pictures_Test {
 protected:
  std::unique_ptr<TMemoryDC> screen = GUI_Bitmaps::Screen_Reference();
  DIB_Allocator pool{2, 6, 456};

  static TBitmap Filled(TSize size, TColor color) {
    TBitmap b(size.cx, size.cy);
    TMemoryDC dc(b);
    dc.FillRect(TRect(0, 0, size.cx, size.cy), TBrush(color));
    return b;
  }
  // The cached picture id at size, as the cache draws it.
  static TBitmap Cached(GUI_Picture_Id id, TSize size) {
    The_GUI_Bitmaps->Drop(id);
    The_GUI_Bitmaps->Get(id, size);
    TBitmap copy(*The_GUI_Bitmaps->Pictures[size_t(id)]);
    The_GUI_Bitmaps->Drop(id);
    return copy;
  }
  // Where the sprite drawn over green shows: green exactly where the
  // outline picture shows key, the picture's own pixels elsewhere.
  static void Expect_Masked(const TBitmap& drawn, const TBitmap& picture, const TBitmap& outline, uint32_t key) {
    int transparent = 0, mismatched = 0;
    for (int y = 0; y < drawn.Height(); ++y)
      for (int x = 0; x < drawn.Width(); ++x) {
        const uint32_t want = Pixel(outline, x, y) == key ? Green : Pixel(picture, x, y);
        transparent += want == Green;
        mismatched += Pixel(drawn, x, y) != want;
      }
    EXPECT_EQ(mismatched, 0);
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, drawn.Width() * drawn.Height());
  }
  // The photo square's pixels that are not one of the colours.
  static int Others_In(const TBitmap& b, const TRect& r, std::initializer_list<uint32_t> colors) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        n += std::find(colors.begin(), colors.end(), Pixel(b, x, y)) == colors.end();
    return n;
  }
  // Pixels outside r that differ between a and b.
  static int Changed_Outside(const TBitmap& a, const TBitmap& b, const TRect& r) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) n += !r.Contains(TPoint(x, y)) && Pixel(a, x, y) != Pixel(b, x, y);
    return n;
  }
  // A side x side target-like picture: a blue block on background.
  static Shape_Drawing Block_Picture(int side, TColor background) {
    Shape_Drawing picture(side, side, The_GUI_Colors->Palette.get(), background);
    static const Square square;
    picture.Paint_Shape(square, TRect(side / 4, side / 4, 3 * side / 4, 3 * side / 4), TColor(0, 0, 200),
                        TColor(No_Color));
    return picture;
  }
};

TEST_F(Camera_Album_Test, The_Camera_Shows_The_Background_Round_Its_Normal_And_Flashing_Pictures) {
  Shape_Camera camera(*screen);
  const TSize size = camera.Size();
  EXPECT_EQ(size, TSize((*The_GUI_Sizes)[17], (*The_GUI_Sizes)[18]));
  // Only the camera needed the cached pictures.
  EXPECT_EQ(The_GUI_Bitmaps->Pictures[24], nullptr);
  EXPECT_EQ(The_GUI_Bitmaps->Pictures[26], nullptr);
  for (bool flash : {false, true}) {
    SCOPED_TRACE(flash);
    TBitmap drawn = Filled(size, TColor::From_Xrgb(Green));
    TMemoryDC dc(drawn);
    camera.Draw(dc, TRect(0, 0, size.cx, size.cy), flash);
    Expect_Masked(drawn, Cached(flash ? 26 : 24, size), Cached(24, size), 0x0000FF);
  }
}

TEST_F(Camera_Album_Test, The_Flash_Lies_Inside_The_Cameras_Outline) {
  // The flashing camera is drawn through the plain camera's mask: any of
  // its pixels outside that outline would be lost.
  const TSize size((*The_GUI_Sizes)[17], (*The_GUI_Sizes)[18]);
  const TBitmap plain = Cached(24, size), flashing = Cached(26, size);
  int outside = 0, lit = 0;
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) {
      outside += Pixel(plain, x, y) == 0x0000FF && Pixel(flashing, x, y) != 0x0000FF;
      lit += Pixel(plain, x, y) != Pixel(flashing, x, y);
    }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(lit, size.cx * size.cy / 20) << "the flash should show";
}

TEST_F(Camera_Album_Test, The_Photo_Square_Follows_The_Drawing_Area) {
  // 456 pixels of drawing area: k = 15, a 60-pixel photo.
  EXPECT_EQ(Shape_Album::Photo_Side(456), 60);
  EXPECT_EQ(Shape_Album::Photo_Side(576), 72);
  EXPECT_EQ(Shape_Album::Photo_Side(360), 48);
  EXPECT_EQ(Shape_Album::Photo_Left(80, 60), 80 - 60 - (70 - 60) / 2);
  Shape_Album album(*screen);
  EXPECT_EQ(album.Photo_Rect, TRect(15, 1, 75, 61));
  EXPECT_EQ(album.Line_Height, 20);
  EXPECT_EQ(album.Text_Anchors[1], TPoint(45, 31 - 10));
  EXPECT_EQ(album.Text_Anchors[0].y, album.Text_Anchors[1].y - 20);
  EXPECT_EQ(album.Text_Anchors[2].y, album.Text_Anchors[1].y + 20);
}

TEST_F(Camera_Album_Test, The_Album_Shows_Points_Then_A_Photo_Only_In_Its_Square_And_Clears) {
  Shape_Album album(*screen);
  const TSize size = album.Size();
  auto painted = [&] {
    TBitmap drawn = Filled(size, TColor::From_Xrgb(Green));
    TMemoryDC dc(drawn);
    album.Paint(dc, TRect(0, 0, size.cx, size.cy));
    return drawn;
  };
  const TBitmap empty = painted();
  const TBitmap album_picture = Cached(23, size);
  Expect_Masked(empty, album_picture, album_picture, 0xFFFFFF);

  // Three centred lines over the photo square, in the text colour.
  album.Show_Points(100);
  const TBitmap points = painted();
  TRect text(size.cx, size.cy, 0, 0);
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (Pixel(points, x, y) != Pixel(empty, x, y))
        text = TRect(std::min(text.left, x), std::min(text.top, y), std::max(text.right, x + 1),
                     std::max(text.bottom, y + 1));
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_EQ(Changed_Outside(empty, points, album.Photo_Rect), 0);
  EXPECT_LE(std::abs((text.left + text.right) / 2 - (album.Photo_Rect.left + album.Photo_Rect.right) / 2), 2);
  EXPECT_GT(text.Height(), 2 * album.Line_Height);

  // A photo of a white-ground picture: a silhouette in the album's two
  // colours, over the points only in the square.
  Shape_Drawing white = Block_Picture(456, TColor::White);
  album.Add(white);
  const TBitmap silhouette = painted();
  EXPECT_EQ(Changed_Outside(points, silhouette, album.Photo_Rect), 0);
  EXPECT_EQ(Others_In(silhouette, album.Photo_Rect, {Scheme_Xrgb(11), Scheme_Xrgb(1)}), 0);
  EXPECT_GT(Count(silhouette, Scheme_Xrgb(1)), 100);

  // One on scheme colour 11 keeps its own colours.
  Shape_Drawing own = Block_Picture(456, Palette_Color_To_RGB(The_GUI_Colors->Scheme[11], *The_GUI_Colors->Palette));
  album.Add(own);
  const TBitmap coloured = painted();
  EXPECT_GT(Count(coloured, 0x0000C8), 100);

  album.Clear();
  const TBitmap cleared = painted();
  EXPECT_EQ(Changed_Outside(empty, cleared, TRect()), 0);
}

}  // namespace

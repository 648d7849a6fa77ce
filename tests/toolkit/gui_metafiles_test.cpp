#include "toolkit/gui_metafiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "platform/gdi/memory_dc.h"
#include "platform/gdi/metafile_recorder.h"
#include "platform/system/resource.h"
#include "tests/toolkit/pictures_fixture.h"

namespace {

using Kind = TMetafile_Command::Kind;

// A metafile whose frame (0..100 wide, 0..50 high, y up) is filled red.
std::unique_ptr<TMetaFilePict> Red_Frame() {
  TMetafile_Recorder r;
  r.SetWindowOrg(0, 50);
  r.SetWindowExt(100, -50);
  const int brush = r.CreateBrushIndirect(BS_SOLID, TColor(255, 0, 0), 0), pen = r.CreatePenIndirect(PS_NULL, 0, 0);
  r.SelectObject(brush);
  r.SelectObject(pen);
  const TPoint frame[4] = {{0, 0}, {100, 0}, {100, 50}, {0, 50}};
  r.Polygon(frame, 4);
  r.DeleteObject(brush);
  r.DeleteObject(pen);
  const std::vector<uint8_t> bytes = r.Bytes();
  return std::make_unique<TMetaFilePict>(bytes.data(), bytes.size());
}

// The context's whole mapping: mode, window origin and extent, viewport
// origin and extent.
auto Mapping(const TDC& dc) {
  return std::tuple(dc.GetMapMode(), dc.GetWindowOrg(), dc.GetWindowExt(), dc.GetViewportOrg(), dc.GetViewportExt());
}

TEST(GUI_Metafiles, Slots_Load_Their_Resources_Once) {
  GUI_Metafiles store;
  EXPECT_EQ(The_GUI_Metafiles, &store);
  EXPECT_EQ((std::array{GUI_Metafiles::Resource_Of(0), GUI_Metafiles::Resource_Of(5), GUI_Metafiles::Resource_Of(6),
                        GUI_Metafiles::Resource_Of(14)}),
            (std::array<uint32_t, 4>{4501, 4507, 4506, 4515}));
  for (int slot = 0; slot < GUI_Metafiles::Slot_Count; ++slot) {
    store.Ensure(slot);
    ASSERT_TRUE(store.Slots[size_t(slot)]) << slot;
    const TResource resource = Find_Resource(RT_RCDATA, GUI_Metafiles::Resource_Of(slot));
    const std::vector<uint8_t>& bits = store.Slots[size_t(slot)]->Bits();
    EXPECT_TRUE(std::equal(bits.begin(), bits.end(), resource.data, resource.data + resource.size)) << slot;
  }
  const TMetaFilePict* loaded = store.Slots[5].get();
  store.Ensure(5);
  EXPECT_EQ(store.Slots[5].get(), loaded);
  store.Release(2);
  EXPECT_FALSE(store.Slots[2]);
  store.Ensure(2);
  EXPECT_TRUE(store.Slots[2]);
  for (int outside : {15, -1}) store.Ensure(outside);
  store.Release(15);
}

// The frame's far corner lands at the extent from the rectangle's origin (a
// filled polygon leaves out its right and bottom edge), however unevenly
// stretched; the context keeps its mapping and objects, and an unloaded
// slot draws nothing.
TEST(GUI_Metafiles, Play_Fills_The_Rectangle_And_Leaves_The_Context_As_It_Was) {
  GUI_Metafiles store;
  store.Slots[13] = Red_Frame();
  for (auto [rect, ink] : {std::pair(TRect(10, 20, 110, 70), TRect(10, 20, 109, 69)), std::pair(TRect(0, 0, 40, 200), TRect(0, 0, 39, 199))}) {
    TBitmap picture(300, 300);
    TMemoryDC dc(picture);
    dc.SelectObject(TBrush(TColor(0, 255, 0)));
    dc.SelectStockObject(NULL_PEN);
    store.Play(13, dc, rect);
    EXPECT_EQ(Bounds_Of(picture, 0xFF0000), ink);
    EXPECT_EQ(Mapping(dc), std::tuple(MM_TEXT, TPoint(0, 0), TSize(1, 1), TPoint(0, 0), TSize(1, 1)));
    dc.Rectangle(TRect(200, 200, 220, 220));  // the metafile's red brush and null pen went with it
    EXPECT_EQ(picture.Surface()->Pixel_Xrgb(210, 210), 0x00FF00u);
    store.Play(3, dc, TRect(250, 0, 300, 50));
    EXPECT_EQ(picture.Surface()->Pixel_Xrgb(275, 25), 0u);
  }
  // An anisotropic context gets its own mapping back, window included.
  TBitmap picture(20, 20);
  TMemoryDC dc(picture);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowOrg(TPoint(3, 4));
  dc.SetWindowExt(TSize(7, 8));
  dc.SetViewportOrg(TPoint(5, 6));
  dc.SetViewportExt(TSize(14, 16));
  store.Play(13, dc, TRect(0, 0, 20, 20));
  EXPECT_EQ(Mapping(dc), std::tuple(MM_ANISOTROPIC, TPoint(3, 4), TSize(7, 8), TPoint(5, 6), TSize(14, 16)));
}

// Every built-in picture is a sound metafile of the records the store's
// users may rely on, with its own frame and logical y growing upward.
TEST(Metafile_Resources, Are_Complete_With_Their_Own_Frame) {
  for (uint32_t id = 4501; id <= 4515; ++id) {
    const TResource r = Find_Resource(RT_RCDATA, id);
    ASSERT_TRUE(r) << id;
    const TMetafile_Contents contents = Read_Metafile(r.data, r.size);
    ASSERT_TRUE(contents.header_ok && contents.complete) << id;
    ASSERT_GE(contents.commands.size(), 3u);
    EXPECT_EQ(contents.commands[0].kind, Kind::Set_Window_Org) << id;
    EXPECT_EQ(contents.commands[1].kind, Kind::Set_Window_Ext) << id;
    EXPECT_LT(contents.commands[1].point.y, 0) << id;
    for (const TMetafile_Command& c : contents.commands)
      EXPECT_TRUE(c.kind != Kind::Ellipse && c.kind != Kind::Rectangle && c.kind != Kind::Set_DIB_To_Device) << id;
  }
}

class Metafile_Artwork : public Pictures_Test {
 protected:
  // The slot played on white into a w x h picture.
  TBitmap Played(int slot, int w, int h, TColor background = TColor::White) {
    TBitmap picture(w, h);
    TMemoryDC dc(picture);
    dc.SelectObject(TBrush(background));
    dc.PatBlt(TRect(0, 0, w, h), PATCOPY);
    stores.metafiles.Ensure(slot);
    stores.metafiles.Play(slot, dc, TRect(0, 0, w, h));
    return picture;
  }
  // Border fills from the seeds colour the pointer and never reach the
  // picture's corners.
  void Expect_Closed_At(int slot, int w, int h, const std::vector<TPoint>& seeds) {
    TBitmap picture = Played(slot, w, h);
    TMemoryDC dc(picture);
    dc.SelectObject(TBrush(TColor(255, 0, 0)));
    for (const TPoint& seed : seeds) {
      EXPECT_NE(Pixel(picture, seed.x, seed.y), 0u) << slot << " seed on the outline " << seed.x << "," << seed.y;
      dc.FloodFill(seed, TColor::Black);
    }
    EXPECT_GT(Count(picture, 0xFF0000), w * h / 20);
    for (TPoint corner : {TPoint(0, 0), TPoint(w - 1, 0), TPoint(0, h - 1)}) EXPECT_NE(Pixel(picture, corner.x, corner.y), 0xFF0000u) << slot;
  }
};

TEST_F(Metafile_Artwork, Needle_And_Tilted_Pointer_Hold_Their_Fill_Seeds) {
  for (int m : {72, 90, 115, 144}) {
    const int h = m, w = (m / 8) | 1;
    // The picture stands with its bottom edge on the tip: a seed at the tip
    // plus (0, d) is row h + d of the picture.
    Expect_Closed_At(0, w, h, {TPoint(w / 2, h - 3), TPoint(w / 2, h - h / 6), TPoint(w / 2, h - h / 2), TPoint(w / 2, 2)});
    const int tw = int((2 * h + w) / std::sqrt(5.0)), th = int((h + 2 * w) / std::sqrt(5.0));
    for (int k : {2, 3, 4})
      Expect_Closed_At(1, tw, th, {TPoint(k, k), TPoint(tw / 6, th / 6), TPoint(tw / 2, th / 2),
                                   TPoint(tw - w / 2, th - w / 2)});
  }
}

TEST_F(Metafile_Artwork, Key_Colours_Are_Exact_And_Kept_Apart) {
  for (int n : {32, 40, 50, 100}) {
    const TBitmap crayon = Played(2, n, n);
    EXPECT_EQ((std::array{Pixel(crayon, 0, 0), Pixel(crayon, n - 1, 0), Pixel(crayon, 0, n - 1), Pixel(crayon, n - 1, n - 1)}),
              (std::array{0xFFFFFFu, 0xFFFFFFu, 0xFFFFFFu, 0xFFFFFFu})) << "crayon touches a corner at " << n;
  }
  const TBitmap album = Played(3, 102, 90);
  EXPECT_GT(Count(album, 0xFFFF00), 102 * 90 / 2);
  EXPECT_GT(Count(album, 0x000000), 100);
  // The photo square of the album lies on the page.
  for (int y = 2; y < 72; ++y)
    for (int x = 23; x < 93; ++x) ASSERT_EQ(Pixel(album, x, y), 0xFFFF00u) << x << "," << y;
  for (int slot : {4, 5, 6}) EXPECT_EQ(Count(Played(slot, 64, 56), 0x0000FF), 0) << "pure blue inside slot " << slot;
  EXPECT_GT(Count(Played(7, 115, 115), 0x000000), 50);
  // The bowl's body is one black area round the middle of its rectangle.
  TBitmap bowl = Played(8, 120, 80);
  EXPECT_EQ(Pixel(bowl, 60, 40), 0u);
  TMemoryDC dc(bowl);
  dc.SelectObject(TBrush(TColor(0, 200, 0)));
  dc.ExtFloodFill(TPoint(60, 40), TColor::Black, FLOODFILLSURFACE);
  EXPECT_GT(Count(bowl, 0x00C800), 120 * 80 / 4);
}

}  // namespace

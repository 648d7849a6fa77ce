#include "model/shape_drawing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "model/affine_transform_2d.h"
#include "model/color_transform.h"
#include "model/picture_run_code.h"
#include "model/transform_set_2d.h"
#include "model_fixture.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/memory_dc.h"

namespace {

const TColor White(255, 255, 255), Red(255, 0, 0), Green(0, 255, 0), Blue(0, 0, 255);

class Shape_Drawing_Test : public Model_Test {};

TEST_F(Shape_Drawing_Test, No_Color_Background_Fills_With_Index_0) {
  Shape_Drawing picture(40, 30, nullptr, TColor(No_Color));
  EXPECT_TRUE(picture.Background == TColor(0, 0, 0) && picture.Blank);
  for (int i = 0; i < 40 * 30; ++i) ASSERT_EQ(picture.Bitmap->GetBits()[i], 0);
  Shape_Drawing indexed(8, 8, nullptr, TColor::Palette_Index(1));
  EXPECT_EQ(indexed.Background, TColor(128, 0, 0));
}

TEST_F(Shape_Drawing_Test, Copies_And_Assignment) {
  Shape_Drawing a(360, 360, nullptr, White), b(30, 30, nullptr, Red);
  Pixel(a, 5, 5) = Index(Blue);
  b = a;
  EXPECT_TRUE(b.Bitmap->Width() == 360 && b.Same_Pixels(a));
  b = b;  // self-assignment keeps the pixels
  EXPECT_TRUE(b.Same_Pixels(a));
  a.Pack(false, true);
  b = a;  // a packed source: the target keeps no bitmap
  EXPECT_TRUE(a.Bitmap == nullptr && b.Bitmap == nullptr);
  b = b;
  Shape_Drawing c(a, true);
  ASSERT_NE(c.Bitmap, nullptr);
  EXPECT_EQ(Pixel(c, 5, 5), Index(Blue));
  EXPECT_TRUE(c.Same_Pixels(b));  // b unpacks lazily
  Shape_Drawing small(30, 30, nullptr, White);
  EXPECT_FALSE(small.Same_Pixels(c) || c.Same_Pixels(small));
}

TEST_F(Shape_Drawing_Test, Packed_Records) {
  Shape_Drawing raw(30, 30, nullptr, White);
  Pixel(raw, 1, 2) = Index(Red);
  ASSERT_EQ(raw.Stored_Size(), 16u + 960u);
  std::vector<uint8_t> record(raw.Stored_Size());
  raw.Write(record.data());
  EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.begin() + 16),
            (std::vector<uint8_t>{30, 0, 0, 0, 30, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0}));

  raw.Pack(true, true);
  std::vector<uint8_t> packed(raw.Stored_Size());
  raw.Write(packed.data());
  EXPECT_TRUE(packed.size() < record.size() && packed[12] == raw.Packed_Size);

  for (auto* bytes : {&record, &packed}) {
    for (bool unpack : {true, false}) {
      Shape_Drawing back(bytes->data(), bytes->size(), unpack);
      EXPECT_TRUE(back.Background == White && back.Same_Pixels(raw));
    }
  }
  // Pixels that do not shrink are kept raw: a packed size of exactly the
  // buffer's size means the bytes are the pixels, not code.
  Shape_Drawing noise(30, 30, nullptr, White);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) Pixel(noise, x, y) = uint8_t((x * 37 + y * 101 + x * y) % 251);
  Shape_Drawing kept(noise, true);
  kept.Pack(false, true);
  ASSERT_EQ(kept.Packed_Size, 960u);
  Shape_Drawing unpacked(kept, true);
  kept.Unpack(false, nullptr);
  EXPECT_TRUE(unpacked.Same_Pixels(noise) && kept.Same_Pixels(noise));
  // A record of another size is refused and changes nothing.
  Shape_Drawing other(32, 30, nullptr, Blue);
  EXPECT_TRUE(!other.Read(record.data(), record.size(), true) && other.Background == Blue);
  // A record read without unpacking replaces stale pixels on first use.
  Shape_Drawing stale(30, 30, nullptr, Blue);
  ASSERT_TRUE(stale.Read(packed.data(), packed.size(), false));
  EXPECT_TRUE(stale.Has_Color(Red) && Pixel(stale, 1, 2) == Index(Red));
}

TEST_F(Shape_Drawing_Test, Damaged_Records_Are_Refused) {
  Shape_Drawing picture(30, 30, nullptr, White);
  for (int i = 0; i < 30; ++i) Pixel(picture, i, i) = Index(Red);
  picture.Pack(true, true);
  std::vector<uint8_t> good(picture.Stored_Size());
  picture.Write(good.data());
  ASSERT_TRUE(Shape_Drawing::Record_Is_Valid(good.data(), good.size()));
  for (size_t cut : {good.size() - 1, size_t(15)}) EXPECT_FALSE(Shape_Drawing::Record_Is_Valid(good.data(), cut));
  auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> bad = good;
    bad[at] = value;
    return bad;
  };
  for (const auto& bad : {with(0, 0), with(3, 0x40), with(7, 0x80), with(12, 0xFF), with(16, 200)}) {
    Shape_Drawing target(30, 30, nullptr, Blue), made(bad.data(), bad.size(), true);
    EXPECT_FALSE(Shape_Drawing::Record_Is_Valid(bad.data(), bad.size()) || target.Read(bad.data(), bad.size(), true));
    EXPECT_TRUE(target.Background == Blue && made.Bitmap == nullptr);
  }
  // Raw rows that the bytes do not hold.
  std::vector<uint8_t> raw_header{30, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  raw_header.resize(16 + 959);
  EXPECT_FALSE(Shape_Drawing::Record_Is_Valid(raw_header.data(), raw_header.size()));
}

TEST_F(Shape_Drawing_Test, Render_Examples) {
  Shape_Drawing source(40, 40, nullptr, White);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if ((x + y) % 3) Pixel(source, x, y) = uint8_t(10 + (x * 7 + y) % 40);
  Shape_Drawing copy(source, Set_Of({Affine_Transform_2D()}));
  EXPECT_TRUE(copy.Same_Pixels(source) && source.Iterated);

  Shape_Drawing doubled(source, Set_Of({Affine_Transform_2D(2.0f, 0.0f, 0.0f, 0.0f, 2.0f, 0.0f)}));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(Pixel(doubled, x, y), Pixel(source, x / 2, y / 2));

  Shape_Drawing nothing(source, Set_Of({Affine_Transform_2D(1.0f, 0.0f, 2000.0f, 0.0f, 1.0f, 0.0f)}));
  EXPECT_TRUE(!nothing.Has_Color(Red) && nothing.Is_Similar(Shape_Drawing(40, 40, nullptr, White), true));
}

TEST_F(Shape_Drawing_Test, Rendering_Into_A_Packed_Picture_Drops_Its_Packed_Copy) {
  Shape_Drawing target(40, 40, nullptr, White), source(40, 40, nullptr, White);
  target.Pack(true, true);  // pixels and packed bytes both
  Pixel(source, 3, 4) = Index(Red);
  target.Render_Transformed(source, Affine_Transform_2D());
  EXPECT_EQ(target.Packed, nullptr);
  std::vector<uint8_t> record(target.Stored_Size());
  target.Write(record.data());
  Shape_Drawing copy(target, true), stored(record.data(), record.size(), true);
  EXPECT_TRUE(Pixel(copy, 3, 4) == Index(Red) && Pixel(stored, 3, 4) == Index(Red));
}

TEST_F(Shape_Drawing_Test, A_Given_Bitmap_Smaller_Than_The_Picture_Is_Not_Overrun) {
  Shape_Drawing source(64, 64, nullptr, White);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) Pixel(source, x, y) = Index(x < 8 ? Red : Green);
  TDiBitmap small(16, 16, 8, 256);
  small.SetColorTable(0, 256, source.Bitmap->GetColors());
  Shape_Drawing picture(TSize(64, 64), &small, White);
  picture.Render_Set(source, Set_Of({Affine_Transform_2D()}));  // under the address checker: nothing past the 16 rows
  EXPECT_TRUE(Pixel(picture, 0, 15) == Index(Red) && Pixel(picture, 15, 0) == Index(Green));
}

TEST_F(Shape_Drawing_Test, Turning_Maps_Fill_Their_Gaps) {
  Shape_Drawing square(360, 360, nullptr, White);
  Fill(square, 100, 100, 260, 260, Index(Red));
  Shape_Drawing turned(square, Set_Of({Affine_Transform_2D(0.5f, 45.0f, 0.5f, 0.5f, 45.0f, 0.0f, 0)}));
  Snapshot(turned, "render_turned_square");
  // The inside of the turned square has no holes.
  const int cx = 180, cy = 127;  // where the square's centre lands
  for (int y = cy - 20; y < cy + 20; ++y)
    for (int x = cx - 20; x < cx + 20; ++x) ASSERT_EQ(Pixel(turned, x, y), Index(Red)) << x << "," << y;
}

TEST_F(Shape_Drawing_Test, Likeness_Limits) {
  Shape_Drawing a(360, 360, nullptr, White), b(360, 360, nullptr, White);
  EXPECT_TRUE(a.Is_Similar(b, true));  // two empty pictures
  for (int i = 0; i < 10000; ++i) a.Bitmap->GetBits()[i] = b.Bitmap->GetBits()[i] = Index(Red);
  for (int i = 0; i < 156; ++i) b.Bitmap->GetBits()[i] = Index(Blue);
  EXPECT_TRUE(a.Is_Similar(b, false));  // 156 pixels of 10000 differ
  b.Bitmap->GetBits()[156] = Index(Blue);
  EXPECT_FALSE(a.Is_Similar(b, false));
  for (int i = 78; i < 157; ++i) b.Bitmap->GetBits()[i] = Index(Red);
  EXPECT_TRUE(a.Is_Similar(b, true));
  b.Bitmap->GetBits()[78] = Index(Blue);
  EXPECT_FALSE(a.Is_Similar(b, true));
  Shape_Drawing c(360, 360, nullptr, Blue);
  EXPECT_FALSE(c.Is_Similar(Shape_Drawing(360, 360, nullptr, Red), false));
}

TEST_F(Shape_Drawing_Test, Recolouring_Runs_Follow_The_Steps) {
  Shape_Drawing source(40, 40, nullptr, White);
  Fill(source, 0, 0, 20, 20, Index(Red));
  Color_Transform cycle;
  cycle.colors[0] = Red, cycle.colors[1] = Green, cycle.colors[2] = Blue, cycle.count = 3;
  // Four quarter-size copies with steps 0, 0, 2, 0.
  Transform_Set_2D set;
  for (int i = 0; i < 4; ++i) {
    auto map = std::make_unique<Affine_Transform_2D>(0.5f, 0.0f, 0.5f * (i % 2), 0.0f, 0.5f, 0.5f * (i / 2));
    map->Color_Step = i == 2 ? 2 : 0;
    set.Add_Map(std::move(map));
  }
  bool changed = false;
  Shape_Drawing next(source, set, cycle, changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ((std::vector<int>{Pixel(next, 5, 5), Pixel(next, 25, 5), Pixel(next, 5, 25), Pixel(next, 25, 25)}),
            (std::vector<int>{Index(Red), Index(Red), Index(Blue), Index(Red)}));
  bool unchanged = true;
  Shape_Drawing same(source, cycle, 3, unchanged);
  EXPECT_TRUE(!unchanged && same.Same_Pixels(source));
}

TEST_F(Shape_Drawing_Test, Shrinking_Picks_The_First_Inked_Pixel) {
  Shape_Drawing source(4, 4, nullptr, White), half(2, 2, nullptr, White);
  Pixel(source, 0, 1) = Index(Red);
  half.Shrink_From(source, 2);
  EXPECT_EQ(Pixel(half, 0, 0), Index(Red));
  Pixel(source, 1, 0) = Index(Blue);
  half.Shrink_From(source, 2);
  EXPECT_TRUE(Pixel(half, 0, 0) == Index(Blue) && Pixel(half, 1, 1) == Index(White));
  // Factor 3 walks rows in alternate directions: (2,1) comes before (0,1).
  Shape_Drawing nine(9, 9, nullptr, White), third(3, 3, nullptr, White);
  Pixel(nine, 0, 1) = Index(Red);
  Pixel(nine, 2, 1) = Index(Blue);
  third.Shrink_From(nine, 3);
  EXPECT_EQ(Pixel(third, 0, 0), Index(Blue));
  // Rows that fall short are cleared, not left as the pool left them.
  Shape_Drawing tall(8, 8, nullptr, White), wide(16, 8, nullptr, White);
  std::memset(tall.Bitmap->GetBits(), Index(Green), 64);
  tall.Shrink_From(wide, 2);
  EXPECT_EQ(Pixel(tall, 3, 6), Index(White));
  // A scaled copy of an exact multiple shrinks; another size renders.
  Shape_Drawing scaled(source, TRect(0, 0, 2, 2)), grown(source, TRect(10, 10, 18, 18));
  EXPECT_TRUE(Pixel(scaled, 0, 0) == Index(Blue) && Pixel(grown, 0, 3) == Index(Red));
}

TEST_F(Shape_Drawing_Test, Replace_Colors_Keeps_The_Background_Resolved_And_Fill_At_Follows_It) {
  Shape_Drawing picture(8, 8, nullptr, White);
  Pixel(picture, 1, 1) = Index(Red);
  picture.Replace_Colors(TColor::Palette_Index(1), Blue);
  EXPECT_EQ(picture.Background, TColor(128, 0, 0));
  EXPECT_TRUE(Pixel(picture, 0, 0) == 1 && Pixel(picture, 1, 1) == Index(Blue));
  picture = Shape_Drawing(20, 20, nullptr, White);
  Fill(picture, 5, 5, 15, 15, Index(Red));
  picture.Outline_Color = Red;
  picture.Fill_At({10, 10}, Blue);  // the outline colour's area joins and goes
  EXPECT_TRUE(Pixel(picture, 10, 10) == Index(Blue) && picture.Background == White);
  EXPECT_EQ(picture.Outline_Color, TColor(No_Color));
  picture.Fill_At({0, 0}, Green);
  EXPECT_TRUE(picture.Background == Green && Pixel(picture, 0, 19) == Index(Green));
  picture.Fill_At({10, 10}, Blue);  // onto its own colour: ends
  EXPECT_TRUE(Pixel(picture, 10, 10) == Index(Blue) && picture.Pixel_Has_Color({10, 10}, Blue));
  EXPECT_FALSE(picture.Pixel_Has_Color({0, 0}, Blue) || picture.Pixel_Has_Color({-1, 0}, Blue));
}

TEST_F(Shape_Drawing_Test, Paints_Onto_A_Device_Context) {
  Shape_Drawing picture(20, 20, nullptr, White);
  Pixel(picture, 0, 19) = Index(Red);  // top-left on the screen
  TBitmap screen(60, 60);
  TMemoryDC dc(screen);
  picture.Paint(dc, TRect(5, 5, 25, 25));
  picture.Paint(dc, TRect(20, 20, 60, 60));  // scaled to twice the size
  EXPECT_EQ((std::vector<TColor>{dc.GetPixel(5, 5), dc.GetPixel(6, 5), dc.GetPixel(21, 21), dc.GetPixel(22, 22)}),
            (std::vector<TColor>{Red, White, Red, White}));
}

TEST_F(Shape_Drawing_Test, Threads_Render_With_The_Shared_Pool) {
  Shape_Drawing source(360, 360, nullptr, White);
  for (int y = 0; y < 360; ++y)
    for (int x = 0; x < 360; ++x)
      if ((x / 20 + y / 30) % 3 == 0) Pixel(source, x, y) = uint8_t(10 + (x / 20) % 40);
  Transform_Set_2D set;
  for (int i = 0; i < 5; ++i)
    set.Add_Map(std::make_unique<Affine_Transform_2D>(0.33333f, 10.0f * i, 0.2f * i, 0.33333f, 10.0f * i + 90,
                                                      0.1f * i, 0));
  Shape_Drawing expected(source, set);
  std::vector<int> mismatches(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i) {
        Shape_Drawing copy(source, false), next(copy, set);
        next.Pack(false, true);
        mismatches[t] += !Shape_Drawing(next, true).Same_Pixels(expected);
      }
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

}  // namespace

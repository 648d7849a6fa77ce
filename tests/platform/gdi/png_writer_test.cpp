#include "platform/gdi/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <vector>

namespace {

// What a PNG file holds, read back through libpng's simplified API.
struct Read_Back {
  bool ok = false, palette = false;
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;  // 0x00RRGGBB, top row first
};

Read_Back Read_PNG(const std::string& path) {
  Read_Back result;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return result;
  result.palette = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return result;
  result.ok = true;
  result.width = static_cast<int>(image.width);
  result.height = static_cast<int>(image.height);
  for (size_t i = 0; i + 2 < bytes.size(); i += 3)
    result.rgb.push_back(uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2]);
  return result;
}

class Png_Writer_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("quendar_png_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string File(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST_F(Png_Writer_Test, RgbRoundTripKeepsEveryPixelAndHonoursTheStride) {
  const int w = 5, h = 3, stride = 8;
  std::vector<uint32_t> pixels(stride * h, 0xDEADBEEF);  // padding must not leak in
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels[y * stride + x] = uint32_t(x * 50) << 16 | uint32_t(y * 100) << 8 | 7;
  ASSERT_TRUE(Write_PNG_RGB(File("rgb.png"), w, h, pixels.data(), stride));
  Read_Back back = Read_PNG(File("rgb.png"));
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(std::tuple(back.palette, back.width, back.height), std::tuple(false, w, h));
  std::vector<uint32_t> expected;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) expected.push_back(pixels[y * stride + x] & 0xFFFFFF);
  EXPECT_EQ(back.rgb, expected);
}

TEST_F(Png_Writer_Test, IndexedBottomUpBufferComesOutTopRowFirst) {
  // A bottom-up DIB of 3 rows of 4 bytes: stored row 0 is the bottom row.
  const uint8_t dib[] = {2, 2, 2, 2,   // bottom
                         1, 1, 1, 1,   // middle
                         0, 1, 2, 3};  // top
  const uint32_t table[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  ASSERT_TRUE(Write_PNG_Indexed(File("dib.png"), 4, 3, dib + 8, -4, table, 4));
  Read_Back back = Read_PNG(File("dib.png"));
  EXPECT_TRUE(back.ok && back.palette);
  EXPECT_EQ(back.rgb, (std::vector<uint32_t>{0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000, 0xFF0000, 0xFF0000,
                                             0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00}));
  // An index beyond the colour table is black, not a refused file.
  const uint8_t row[] = {0, 1, 200};
  ASSERT_TRUE(Write_PNG_Indexed(File("short.png"), 3, 1, row, 3, table + 2, 2));
  EXPECT_EQ(Read_PNG(File("short.png")).rgb, (std::vector<uint32_t>{0x00FF00, 0x0000FF, 0x000000}));
}

TEST_F(Png_Writer_Test, FailuresReturnFalse) {
  uint32_t pixel = 0;
  uint8_t index = 0;
  EXPECT_FALSE(Write_PNG_RGB(File("no/such/dir/x.png"), 1, 1, &pixel, 1));
  EXPECT_FALSE(Write_PNG_RGB(dir_.string(), 1, 1, &pixel, 1));  // a directory
  EXPECT_FALSE(Write_PNG_RGB(File("empty.png"), 0, 1, &pixel, 1));
  EXPECT_FALSE(Write_PNG_RGB(File("null.png"), 1, 1, nullptr, 1));
  EXPECT_FALSE(Write_PNG_Indexed(File("none.png"), 1, 1, &index, 1, &pixel, 0));
  EXPECT_FALSE(Write_PNG_Indexed(File("many.png"), 1, 1, &index, 1, &pixel, 257));
  EXPECT_FALSE(std::filesystem::exists(File("empty.png")));
}

TEST(Snapshot_Path, FollowsTheEnvironment) {
  const char* old = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string saved = old ? old : "";
  unsetenv("QUENDAR_SNAPSHOTS");
  EXPECT_EQ(Snapshot_Path("a"), "");
  setenv("QUENDAR_SNAPSHOTS", "", 1);
  EXPECT_EQ(Snapshot_Path("a"), "");
  setenv("QUENDAR_SNAPSHOTS", "/tmp/shots", 1);
  EXPECT_EQ(Snapshot_Path("wheel"), "/tmp/shots/wheel.png");
  old ? setenv("QUENDAR_SNAPSHOTS", saved.c_str(), 1) : unsetenv("QUENDAR_SNAPSHOTS");
}

}  // namespace

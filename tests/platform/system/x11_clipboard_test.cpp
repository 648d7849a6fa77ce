// The X11 clipboard against a real peer: xclip on a virtual X server of the
// test's own.
#include "platform/system/x11_clipboard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "platform/gdi/png_writer.h"
#include "tests/platform/peer_tools.h"

namespace {

constexpr const char* Child = "QUENDAR_X11_CLIPBOARD_CHILD";

bool Wait_Until(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return done();
}

// A picture of side pixels whose rows are padded to a stride that is not
// their width; noisy pictures compress badly and go by INCR.
struct Test_Picture {
  Test_Picture(int side, bool noisy) : side(side), stride(side + 3), pixels(size_t(stride) * size_t(side), 0xEE) {
    std::mt19937 random(side);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        pixels[size_t(y) * stride + x] = uint8_t(noisy ? random() % 200 : (x / 16 + y / 24) % 20);
    for (int i = 0; i < 256; ++i) table.push_back(uint32_t(i * 0x010305) & 0xFFFFFF);
  }
  std::vector<uint8_t> Png() const { return Encode_PNG_Indexed(side, side, pixels.data(), stride, table.data(), 256); }
  uint32_t At(int x, int y) const { return table[pixels[size_t(y) * stride + x]]; }
  int side;
  int stride;
  std::vector<uint8_t> pixels;
  std::vector<uint32_t> table;
};

TEST(X11_Clipboard, XclipPastesThePictureAndTakingTheClipboardIsNoticed) {
  if (!std::getenv(Child)) {
    if (!Tool_Exists("xvfb-run") || !Tool_Exists("xclip")) GTEST_FAIL() << "xvfb-run and xclip are needed (scripts/install-deps)";
    EXPECT_EQ(Run_Under_Xvfb(Child), 0);
    return;
  }
  TX11_Clipboard clipboard;
  ASSERT_TRUE(clipboard.Connected());
  std::atomic<int> notices{0};
  clipboard.Watch([&] { ++notices; });
  EXPECT_EQ(notices, 1);  // the watch itself is told at once
  EXPECT_FALSE(clipboard.Empty());  // nothing of ours to give up

  Temp_Folder folder;
  for (const auto& [side, noisy] : {std::pair{576, false}, std::pair{1440, true}}) {
    SCOPED_TRACE(side);
    const Test_Picture picture(side, noisy);
    const auto png = std::make_shared<const std::vector<uint8_t>>(picture.Png());
    const int before = notices, incr_before = clipboard.Incr_Transfers();
    ASSERT_TRUE(clipboard.Place_Png(png));
    EXPECT_TRUE(Wait_Until([&] { return notices > before; }));  // our own change is told too
    const std::string file = folder / ("paste-" + std::to_string(side) + ".png");
    ASSERT_EQ(Run_Tool("xclip -selection clipboard -t image/png -o > " + file, 20), 0);
    EXPECT_EQ(Read_File(file), *png);
    EXPECT_EQ(clipboard.Incr_Transfers() - incr_before, png->size() > TX11_Clipboard::Incr_Threshold ? 1 : 0);
    const Rgb_Image pasted = Read_Png(file);
    ASSERT_EQ(pasted.width, side);
    long wrong = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) wrong += pasted.At(x, y) != picture.At(x, y);
    EXPECT_EQ(wrong, 0);
  }
  EXPECT_EQ(clipboard.Incr_Transfers(), 1);  // the noisy 1440 picture went in chunks
  ASSERT_EQ(Run_Tool("xclip -selection clipboard -t TARGETS -o > " + folder / "targets", 20), 0);
  const std::vector<uint8_t> targets = Read_File(folder / "targets");
  EXPECT_NE(std::string(targets.begin(), targets.end()).find("image/png"), std::string::npos);

  // Another program takes the clipboard: we hear of it and no longer own it.
  const int before = notices;
  ASSERT_EQ(Run_Tool("sh -c 'echo text | xclip -selection clipboard -i'", 20), 0);
  EXPECT_TRUE(Wait_Until([&] { return notices > before; }));
  EXPECT_FALSE(clipboard.Empty());
  // Taking it back and giving it up is ours to do.
  ASSERT_TRUE(clipboard.Place_Png(std::make_shared<const std::vector<uint8_t>>(Test_Picture(8, false).Png())));
  EXPECT_TRUE(clipboard.Empty());
  EXPECT_FALSE(clipboard.Empty());
}

TEST(X11_Clipboard, NoDisplayMeansEveryPlacementFails) {
  TX11_Clipboard clipboard(":9999");
  EXPECT_FALSE(clipboard.Connected());
  EXPECT_FALSE(clipboard.Place_Png(std::make_shared<const std::vector<uint8_t>>(std::vector<uint8_t>{1, 2, 3})));
  EXPECT_FALSE(clipboard.Empty());
}

}  // namespace

#include "gallery/clipboard_io.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/system/x11_clipboard.h"
#include "tests/gallery/drop_point_stage.h"
#include "tests/gallery/peer_tools.h"

namespace {

// A clipboard that keeps what it is given and tells of every change, as the
// desktop's does.
struct Fake_Clipboard : TClipboard_Service {
  bool Place_Png(TPicture png) override {
    if (refuse) return false;
    placed.push_back(png);
    ours = true;
    Tell();
    return true;
  }
  bool Empty() override {
    ++emptied;
    if (!ours) return false;
    ours = false;
    Tell();
    return true;
  }
  void Watch(std::function<void()> n) override {
    notice = n;
    Tell();
  }
  // Another program takes the clipboard.
  void Taken_By_Another() {
    ours = false;
    Tell();
  }
  void Tell() {
    if (notice) notice();
  }
  bool refuse = false;
  bool ours = false;
  int emptied = 0;
  std::vector<TPicture> placed;
  std::function<void()> notice;
};

class Clipboard_IO_Test : public Drop_Point_Test {
 protected:
  explicit Clipboard_IO_Test(int pool_side = 576, bool fake = true) : Drop_Point_Test(pool_side) {
    if (fake) TClipboard_Service::Install(&clipboard);
  }
  ~Clipboard_IO_Test() override {
    delete point;
    TClipboard_Service::Install(nullptr);
  }
  void Make_Point() {
    point = new Clipboard_IO(gallery, TRect(20, 40, 20 + 192, 40 + 220));
    EXPECT_TRUE(point->Create());
    Idle();
  }
  bool Slot_Full() { return Store().State(Slot(Drawing_Place::Clipboard_Slot)) != 0; }

  Fake_Clipboard clipboard;
  Clipboard_IO* point = nullptr;
};

TEST_F(Clipboard_IO_Test, DropPutsTheWholePictureOnTheClipboardOnce) {
  Make_Point();
  const Shape_Drawing* drawing = Put_Drawing(0, 0);
  point->Accept_Drop(Cell(0, 0));
  Idle();
  EXPECT_TRUE(Slot_Full());  // our own change does not empty the slot
  EXPECT_FALSE(point->Own_Change());
  ASSERT_EQ(clipboard.placed.size(), 1u);
  EXPECT_EQ(Differences(Decode_Png(*clipboard.placed[0]), Colours_Of(*drawing)), 0);
  session.Snapshot("clipboard_point_holding", point->GetWindowRect());
  // Its own drawing dropped back is not placed again.
  point->Accept_Drop(Slot(Drawing_Place::Clipboard_Slot));
  EXPECT_EQ(clipboard.placed.size(), 1u);
  // Another program's change lets the drawing go.
  clipboard.Taken_By_Another();
  Idle();
  EXPECT_FALSE(Slot_Full());
}

TEST_F(Clipboard_IO_Test, DrawingGivenAwayEmptiesTheClipboardOnlyWhenTheSlotEmptied) {
  Make_Point();
  Put_Drawing(0, 0);
  point->Accept_Drop(Cell(0, 0));
  Idle();
  // To the printer: the slots share the drawing, the clipboard keeps it.
  Store().Move(Slot(Drawing_Place::Printer_Slot), Slot(Drawing_Place::Clipboard_Slot));
  point->Given_Away();
  Idle();
  EXPECT_EQ(clipboard.emptied, 0);
  EXPECT_TRUE(Slot_Full());
  // Into the bin: the slot empties and so does the clipboard; that change
  // of ours is not taken for another program's.
  Store().Move({Drawing_Place::Bin, 0, 0}, Slot(Drawing_Place::Clipboard_Slot));
  point->Given_Away();
  EXPECT_EQ(clipboard.emptied, 1);
  EXPECT_TRUE(point->Own_Change());
  Idle();
  EXPECT_FALSE(point->Own_Change());
  // Nothing of ours left to give up: nothing waits for a notice.
  point->Given_Away();
  EXPECT_FALSE(point->Own_Change());
}

TEST_F(Clipboard_IO_Test, FailedPlacementGivesTheDrawingBackAndForgetsItsOwnChange) {
  Make_Point();
  Put_Drawing(4, 4);
  clipboard.refuse = true;
  point->Accept_Drop(Cell(4, 4));
  EXPECT_FALSE(Slot_Full());
  EXPECT_FALSE(point->Own_Change());
  EXPECT_EQ(Store().State(Cell(4, 4)), 3);
  // The next real change is noticed as such.
  clipboard.refuse = false;
  point->Accept_Drop(Cell(4, 4));
  Idle();
  clipboard.Taken_By_Another();
  Idle();
  EXPECT_FALSE(Slot_Full());
}

TEST_F(Clipboard_IO_Test, DisplayWithoutAClipboardRefusesEveryDrop) {
  TClipboard_Service::Install(nullptr);  // the headless display's own
  Make_Point();
  Put_Drawing(0, 0);
  point->Accept_Drop(Cell(0, 0));
  EXPECT_FALSE(Slot_Full());
  EXPECT_FALSE(point->Own_Change());
}

TEST_F(Clipboard_IO_Test, PngRowsFollowTheBitmapStrideForEveryWidth) {
  for (int side : {36, 37, 38, 39, 41}) {
    SCOPED_TRACE(side);
    Shape_Drawing picture(side, side, nullptr, TColor(255, 255, 255));
    TDiBitmap& b = *picture.Bitmap;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) b.GetBits()[y * b.Pitch() + x] = uint8_t((3 * x + 5 * y) % 200 + 10);
    const auto png = Clipboard_IO::Picture_Png(picture);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(Differences(Decode_Png(*png), Colours_Of(picture)), 0);
  }
}

// The point against the real X11 clipboard, on a virtual X server of the
// test's own, with xclip as the other program.
class Clipboard_IO_X11_Test : public Clipboard_IO_Test {
 protected:
  Clipboard_IO_X11_Test() : Clipboard_IO_Test(1440, false) {}
};

constexpr const char* Child = "QUENDAR_CLIPBOARD_IO_CHILD";

TEST_F(Clipboard_IO_X11_Test, XclipPastesTheDroppedDrawingAndTakingTheClipboardEmptiesTheSlot) {
  if (!std::getenv(Child)) {
    if (!Tool_Exists("Xvfb") || !Tool_Exists("xclip")) GTEST_FAIL() << "Xvfb and xclip are needed (scripts/install-deps)";
    EXPECT_EQ(Run_Under_Xvfb(Child), 0);
    return;
  }
  TX11_Clipboard x11;
  ASSERT_TRUE(x11.Connected());
  TClipboard_Service::Install(&x11);
  Make_Point();
  // Two minutes at most: the clipboard's thread and the X server may be
  // starved for seconds on a busy machine.
  auto settle = [&](const std::function<bool()>& done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!done() && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      Idle();
    }
    return done();
  };
  Temp_Folder folder;
  int cell = 0;
  for (bool busy : {false, true}) {
    SCOPED_TRACE(busy);
    // The busy picture's PNG needs more than one request.
    const Shape_Drawing* drawing = Put_Drawing(0, cell, 1440, cell, busy);
    point->Accept_Drop(Cell(0, cell++));
    EXPECT_TRUE(settle([&] { return !point->Own_Change(); }));
    ASSERT_TRUE(Slot_Full());
    const std::string file = folder / "paste.png";
    ASSERT_EQ(Run_Tool("xclip -selection clipboard -t image/png -o > " + file, 120), 0);
    EXPECT_EQ(Differences(Read_Png(file), Colours_Of(*drawing)), 0);
  }
  EXPECT_EQ(x11.Incr_Transfers(), 1);  // only the busy picture is too large for one request
  ASSERT_EQ(Run_Tool("sh -c 'echo words | xclip -selection clipboard -i'", 120), 0);
  EXPECT_TRUE(settle([&] { return !Slot_Full(); }));
  delete point;
  point = nullptr;
  TClipboard_Service::Install(nullptr);
}

}  // namespace

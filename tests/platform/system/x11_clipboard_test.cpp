// The X11 clipboard against a real peer: xclip on a virtual X server of the
// test's own.
#include "platform/system/x11_clipboard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <map>
#include <thread>

#include "platform/gdi/png_writer.h"
#include "tests/platform/peer_tools.h"

// Last: Xlib's macros clash with names in the test framework.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

constexpr const char* Child = "QUENDAR_X11_CLIPBOARD_CHILD";

// Waits for done; the bound is generous, as the clipboard's thread may be
// starved for seconds on a loaded machine.
bool Wait_Until(const std::function<bool()>& done) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!done() && std::chrono::steady_clock::now() < give_up) std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
    if (!Tool_Exists("Xvfb") || !Tool_Exists("xclip")) GTEST_FAIL() << "Xvfb and xclip are needed (scripts/install-deps)";
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
    ASSERT_EQ(Run_Tool("xclip -selection clipboard -t image/png -o > " + file, 120), 0);
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
  ASSERT_EQ(Run_Tool("xclip -selection clipboard -t TARGETS -o > " + folder / "targets", 120), 0);
  const std::vector<uint8_t> targets = Read_File(folder / "targets");
  EXPECT_NE(std::string(targets.begin(), targets.end()).find("image/png"), std::string::npos);

  // Another program takes the clipboard: we hear of it and no longer own it.
  const int before = notices;
  ASSERT_EQ(Run_Tool("sh -c 'echo text | xclip -selection clipboard -i'", 120), 0);
  EXPECT_TRUE(Wait_Until([&] { return notices > before; }));
  EXPECT_FALSE(clipboard.Empty());
  // Taking it back and giving it up is ours to do.
  ASSERT_TRUE(clipboard.Place_Png(std::make_shared<const std::vector<uint8_t>>(Test_Picture(8, false).Png())));
  EXPECT_TRUE(clipboard.Empty());
  EXPECT_FALSE(clipboard.Empty());
}

// A requestor of our own that asks for the picture under several
// properties of one window at once and takes the INCR chunks of one
// transfer after another, as a program pasting twice would.
class Incr_Requestor {
 public:
  Incr_Requestor() : display_(XOpenDisplay(nullptr)) {
    if (!display_) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    incr_ = XInternAtom(display_, "INCR", False);
  }
  ~Incr_Requestor() {
    if (display_) XCloseDisplay(display_);
  }

  // The pictures pasted under each property, in the order the properties
  // are given; a transfer that makes no progress for two minutes is cut
  // short (a starved owner may pause for seconds on a loaded machine).
  std::vector<std::vector<uint8_t>> Paste(const std::vector<std::string>& names) {
    std::vector<Atom> properties;
    for (const std::string& name : names) {
      properties.push_back(XInternAtom(display_, name.c_str(), False));
      XConvertSelection(display_, XInternAtom(display_, "CLIPBOARD", False), XInternAtom(display_, "image/png", False),
                        properties.back(), window_, CurrentTime);
    }
    XFlush(display_);
    std::map<Atom, std::vector<uint8_t>> got;
    // A property's new values counted from the answer on: the announcement
    // itself raises one before the answer, and reading on that stale event
    // could read a chunk before its own event and then take the next event
    // for an empty end.
    std::map<Atom, int> ready;
    std::map<Atom, bool> started;
    size_t current = 0;
    auto last = std::chrono::steady_clock::now();
    while (current < properties.size() && std::chrono::steady_clock::now() - last < std::chrono::seconds(120)) {
      while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        // The answer names the property that holds the size of the
        // transfer: reading it with delete starts the transfer.
        if (event.type == SelectionNotify && event.xselection.property != None) {
          started[event.xselection.property] = true;
          ready[event.xselection.property] = 0;
          Read(event.xselection.property);
        }
        if (event.type == PropertyNotify && event.xproperty.state == PropertyNewValue &&
            started[event.xproperty.atom])
          ++ready[event.xproperty.atom];
      }
      const Atom property = properties[current];
      if (ready[property] > 0) {
        --ready[property];
        const std::vector<uint8_t> chunk = Read(property);
        if (chunk.empty() && got.count(property)) ++current;
        got[property].insert(got[property].end(), chunk.begin(), chunk.end());
        last = std::chrono::steady_clock::now();
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    std::vector<std::vector<uint8_t>> pasted;
    for (Atom property : properties) pasted.push_back(got[property]);
    return pasted;
  }

  bool Open() const { return display_ != nullptr; }

 private:
  // The property's bytes, deleted once read; none for the INCR announcement.
  std::vector<uint8_t> Read(Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window_, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count, &after,
                       &data);
    std::vector<uint8_t> bytes;
    if (data && type != incr_ && format == 8) bytes.assign(data, data + count);
    if (data) XFree(data);
    XFlush(display_);
    return bytes;
  }

  Display* display_;
  Window window_ = 0;
  Atom incr_ = None;
};

TEST(X11_Clipboard, TwoIncrTransfersToOneWindowBothComplete) {
  if (!std::getenv(Child)) {
    if (!Tool_Exists("Xvfb")) GTEST_FAIL() << "Xvfb is needed (scripts/install-deps)";
    EXPECT_EQ(Run_Under_Xvfb(Child), 0);
    return;
  }
  TX11_Clipboard clipboard;
  ASSERT_TRUE(clipboard.Connected());
  // A noisy picture of about 330 KB: over the threshold, six chunks.
  const auto png = std::make_shared<const std::vector<uint8_t>>(Test_Picture(580, true).Png());
  ASSERT_GT(png->size(), TX11_Clipboard::Incr_Threshold);
  ASSERT_LT(png->size(), 400u * 1024);
  ASSERT_TRUE(clipboard.Place_Png(png));
  Incr_Requestor requestor;
  ASSERT_TRUE(requestor.Open());
  const auto pasted = requestor.Paste({"FIRST_PASTE", "SECOND_PASTE"});
  EXPECT_EQ(clipboard.Incr_Transfers(), 2);
  EXPECT_TRUE(pasted[0] == *png) << "first transfer: " << pasted[0].size() << " of " << png->size() << " bytes";
  EXPECT_TRUE(pasted[1] == *png) << "second transfer: " << pasted[1].size() << " of " << png->size() << " bytes";
}

TEST(X11_Clipboard, NoDisplayMeansEveryPlacementFails) {
  TX11_Clipboard clipboard(":9999");
  EXPECT_FALSE(clipboard.Connected());
  EXPECT_FALSE(clipboard.Place_Png(std::make_shared<const std::vector<uint8_t>>(std::vector<uint8_t>{1, 2, 3})));
  EXPECT_FALSE(clipboard.Empty());
}

}  // namespace

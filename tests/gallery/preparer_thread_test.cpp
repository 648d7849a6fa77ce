// The preparation thread: its order, requests that overtake it, the window
// it tells, and pauses at any moment (these also run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "gallery/preparer_thread.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/window/window.h"
#include "tests/gallery/gallery_store_fixture.h"

namespace {

using Place = Drawing_Place;
using Presentation_Data = Drawing_Collection::Presentation_Data;

constexpr Place Cell(int32_t row, int32_t column) { return Place{Place::Grid, row, column}; }

class Preparer_Thread_Test : public Gallery_Store_Test {
 protected:
  Preparer_Thread_Test() : Gallery_Store_Test(1024, 768) {}

  // A saved gallery with a drawing in each of the first count cells.
  void Save_Full_Gallery(int count) {
    Drawing_Collection store(ann);
    for (int cell = 0; cell < count; ++cell) ASSERT_TRUE(Add_At(store, Drawing(cell), cell / 12, cell % 12));
    store.Save(ann, HWND());
  }
  static int Ready_Count(Drawing_Collection& store) {
    int ready = 0;
    for (int cell = 0; cell < 144; ++cell)
      ready += store.State(Cell(cell / 12, cell % 12)) == Presentation_Data::Ready;
    return ready;
  }
};

TEST_F(Preparer_Thread_Test, APassGoesInRowMajorOrder) {
  Save_Full_Gallery(144);
  Drawing_Collection store(ann);
  // Looked at from the last cell back, a ready drawing means every earlier
  // one was ready before it.
  for (int look = 0; look < 2000 && Ready_Count(store) < 144; ++look) {
    bool later_ready = false;
    for (int cell = 143; cell >= 0; --cell) {
      const bool ready = store.State(Cell(cell / 12, cell % 12)) == Presentation_Data::Ready;
      if (later_ready) {
        ASSERT_TRUE(ready) << "cell " << cell << " look " << look;
      }
      later_ready = later_ready || ready;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  Wait_Until_Ready(store);
}

TEST_F(Preparer_Thread_Test, ARequestedCellOvertakesThePass) {
  Save_Full_Gallery(144);
  Drawing_Collection store(ann);
  Shape_Drawing* picture = store.Picture(Cell(11, 11), Sixth_Picture_Size, 60000, HWND());
  ASSERT_NE(picture, nullptr);
  EXPECT_LT(Ready_Count(store), 144);
  auto expected = Drawing(143);
  Shape_Drawing third(S() / 3, S() / 3, nullptr, TColor(255, 255, 255));
  third.Shrink_From(*expected, 3);
  Shape_Drawing sixth(S() / 6, S() / 6, nullptr, TColor(255, 255, 255));
  sixth.Shrink_From(third, 2);
  EXPECT_TRUE(picture->Same_Pixels(sixth));
  Wait_Until_Ready(store);
}

class Picture_Window : public TWindow {
 public:
  Picture_Window() : TWindow(nullptr, "pictures") {}
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == Picture_Ready_Message) cells.push_back({int32_t(wp), int32_t(lp)});
    return TWindow::WindowProc(msg, wp, lp);
  }
  std::vector<std::pair<int32_t, int32_t>> cells;
};

TEST_F(Preparer_Thread_Test, AWindowIsToldWhenItsPictureIsReady) {
  Save_Full_Gallery(144);
  THeadless_Session session;
  Picture_Window window;
  ASSERT_TRUE(window.Create());
  {
    Drawing_Collection store(ann);
    EXPECT_EQ(store.Picture(Cell(10, 3), Twelfth_Picture_Size, 0, HWND()), nullptr);
    EXPECT_EQ(store.Picture(Cell(10, 3), Twelfth_Picture_Size, 0, window.GetHandle()), nullptr);
    EXPECT_EQ(store.Picture(Cell(11, 7), Twelfth_Picture_Size, 0, window.GetHandle()), nullptr);
    // The newer request is answered in any case; the older one may be too
    // when the thread had it ready before the newer came.
    const std::pair<int32_t, int32_t> newer{11, 7}, older{10, 3};
    const auto told_newer = [&] {
      return std::find(window.cells.begin(), window.cells.end(), newer) != window.cells.end();
    };
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!told_newer() && std::chrono::steady_clock::now() < give_up) {
      session.Run_Until_Idle();
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    ASSERT_TRUE(told_newer());
    for (const auto& cell : window.cells) EXPECT_TRUE(cell == newer || cell == older);
    EXPECT_NE(store.Picture(Cell(11, 7), Twelfth_Picture_Size, 0, HWND()), nullptr);
    // After the pass, every drawing is ready at once.
    Wait_Until_Ready(store);
    EXPECT_NE(store.Picture(Cell(5, 5), Third_Picture_Size, 0, HWND()), nullptr);
  }
  window.Destroy();
}

TEST_F(Preparer_Thread_Test, PausingRightAfterStartingNeverHangs) {
  Save_Full_Gallery(3);
  // Opening starts a pass, closing pauses it, at every point of its start.
  for (int round = 0; round < 2000; ++round) Drawing_Collection store(ann);
  Drawing_Collection store(ann);
  Drawing_Collection::Preparer_Thread& preparer = *Drawing_Collection::Preparer();
  std::vector<Presentation_Data*> items;
  for (int cell = 0; cell < 3; ++cell) items.push_back(store.Find(Cell(0, cell)));
  for (int round = 0; round < 3000; ++round) {
    preparer.Start_Pass(&store, items);
    preparer.Pause();
  }
  // A save and a revert right after opening pause too.
  for (int round = 0; round < 300; ++round) {
    Drawing_Collection again(ann);
    if (round % 2)
      again.Save(ann, HWND());
    else
      again.Revert();
  }
  SUCCEED();
}

TEST_F(Preparer_Thread_Test, AStoreWhosePassWasTakenOverPreparesItself) {
  Save_Full_Gallery(12);
  Drawing_Collection first(ann);
  User bea(0, "Bea");
  Drawing_Collection second(bea);  // no file: its pass is nothing, first's stays
  {
    std::vector<Presentation_Data*> none;
    Drawing_Collection::Preparer()->Start_Pass(&second, none);
  }
  // The thread now works for another store: asked for a picture, the first
  // store makes it itself rather than wait for an answer that never comes.
  EXPECT_NE(first.Picture(Cell(0, 11), Third_Picture_Size, 60000, HWND()), nullptr);
}

}  // namespace

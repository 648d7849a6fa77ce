// The gallery window in the whole program: its views and arrows, the drag
// thresholds, dragging between cells, the main window point and the bin, and
// what the main window gets back on leaving. Pictures of each view at three
// screen sizes go to QUENDAR_SNAPSHOTS.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

#include "app/user_dialog.h"
#include "gallery/drawing_collection.h"
#include "gallery/gallery_dragger.h"
#include "gallery/gallery_window.h"
#include "gallery/main_window_io.h"
#include "gallery/printer.h"
#include "gallery/recycling_bin_io.h"
#include "help/help_window.h"
#include "model/gui_colors.h"
#include "users/held_gallery_note.h"
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "platform/system/clipboard_service.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "tests/gallery/outside_changes.h"
#include "tests/gallery/printer_fakes.h"
#include "tests/platform/system/root_only_cases.h"
#include "tests/platform/system/temp_home.h"
#include "tests/platform/window/later.h"
#include "tests/program/program_session.h"
#include "toolkit/arrow_button.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_button.h"
#include "toolkit/tip_window.h"
#include "users/gallery_file.h"
#include "users/user_database.h"
#include "workspace/drawing_window.h"

namespace {

// Her gallery where a save stopped while it held it aside left it, noted
// there as that save notes it.
bool Hold_Aside(const std::string& path) {
  const std::string held = Drawing_Collection::Claim_Name(path);
  Held_Gallery_Note::File noted;
  return rename(path.c_str(), held.c_str()) == 0 && Held_Gallery_Note::Of_Name(held, noted) &&
         Held_Gallery_Note::Note(held, {noted});
}

// A drawing square with a block of colour, placed by a fraction of the side.
std::unique_ptr<Shape_Drawing> Block(TColor color, int shift = 0) {
  const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
  auto picture = std::make_unique<Shape_Drawing>(side, side, The_GUI_Colors->Palette.get(), TColor(255, 255, 255));
  static const Square square;
  const int unit = side / 10;
  picture->Paint_Shape(square, TRect(unit * (1 + shift % 5), unit * 2, unit * (5 + shift % 5), unit * 8), color,
                       TColor(No_Color));
  return picture;
}

TPoint Centre(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class Gallery_Window_Test : public testing::Test {
 protected:
  explicit Gallery_Window_Test(TSize screen = {1024, 768}) : program(Program_Options{screen}) {}
  void SetUp() override { program.Start(); }
  void TearDown() override { program.Stop(); }

  Gallery_Window& Gallery() { return *program.Frame()->Gallery; }
  Drawing_Collection& Store() { return *Gallery().Collection(); }
  void Open() { program.Click(Program_Session::Center_Of(program.Main()->gallery_button)); }
  void Fill(std::initializer_list<std::pair<int, int>> cells) {
    int i = 0;
    for (auto [r, c] : cells) {
      auto d = Block(TColor(uint8_t(40 * i), uint8_t(200 - 30 * i), 90), i);
      ASSERT_TRUE(Store().Add(d, Drawing_Place::Grid, r, c));
      ++i;
    }
  }
  // A cell's centre on the screen, counted within the current view.
  TPoint Cell(int32_t row, int32_t column) { return Gallery().Cell_Screen_Point(Gallery().Current_View(), row, column); }
  TPoint Screen(TPoint client) {
    Gallery().ClientToScreen(client);
    return client;
  }
  // Presses at from, moves there in steps, releases.
  void Drag(TPoint from, TPoint to, int steps = 8) {
    auto& b = program.Backend();
    b.Move_To(from);
    b.Press(from);
    program.Run_Until_Idle();
    for (int i = 1; i <= steps; ++i) {
      b.Move_To(TPoint(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps));
      program.Run_Until_Idle();
    }
    b.Release(to);
    program.Run_Until_Idle();
  }
  // Inside the grid area left of the view's cells, where a small miniature's
  // centre finds no target.
  TPoint No_Target() {
    const Gallery_Layout& l = Gallery().Layout();
    const TRect& cells = l.grid[size_t(Gallery().Current_View())]->bounds;
    return Screen(TPoint((l.grid_area.left + cells.left) / 2, (cells.top + cells.bottom) / 2));
  }
  bool Occupied(int32_t r, int32_t c) { return Store().State({Drawing_Place::Grid, r, c}) != 0; }

  Program_Session program;
};

TEST_F(Gallery_Window_Test, Views_Keys_And_Arrows) {
  Open();
  Gallery_Window& g = Gallery();
  EXPECT_EQ(g.Current_View(), 1);  // an empty gallery
  EXPECT_TRUE(g.Arrows_Shown());
  program.Key(VK_ADD);
  EXPECT_EQ(g.Current_View(), 0);
  program.Key(VK_ADD);  // no smaller view
  EXPECT_EQ(g.Current_View(), 0);
  // Held down, an arrow goes on scrolling at every repeat tick.
  program.Click(g.View_Button_Screen_Point(1));
  const TPoint right = g.Arrow_Button_Screen_Point(1, 3);
  program.Backend().Move_To(right);
  program.Backend().Press(right);
  for (int ms = 0; ms < 600; ms += 10) program.Advance(10);
  program.Backend().Release(right);
  program.Run_Until_Idle();
  EXPECT_EQ(g.Windows().window[1].left, 3);
  program.Key(VK_HOME);
  program.Click(g.View_Button_Screen_Point(2));
  EXPECT_EQ(g.Current_View(), 2);
  // At the top left only down, right and the diagonals with one of them.
  const bool enabled[8] = {false, true, false, true, false, true, true, true};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(g.Arrow(i)->Is_Enabled(), enabled[i]) << i;
  program.Click(g.Arrow_Button_Screen_Point(2, 7));
  EXPECT_EQ(g.Windows().window[2], TRect(1, 1, 7, 7));
  program.Key(VK_NEXT);
  EXPECT_EQ(g.Windows().window[2], TRect(1, 6, 7, 12));
  program.Key(VK_HOME);
  EXPECT_EQ(g.Windows().window[2], TRect(0, 6, 6, 12));
  EXPECT_TRUE(g.Windows().Nested());
  // Help: the button and F1 show the gallery's section; the frame's
  // acknowledgements show the other one.
  program.Click(Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Help_Id)));
  EXPECT_EQ(The_Help_Window->Current_Section(), 4);
  program.Key(VK_ESCAPE);
  EXPECT_FALSE(The_Help_Window->IsWindowVisible());
  program.Key(VK_F1);
  EXPECT_EQ(The_Help_Window->Current_Section(), 4);
  program.Key(VK_ESCAPE);
  program.Frame()->Acknowledgements();
  program.Run_Until_Idle();
  EXPECT_EQ(The_Help_Window->Current_Section(), 6);
  program.Key(VK_ESCAPE);
  program.Key(VK_SUBTRACT);
  EXPECT_EQ(g.Current_View(), 3);
  EXPECT_FALSE(g.Arrows_Shown());
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(g.Arrow(i)->Is_Enabled() && g.Arrow(i)->IsWindowVisible()) << i;
}

TEST_F(Gallery_Window_Test, Cancel_Brings_Back_The_Views_Of_The_Opening_And_Save_Keeps_The_New_Ones) {
  Open();
  Gallery_Window& g = *program.Frame()->Gallery;
  program.Click(g.View_Button_Screen_Point(2));
  program.Key(VK_NEXT);
  program.Click(Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Cancel_Id)));
  Open();
  EXPECT_EQ(g.Current_View(), 1);
  EXPECT_EQ(g.Windows().window[2], TRect(0, 0, 6, 6));
  EXPECT_TRUE(g.Arrows_Shown());
  program.Click(g.View_Button_Screen_Point(2));
  program.Key(VK_NEXT);
  program.Click(g.Save_Button_Screen_Point());
  Open();
  EXPECT_EQ(g.Current_View(), 2);
  EXPECT_EQ(g.Windows().window[2], TRect(0, 6, 6, 12));
}

TEST_F(Gallery_Window_Test, A_Press_Below_The_Threshold_Only_Moves_The_Focus) {
  Fill({{1, 1}});
  Open();
  Gallery_Window& g = Gallery();
  const TPoint from = Cell(1, 1);
  const int t = g.Drag_Threshold();
  auto& b = program.Backend();
  b.Move_To(from);
  b.Press(from);
  b.Move_To(TPoint(from.x + t, from.y - t));
  program.Run_Until_Idle();
  EXPECT_FALSE(g.Dragging());
  b.Release(TPoint(from.x + t, from.y - t));
  program.Run_Until_Idle();
  EXPECT_EQ(g.Windows().window[0], TRect(1, 1, 2, 2));
  EXPECT_TRUE(Occupied(1, 1));
  // One pixel more starts the drag, and the drawing lands where it is let go.
  b.Press(from);
  b.Move_To(TPoint(from.x, from.y + t + 1));
  program.Run_Until_Idle();
  EXPECT_TRUE(g.Dragging());
  b.Release(from);
  program.Run_Until_Idle();
  Drag(from, Cell(2, 0));
  EXPECT_FALSE(Occupied(1, 1));
  EXPECT_TRUE(Occupied(2, 0));
  EXPECT_EQ(g.Windows().window[0], TRect(0, 2, 1, 3));  // the target is the focus
}

TEST_F(Gallery_Window_Test, A_Drop_On_An_Occupied_Cell_Exchanges_And_On_Nothing_Restores) {
  Fill({{0, 0}, {0, 1}});
  Open();
  Drawing_Collection::Presentation_Data* first = Store().Find({Drawing_Place::Grid, 0, 0});
  Drawing_Collection::Presentation_Data* second = Store().Find({Drawing_Place::Grid, 0, 1});
  Drag(Cell(0, 0), Cell(0, 1));
  EXPECT_EQ(Store().Find({Drawing_Place::Grid, 0, 1}), first);
  EXPECT_EQ(Store().Find({Drawing_Place::Grid, 0, 0}), second);
  // Released where there is no target, nothing moves.
  Drag(Cell(0, 0), No_Target());
  EXPECT_EQ(Store().Find({Drawing_Place::Grid, 0, 0}), second);
  EXPECT_FALSE(Gallery().Dragging());
}

TEST_F(Gallery_Window_Test, The_Main_Window_Drawing_Goes_Into_A_Cell_And_Back) {
  program.Draw_Block();
  Open();
  Gallery_Window& g = Gallery();
  const Drawing_Place main{Drawing_Place::Slot, Drawing_Place::Main_Slot, 0};
  ASSERT_NE(Store().State(main), 0);
  // Released on nothing, the drawing stays in the point.
  Drag(g.Main_IO_Screen_Point(), No_Target());
  EXPECT_NE(Store().State(main), 0);
  EXPECT_FALSE(Occupied(0, 0) || Occupied(1, 0));
  Drag(g.Main_IO_Screen_Point(), Cell(0, 2));
  EXPECT_TRUE(Occupied(0, 2));
  EXPECT_NE(Store().State(main), 0);  // the point keeps it
  // Untouched, the main window keeps its drawing.
  EXPECT_EQ(g.Main_Point()->Return_Drawing(), nullptr);
  // Another drawing dropped on the point is the one returned.
  Fill({{2, 2}});
  g.Set_View(1, true);
  Drag(Cell(2, 2), g.Main_IO_Screen_Point());
  auto returned = g.Main_Point()->Return_Drawing();
  ASSERT_NE(returned, nullptr);
  auto expected = Block(TColor(0, 200, 90), 0);
  EXPECT_TRUE(returned->Same_Pixels(*expected));
  // The first one back: its pixels equal the main window's, so none.
  Drag(Cell(0, 2), g.Main_IO_Screen_Point());
  EXPECT_EQ(g.Main_Point()->Return_Drawing(), nullptr);
}

TEST_F(Gallery_Window_Test, An_Empty_Main_Drawing_Offers_Nothing_To_Drag) {
  Open();
  Gallery_Window& g = Gallery();
  EXPECT_EQ(Store().State({Drawing_Place::Slot, Drawing_Place::Main_Slot, 0}), 0);
  // Resting over a point shows its tip; a press hides it.
  program.Backend().Move_To(g.Main_IO_Screen_Point());
  for (int ms = 0; ms < 1400; ms += 10) program.Advance(10);
  EXPECT_TRUE(The_Tip_Window->Shown);
  EXPECT_STREQ(The_Tip_Window->Item, "Main Window");
  program.Backend().Move_To(g.Bin_IO_Screen_Point());
  program.Run_Until_Idle();
  program.Backend().Move_To(g.Main_IO_Screen_Point());
  for (int ms = 0; ms < 1400; ms += 10) program.Advance(10);
  Drag(g.Main_IO_Screen_Point(), Cell(0, 0));
  EXPECT_FALSE(The_Tip_Window->Shown);
  EXPECT_FALSE(Occupied(0, 0));
  EXPECT_EQ(g.Main_Point()->Return_Drawing(), nullptr);
}

TEST_F(Gallery_Window_Test, Drawings_Go_Into_The_Bin_And_Come_Back_Out) {
  Fill({{0, 0}, {0, 1}, {0, 2}});
  Open();
  Gallery_Window& g = Gallery();
  Recycling_Bin_IO& bin = *g.Bin_Point();
  for (int c = 0; c < 3; ++c) Drag(Cell(0, c), g.Bin_IO_Screen_Point());
  ASSERT_EQ(Store().Bin_Length(), 3);
  EXPECT_FALSE(Occupied(0, 0) || Occupied(0, 1) || Occupied(0, 2));
  Drawing_Collection::Presentation_Data* front = Store().Find({Drawing_Place::Bin, 0, 0});
  // The front disc, where discs overlap, is the one taken.
  auto disc_point = [&](int32_t position) {
    const TRect slot = bin.Shape().slots[size_t(Recycling_Bin_IO::Slot_Of(position, Store().Bin_Length()))];
    TPoint p = Centre(slot.Offset_By(bin.Attr.X, bin.Attr.Y));
    p.y -= slot.Height() / 4;  // inside the opening, above the bin's front edge
    return Screen(p);
  };
  // Dropped back on the bin, the front drawing goes to the back.
  Drag(disc_point(0), g.Bin_IO_Screen_Point(), 1);
  EXPECT_EQ(Store().Find({Drawing_Place::Bin, -1, 0}), front);
  EXPECT_EQ(bin.Lifted(), -1);
  // Out into a cell.
  Drag(disc_point(0), Cell(2, 2));
  EXPECT_EQ(Store().Bin_Length(), 2);
  EXPECT_TRUE(Occupied(2, 2));
  // Onto an occupied cell: refused, back into the bin.
  Drag(disc_point(0), Cell(2, 2));
  EXPECT_EQ(Store().Bin_Length(), 2);
}

TEST_F(Gallery_Window_Test, The_Miniature_Changes_Size_At_The_Grid_Edge_And_Snaps_Onto_Cells) {
  Fill({{0, 0}});
  Open();
  Gallery_Window& g = Gallery();
  auto& b = program.Backend();
  const TPoint from = Cell(0, 0);
  b.Move_To(from);
  b.Press(from);
  b.Move_To(TPoint(from.x + 40, from.y));
  program.Run_Until_Idle();
  ASSERT_TRUE(g.Dragging());
  const int third = Drawing_Collection::Picture_Side(Third_Picture_Size);
  EXPECT_EQ(g.Dragger()->Miniature().Width(), third);
  // Over the drop points the miniature is a sixth.
  b.Move_To(g.Bin_IO_Screen_Point());
  program.Run_Until_Idle();
  EXPECT_EQ(g.Dragger()->Miniature().Width(), Drawing_Collection::Picture_Side(Sixth_Picture_Size));
  // Near a cell's centre it snaps onto it.
  const TPoint cell = Cell(1, 1);
  b.Move_To(TPoint(cell.x + 1, cell.y + 1));
  program.Run_Until_Idle();
  b.Move_To(TPoint(cell.x + 1, cell.y));
  program.Run_Until_Idle();
  EXPECT_EQ(g.Drop_Target(), (Drawing_Place{Drawing_Place::Grid, 1, 1}));
  b.Release(cell);
  program.Run_Until_Idle();
  EXPECT_TRUE(Occupied(1, 1));
}

TEST_F(Gallery_Window_Test, Drop_Lookup_Takes_The_Grid_Then_The_Points_In_Order) {
  Open();
  Gallery_Window& g = Gallery();
  const Gallery_Layout& l = g.Layout();
  TSize to_centre;
  const TRect inner = l.grid[1]->Inner(1, 2);
  EXPECT_EQ(g.Drop_Place_At(inner.TopLeft(), to_centre), (Drawing_Place{Drawing_Place::Grid, 1, 2}));
  EXPECT_EQ(to_centre, TSize(inner.Width() / 2, inner.Height() / 2));
  // A margin of the grid is no target, nor is the space left of the grid below the points.
  EXPECT_EQ(g.Drop_Place_At(TPoint(inner.left - 1, inner.top), to_centre).kind, Drawing_Place::None);
  EXPECT_EQ(g.Drop_Place_At(TPoint(5, g.Attr.H - 1), to_centre).kind, Drawing_Place::None);
  const TRect main_drop = g.Main_Point()->Drop_Area();
  EXPECT_EQ(g.Drop_Place_At(main_drop.TopLeft(), to_centre), (Drawing_Place{Drawing_Place::Slot, 0, 0}));
  EXPECT_EQ(g.Drop_Place_At(TPoint(main_drop.right, main_drop.top), to_centre).kind, Drawing_Place::None);
  EXPECT_EQ(g.Drop_Place_At(Centre(l.points[Gallery_Layout::Bin_Point]), to_centre).kind, Drawing_Place::Bin);
}

// The printer and the clipboard are stand-ins that take what they are
// given.
class Gallery_Drop_Points_Test : public Gallery_Window_Test {
 protected:
  struct Taking_Clipboard : TClipboard_Service {
    bool Place_Png(TPicture) override { return ++placed, true; }
    bool Empty() override { return true; }
    void Watch(std::function<void()>) override {}
    int placed = 0;
  };
  void SetUp() override {
    TPrint_Service::Install(&service);
    TClipboard_Service::Install(&clipboard);
    Gallery_Window_Test::SetUp();
    The_Printer->Settle();
  }
  void TearDown() override {
    Gallery_Window_Test::TearDown();
    TClipboard_Service::Install(nullptr);
    TPrint_Service::Install(nullptr);
  }
  Fake_Print_Service service;
  Taking_Clipboard clipboard;
};

TEST_F(Gallery_Drop_Points_Test, A_Cell_Dropped_On_Each_Point_Lands_In_That_Points_Place) {
  Fill({{0, 0}});
  Open();
  Gallery_Window& g = Gallery();
  const Drawing_Place main_slot{Drawing_Place::Slot, 0, 0};
  struct Case {
    const char* what;
    int point;
    Drawing_Place place;
  };
  // The main window's point last: a drop that strays there shows before.
  for (const Case& c : {Case{"clipboard", Gallery_Layout::Clipboard_Point, {Drawing_Place::Slot, 1, 0}},
                        Case{"printer", Gallery_Layout::Printer_Point, {Drawing_Place::Slot, 2, 0}},
                        Case{"main window", Gallery_Layout::Main_Point, main_slot},
                        Case{"bin", Gallery_Layout::Bin_Point, {Drawing_Place::Bin, 0, 0}}}) {
    SCOPED_TRACE(c.what);
    const bool main_was_empty = Store().State(main_slot) == 0;
    Drag(Cell(0, 0), Screen(Centre(g.Point(c.point)->Drop_Area())));
    EXPECT_NE(Store().State(c.place), 0);
    if (!(c.place == main_slot)) {
      EXPECT_EQ(Store().State(main_slot) == 0, main_was_empty);
    }
  }
  The_Printer->Wait_For_Thread();
  EXPECT_EQ(clipboard.placed, 1);
  EXPECT_EQ(service.titles, std::vector<std::string>{"Quendar Drawing 1"});
  EXPECT_FALSE(Occupied(0, 0));  // the bin takes it out of the grid
}

// While the program is busy the moves of a whole drag reach it as one, or
// none reaches the place where the button is let go: the drawing still
// lands where it is let go.
TEST_F(Gallery_Drop_Points_Test, A_Drag_Seen_As_One_Move_Lands_Where_It_Is_Let_Go) {
  Fill({{0, 0}});
  Open();
  Gallery_Window& g = Gallery();
  g.Set_View(1, true);
  program.Run_Until_Idle();
  const TPoint from = Cell(0, 0), to_cell = Cell(1, 1), just_past(from.x, from.y + g.Drag_Threshold() + 1);
  const TPoint clipboard_drop = Screen(Centre(g.Point(Gallery_Layout::Clipboard_Point)->Drop_Area()));
  struct Case {
    const char* what;
    TPoint moved_to, let_go_at;
    bool carried;         // the miniature has left the cell after the move
    int placed;           // pictures the clipboard got so far
    Drawing_Place where;  // the drawing's cell afterwards
  };
  const Drawing_Place first{Drawing_Place::Grid, 0, 0}, second{Drawing_Place::Grid, 1, 1};
  const TPoint cell_centre = Centre(g.Layout().grid[1]->Inner(0, 0));
  for (const Case& c :
       {Case{"one move onto the clipboard", clipboard_drop, clipboard_drop, true, 1, first},
        Case{"let go on the clipboard after a move past the threshold", just_past, clipboard_drop, false, 2, first},
        Case{"one move onto another cell", to_cell, to_cell, true, 2, second}}) {
    SCOPED_TRACE(c.what);
    auto& b = program.Backend();
    b.Move_To(from);
    b.Press(from);
    program.Run_Until_Idle();
    b.Move_To(c.moved_to);
    program.Run_Until_Idle();
    ASSERT_TRUE(g.Dragging());
    EXPECT_EQ(!g.Dragger()->Miniature().Contains(cell_centre), c.carried);
    b.Release(c.let_go_at);
    program.Run_Until_Idle();
    EXPECT_FALSE(g.Dragging());
    EXPECT_EQ(clipboard.placed, c.placed);
    EXPECT_NE(Store().State(c.where), 0);
  }
  EXPECT_FALSE(Occupied(0, 0));
}

// ---- Pictures of the window

void Snapshot_Views(TSize screen, const char* name) {
  Program_Session program(Program_Options{screen});
  program.Start();
  program.Draw_Block();
  Gallery_Window& g = *program.Frame()->Gallery;
  Drawing_Collection& store = *g.Collection();
  const std::pair<int, int> cells[] = {{0, 0}, {0, 1}, {1, 0}, {1, 2}, {2, 1}, {4, 4}, {5, 3}, {11, 11}};
  int i = 0;
  for (auto [r, c] : cells) {
    auto d = Block(TColor(uint8_t(30 * i), uint8_t(220 - 25 * i), uint8_t(60 + 20 * i)), i);
    store.Add(d, Drawing_Place::Grid, r, c);
    ++i;
  }
  for (int k = 0; k < 3; ++k) {
    auto d = Block(TColor(200, uint8_t(60 * k), 40), k + 1);
    store.Add(d, Drawing_Place::Bin, 0, 0);
  }
  program.Click(Program_Session::Center_Of(program.Main()->gallery_button));
  for (int v = 0; v < 4; ++v) {
    g.Set_View(v, true);
    program.Run_Until_Idle();
    EXPECT_EQ(g.Current_View(), v);
    program.Snapshot(std::string("gallery_") + name + "_view_" + std::to_string(v));
  }
  // Half-way through a drag out of the main window point: its disc hatched,
  // the miniature over the grid.
  g.Set_View(1, true);
  auto& b = program.Backend();
  const TPoint from = g.Main_IO_Screen_Point(), to = g.Cell_Screen_Point(1, 1, 1);
  b.Move_To(from);
  b.Press(from);
  for (int i = 1; i <= 4; ++i) {
    b.Move_To(TPoint(from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8));
    program.Run_Until_Idle();
  }
  EXPECT_TRUE(g.Dragging());
  program.Snapshot(std::string("gallery_") + name + "_dragging");
  b.Release(to);
  program.Run_Until_Idle();
  program.Stop();
}

// The screen's pixels of r, row by row.
std::vector<uint32_t> Screen_Pixels(const TRect& r) {
  std::vector<uint32_t> pixels;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) pixels.push_back(TDesktop::Current().Screen().Pixel(x, y));
  return pixels;
}

// How many pixels of two pictures of one area differ.
int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int count = std::abs(int(a.size()) - int(b.size()));
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) count += a[i] != b[i];
  return count;
}

// The Name and Level dialog, opened from the gallery's own button, lies over
// the two top corner arrows; however it closes (OK, Cancel, Escape) they
// show again what they showed before, their whole squares: the triangle
// and the gallery round it. At level 5 the main window's New button stood
// where the top right arrow stands: the gallery covers it from the start.
TEST(Gallery_Window_Repaint, The_Corner_Arrows_Show_The_Same_Before_And_After_The_Name_And_Level_Dialog) {
  enum Close { By_OK, By_Cancel, By_Escape };
  for (const TSize screen : {TSize(1024, 768), TSize(1920, 1080)})
    for (const int32_t level : {0, 4}) {
      SCOPED_TRACE(std::to_string(screen.cx) + " level " + std::to_string(level + 1));
      Program_Session program({.screen = screen});
      program.Start();
      IFS_Frame_Window* frame = program.Frame();
      program.Change_User("Ann", level);
      program.Click(Program_Session::Center_Of(program.Main()->gallery_button));
      Gallery_Window& g = *frame->Gallery;
      ASSERT_TRUE(g.IsWindowVisible());
      Arrow_Button* corners[2] = {g.Arrow(Arrow_Kind_Upper_Left), g.Arrow(Arrow_Kind_Upper_Right)};
      std::vector<uint32_t> before[2];
      for (int i = 0; i < 2; ++i) {
        const TRect r = corners[i]->GetWindowRect();
        before[i] = Screen_Pixels(r);
        // Beside its triangle, the square shows what the gallery shows
        // there with the arrow away.
        corners[i]->ShowWindow(SW_HIDE);
        program.Run_Until_Idle();
        const std::vector<uint32_t> bare = Screen_Pixels(r);
        corners[i]->ShowWindow(SW_SHOW);
        program.Run_Until_Idle();
        int beside = 0, wrong = 0;
        for (int y = 0; y < r.Height(); ++y)
          for (int x = 0; x < r.Width(); ++x)
            if (!corners[i]->Shape_Contains(TPoint(x, y))) {
              ++beside;
              wrong += before[i][size_t(y * r.Width() + x)] != bare[size_t(y * r.Width() + x)];
            }
        EXPECT_GT(beside, 0);
        EXPECT_EQ(wrong, 0) << "pixels beside corner arrow " << i << " that the gallery did not paint";
        EXPECT_EQ(Differing(Screen_Pixels(r), before[i]), 0) << "corner arrow " << i << " shown again";
      }
      program.Snapshot("gallery_corners_" + std::to_string(screen.cx) + "_level" + std::to_string(level + 1));
      for (const Close close : {By_OK, By_Cancel, By_Escape}) {
        SCOPED_TRACE(close);
        bool covered = false;
        frame->Run_User_Dialog = [&] {
          Later(100, [&] {
            for (int i = 0; i < 2; ++i)
              covered = covered || Differing(Screen_Pixels(corners[i]->GetWindowRect()), before[i]) > 0;
            if (close == By_Escape) {
              program.Backend().Key(VK_ESCAPE);
              return;
            }
            const int id = close == By_OK ? User_Dialog::OK_Id : User_Dialog::OK_Id + 1;  // OK, Cancel
            const TWindow* button = frame->Dialog->ChildWithId(id);
            ASSERT_NE(button, nullptr);
            program.Backend().Click(Program_Session::Center_Of(button));
          });
          return frame->Dialog->Execute();
        };
        program.Click(Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Name_Level_Id)));
        program.Run_Until_Idle();
        EXPECT_FALSE(frame->Dialog->IsWindow());
        EXPECT_TRUE(covered) << "the dialog lies elsewhere";
        for (int i = 0; i < 2; ++i)
          EXPECT_EQ(Differing(Screen_Pixels(corners[i]->GetWindowRect()), before[i]), 0) << "corner arrow " << i;
      }
      program.Snapshot("gallery_corners_" + std::to_string(screen.cx) + "_level" + std::to_string(level + 1) +
                       "_after");
      EXPECT_EQ(program.Stop(), 0);
    }
}

TEST(Gallery_Window_Pictures, Each_View_At_800_1024_And_1920) {
  Snapshot_Views({800, 600}, "800");
  Snapshot_Views({1024, 768}, "1024");
  Snapshot_Views({1920, 1080}, "1920");
}

}  // namespace

namespace {

// ---- Leaving, closing, restarting and changing users, with the gallery file

class Gallery_Program_Test : public testing::Test {
 protected:
  void SetUp() override {
    // A folder of its own: tests run in parallel processes, where an
    // address (the same in every sanitizer build's process) is no name.
    std::string pattern = testing::TempDir() + "gallery_program_XXXXXX";
    folder = mkdtemp(pattern.data());
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  Program_Options Options() {
    Program_Options o;
    o.user_path = folder;
    return o;
  }
  static void Open(Program_Session& p) { p.Click(Program_Session::Center_Of(p.Main()->gallery_button)); }
  // A new start of the program shows the drawing moved from (0, 1) to
  // (2, 2): the move was saved. Only while no other session runs.
  void Expect_Move_Saved() {
    Program_Session again(Options());
    again.Start();
    Open(again);
    EXPECT_TRUE(Occupied(again, 2, 2));
    EXPECT_FALSE(Occupied(again, 0, 1));
    EXPECT_EQ(again.Stop(), 0);
  }
  // A session that saves drawings in cells (0, 0) and (0, 1); the gallery
  // file's path.
  std::string Save_Two_Drawings() {
    Program_Session p(Options());
    p.Start();
    Open(p);
    Gallery_Window& g = *p.Frame()->Gallery;
    for (int column = 0; column < 2; ++column) {
      auto d = Block(TColor(uint8_t(90 * column), 40, 200), column);
      EXPECT_TRUE(g.Collection()->Add(d, Drawing_Place::Grid, 0, column));
    }
    p.Click(g.Save_Button_Screen_Point());
    const std::string path = The_User_Database->current_user->File_Path("gal");
    EXPECT_EQ(p.Stop(), 0);
    return path;
  }
  // Starts the session, opens the gallery and, once it is shown, moves the
  // drawing at (0, 1) to (2, 2); the boxes so far are forgotten. False when
  // it was never shown.
  static bool Open_And_Move(Program_Session& p) {
    p.Start();
    Open(p);
    Gallery_Window& g = *p.Frame()->Gallery;
    if (!Wait_Until_Shown(p, 0, 1)) return false;
    Drag(p, g.Cell_Screen_Point(1, 0, 1), g.Cell_Screen_Point(1, 2, 2));
    p.Boxes.clear();
    return true;
  }
  // The exit's question with every box answered Cancel, each written down
  // as the session writes them.
  static bool Can_Close_Cancelled(Program_Session& p, Gallery_Window& g) {
    const TMessage_Box_Hook session = Set_Message_Box_Hook([&](const TMessage_Box_Request& box) {
      p.Boxes.push_back(box);
      return IDCANCEL;
    });
    const bool closed = g.CanClose();
    Set_Message_Box_Hook(session);
    return closed;
  }
  static void Drag(Program_Session& p, TPoint from, TPoint to) {
    auto& b = p.Backend();
    b.Move_To(from);
    b.Press(from);
    for (int i = 1; i <= 8; ++i) {
      b.Move_To(TPoint(from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8));
      p.Run_Until_Idle();
    }
    b.Release(to);
    p.Run_Until_Idle();
  }
  static bool Occupied(Program_Session& p, int32_t r, int32_t c) {
    return p.Frame()->Gallery->Collection()->State({Drawing_Place::Grid, r, c}) != 0;
  }
  // A drawing read from the file can be picked up once its pictures are
  // made in the background, as a person sees it appear in its cell; a busy
  // machine makes them late. Waits for that, with a generous bound.
  static bool Wait_Until_Shown(Program_Session& p, int32_t r, int32_t c) {
    const Drawing_Place cell{Drawing_Place::Grid, r, c};
    for (int i = 0; i < 30000; ++i) {
      if (p.Frame()->Gallery->Collection()->State(cell) == Drawing_Collection::Presentation_Data::Ready) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      p.Advance(10);
    }
    return false;
  }
  std::string folder;
};

TEST_F(Gallery_Program_Test, Saved_Drawings_Come_Back_After_A_Restart_And_Closing_Asks_First) {
  {
    Program_Session p(Options());
    p.Start();
    p.Draw_Block();
    Open(p);
    Gallery_Window& g = *p.Frame()->Gallery;
    Drag(p, g.Main_IO_Screen_Point(), g.Cell_Screen_Point(1, 0, 1));
    p.Click(g.Save_Button_Screen_Point());
    EXPECT_FALSE(g.IsWindowVisible());
    // Reopened and moved again: closing the program asks, and the first
    // answer (Yes) saves.
    Open(p);
    Drag(p, g.Cell_Screen_Point(1, 0, 1), g.Cell_Screen_Point(1, 2, 2));
    EXPECT_EQ(p.Stop(), 0);
    std::string asked;
    for (const TMessage_Box_Request& box : p.Boxes) asked += box.caption + ": " + box.text + "\n";
    ASSERT_EQ(p.Boxes.size(), 1u) << asked;
    EXPECT_EQ(p.Boxes[0].caption, "Program Exit");
    EXPECT_EQ(p.Boxes[0].text, "Save changes to Gallery?");
  }
  Program_Session p(Options());
  p.Start();
  Open(p);
  EXPECT_TRUE(Occupied(p, 2, 2));
  EXPECT_FALSE(Occupied(p, 0, 1));
  // Cancel leaves everything as it was saved.
  Gallery_Window& g = *p.Frame()->Gallery;
  ASSERT_TRUE(Wait_Until_Shown(p, 2, 2));
  Drag(p, g.Cell_Screen_Point(1, 2, 2), g.Bin_IO_Screen_Point());
  EXPECT_FALSE(Occupied(p, 2, 2));
  p.Click(Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Cancel_Id)));
  EXPECT_TRUE(Occupied(p, 2, 2));
  EXPECT_EQ(p.Frame()->Gallery->Collection()->Bin_Length(), 0);
  EXPECT_EQ(p.Stop(), 0);
  EXPECT_TRUE(p.Boxes.empty());
}

// The system ends the program (a logout) while the gallery holds changes:
// nobody is asked, and they are kept, as the answer Yes keeps them; those a
// demonstration made go.
TEST_F(Gallery_Program_Test, The_System_Ending_The_Program_Keeps_The_Gallery_Without_Asking) {
  for (const bool demonstration : {false, true}) {
    SCOPED_TRACE(demonstration ? "a demonstration's changes" : "the person's changes");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    {
      Program_Session p(Options());
      p.Start();
      p.Draw_Block();
      Open(p);
      Gallery_Window& g = *p.Frame()->Gallery;
      Drag(p, g.Main_IO_Screen_Point(), g.Cell_Screen_Point(1, 0, 1));
      Set_Demonstration_Running(demonstration);
      EXPECT_EQ(p.End_For_The_System(), 0);
      Set_Demonstration_Running(false);
      EXPECT_TRUE(p.Boxes.empty()) << p.Boxes[0].text;
    }
    Program_Session p(Options());
    p.Start();
    Open(p);
    EXPECT_EQ(Occupied(p, 0, 1), !demonstration);
    EXPECT_EQ(p.Stop(), 0);
  }
}

// Another program changes the gallery file while the gallery is shown: every
// Save says that the changes are not saved, the exit asks no question a save
// would answer but says that they cannot be kept, and the file is not
// written. The person may stay, move the other file away and save.
TEST_F(Gallery_Program_Test, A_Gallery_Changed_By_Another_Program_Is_Told_At_Every_Save_And_At_Exit) {
  struct Case {
    const char* name;
    bool cut;  // else another gallery is renamed over it
    std::vector<std::string> told;
  };
  const std::string cut_write = "Unable to write file %\nAnother program has changed the file";
  const std::string replaced_write = "Unable to write file %\nAnother program has put a different file in its place";
  const std::vector<Case> cases = {
      {"cut short", true, {"Unable to read file %\nAnother program has changed the file", cut_write, cut_write}},
      {"replaced", false, {replaced_write, replaced_write}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = Save_Two_Drawings();
    {
      Program_Session p(Options());
      p.Start();
      Open(p);
      Gallery_Window& g = *p.Frame()->Gallery;
      ASSERT_TRUE(Wait_Until_Shown(p, 0, 1));
      if (c.cut) {
        std::filesystem::resize_file(path, 100);
      } else {
        ASSERT_TRUE(Rename_Other_Copy_Over(path));
      }
      const std::string bytes = Temp_Home::Read(path);
      p.Click(g.View_Button_Screen_Point(0));
      p.Click(g.View_Button_Screen_Point(1));
      Drag(p, g.Cell_Screen_Point(1, 0, 1), g.Cell_Screen_Point(1, 2, 2));
      ASSERT_TRUE(Occupied(p, 2, 2));
      for (int save = 0; save < 2; ++save) {
        p.Click(g.Save_Button_Screen_Point());
        Open(p);
      }
      ASSERT_TRUE(Occupied(p, 2, 2));
      // Asked to stay at the exit, she moves the other file away and saves.
      if (c.cut) {
        EXPECT_EQ(p.Stop(), 0);  // the exit box answered OK
      } else {
        const TMessage_Box_Hook session = Set_Message_Box_Hook([&](const TMessage_Box_Request& box) {
          p.Boxes.push_back(box);
          return IDCANCEL;
        });
        EXPECT_FALSE(g.CanClose());
        Set_Message_Box_Hook(session);
      }
      std::vector<std::string> told;
      for (const TMessage_Box_Request& box : p.Boxes) told.push_back(box.text);
      ASSERT_EQ(told.size(), c.told.size() + 1);
      for (size_t i = 0; i < c.told.size(); ++i) {
        const size_t at = c.told[i].find('%');
        EXPECT_EQ(told[i].rfind(c.told[i].substr(0, at) + path + c.told[i].substr(at + 1), 0), 0u) << told[i];
      }
      const std::string reason =
          c.cut ? "Another program has changed the file" : "Another program has put a different file in its place";
      EXPECT_EQ(p.Boxes.back().caption, "Program Exit");
      EXPECT_EQ(p.Boxes.back().type, UINT(MB_OKCANCEL | MB_ICONSTOP));
      EXPECT_EQ(told.back(), "Unable to write file " + path + "\n" + reason +
                                 ": your changes to the gallery cannot be kept.\nTo keep them, choose Cancel to "
                                 "stay in the program, move that file out of the folder, and save the gallery "
                                 "again. OK leaves the program without them.");
      EXPECT_EQ(Temp_Home::Read(path), bytes);
      if (c.cut) continue;
      std::filesystem::rename(path, path + ".other");
      p.Boxes.clear();
      p.Click(g.Save_Button_Screen_Point());
      EXPECT_TRUE(p.Boxes.empty());
      EXPECT_TRUE(g.CanClose());
      EXPECT_EQ(p.Stop(), 0);
      EXPECT_TRUE(p.Boxes.empty());
      EXPECT_EQ(Temp_Home::Read(path + ".other"), bytes);
    }
    Expect_Move_Saved();
  }
}

// Each advice the exit gives, followed to its end in the whole program:
// another program replaced the gallery file, cut it short, or changed a
// drawing's picture header in place; asked to stay, she moves that file out
// of the folder and saves, and every drawing that still reads is kept, the
// one that no longer does told as lost. A file deleted while shown is
// written whole again at the exit's Yes. No crash, and the moved file stays
// as it was.
TEST_F(Gallery_Program_Test, Each_Advice_Of_The_Exit_Followed_To_Its_End_Keeps_What_Still_Reads) {
  struct Case {
    const char* name;
    std::function<void(const std::string& path, const std::vector<Gallery_File::Record>&)> change;
    std::string reason;  // the exit's advice is given; none when deleted
    bool first_lost;     // the drawing at (0, 0)
    bool moved_lost;     // the drawing moved from (0, 1) to (2, 2)
  };
  const std::vector<Case> cases = {
      {"replaced",
       [](const std::string& path, const auto&) { ASSERT_TRUE(Rename_Other_Copy_Over(path)); },
       "Another program has put a different file in its place", false, false},
      {"cut short",
       [](const std::string& path, const auto& records) {
         std::filesystem::resize_file(path, records[1].offset + 100);
       },
       "Another program has changed the file", false, true},
      {"changed in place",
       [](const std::string& path, const auto& records) {
         ASSERT_TRUE(Change_In_Place(path, records[0].offset + 12, {0, 0, 0, 0}));
       },
       "Another program has changed the file", true, false},
      {"a picture byte changed in place, the size and times kept",
       [](const std::string& path, const auto& records) {
         const std::string bytes = Temp_Home::Read(path);
         const uint64_t at = records[0].offset + records[0].length - 1;
         ASSERT_TRUE(Change_In_Place(path, at, {uint8_t(bytes[at] ^ 0x11)}));
       },
       "Another program has changed the file", true, false},
      {"deleted while shown", [](const std::string& path, const auto&) { std::filesystem::remove(path); }, "", false,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = Save_Two_Drawings();
    const std::string saved = Temp_Home::Read(path);
    const std::vector<uint8_t> bytes(saved.begin(), saved.end());
    const std::string elsewhere = folder + "/elsewhere/Ann.gal";
    {
      Program_Session p(Options());
      p.Start();
      Open(p);
      Gallery_Window& g = *p.Frame()->Gallery;
      ASSERT_TRUE(Wait_Until_Shown(p, 0, 0));
      ASSERT_TRUE(Wait_Until_Shown(p, 0, 1));
      c.change(path, Gallery_File::Scan(bytes.data(), bytes.size()).records);
      Drag(p, g.Cell_Screen_Point(1, 0, 1), g.Cell_Screen_Point(1, 2, 2));
      ASSERT_TRUE(Occupied(p, 2, 2));
      p.Boxes.clear();
      if (!c.reason.empty()) {
        const TMessage_Box_Hook session = Set_Message_Box_Hook([&](const TMessage_Box_Request& box) {
          p.Boxes.push_back(box);
          return IDCANCEL;
        });
        EXPECT_FALSE(g.CanClose());
        Set_Message_Box_Hook(session);
        ASSERT_EQ(p.Boxes.size(), 1u);
        EXPECT_EQ(p.Boxes[0].text, "Unable to write file " + path + "\n" + c.reason +
                                       ": your changes to the gallery cannot be kept.\nTo keep them, choose Cancel "
                                       "to stay in the program, move that file out of the folder, and save the "
                                       "gallery again. OK leaves the program without them.");
        // She does as it says.
        const std::string other = Temp_Home::Read(path);
        std::filesystem::create_directories(folder + "/elsewhere");
        std::filesystem::rename(path, elsewhere);
        p.Boxes.clear();
        p.Click(g.Save_Button_Screen_Point());
        if (c.first_lost || c.moved_lost) {
          ASSERT_EQ(p.Boxes.size(), 1u);
          const std::string lost = "Unable to read file " + path + "\nThe drawing in row " +
                                   (c.first_lost ? "1, column 1" : "3, column 3") +
                                   " of the 12 by 12 view could no longer be read as the gallery showed it";
          EXPECT_EQ(p.Boxes[0].text.rfind(lost, 0), 0u) << p.Boxes[0].text;
        } else {
          EXPECT_TRUE(p.Boxes.empty());
        }
        EXPECT_EQ(Temp_Home::Read(elsewhere), other);
        p.Boxes.clear();
      }
      EXPECT_EQ(p.Stop(), 0);
      std::vector<std::string> told;
      for (const TMessage_Box_Request& box : p.Boxes) told.push_back(box.text);
      EXPECT_EQ(told, c.reason.empty() ? std::vector<std::string>{"Save changes to Gallery?"}
                                       : std::vector<std::string>{});
    }
    Program_Session again(Options());
    again.Start();
    Open(again);
    EXPECT_EQ(Occupied(again, 0, 0), !c.first_lost);
    EXPECT_EQ(Occupied(again, 2, 2), !c.moved_lost);
    EXPECT_FALSE(Occupied(again, 0, 1));
    EXPECT_TRUE(again.Boxes.empty());
    EXPECT_EQ(again.Stop(), 0);
  }
}

// A gallery file made unchangeable (by the administrator) or read-only
// while shown, or replaced by another program's file made unchangeable: the
// exit says why the changes cannot be kept and what each button does;
// Cancel keeps the program open, and once she has done what it says the
// save keeps the changes.
TEST_F(Gallery_Program_Test, A_File_Made_Unchangeable_Or_Read_Only_While_Shown_Is_Told_So_At_Exit) {
  const struct {
    const char* name;
    std::function<bool(const std::string&, bool)> set;
    std::string reason;
    bool needs_root;
    std::string advice;
  } cases[] = {
      {"unchangeable", [](const std::string& path, bool on) { return Set_Unchangeable(path, on); },
       "You have no permission to change the file", true,
       "have the administrator make the file changeable again, and save the gallery again"},
      {"read-only", [](const std::string& path, bool on) { return chmod(path.c_str(), on ? 0444 : 0644) == 0; },
       "The file is read-only", false, "make the file writable again, and save the gallery again"},
      {"read-only and unchangeable",
       [](const std::string& path, bool on) {
         return on ? chmod(path.c_str(), 0444) == 0 && Set_Unchangeable(path, true)
                   : Set_Unchangeable(path, false) && chmod(path.c_str(), 0644) == 0;
       },
       "You have no permission to change the file", true,
       "have the administrator make the file changeable again, and save the gallery again"},
      // Another program's file under the name: only the administrator can
      // move it out.
      {"replaced by another program's file made unchangeable",
       [](const std::string& path, bool on) {
         return on ? Rename_Other_Copy_Over(path) && Set_Unchangeable(path, true)
                   : Set_Unchangeable(path, false) && rename(path.c_str(), (path + ".moved-out").c_str()) == 0;
       },
       "Another program has put a different file in its place", true,
       "have the administrator make that file changeable again and move it out of the folder, and save the gallery "
       "again"},
  };
  Root_Only_Cases root_only(Unchangeable_Needs_Root);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needs_root && root_only.Left_Out(c.name)) continue;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = Save_Two_Drawings();
    {
      Program_Session p(Options());
      p.Start();
      Open(p);
      Gallery_Window& g = *p.Frame()->Gallery;
      ASSERT_TRUE(Wait_Until_Shown(p, 0, 1));
      ASSERT_TRUE(c.set(path, true));
      Drag(p, g.Cell_Screen_Point(1, 0, 1), g.Cell_Screen_Point(1, 2, 2));
      p.Boxes.clear();
      // OK leaves; Cancel stays.
      EXPECT_TRUE(g.CanClose());
      EXPECT_FALSE(Can_Close_Cancelled(p, g));
      ASSERT_EQ(p.Boxes.size(), 2u);
      for (const TMessage_Box_Request& box : p.Boxes) {
        EXPECT_EQ(box.type, UINT(MB_OKCANCEL | MB_ICONSTOP));
        EXPECT_EQ(box.text, "Unable to write file " + path + "\n" + c.reason +
                                ": your changes to the gallery cannot be kept.\nTo keep them, choose Cancel to stay in "
                                "the program, " + c.advice + ". OK leaves the program without them.");
      }
      // She does as it says.
      ASSERT_TRUE(c.set(path, false));
      p.Boxes.clear();
      p.Click(g.Save_Button_Screen_Point());
      EXPECT_TRUE(p.Boxes.empty());
      EXPECT_EQ(p.Stop(), 0);
    }
    Expect_Move_Saved();
  }
  root_only.End();
}

// A change of user with changes that cannot be saved asks no question: the
// box says they cannot be kept, and the other program's file stays.
TEST_F(Gallery_Program_Test, A_Change_Of_User_Says_The_Changes_Cannot_Be_Kept) {
  const std::string path = Save_Two_Drawings();
  Program_Session p(Options());
  p.Start();
  Open(p);
  Gallery_Window& g = *p.Frame()->Gallery;
  ASSERT_TRUE(Wait_Until_Shown(p, 0, 1));
  ASSERT_TRUE(Rename_Other_Copy_Over(path));
  const std::string bytes = Temp_Home::Read(path);
  Drag(p, g.Cell_Screen_Point(1, 0, 1), g.Cell_Screen_Point(1, 2, 2));
  const std::string before = The_User_Database->current_user->name;
  p.Frame()->Run_User_Dialog = [] {
    User_Database& db = *The_User_Database;
    db.previous_user = *db.current_user;
    db.Set_Current(db.Add_User(std::make_unique<User>(1, "Bea")));
    return 1;
  };
  p.Click(Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Name_Level_Id)));
  ASSERT_EQ(p.Boxes.size(), 1u);
  EXPECT_EQ(p.Boxes[0].caption, "User Change");
  EXPECT_EQ(p.Boxes[0].type, UINT(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(p.Boxes[0].text, "Unable to write file " + path +
                                 "\nAnother program has put a different file in its place: the changes to the "
                                 "gallery belonging to " + before + " cannot be kept.");
  EXPECT_EQ(Temp_Home::Read(path), bytes);
  EXPECT_EQ(p.Stop(), 0);
}

// Changes to a gallery whose file is read-only are not offered a save at the
// exit: the box says why they cannot be kept, and the program ends.
TEST_F(Gallery_Program_Test, A_Read_Only_Gallery_Says_At_Exit_That_The_Changes_Cannot_Be_Kept) {
  const std::string path = Save_Two_Drawings();
  chmod(path.c_str(), 0444);
  Program_Session p(Options());
  ASSERT_TRUE(Open_And_Move(p));
  EXPECT_TRUE(p.Frame()->Gallery->CanClose());
  ASSERT_EQ(p.Boxes.size(), 1u);
  EXPECT_EQ(p.Boxes[0].caption, "Program Exit");
  EXPECT_EQ(p.Boxes[0].type, UINT(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(p.Boxes[0].text,
            "Unable to write file " + path + "\nThe file is read-only: your changes to the gallery cannot be kept.");
  EXPECT_EQ(p.Stop(), 0);
  chmod(path.c_str(), 0644);
}

// Her gallery held aside by a stopped save while another file took its
// name is shown from where it is; the exit says where it is kept and which
// file to move, and doing so lets the save put it back with her changes.
TEST_F(Gallery_Program_Test, A_Gallery_Held_Aside_Says_At_Exit_Where_It_Is_Kept) {
  const std::string path = Save_Two_Drawings();
  const std::string held = Drawing_Collection::Claim_Name(path);
  ASSERT_TRUE(Hold_Aside(path));
  Temp_Home::Write(path, "an older copy");
  {
    Program_Session p(Options());
    ASSERT_TRUE(Open_And_Move(p));
    Gallery_Window& g = *p.Frame()->Gallery;
    EXPECT_FALSE(Can_Close_Cancelled(p, g));
    ASSERT_EQ(p.Boxes.size(), 1u);
    EXPECT_EQ(p.Boxes[0].text, "Unable to write file " + path +
                                   "\nAnother file is under that name, and a save that was stopped kept your gallery "
                                   "aside: your gallery as last saved is kept as " + held +
                                   Drawing_Collection::Hidden_Note +
                                   ", and changes made since then cannot be kept.\nTo keep them, choose Cancel to "
                                   "stay in the program, move the file " + path + " out of the folder, and save the "
                                   "gallery again. OK leaves the program without them.");
    // She does as it says.
    std::filesystem::rename(path, folder + "/moved-out");
    p.Boxes.clear();
    p.Click(g.Save_Button_Screen_Point());
    EXPECT_TRUE(p.Boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(held));
    EXPECT_EQ(p.Stop(), 0);
  }
  Expect_Move_Saved();
}

// A save at the exit that the file system refuses (the gallery's name is a
// mount point) says why and keeps the program open with the changes; once
// the name is free, the exit saves them.
TEST_F(Gallery_Program_Test, A_Save_Refused_At_Exit_Keeps_The_Program_Open) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root: only the administrator may mount";
  const std::string path = Save_Two_Drawings();
  {
    Program_Session p(Options());
    p.Start();
    Gallery_Window& g = *p.Frame()->Gallery;
    ASSERT_EQ(mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr), 0)
        << "root could not bind the gallery onto itself: " << std::strerror(errno);
    // Whatever fails, the folder is left without a mount.
    std::unique_ptr<const std::string, void (*)(const std::string*)> mounted(
        &path, [](const std::string* at) { umount2(at->c_str(), MNT_DETACH); });
    Open(p);
    ASSERT_TRUE(Wait_Until_Shown(p, 0, 1));
    Drag(p, g.Cell_Screen_Point(1, 0, 1), g.Cell_Screen_Point(1, 2, 2));
    p.Boxes.clear();
    EXPECT_FALSE(g.CanClose());
    mounted.reset();
    std::vector<std::string> told;
    for (const TMessage_Box_Request& box : p.Boxes) told.push_back(box.caption + ": " + box.text);
    EXPECT_EQ(told, (std::vector<std::string>{"Program Exit: Save changes to Gallery?",
                                              "WARNING: Unable to write file " + path +
                                                  "\nThe file is in use by the system: your changes are kept until "
                                                  "you leave the program, and are not saved."}));
    EXPECT_TRUE(Occupied(p, 2, 2));
    EXPECT_TRUE(g.CanClose());
    EXPECT_EQ(p.Stop(), 0);
  }
  Expect_Move_Saved();
}

// The Name and Level dialog's OK with the edit made on its copy: the copy is
// installed and saved.
void Install_Edited(Program_Session& p, std::function<void(User_Database&)> edit) {
  p.Frame()->Run_User_Dialog = [edit] {
    auto* copy = new User_Database(*The_User_Database);
    edit(*copy);
    copy->Install(HWND());
    copy->Save(HWND());
    return 1;
  };
  p.Click(Program_Session::Center_Of(p.Main()->name_button));
}

TEST_F(Gallery_Program_Test, A_Renamed_User_Keeps_The_Gallery) {
  Program_Session p(Options());
  p.Start();
  Install_Edited(p, [](User_Database& copy) { copy.Set_Current(copy.Add_User(std::make_unique<User>(2, "Ann"))); });
  p.Draw_Block();
  Open(p);
  Gallery_Window& g = *p.Frame()->Gallery;
  Drag(p, g.Main_IO_Screen_Point(), g.Cell_Screen_Point(1, 1, 1));
  p.Click(g.Save_Button_Screen_Point());
  const std::string before = The_User_Database->current_user->File_Path("gal");
  EXPECT_TRUE(std::filesystem::exists(before));
  Install_Edited(p, [](User_Database& copy) { copy.current_user->name = "Renamed"; });
  const std::string after = The_User_Database->current_user->File_Path("gal");
  EXPECT_TRUE(std::filesystem::exists(after));
  EXPECT_FALSE(std::filesystem::exists(before));
  Open(p);
  EXPECT_TRUE(Occupied(p, 1, 1));
  EXPECT_EQ(p.Stop(), 0);
}


// Ann, with Bea listed too, saves drawings in cells (0, 0) and (0, 1); her
// gallery file's path. The next start is hers.
std::string Ann_Saves_Two_Drawings(const Program_Options& options) {
  Program_Session p(options);
  p.Start();
  Install_Edited(p, [](User_Database& copy) {
    copy.Set_Current(copy.Add_User(std::make_unique<User>(1, "Ann")));
    copy.Add_User(std::make_unique<User>(1, "Bea"));
  });
  Gallery_Window& g = *p.Frame()->Gallery;
  for (int column = 0; column < 2; ++column) {
    auto d = Block(TColor(uint8_t(90 * column), 40, 200), column);
    EXPECT_TRUE(g.Collection()->Add(d, Drawing_Place::Grid, 0, column));
  }
  p.Click(Program_Session::Center_Of(p.Main()->gallery_button));
  p.Click(g.Save_Button_Screen_Point());
  const std::string path = The_User_Database->current_user->File_Path("gal");
  EXPECT_EQ(p.Stop(), 0);
  return path;
}

// The real Name and Level dialog: Bea's row chosen (else a higher level
// for Ann), then its OK, each box answered with answer.
void Choose_In_Dialog(Program_Session& p, bool bea, int answer) {
  IFS_Frame_Window* frame = p.Frame();
  frame->Run_User_Dialog = [&p, frame, bea] {
    Later(100, [&p, frame, bea] {
      int steps = 0;
      p.Backend().Click(bea ? frame->Dialog->User_Row_Point("Bea", steps) : frame->Dialog->Level_Column_Point(3));
      p.Backend().Click(frame->Dialog->OK_Button_Point());
    });
    return frame->Dialog->Execute();
  };
  const TMessage_Box_Hook session = Set_Message_Box_Hook([&p, answer](const TMessage_Box_Request& box) {
    p.Boxes.push_back(box);
    return answer;
  });
  Gallery_Window& g = *frame->Gallery;
  p.Click(Program_Session::Center_Of(g.IsWindowVisible() ? g.ChildWithId(Gallery_Window::Name_Level_Id)
                                                          : p.Main()->name_button));
  Set_Message_Box_Hook(session);
  EXPECT_FALSE(frame->Dialog->IsWindow());
}

// A change to another person while her changes cannot be saved (her gallery
// held aside by a stopped save, or another program's file under its name)
// gives the exit's choice before anything changes: Cancel keeps her, with
// her changes, and the advice then saves them; OK goes on to Bea without
// them and says no more. Where a save can keep them, the question comes
// before the change too, and a save that fails keeps her, with them, as
// its box says. Without changes, or when she only changes her level, no
// question is asked.
TEST_F(Gallery_Program_Test, A_Change_Of_Person_Offers_To_Stay_Where_Her_Changes_Cannot_Be_Kept) {
  enum Outside { Held, Held_Read_Only, Replaced, None };
  const struct {
    const char* name;
    Outside outside;
    bool moved;  // she moved a drawing since the last save
    int answer;
    bool stays;
    bool bea = true;  // else Ann only changes her level
    bool save_fails = false;  // another program's file lands at the save
  } cases[] = {
      {"held, Cancel", Held, true, IDCANCEL, true},
      {"held, OK", Held, true, IDOK, false},
      {"held and read-only, Cancel", Held_Read_Only, true, IDCANCEL, true},
      {"held and read-only, OK", Held_Read_Only, true, IDOK, false},
      {"replaced, Cancel", Replaced, true, IDCANCEL, true},
      {"replaced, OK", Replaced, true, IDOK, false},
      {"held, nothing changed", Held, false, IDCANCEL, false},
      {"a save can keep them, No", None, true, IDNO, false},
      {"a save can keep them, Yes", None, true, IDYES, false},
      {"the save fails", None, true, IDYES, true, true, true},
      {"held, her own level", Held, true, IDCANCEL, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = Ann_Saves_Two_Drawings(Options());
    const std::string held = Drawing_Collection::Claim_Name(path);
    if (c.outside == Held || c.outside == Held_Read_Only) {
      ASSERT_TRUE(Hold_Aside(path));
      Temp_Home::Write(path, "an older copy");
    }
    if (c.outside == Held_Read_Only) { ASSERT_EQ(chmod(held.c_str(), 0444), 0); }
    {
      Program_Session p(Options());
      p.Start();
      p.Draw_Block();
      Open(p);
      Gallery_Window& g = *p.Frame()->Gallery;
      ASSERT_TRUE(Wait_Until_Shown(p, 0, 1));
      if (c.outside == Replaced) {
        ASSERT_TRUE(Rename_Other_Copy_Over(path));
      }
      if (c.moved) Drag(p, g.Cell_Screen_Point(1, 0, 1), g.Cell_Screen_Point(1, 2, 2));
      // Where no save can keep them, her Save says they are kept until she
      // leaves, and the main window's Name and Level changes the person; else
      // the gallery's own button does.
      if (c.outside != None) {
        p.Boxes.clear();
        p.Click(g.Save_Button_Screen_Point());
        EXPECT_EQ(p.Boxes.size(), 1u) << "one box says why nothing was saved";
      }
      std::string other = Temp_Home::Read(path);
      if (c.save_fails)
        Drawing_Collection::Set_Save_Step_Hook([&](Drawing_Collection::Save_Step step) {
          if (step != Drawing_Collection::Save_Step::Check || !Rename_Other_Copy_Over(path)) return;
          other = Temp_Home::Read(path);
        });
      p.Boxes.clear();
      Choose_In_Dialog(p, c.bea, c.answer);
      Drawing_Collection::Set_Save_Step_Hook(nullptr);
      std::vector<std::string> told;
      for (const TMessage_Box_Request& box : p.Boxes) told.push_back(box.caption + ": " + box.text);
      EXPECT_EQ(The_User_Database->current_user->name, c.stays || !c.bea ? "Ann" : "Bea");
      if (!c.bea) {
        EXPECT_NE(The_User_Database->current_user->level, 1) << "the level was not chosen";
      }
      if (c.outside == None) {
        ASSERT_EQ(told.size(), c.save_fails ? 2u : 1u);
        EXPECT_EQ(told[0], "User Change: Save changes to Gallery belonging to Ann?");
        // The main window's drawing stays in its point through the save.
        EXPECT_NE(g.Collection()->State({Drawing_Place::Slot, Drawing_Place::Main_Slot, 0}), 0);
        if (c.save_fails) {
          EXPECT_EQ(told[1].rfind("WARNING: Unable to write file " + path +
                                      "\nAnother program has put a different file in its place: your changes are kept "
                                      "until you leave the program",
                                  0),
                    0u)
              << told[1];
        }
      } else if (!c.moved || !c.bea) {
        EXPECT_TRUE(told.empty()) << told[0];
      } else {
        const std::string hidden = held + Drawing_Collection::Hidden_Note;
        // Her held gallery she cannot change is the file named; the steps
        // that mend it work while she stays.
        const std::string reason =
            c.outside == Held
                ? path + "\nAnother file is under that name, and a save that was stopped kept your gallery aside: "
                         "your gallery as last saved is kept as " + hidden + ", and changes made since then cannot "
                         "be kept."
            : c.outside == Held_Read_Only
                ? hidden + "\nYour gallery is kept as " + hidden + ", which is read-only, and another file is under "
                           "its name, " + path + ": changes made since your gallery was last saved cannot be kept."
                : path + "\nAnother program has put a different file in its place: the changes to the gallery "
                         "belonging to Ann cannot be kept.";
        const std::string advice = c.outside == Held ? "move the file " + path + " out of the folder"
                                   : c.outside == Held_Read_Only
                                       ? "make the file " + held + " writable again, move the file " + path +
                                             " out of the folder"
                                       : "move that file out of the folder";
        ASSERT_EQ(p.Boxes.size(), 1u) << told.back();
        EXPECT_EQ(p.Boxes[0].type, UINT(MB_OKCANCEL | MB_ICONSTOP));
        EXPECT_EQ(told[0], "User Change: Unable to write file " + reason +
                               "\nTo keep them, choose Cancel to stay as Ann, " + advice +
                               ", and save the gallery again. OK changes the user without them.");
      }
      // Another program's file is never written over, whatever she chose; a
      // Yes writes hers.
      const std::string now = Temp_Home::Read(path);
      if (c.answer == IDYES && !c.save_fails) {
        std::set<std::pair<int32_t, int32_t>> cells;
        for (const auto& r : Gallery_File::Scan(reinterpret_cast<const uint8_t*>(now.data()), now.size()).records)
          cells.insert({r.row, r.column});
        EXPECT_EQ(cells, (std::set<std::pair<int32_t, int32_t>>{{0, 0}, {2, 2}}));
      } else {
        EXPECT_EQ(now, other);
      }
      if (c.stays) {
        // She does as it says, and the save keeps her changes.
        if (c.outside == Held_Read_Only) { ASSERT_EQ(chmod(held.c_str(), 0644), 0); }
        std::filesystem::rename(path, folder + "/moved-out");
        p.Boxes.clear();
        Open(p);
        EXPECT_TRUE(Occupied(p, 2, 2));
        p.Click(g.Save_Button_Screen_Point());
        EXPECT_TRUE(p.Boxes.empty()) << p.Boxes[0].text;
        EXPECT_FALSE(std::filesystem::exists(held));
      }
      EXPECT_EQ(p.Stop(), 0);
    }
    if (c.stays) Expect_Move_Saved();
  }
}

// A Save that finds her gallery still held aside, with nothing of hers to
// keep (she cancelled her changes), says where it is and why it is not
// back: another file has its name, or the administrator made it
// unchangeable; once she has done as it says, the Save puts it back
// without a word.
TEST_F(Gallery_Program_Test, A_Save_With_Nothing_To_Keep_Says_Why_Her_Gallery_Is_Still_Held) {
  const std::string path = Ann_Saves_Two_Drawings(Options());
  const std::string held = Drawing_Collection::Claim_Name(path);
  ASSERT_TRUE(Hold_Aside(path));
  Temp_Home::Write(path, "an older copy");
  Program_Session p(Options());
  ASSERT_TRUE(Open_And_Move(p));
  Gallery_Window& g = *p.Frame()->Gallery;
  p.Click(Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Cancel_Id)));
  const std::string kept = "Your gallery as last saved is still kept as " + held + Drawing_Collection::Hidden_Note;
  const struct {
    const char* name;
    std::function<bool()> act;
    std::string told;  // empty: back under its name, silently
    bool needs_root;
  } steps[] = {
      {"the other file under her name", [] { return true; },
       kept + ": another file is under its name, " + path + ".\nTo put it back under its name, move the file " + path +
           " out of the folder, and save the gallery again.",
       false},
      {"moved out, hers made unchangeable",
       [&] { return rename(path.c_str(), (folder + "/moved-out").c_str()) == 0 && Set_Unchangeable(held, true); },
       kept + ": it could not go back under its name, " + path +
           ".\nTo put it back, have the administrator make that file changeable again, and save the gallery again.",
       true},
      {"all done as told",
       [&] {
         if (std::filesystem::exists(path)) std::filesystem::rename(path, folder + "/moved-out");
         return !Is_Unchangeable(held) || Set_Unchangeable(held, false);
       },
       "", false},
  };
  Root_Only_Cases root_only(Unchangeable_Needs_Root);
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    if (step.needs_root && root_only.Left_Out(step.name)) continue;
    ASSERT_TRUE(step.act());
    p.Boxes.clear();
    Open(p);
    p.Click(g.Save_Button_Screen_Point());
    EXPECT_FALSE(g.IsWindowVisible());
    EXPECT_EQ(std::filesystem::exists(held), !step.told.empty());
    std::vector<std::string> told;
    for (const TMessage_Box_Request& box : p.Boxes) told.push_back(box.text);
    EXPECT_EQ(told, step.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{step.told});
  }
  EXPECT_EQ(p.Stop(), 0);
  EXPECT_TRUE(p.Boxes.empty());
  root_only.End();
}

}  // namespace

namespace {

TEST_F(Gallery_Program_Test, Another_User_Gets_Their_Own_Gallery_After_A_Question_And_The_Main_Drawing_Stays) {
  Program_Session p(Options());
  p.Start();
  p.Draw_Block();
  Open(p);
  Gallery_Window& g = *p.Frame()->Gallery;
  Drag(p, g.Main_IO_Screen_Point(), g.Cell_Screen_Point(1, 0, 0));
  // The Name and Level dialog chooses a new user, Bea.
  p.Frame()->Run_User_Dialog = [] {
    User_Database& db = *The_User_Database;
    db.previous_user = *db.current_user;
    db.Set_Current(db.Add_User(std::make_unique<User>(1, "Bea")));
    return 1;
  };
  p.Click(Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Name_Level_Id)));
  ASSERT_EQ(p.Boxes.size(), 1u);
  EXPECT_EQ(p.Boxes[0].caption, "User Change");
  EXPECT_EQ(p.Boxes[0].text.rfind("Save changes to Gallery belonging to ", 0), 0u);
  // Bea's gallery is empty and opens in the 3 by 3 view; the drawing the
  // main window handed over is still in its point.
  EXPECT_FALSE(Occupied(p, 0, 0));
  EXPECT_EQ(g.Current_View(), 1);
  EXPECT_NE(g.Collection()->State({Drawing_Place::Slot, Drawing_Place::Main_Slot, 0}), 0);
  EXPECT_EQ(p.Stop(), 0);
}

}  // namespace

namespace {

TEST_F(Gallery_Program_Test, Race_Cells_Read_From_The_File_Fill_In_As_Their_Pictures_Are_Made) {
  {
    Program_Session p(Options());
    p.Start();
    Open(p);
    Gallery_Window& g = *p.Frame()->Gallery;
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 6; ++c) {
        auto d = Block(TColor(uint8_t(40 * r), uint8_t(40 * c), 200), r + c);
        ASSERT_TRUE(g.Collection()->Add(d, Drawing_Place::Grid, r, c));
      }
    // Added drawings are not moves: Save must still write them.
    p.Click(g.Save_Button_Screen_Point());
    EXPECT_EQ(p.Stop(), 0);
  }
  Program_Session p(Options());
  p.Start();
  Open(p);
  Gallery_Window& g = *p.Frame()->Gallery;
  EXPECT_EQ(g.Current_View(), 2);
  auto all_shown = [&] {
    for (int r = 0; r < 6; ++r)
      if (g.row_masks[size_t(r)] != 0x3F) return false;
    return true;
  };
  // Cells whose pictures are not made yet show a placeholder and fill in as
  // the preparation thread (working on while the clock and the loop go on)
  // reports them.
  // (The wait is bounded generously: a sanitizer build on a busy machine
  // prepares slowly.)
  for (int i = 0; i < 30000 && !all_shown(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    p.Advance(10);
  }
  EXPECT_TRUE(all_shown());
  const uint32_t placeholder = Gallery_Window::Placeholder_Color.Xrgb();
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 6; ++c) {
      const TPoint centre = g.Cell_Screen_Point(2, r, c);
      EXPECT_NE(p.Backend().Presented_Pixel(centre.x, centre.y), placeholder) << r << "," << c;
    }
  EXPECT_EQ(p.Stop(), 0);
}

}  // namespace

namespace {

class Gallery_Window_Wide_Test : public Gallery_Window_Test {
 protected:
  Gallery_Window_Wide_Test() : Gallery_Window_Test({1920, 1080}) {}
};

TEST_F(Gallery_Window_Wide_Test, A_Drawing_Goes_Into_The_Bin_And_Comes_Back_Out_In_The_Largest_View) {
  Fill({{0, 0}});
  Open();
  Gallery_Window& g = Gallery();
  program.Click(g.View_Button_Screen_Point(3));
  ASSERT_EQ(g.Current_View(), 3);
  Drag(Cell(0, 0), g.Bin_IO_Screen_Point(), 5);
  ASSERT_EQ(Store().Bin_Length(), 1);
  const Recycling_Bin_IO& bin = *g.Bin_Point();
  const TRect slot = bin.Shape().slots[size_t(Recycling_Bin_IO::Slot_Of(0, 1))];
  TPoint disc((slot.left + slot.right) / 2, (slot.top + slot.bottom) / 2 - slot.Height() / 4);
  bin.ClientToScreen(disc);
  Drag(disc, Cell(1, 1), 5);
  EXPECT_EQ(Store().Bin_Length(), 0);
  EXPECT_TRUE(Occupied(1, 1));
}

}  // namespace

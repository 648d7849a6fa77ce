// Quendar as a person meets it: the built program on a virtual X server at
// 1024 x 768 and at 1920 x 1080, driven with xdotool, a screenshot after
// every step. A step is one line in the table below; each new thing a person
// can do adds its own.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/user_dialog.h"
#include "app/user_level_window.h"
#include "gallery/gallery_layout.h"
#include "gallery/gallery_window.h"
#include "gallery/recycling_bin_io.h"
#include "help/help_window.h"
#include "manipulators/handle_palette.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_dialog.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_matrix_dialog.h"
#include "manipulators/transform_palette.h"
#include "platform/gdi/png_writer.h"
#include "tests/acceptance/acceptance_support.h"
#include "tests/acceptance/gallery_cell_picture.h"
#include "tests/acceptance/safari_layout.h"
#include "tests/acceptance/x_screen.h"
#include "tests/program/program_session.h"
#include "toolkit/narrow_folder.h"
#include "toolkit/round_button.h"
#include "workspace/color_cycle_window.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"
#include "workspace/eraser.h"
#include "workspace/review_window.h"
#include "workspace/shape_palette.h"

namespace {

// The virtual screen's size: set once, before anything is measured.
int Width = 1024, Height = 768;

// Where the things a person clicks stand: the same layout, made headless
// and taken through the same steps. The match game at level 1 is the
// Safari_Layout part.
struct Layout : Safari_Layout {
  TPoint gallery, name, match, help;
  // The help over the main window: its Next Page button, the index's link
  // to the page on getting help, and a spot outside the page where a click
  // does nothing else.
  TPoint help_next, help_topic, help_outside{Width - 6, Height - 6};
  TPoint close_box{Width - 10, 10};
  // The Name and Level dialog: the buttons of levels 4 and 5, and OK.
  TPoint level_4, level_5, dialog_ok;
  // The dialog's staircase, where the chosen user's avatar stands.
  TRect level_panel;
  // The manipulator palette, whose sections and pages follow keys.
  TRect palette_panel;
  // At level 4. The first colour is picked with the wheel at rest, the
  // second once it has turned to the first; each with its colour (0xRRGGBB).
  TPoint first_color, second_color;
  uint32_t first_rgb = 0, second_rgb = 0;
  TPoint circle, square, eraser, drawing_centre;
  // The drawing's unit square on the screen.
  TRect drawing_area;
  TPoint triangle_tab, triangle_manipulator, iterate, undo, review, review_ok, edit, editor_image, handle, free_move, editor_ok;
  // The editor's numeric dialog: the Matrix tab, the e field, Apply; and
  // the editor's own window.
  TPoint matrix_tab, e_field, apply;
  TRect edit_area;
  // At level 5: the colour cycles panel, its cell of the three-colour cycle
  // and that cycle's colours, and the manipulator palette again.
  TRect cycles_panel;
  TPoint three_color_cycle, triangle_tab_5, triangle_manipulator_5;
  std::vector<uint32_t> cycle_rgbs;
  // The gallery: its Cancel and Save buttons, the main window point, cells
  // (0, 0) and (1, 1) of the 3 by 3 view and the same of the 12 by 12 view,
  // the 12 by 12 view button, the bin and the place of one drawing in it.
  TPoint clipboard_point, printer_point;
  TPoint gallery_cancel, gallery_save, main_point, cell_3_00, cell_3_11, cell_12_00, cell_12_11, view_12, bin, bin_disc;
  int gallery_cell = 0;  // the 3 by 3 view's inner cell side
  TPoint level_1;         // the Name and Level dialog's level-1 button
};

TPoint Screen_Centre(const TWindow& window, const TRect& client) {
  TPoint p((client.left + client.right) / 2, (client.top + client.bottom) / 2);
  window.ClientToScreen(p);
  return p;
}

Layout Measure_Layout() {
  Program_Options options;
  options.screen = TSize(Width, Height);
  Program_Session program(options);
  program.Start();
  IFS_Main_Window& main = *program.Main();
  Layout l;
  l.gallery = Program_Session::Center_Of(main.gallery_button);
  l.name = Program_Session::Center_Of(main.name_button);
  l.match = Program_Session::Center_Of(main.match_button);
  l.help = Program_Session::Center_Of(main.help_button);
  const Help_Section& help = The_Help_Window->Section(0);
  l.help_next = Screen_Centre(*The_Help_Window, help.buttons[Next_Place]);
  for (const Help_Link& link : help.Page(0)->links)
    if (link.page == 2 && link.rect != help.buttons[Next_Place]) l.help_topic = Screen_Centre(*The_Help_Window, link.rect);
  {
    Gallery_Window& g = *program.Frame()->Gallery;
    l.gallery_cancel = Program_Session::Center_Of(g.ChildWithId(Gallery_Window::Cancel_Id));
    l.gallery_save = g.Save_Button_Screen_Point();
    l.main_point = g.Main_IO_Screen_Point();
    l.clipboard_point = Program_Session::Center_Of(g.Point(Gallery_Layout::Clipboard_Point));
    l.printer_point = Program_Session::Center_Of(g.Point(Gallery_Layout::Printer_Point));
    l.cell_3_00 = g.Cell_Screen_Point(1, 0, 0);
    l.cell_3_11 = g.Cell_Screen_Point(1, 1, 1);
    l.cell_12_00 = g.Cell_Screen_Point(3, 0, 0);
    l.cell_12_11 = g.Cell_Screen_Point(3, 1, 1);
    l.view_12 = g.View_Button_Screen_Point(3);
    l.bin = g.Bin_IO_Screen_Point();
    l.gallery_cell = g.Layout().grid[1]->Inner(0, 0).Width();
    // One drawing in the bin stands in the last slot of the pile; a point
    // a quarter up from its centre is in the opening, above the bin's edge.
    const Recycling_Bin_IO& bin = *g.Bin_Point();
    const TRect slot = bin.Shape().slots[size_t(Recycling_Bin_IO::Slot_Of(0, 1))];
    l.bin_disc = TPoint((slot.left + slot.right) / 2, (slot.top + slot.bottom) / 2 - slot.Height() / 4);
    bin.ClientToScreen(l.bin_disc);
  }
  {
    User_Dialog dialog(program.Frame(), nullptr, program.Frame()->User_Dialog_Place);
    dialog.Create();
    program.Run_Until_Idle();
    l.level_1 = dialog.Level_Column_Point(0);
    l.level_4 = dialog.Level_Column_Point(3);
    l.level_5 = dialog.Level_Column_Point(4);
    l.dialog_ok = dialog.OK_Button_Point();
    l.level_panel = dialog.Levels()->GetWindowRect();
    dialog.Destroy();
  }
  program.Change_User("Ann", 3);
  Color_Wheel& wheel = *main.color_wheel;
  auto pick = [&](int color, TPoint& at, uint32_t& rgb) {
    at = wheel.Color_Screen_Point(color);
    program.Click(at);
    // The wheel turns a tick at a time.
    for (int ms = 0; ms < 5000 && (ms == 0 || wheel.Animating()); ms += 100) program.Advance(100);
    rgb = wheel.Current_Color().Xrgb();
  };
  pick(20, l.first_color, l.first_rgb);
  pick(7, l.second_color, l.second_rgb);
  l.circle = Program_Session::Center_Of(main.shape_palette->Buttons[5]);
  l.square = Program_Session::Center_Of(main.shape_palette->Buttons[1]);
  l.eraser = Program_Session::Center_Of(The_Eraser);
  Drawing_Window& drawing = *main.drawing_window;
  l.drawing_centre = drawing.Screen_Point(Point_2D(0.5f, 0.5f));
  const TPoint low = drawing.Screen_Point(Point_2D(0, 0)), high = drawing.Screen_Point(Point_2D(1, 1));
  l.drawing_area = TRect(std::min(low.x, high.x), std::min(low.y, high.y), std::max(low.x, high.x), std::max(low.y, high.y));
  Transform_Palette& palette = *main.manipulator_palette;
  l.palette_panel = palette.GetWindowRect();
  // The third section's first manipulator makes three copies, each half
  // the size, in a triangle.
  l.triangle_manipulator = palette.Slot_Screen_Points(2, 0, &l.triangle_tab);
  Shape_Transform_Window& page = *palette.Window();
  l.iterate = drawing.Corner_Screen_Point(1);
  l.undo = drawing.Corner_Screen_Point(2);
  l.review = drawing.Corner_Screen_Point(0);
  l.review_ok = main.review_window->Corner_Screen_Point(3);
  l.edit = page.Edit_Button_Screen_Point();
  program.Click(l.triangle_tab);
  program.Click(l.triangle_manipulator);
  program.Click(l.edit);
  Transform_Edit_Window& editor = *main.editor;
  const Affine_Transform_2D* first = editor.Image(0);
  if (first) l.editor_image = editor.Screen_Point(first->Map_Point(0.5f, 0.5f));
  program.Click(l.editor_image);
  // A handle does nothing until it is given a kind: a click on it offers
  // the kinds, and the centre's free move is chosen.
  l.handle = Screen_Centre(editor, editor.Handle_Rects[8]);
  program.Click(l.handle);
  const Handle_Palette& kinds = *editor.Palette;
  for (int i = 0; i < kinds.Shown_Count; ++i)
    if (kinds.Shown[size_t(i)]->Code == 2) l.free_move = Screen_Centre(kinds, kinds.Cells[size_t(i)]);
  program.Click(l.free_move);
  l.editor_ok = editor.Corner_Screen_Point(3);
  l.edit_area = editor.GetWindowRect();
  if (auto* dialog = dynamic_cast<Transform_Edit_Dialog*>(main.ChildWithId(Transform_Edit_Dialog::Window_Id))) {
    l.matrix_tab = Screen_Centre(*dialog->Folder, dialog->Folder->Tabs[2].Rect);
    program.Click(l.matrix_tab);
    l.e_field = Program_Session::Center_Of(dialog->Matrix_Page->Coefficient_Fields[4]);
    l.apply = Program_Session::Center_Of(dialog->Apply_Button);
  }
  program.Click(l.editor_ok);

  program.Change_User("Ann", 4);
  Color_Cycle_Window& cycles = *main.color_cycles;
  l.cycles_panel = cycles.GetWindowRect();
  l.three_color_cycle = cycles.Cell_Screen_Point(2);
  program.Click(l.three_color_cycle);
  const Color_Transform& chosen = cycles.Selected_Cycle();
  for (int i = 0; i < chosen.count; ++i) l.cycle_rgbs.push_back(chosen.colors[size_t(i)].Xrgb());
  l.triangle_manipulator_5 = palette.Slot_Screen_Points(2, 0, &l.triangle_tab_5);
  static_cast<Safari_Layout&>(l) = Measure_Safari(program, "Ann", 0);
  return l;
}

// Where the pointer rests between steps: on the caption, where nothing
// offers a tip. A tip comes up a while after the pointer stops over a
// button, and would change the screen a step compares.
void Rest_Pointer() { Xdotool("mousemove " + At(TPoint(Width / 2, 4))); }

// Clicks at p, and lets the pointer rest.
void Press(TPoint p) {
  Click(p);
  Rest_Pointer();
}

// Presses keys (xdotool's names) one after the other, a little apart.
void Keys(const std::string& names) { Xdotool("key --delay 150 " + names); }

// Presses at from, moves to to in small steps, as a hand drags, and lets go.
void Drag(TPoint from, TPoint to) {
  Xdotool("mousemove " + At(from) + " mousedown 1");
  const int steps = std::max(5, std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)) / 40);
  for (int i = 1; i <= steps; ++i) {
    Xdotool("mousemove " + At(TPoint(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps)));
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  }
  Xdotool("mouseup 1");
  Rest_Pointer();
}

bool In_Child_On(int width, int height) {
  if (!In_Child_On_Screen(width, height)) return false;
  Width = width, Height = height;
  return true;
}

void Use_The_Program();

}  // namespace

TEST(Acceptance, At_1024x768) {
  if (In_Child_On(1024, 768)) Use_The_Program();
}

TEST(Acceptance, At_1920x1080) {
  if (In_Child_On(1920, 1080)) Use_The_Program();
}

namespace {

void Use_The_Program() {
  const char* snapshots = std::getenv("QUENDAR_SNAPSHOTS");
  const std::string shots = (snapshots && *snapshots ? snapshots : "acceptance_screenshots") + std::string("/") +
                            std::to_string(Width) + "x" + std::to_string(Height);
  std::filesystem::create_directories(shots);
  const Layout layout = Measure_Layout();

  char pattern[] = "/tmp/quendar-acceptance-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  X_Screen screen;
  ASSERT_TRUE(screen.Open()) << "no display";
  Running_Program program(folder, TSize(Width, Height));
  ASSERT_TRUE(program.Started());

  auto grab = [&] { return screen.Pixels(Width, Height); };
  auto shot = [&](const std::string& name) {
    std::vector<uint32_t> pixels = grab();
    EXPECT_FALSE(pixels.empty());
    EXPECT_TRUE(pixels.empty() || Write_PNG_RGB(shots + "/" + name + ".png", Width, Height, pixels.data(), Width));
    return pixels;
  };
  // Start-up is over when the screen has stayed the same for 2.5 s and the
  // Help button is painted (the title, which changes as it uncovers its
  // picture and then goes, is gone by then).
  ASSERT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled";
  // A new user is greeted with help: paged on, a jump from the index
  // followed, and closed with a click outside the page.
  const std::vector<uint32_t> greeted = shot("01a_help_at_start");
  Press(layout.help_next);
  Changed_And_Settled(grab, greeted);
  const std::vector<uint32_t> paged = shot("01b_help_next_page");
  EXPECT_NE(paged, greeted);
  Xdotool("key Home");
  const std::vector<uint32_t> index = Settle(grab);
  Press(layout.help_topic);
  Changed_And_Settled(grab, index);
  const std::vector<uint32_t> jumped = shot("01c_help_jump_followed");
  EXPECT_NE(jumped, paged);
  EXPECT_NE(jumped, greeted);
  Press(layout.help_outside);
  Changed_And_Settled(grab, jumped);
  std::vector<uint32_t> started = shot("01_main_window");
  EXPECT_NE(started, jumped);
  auto pixel = [&](const std::vector<uint32_t>& p, TPoint at) { return p[size_t(at.y) * Width + at.x]; };
  // The screen is the program's, not a bare X server's.
  EXPECT_NE(pixel(started, layout.help), pixel(started, TPoint(Width - 2, Height - 2)));

  // The pixels of r, row by row; the caption bar's, the drawing's unit
  // square's, the Iterate corner's (a stop sign for as long as a run goes on).
  auto crop = [](const std::vector<uint32_t>& p, const TRect& r) {
    std::vector<uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y) out.insert(out.end(), p.begin() + y * Width + r.left, p.begin() + y * Width + r.right);
    return out;
  };
  auto caption = [&](const std::vector<uint32_t>& p) { return crop(p, TRect(0, 0, Width, 20)); };
  auto area = [&] { return crop(grab(), layout.drawing_area); };
  const TPoint& corner = layout.iterate;
  auto iterate_face = [&] { return crop(grab(), TRect(corner.x - 20, corner.y - 20, corner.x + 21, corner.y + 21)); };
  auto has_color = [](const std::vector<uint32_t>& p, uint32_t rgb) { return std::find(p.begin(), p.end(), rgb) != p.end(); };
  auto differences = [](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
  };
  // Whether done() comes true while the program works or draws.
  auto until = [&](const std::function<bool()>& done) {
    return Wait_While_Progressing(done, [&] { return Pixels_Hash(grab()) ^ Program_Work_Seen(); });
  };
  // The drawing once it differs from before (checked), or as it stands
  // when the program gave up working on it.
  auto changed_area = [&](const std::vector<uint32_t>& before) {
    std::vector<uint32_t> now;
    Wait_While_Progressing([&] { return (now = area()) != before; }, Program_Progress, {}, 50);
    EXPECT_NE(now, before);
    return now;
  };
  // Checks that the drawing's centre comes to show expected.
  auto expect_centre = [&](uint32_t expected) {
    uint32_t now = 0;
    Wait_While_Progressing([&] { return (now = pixel(grab(), layout.drawing_centre)) == expected; }, Program_Progress, {}, 50);
    EXPECT_EQ(now, expected);
  };
  // Clicks Iterate and waits for the run to end.
  auto iterate = [&] {
    const std::vector<uint32_t> idle = iterate_face();
    Press(layout.iterate);
    bool ran = false;
    Wait_While_Progressing([&] {
      const bool idle_now = iterate_face() == idle;
      ran = ran || !idle_now;
      return ran && idle_now;
    });
    EXPECT_TRUE(ran) << "no run started";
    EXPECT_EQ(iterate_face(), idle) << "the run did not end";
  };
  const uint32_t background = pixel(started, layout.drawing_centre);
  std::vector<uint32_t> drawn, level_4_screen, cycled_from, idle_face, gallery_empty;
  // The inner square of cell (0, 0) or (1, 1) of the gallery's 3 by 3 view.
  auto cell_3 = [&](const std::vector<uint32_t>& p, TPoint centre = TPoint(-1, -1)) {
    if (centre.x < 0) centre = layout.cell_3_00;
    const int h = layout.gallery_cell / 2 - 2;
    return crop(p, TRect(centre.x - h, centre.y - h, centre.x + h, centre.y + h));
  };
  // A press on a drawing whose picture is still being made starts no drag:
  // a drag waits, as a person does, until cell (0, 0) shows its drawing.
  auto cell_picture_shown = [&] {
    return Cell_Picture_Shown(grab(), Width, layout.cell_3_00, layout.cell_3_11, layout.gallery_cell);
  };

  // Each step clicks (unless at none), waits for the screen to settle, then
  // does and checks the rest; each check waits for what it looks for.
  const TPoint none(-1, -1);
  struct Step {
    const char* name;
    TPoint click;
    std::function<void()> then = nullptr;
    // Whether the screen comes to rest after the step (not while a run
    // goes on).
    bool settles = true;
  };
  const Step steps[] = {
      // The gallery takes the main window's place.
      {"02_gallery_opened", layout.gallery, [&] { EXPECT_NE(pixel(grab(), layout.gallery), pixel(started, layout.gallery)); }},
      {"03_gallery_left", layout.gallery_cancel},
      {"04_match_this", layout.match},
      {"05_help", layout.help},
      {"06_name_and_level", layout.name},
      {"07_name_typed", none, [&] { Xdotool("type Ann"); Xdotool("key Return"); }},
      // The user list's keys: Up goes to "New" (a dot stands on the stairs
      // instead of the name), Down comes back to Ann.
      {"07a_list_up_to_new", none, [&] {
         const std::vector<uint32_t> ann = crop(grab(), layout.level_panel);
         Keys("Up");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.level_panel), ann) > 50; })) << "Up";
         Keys("Down");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.level_panel), ann) == 0; })) << "Down";
       }},
      {"08_level_4", layout.level_4},
      {"09_caption_changed", layout.dialog_ok, [&] { EXPECT_NE(caption(grab()), caption(started)); }},
      // Shapes and colours: a circle in the first colour, filled with the
      // second, and both taken back with the eraser.
      {"10_colour_picked", layout.first_color},
      {"11_circle_added", layout.circle, [&] { expect_centre(layout.first_rgb); }},
      {"12_second_colour_picked", layout.second_color},
      {"13_circle_filled", layout.drawing_centre, [&] { expect_centre(layout.second_rgb); }},
      {"14_fill_erased", layout.eraser, [&] { expect_centre(layout.first_rgb); }},
      {"15_circle_erased", layout.eraser, [&] { expect_centre(background); }},
      // A pattern: a square, a manipulator of three copies, and a run.
      {"16_square_added", layout.square, [&] {
         expect_centre(layout.second_rgb);
         drawn = area();
       }},
      // The main window's keys: a digit chooses a section of the palette;
      // the third holds the triangle.
      {"16a_palette_keys", none, [&] {
         const std::vector<uint32_t> before = crop(grab(), layout.palette_panel);
         Keys("2");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.palette_panel), before) > 100; })) << "2";
         const std::vector<uint32_t> second = crop(Settle(grab), layout.palette_panel);
         Keys("3");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.palette_panel), second) > 100; })) << "3";
       }},
      {"17_manipulator_applied", layout.triangle_tab, [&] {
         Press(layout.triangle_manipulator);
         drawn = changed_area(drawn);
       }},
      {"18_iterated", none, [&] {
         iterate();
         const std::vector<uint32_t> pattern = area();
         EXPECT_NE(pattern, drawn);
         EXPECT_TRUE(has_color(pattern, layout.second_rgb));
       }},
      {"19_undone", layout.undo},
      {"20_review", layout.review},
      // The review's keys walk through the steps: Home shows the first,
      // End the last again.
      {"20a_review_keys", none, [&] {
         const std::vector<uint32_t> last = area();
         Keys("Home");
         EXPECT_TRUE(until([&] { return area() != last; })) << "Home";
         Keys("End");
         EXPECT_TRUE(until([&] { return area() == last; })) << "End";
       }},
      {"21_review_ok", layout.review_ok},
      {"22_editor", layout.edit},
      // Help over the editor shows the editor's own pages.
      {"22a_editor_help", none, [&] {
         const std::vector<uint32_t> before = crop(grab(), layout.edit_area);
         Press(layout.help);
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.edit_area), before) > 1000; }));
       }},
      {"22b_editor_help_closed", none, [&] { Xdotool("key Escape"); }},
      {"23_image_selected", layout.editor_image},
      {"24_handle_kinds_offered", layout.handle},
      // The kinds' keys: Escape takes them away unchosen; a click offers
      // them again.
      {"24a_kinds_escaped", none, [&] {
         const std::vector<uint32_t> offered = crop(grab(), layout.edit_area);
         Keys("Escape");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.edit_area), offered) > 50; })) << "Escape";
         Settle(grab);
         Press(layout.handle);
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.edit_area), offered) == 0; })) << "offered again";
       }},
      {"25_free_move_chosen", layout.free_move, [&] { drawn = area(); }},
      {"26_handle_dragged", none, [&] {
         Drag(layout.handle, TPoint(layout.handle.x + 30, layout.handle.y + 20));
         changed_area(drawn);
       }},
      {"27_matrix_page", layout.matrix_tab},
      {"28_coefficient_typed", layout.e_field, [&] { Xdotool("key End shift+Home"); Xdotool("type 0.3"); }},
      // The copy moves in the edit area.
      {"29_coefficient_applied", none, [&] {
         const std::vector<uint32_t> before = crop(grab(), layout.edit_area);
         Press(layout.apply);
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.edit_area), before) > 100; }));
       }},
      {"30_editor_ok", layout.editor_ok},
      // The edited manipulator is the one a run now applies.
      {"31_edited_iterated", none, [&] {
         const std::vector<uint32_t> before = area();
         iterate();
         EXPECT_NE(area(), before);
         level_4_screen = grab();
       }},
      // Level 5: the edited manipulators are offered for saving, the colour
      // cycles panel shows, and the three-colour cycle recolours the copies
      // of a run.
      {"32_name_and_level", layout.name},
      {"33_level_5", layout.level_5},
      {"34_save_asked", layout.dialog_ok},
      {"35_cycles_shown", none, [&] {
         Xdotool("key Return");
         until([&] { return caption(grab()) != caption(level_4_screen); });
         const std::vector<uint32_t> now = Settle(grab);
         EXPECT_NE(caption(now), caption(level_4_screen));
         // The panel's cells show their colours where the panel was bare.
         const TRect& panel = layout.cycles_panel;
         const std::vector<uint32_t> cells = crop(now, panel);
         EXPECT_GT(differences(cells, crop(level_4_screen, panel)), panel.Width() * panel.Height() / 10);
         EXPECT_GT(std::count_if(cells.begin(), cells.end(), [&](uint32_t rgb) { return has_color(layout.cycle_rgbs, rgb); }), 100);
       }},
      // The colour cycles' keys: Right chooses the next cycle, Left the one
      // before again.
      {"35a_cycle_keys", none, [&] {
         const std::vector<uint32_t> before = crop(grab(), layout.cycles_panel);
         Keys("Right");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.cycles_panel), before) > 20; })) << "Right";
         Keys("Left");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.cycles_panel), before) == 0; })) << "Left";
       }},
      {"36_cycle_chosen", layout.three_color_cycle, [&] { cycled_from = area(); }},
      {"37_manipulator_applied", layout.triangle_tab_5, [&] {
         Press(layout.triangle_manipulator_5);
         drawn = changed_area(cycled_from);
       }},
      // A run that recolours goes on until it is stopped.
      {"38_cycle_iterating", none, [&] {
         idle_face = iterate_face();
         Press(layout.iterate);
         EXPECT_TRUE(until([&] { return iterate_face() != idle_face; })) << "no run going on";
         // The pattern was in the square's colour, one of the cycle's; the
         // steps move copies on to the cycle's other colours.
         auto cycle_colors_in = [&](const std::vector<uint32_t>& p) {
           return std::count_if(layout.cycle_rgbs.begin(), layout.cycle_rgbs.end(), [&](uint32_t rgb) { return has_color(p, rgb); });
         };
         EXPECT_TRUE(has_color(layout.cycle_rgbs, layout.second_rgb));
         EXPECT_EQ(cycle_colors_in(cycled_from), 1);
         std::vector<uint32_t> cycled;
         EXPECT_TRUE(until([&] { return cycle_colors_in(cycled = area()) == 3 && cycled != drawn; }))
             << "the copies are not recoloured";
         // And they go on moving.
         EXPECT_TRUE(until([&] { return area() != cycled; })) << "the run stopped";
         EXPECT_NE(iterate_face(), idle_face) << "the run stopped";
       },
       false},
      {"39_stopped", layout.iterate, [&] { EXPECT_EQ(iterate_face(), idle_face); }},
      // A second start hands over to this one and ends; the keys still
      // reach the program afterwards, and again after a click in it.
      {"39a_second_start_refused", none, [&] {
         Running_Program second(folder, TSize(Width, Height));
         ASSERT_TRUE(second.Started());
         EXPECT_NE(second.Wait_For_Exit(20000), -1) << "the second start did not end";
         const std::vector<uint32_t> before = crop(Settle(grab), layout.cycles_panel);
         Keys("Right");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.cycles_panel), before) > 20; })) << "Right";
         Settle(grab);
         Press(layout.drawing_centre);
         Settle(grab);
         Keys("Left");
         EXPECT_TRUE(until([&] { return differences(crop(grab(), layout.cycles_panel), before) == 0; })) << "Left";
       }},
      // The gallery with the pattern: into a cell, the 12 by 12 view, into
      // the bin and back out, then saved.
      {"40_gallery_with_drawing", layout.gallery, [&] { gallery_empty = cell_3(grab()); }},
      {"41_dropped_in_cell", none, [&] {
         Drag(layout.main_point, layout.cell_3_00);
         EXPECT_TRUE(until([&] { return differences(cell_3(grab()), gallery_empty) > 100; })) << "not in the cell";
       }},
      // Onto the clipboard: another program pastes it as a PNG; then back.
      {"41a_on_the_clipboard", none, [&] {
         ASSERT_TRUE(until(cell_picture_shown)) << "the drawing never showed in its cell";
         Drag(layout.cell_3_00, layout.clipboard_point);
         // The clipboard is the program's once it has taken the drop, which
         // on a busy machine comes a while after the drag. The wait goes on
         // while the screen changes: the printer asks after a server all the
         // while, so the program never rests.
         const std::string pasted = folder + "/pasted.png";
         const std::string paste = "timeout 60 xclip -selection clipboard -t image/png -o > '" + pasted + "' 2>/dev/null";
         int status = -1;
         const bool on_clipboard = Wait_While_Progressing([&] { return (status = std::system(paste.c_str())) == 0; },
                                                          [&] { return Pixels_Hash(grab()); }, Patience{30000, 90000});
         if (!on_clipboard) {
           // What the drop left: xclip's status (1: nobody held the
           // clipboard, 124: the program held it but did not answer), the
           // cell, its middle and the clipboard's disc.
           const std::vector<uint32_t> now = shot("41a_not_on_the_clipboard");
           FAIL() << "no PNG picture came from the clipboard: xclip " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1)
                  << ", the cell " << (cell_picture_shown() ? "shows" : "does not show") << " its drawing" << std::hex
                  << ", cell 0x" << pixel(now, layout.cell_3_00) << ", clipboard 0x"
                  << pixel(now, layout.clipboard_point);
         }
         std::ifstream in(pasted, std::ios::binary);
         char magic[8] = {};
         in.read(magic, 8);
         EXPECT_EQ(std::string(magic + 1, 3), "PNG");
         Drag(layout.clipboard_point, layout.cell_3_00);
       }},
      // Onto the printer, which no print server stands behind: the drawing
      // stays where it was.
      {"41b_printer_refuses", none, [&] {
         ASSERT_TRUE(until(cell_picture_shown)) << "the drawing never showed in its cell";
         const std::vector<uint32_t> before = cell_3(grab());
         Drag(layout.cell_3_00, layout.printer_point);
         Settle(grab);
         EXPECT_EQ(differences(cell_3(grab()), before), 0);
       }},
      {"42_twelve_by_twelve", layout.view_12},
      {"43_into_the_bin", none, [&] { Drag(layout.cell_12_00, layout.bin); }},
      {"44_out_of_the_bin", none, [&] { Drag(layout.bin_disc, layout.cell_12_11); }},
      {"45_saved_and_left", layout.gallery_save},
      {"46_name_and_level", layout.name},
      {"47_level_1", layout.level_1},
      {"48_level_1_chosen", layout.dialog_ok},
  };
  // The match game at level 1: a run shows its target's hint under the
  // drawing; the player rebuilds it and the album takes its photo; a second
  // run is stopped and its hint goes.
  auto hint_points = [&](std::vector<bool>* covered) {
    const std::vector<uint32_t> now = grab();
    int n = 0;
    for (const TPoint& p : layout.grid) {
      const bool on = pixel(now, TPoint(layout.picture_origin.x + p.x, layout.picture_origin.y + p.y)) != background;
      n += on;
      if (covered) covered->push_back(on);
    }
    return n;
  };
  auto hint_shows = [&] {
    int n = 0;
    Wait_While_Progressing([&] { return (n = hint_points(nullptr)) >= 20; });
    return n >= 20;
  };
  // The camera goes home once the fireworks are over, and the case shows
  // again where it stood before the run.
  std::vector<uint32_t> camera_case;
  auto camera_home = [&] {
    return Wait_While_Progressing([&] { return crop(grab(), layout.camera_box) == camera_case; });
  };
  std::vector<uint32_t> album_in_run;
  const Step safari_steps[] = {
      {"49_safari_started", none, [&] {
         camera_case = crop(grab(), layout.camera_box);
         Press(layout.camera);
         EXPECT_TRUE(hint_shows()) << "no target hint";
         album_in_run = crop(grab(), layout.album);
       }},
      {"50_target_matched", none, [&] {
         std::vector<bool> shown;
         hint_points(&shown);
         // The drawing whose covered points agree best with the hint.
         const Safari_Layout::Candidate* best = layout.Best_Match(shown);
         ASSERT_NE(best, nullptr);
         Press(best->shape);
         Settle(grab);
         Press(best->manipulator);
         // Matched: the album takes the photo in place of the points.
         std::vector<uint32_t> album;
         Wait_While_Progressing([&] { return (album = crop(grab(), layout.album)) != album_in_run; });
         EXPECT_NE(album, album_in_run) << "not matched";
       }},
      {"51_show_over", none, [&] { EXPECT_TRUE(camera_home()) << "the fireworks or the camera never ended"; }},
      {"52_second_run", layout.camera, [&] { EXPECT_TRUE(hint_shows()) << "no target hint"; }},
      {"53_second_run_stopped", layout.camera, [&] { EXPECT_EQ(hint_points(nullptr), 0) << "the hint stayed"; }},
  };
  auto take = [&](const Step& step) {
    SCOPED_TRACE(step.name);
    if (step.click.x >= 0) {
      Press(step.click);
      EXPECT_FALSE(Settle(grab).empty()) << "the screen never settled after the click";
    }
    if (step.then) {
      step.then();
      const bool settled = !step.settles || !Settle(grab).empty();
      EXPECT_TRUE(settled) << "the screen never settled";
    }
    shot(step.name);
  };
  for (const Step& step : steps) take(step);
  EXPECT_TRUE(layout.safari_plays) << "the match game makes no targets";
  for (const Step& step : safari_steps) take(step);
  // Back from the gallery, the main window looks as it did at first.
  EXPECT_EQ(pixel(grab(), layout.gallery), pixel(started, layout.gallery));

  // Nothing is left unsaved: the program ends at once.
  Press(layout.close_box);
  const int exit_code = program.Wait_For_Exit(10000);
  EXPECT_EQ(exit_code, 0);
  if (exit_code != 0) shot("36_not_closed");

  // Started again, the gallery holds the saved drawing in cell (1, 1).
  {
    Running_Program again(folder, TSize(Width, Height));
    ASSERT_TRUE(again.Started());
    EXPECT_FALSE(Wait_Until_Still(grab).empty()) << "the screen never settled after the restart";
    shot("60_started_again");
    Press(layout.gallery);
    // The reduced pictures come from the gallery's own thread: wait for it.
    std::vector<uint32_t> found;
    Wait_While_Progressing([&] {
      found = grab();
      return differences(cell_3(found, layout.cell_3_11), cell_3(found, layout.cell_3_00)) > 100;
    });
    shot("61_drawing_found");
    EXPECT_GT(differences(cell_3(found, layout.cell_3_11), cell_3(found, layout.cell_3_00)), 100);
    Press(layout.gallery_cancel);
    Settle(grab);
    Press(layout.close_box);
    EXPECT_EQ(again.Wait_For_Exit(10000), 0);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

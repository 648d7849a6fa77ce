#include "gallery/gallery_window.h"

#include <algorithm>
#include <cstdio>

#include "gallery/clipboard_io.h"
#include "gallery/drawing_collection.h"
#include "gallery/gallery_dragger.h"
#include "gallery/gallery_host.h"
#include "gallery/gallery_io_point.h"
#include "gallery/main_window_io.h"
#include "gallery/printer_io.h"
#include "gallery/recycling_bin_io.h"
#include "gallery/view_button.h"
#include "help/help_window.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/pen.h"
#include "platform/system/file_system.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/icon.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/arrow_button.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/program_messages.h"
#include "toolkit/round_border.h"
#include "toolkit/round_button.h"
#include "toolkit/tip_window.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

constexpr uintptr_t Busy_Cursor = 4203;
constexpr int Gallery_Help_Section = 4;
constexpr int Acknowledgements_Section = 6;

// Rows and columns an arrow moves the view by.
constexpr int32_t Arrow_Rows[8] = {-1, 1, 0, 0, -1, -1, 1, 1};
constexpr int32_t Arrow_Columns[8] = {0, 0, -1, 1, -1, 1, -1, 1};

// The frame colour of each view (the view buttons show it too).
const TColor View_Colors[4] = {TColor(214, 40, 40), TColor(236, 160, 0), TColor(40, 150, 60), TColor(40, 90, 210)};

int32_t S(int i) { return (*The_GUI_Sizes)[i]; }

// What becomes of the changes of the person who leaves when no save can
// keep them.
std::string Unkept_Outcome(const User& leaving) {
  return "the changes to the gallery belonging to " + leaving.name + " cannot be kept";
}

}  // namespace

const TResponse_Table<Gallery_Window> Gallery_Window::Table = {
    EV_COMMAND_AND_ID<Gallery_Window>(First_View_Id + 0, &Gallery_Window::Cm_View),
    EV_COMMAND_AND_ID<Gallery_Window>(First_View_Id + 1, &Gallery_Window::Cm_View),
    EV_COMMAND_AND_ID<Gallery_Window>(First_View_Id + 2, &Gallery_Window::Cm_View),
    EV_COMMAND_AND_ID<Gallery_Window>(First_View_Id + 3, &Gallery_Window::Cm_View),
    EV_COMMAND<Gallery_Window>(Name_Level_Id, &Gallery_Window::Cm_Name_Level),
    EV_COMMAND<Gallery_Window>(Save_Id, &Gallery_Window::Cm_Save),
    EV_COMMAND<Gallery_Window>(Cancel_Id, &Gallery_Window::Cm_Cancel),
    EV_COMMAND<Gallery_Window>(Help_Id, &Gallery_Window::Cm_Help),
    EV_COMMAND_ENABLE<Gallery_Window>(First_Arrow_Id + 0, &Gallery_Window::Ce_Arrow),
    EV_COMMAND_ENABLE<Gallery_Window>(First_Arrow_Id + 1, &Gallery_Window::Ce_Arrow),
    EV_COMMAND_ENABLE<Gallery_Window>(First_Arrow_Id + 2, &Gallery_Window::Ce_Arrow),
    EV_COMMAND_ENABLE<Gallery_Window>(First_Arrow_Id + 3, &Gallery_Window::Ce_Arrow),
    EV_COMMAND_ENABLE<Gallery_Window>(First_Arrow_Id + 4, &Gallery_Window::Ce_Arrow),
    EV_COMMAND_ENABLE<Gallery_Window>(First_Arrow_Id + 5, &Gallery_Window::Ce_Arrow),
    EV_COMMAND_ENABLE<Gallery_Window>(First_Arrow_Id + 6, &Gallery_Window::Ce_Arrow),
    EV_COMMAND_ENABLE<Gallery_Window>(First_Arrow_Id + 7, &Gallery_Window::Ce_Arrow),
    EV_CHILD_NOTIFY_ALL_CODES<Gallery_Window>(First_Arrow_Id + 0, &Gallery_Window::Arrow_Code<0>),
    EV_CHILD_NOTIFY_ALL_CODES<Gallery_Window>(First_Arrow_Id + 1, &Gallery_Window::Arrow_Code<1>),
    EV_CHILD_NOTIFY_ALL_CODES<Gallery_Window>(First_Arrow_Id + 2, &Gallery_Window::Arrow_Code<2>),
    EV_CHILD_NOTIFY_ALL_CODES<Gallery_Window>(First_Arrow_Id + 3, &Gallery_Window::Arrow_Code<3>),
    EV_CHILD_NOTIFY_ALL_CODES<Gallery_Window>(First_Arrow_Id + 4, &Gallery_Window::Arrow_Code<4>),
    EV_CHILD_NOTIFY_ALL_CODES<Gallery_Window>(First_Arrow_Id + 5, &Gallery_Window::Arrow_Code<5>),
    EV_CHILD_NOTIFY_ALL_CODES<Gallery_Window>(First_Arrow_Id + 6, &Gallery_Window::Arrow_Code<6>),
    EV_CHILD_NOTIFY_ALL_CODES<Gallery_Window>(First_Arrow_Id + 7, &Gallery_Window::Arrow_Code<7>),
    EV_MESSAGE<Gallery_Window>(Picture_Ready_Message, &Gallery_Window::Ev_Picture_Ready),
    EV_MESSAGE<Gallery_Window>(Help_Closed_Message, &Gallery_Window::Ev_Help_Closed)};

bool Gallery_Window::Find(TEventInfo& info) { return Table.Dispatch(*this, info) || TWindow::Find(info); }

// ---- Life

Gallery_Window::Gallery_Window(TWindow* frame, Gallery_Host* host_)
    : TWindow(frame, "Gallery Window"), host(host_) {
  Attr.Style = WS_CHILD;  // hidden until opened
  Attr.Id = Window_Id;
  const int32_t width = S(0), height = S(1) - GetSystemMetrics(SM_CYCAPTION);
  Attr.W = width;
  Attr.H = height;
  layout = std::make_unique<Gallery_Layout>(*The_GUI_Sizes, width, height, The_GUI_Sizes->Origin_On_Screen());
  Make_Store();
  Choose_Starting_View();

  for (int v = 0; v < View_Count; ++v)
    view_buttons[size_t(v)] =
        new View_Button(this, First_View_Id + v, layout->view_buttons[size_t(v)], Cell_Windows::Side[size_t(v)], View_Colors[v]);
  const int round_ids[4] = {Name_Level_Id, Help_Id, Save_Id, Cancel_Id};
  for (int i = 0; i < 4; ++i) round_buttons[size_t(i)] = new Round_Button(this, round_ids[i], layout->round_buttons[size_t(i)]);
  for (int i = 0; i < 8; ++i) {
    arrows[size_t(i)] = new Arrow_Button(this, First_Arrow_Id + i, layout->arrows[size_t(view)][size_t(i)], i, 0, 250);
    if (!arrows_shown) arrows[size_t(i)]->Attr.Style &= ~WS_VISIBLE;
  }
  points[Gallery_Layout::Main_Point] = new Main_Window_IO(this, layout->points[Gallery_Layout::Main_Point]);
  points[Gallery_Layout::Clipboard_Point] = new Clipboard_IO(this, layout->points[Gallery_Layout::Clipboard_Point]);
  points[Gallery_Layout::Printer_Point] = new Printer_IO(this, layout->points[Gallery_Layout::Printer_Point]);
  points[Gallery_Layout::Bin_Point] = new Recycling_Bin_IO(this, layout->points[Gallery_Layout::Bin_Point]);
  // The miniature may go anywhere left of the grid's right edge; left of
  // the grid it is a drop-point miniature.
  const TPoint origin = The_GUI_Sizes->Origin_On_Screen();
  dragger = std::make_unique<Gallery_Dragger>(this, TRect(origin.x, origin.y, layout->grid_area.right, origin.y + height),
                                              layout->grid_area.left);
}

Gallery_Window::~Gallery_Window() {
  dragger.reset();
  collection.reset();
}

void Gallery_Window::SetupWindow() {
  TWindow::SetupWindow();
  struct Face {
    int index;
    GUI_Picture_Id picture;
    const char* caption;
  };
  for (const Face& f : {Face{Gallery_Layout::Help_Button, 21, "Help"},
                        Face{Gallery_Layout::Save_Button, 19, "Save Changes and Leave Gallery"},
                        Face{Gallery_Layout::Cancel_Button, 20, "Cancel Changes and Leave Gallery"}}) {
    Round_Button* button = round_buttons[size_t(f.index)];
    if (!The_GUI_Bitmaps) break;
    The_GUI_Bitmaps->Get(f.picture, button->Inner_Rect.Size());
    if (const TBitmap* picture = The_GUI_Bitmaps->Pictures[size_t(f.picture)].get())
      button->Set_Picture(*picture, f.caption, false);
    The_GUI_Bitmaps->Drop(f.picture);
  }
  Set_Name_Face();
  if (The_Help_Window) {
    const int32_t z = S(29);
    const TRect help = layout->grid[0]->bounds.Inflated_By(-z, -z).Offset_By(0, GetSystemMetrics(SM_CYCAPTION));
    The_Help_Window->Load_Section(Gallery_Help_Section, help, 0);
    The_Help_Window->Load_Section(Acknowledgements_Section, help, 0);
  }
}

void Gallery_Window::Set_Name_Face() {
  if (!The_GUI_Bitmaps || !The_User_Database) return;
  Round_Button* button = round_buttons[Gallery_Layout::Name_Button];
  const User& user = *The_User_Database->current_user;
  The_GUI_Bitmaps->Drop(22);
  The_GUI_Bitmaps->Get_Text_Picture(button->Content_Rect.Size(), user.name.c_str(), user.level);
  if (const TBitmap* picture = The_GUI_Bitmaps->Pictures[22].get())
    button->Set_Picture(*picture, "Name and Level", true);
  The_GUI_Bitmaps->Drop(22);
}

void Gallery_Window::CleanupWindow() {
  if (dragger && dragger->Dragging()) dragger->End_Drag(true);
  TWindow::CleanupWindow();
}

void Gallery_Window::Make_Store() {
  if (The_User_Database) collection = std::make_unique<Drawing_Collection>(*The_User_Database->current_user);
}

void Gallery_Window::Choose_Starting_View() {
  const Drawing_Collection::Bounding_Box box = collection ? collection->Box() : Drawing_Collection::Bounding_Box{};
  view = Cell_Windows::Starting_View(box.bottom, box.right);
  arrows_shown = view < 3;
  Save_Windows();
}

void Gallery_Window::Save_Windows() {
  saved_windows = cells.window;
  saved_view = view;
}

void Gallery_Window::Restore_Windows() {
  cells.window = saved_windows;
  view = saved_view;
}

// ---- What the frame calls

void Gallery_Window::Open_With_Drawing(const Shape_Drawing* drawing) {
  if (!arrows_shown && view < 3) Show_Arrows(true);
  Save_Windows();
  row_masks.fill(0);
  Invalidate(false);
  // The bin and the other points show what the store holds now.
  for (Gallery_IO_Point* p : points)
    if (p && p != Main_Point()) p->Redraw();
  if (Main_Window_IO* main = Main_Point()) main->Take_Drawing(drawing);
}

void Gallery_Window::Show_Help() {
  if (The_Mouse && The_Mouse->Busy()) return;
  Hide_Tip();
  if (The_Mouse) The_Mouse->Release(nullptr);
  if (The_Help_Window) The_Help_Window->Show_Section(Acknowledgements_Section, this);
}

bool Gallery_Window::CanClose() {
  if (!collection || !collection->Changed() || !The_User_Data.writable) return true;
  // The system ends the program (a logout): nobody is there to answer, and
  // the drawings are kept, as the answer Yes keeps them. A demonstration's
  // changes are its own and go: the person was asked before it began.
  if (TDesktop::System_Ending()) {
    if (The_User_Database && !Demonstration_Running())
      collection->Save(*The_User_Database->current_user, GetHandle());
    return true;
  }
  const std::string refusal = collection->Save_Refusal();
  if (!refusal.empty())
    return Let_Unkept_Changes_Go(refusal,
                                 {"Program Exit", "your changes to the gallery cannot be kept", "stay in the program",
                                  "leaves the program"},
                                 GetHandle());
  const int answer = MessageBox("Save changes to Gallery?", "Program Exit", MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  // A save that failed keeps the program open: the changes are still here.
  return answer != IDYES || !The_User_Database || collection->Save(*The_User_Database->current_user, GetHandle());
}

bool Gallery_Window::Let_Unkept_Changes_Go(const std::string& refusal, const Leaving& leaving, HWND owner) {
  // No question that a save would answer: the person learns what keeps the
  // changes from the file, and what she can do about it if she stays. A
  // file opened as one that may not be written stays so while shown.
  const std::string text = Changes_Cannot_Be_Kept(refusal, leaving.outcome);
  if (!collection->Stay_Reason().empty() && !collection->Held_Locked()) {
    ::MessageBox(owner, text, leaving.caption, MB_OK | MB_ICONSTOP);
    return true;
  }
  return ::MessageBox(owner,
                      text + "\nTo keep them, choose Cancel to " + leaving.stay + ", " + Exit_Advice(refusal) +
                          ". OK " + leaving.go + " without them.",
                      leaving.caption, MB_OKCANCEL | MB_ICONSTOP) == IDOK;
}

std::string Gallery_Window::Exit_Advice(const std::string& refusal) const {
  if (refusal == Drawing_Collection::Read_Only_Refusal)
    return "make the file writable again, and save the gallery again";
  if (refusal == Drawing_Collection::No_Permission_Refusal)
    return "have the administrator make the file changeable again, and save the gallery again";
  // The file to move is the other one under the gallery's name, never hers
  // kept aside; one made unchangeable only the administrator can move.
  const std::string& name = collection->File_Name();
  const std::string& held = collection->Held_At();
  const std::string advice = collection->Held_Locked() ? collection->Unlock_Held_Advice() : "";
  const std::string that = held.empty() ? "that file" : "the file " + name;
  if (Is_Unchangeable(name))
    return advice + "have the administrator make " + that + " changeable again and move it out of the folder, and "
           "save the gallery again";
  return advice + "move " + that + " out of the folder, and save the gallery again";
}

std::string Gallery_Window::Changes_Cannot_Be_Kept(const std::string& refusal, const std::string& outcome) const {
  // Her gallery kept aside keeps what was last saved: she is told where.
  const std::string& held = collection->Held_At();
  if (collection->Held_Locked())
    return "Unable to write file " + held + Drawing_Collection::Hidden_Note + "\n" + refusal +
           ", and another file is under its name, " + collection->File_Name() +
           ": changes made since your gallery was last saved cannot be kept.";
  return "Unable to write file " + collection->File_Name() + "\n" + refusal + ": " +
         (held.empty() ? outcome
                       : "your gallery as last saved is kept as " + held + Drawing_Collection::Hidden_Note +
                             ", and changes made since then cannot be kept") +
         ".";
}

void Gallery_Window::Park_Points() {
  collection->Park_Slot({Drawing_Place::Slot, Drawing_Place::Clipboard_Slot, 0});
  collection->Park_Slot({Drawing_Place::Slot, Drawing_Place::Printer_Slot, 0});
}

void Gallery_Window::Restore_Points() {
  collection->Restore_Slot({Drawing_Place::Slot, Drawing_Place::Clipboard_Slot, 0});
  collection->Restore_Slot({Drawing_Place::Slot, Drawing_Place::Printer_Slot, 0});
}

bool Gallery_Window::May_Change_Person(HWND owner) {
  asked_before_change = false;
  // A demonstration holds the input: nobody is there to choose (its change
  // of user tells what it must, as before).
  if (!collection || !collection->Changed() || !The_User_Data.writable || !The_User_Database ||
      Demonstration_Running())
    return true;
  const User& leaving = *The_User_Database->current_user;
  const std::string refusal = collection->Save_Refusal();
  if (refusal.empty()) {
    // Asked while she is still current: a save that fails has told her
    // that her changes are kept until she leaves the program, and they are.
    if (::MessageBox(owner, "Save changes to Gallery belonging to " + leaving.name + "?", "User Change",
                     MB_YESNO | MB_ICONQUESTION) == IDYES &&
        !Save_Keeping_Slots(leaving, owner))
      return false;
  } else {
    const std::string as = leaving.name.empty() ? std::string() : " as " + leaving.name;
    const Leaving change{"User Change", Unkept_Outcome(leaving), "stay" + as, "changes the user"};
    if (!Let_Unkept_Changes_Go(refusal, change, owner)) return false;
  }
  asked_before_change = true;
  return true;
}

bool Gallery_Window::Save_Keeping_Slots(const User& user, HWND owner) {
  for (int32_t slot = 0; slot < 3; ++slot) collection->Park_Slot({Drawing_Place::Slot, slot, 0});
  const bool saved = collection->Save(user, owner);
  for (int32_t slot = 0; slot < 3; ++slot) collection->Restore_Slot({Drawing_Place::Slot, slot, 0});
  if (Recycling_Bin_IO* bin = Bin_Point()) bin->Redraw();
  return saved;
}

void Gallery_Window::Change_User() {
  User_Database* db = The_User_Database;
  if (!db || !collection) return;
  const User& now = *db->current_user;
  const User& before = db->previous_user;
  const bool same_person = now.source_record == &before;
  if (same_person) {
    // The same user under a new name: the gallery file follows the name.
    if (before.name != now.name) collection->Rename(now, before);
  } else {
    // The user who leaves was renamed too: her file has its new name, and
    // is saved there.
    const User* renamed = db->previous_user_record;
    if (renamed != nullptr && renamed->name != before.name) collection->Rename(*renamed, before);
    for (int32_t slot = 0; slot < 3; ++slot) collection->Park_Slot({Drawing_Place::Slot, slot, 0});
    // Asked before the change, she has answered.
    if (collection->Changed() && The_User_Data.writable && !db->previous_user_removed && !asked_before_change) {
      const std::string refusal = collection->Save_Refusal();
      char text[300];
      std::snprintf(text, sizeof text, "Save changes to Gallery belonging to %s?", before.name.c_str());
      if (!refusal.empty())
        MessageBox(Changes_Cannot_Be_Kept(refusal, Unkept_Outcome(before)), "User Change", MB_OK | MB_ICONSTOP);
      else if (MessageBox(text, "User Change", MB_YESNO | MB_ICONQUESTION) == IDYES)
        collection->Save(before, GetHandle());
    }
    asked_before_change = false;
    collection.reset();
    Make_Store();
    for (int32_t slot = 0; slot < 3; ++slot) collection->Restore_Slot({Drawing_Place::Slot, slot, 0});
    if (Recycling_Bin_IO* bin = Bin_Point()) bin->Redraw();
    row_masks.fill(0);
    cells.Reset();
    const int start = Cell_Windows::Starting_View(collection->Box().bottom, collection->Box().right);
    Set_View(start, true);
    Save_Windows();
  }
  const char first_before = before.name.empty() ? 0 : before.name[0];
  const char first_now = now.name.empty() ? 0 : now.name[0];
  if (before.level != now.level || first_before != first_now) Set_Name_Face();
}

// ---- Views

void Gallery_Window::Hide_Tip() {
  if (!The_Tip_Window) return;
  The_Tip_Window->Hide();
  The_Tip_Window->Cancel();
}

void Gallery_Window::Show_Arrows(bool show) {
  arrows_shown = show;
  for (int i = 0; i < 8; ++i) {
    Arrow_Button* a = arrows[size_t(i)];
    if (!a) continue;
    if (show) a->MoveWindow(layout->arrows[size_t(view)][size_t(i)], false);
    a->ShowWindow(show ? SW_SHOW : SW_HIDE);
  }
}

void Gallery_Window::Set_View(int v, bool force) {
  v = std::clamp(v, 0, View_Count - 1);
  if (v == view && !force) return;
  Hide_Tip();
  view = v;
  request_pending = false;
  Show_Arrows(false);
  row_masks.fill(0);
  Repaint();
  if (view < 3) Show_Arrows(true);
}

void Gallery_Window::Cm_View(WPARAM id) { Set_View(int(LOWORD(id)) - First_View_Id, false); }

void Gallery_Window::Scroll_View(int32_t dr, int32_t dc) {
  if (cells.Scroll(view, dr, dc)) {
    row_masks.fill(0);
    Repaint();
  }
}

void Gallery_Window::Ce_Arrow(TCommandEnabler& enabler) {
  const int i = int(enabler.GetId()) - First_Arrow_Id;
  enabler.Enable(arrows_shown && i >= 0 && i < 8 && cells.Can_Scroll(view, Arrow_Rows[i], Arrow_Columns[i]));
}

void Gallery_Window::Arrow_Notify(int arrow, UINT code) {
  // A press scrolls at once, and so does every repeat tick while it is held.
  if (code != Arrow_Button_Pressed && code != Arrow_Button_Repeat) return;
  if (arrows_shown && !dragging) Scroll_View(Arrow_Rows[arrow], Arrow_Columns[arrow]);
}

UINT Gallery_Window::EvGetDlgCode(const MSG*) { return DLGC_WANTALLKEYS; }

void Gallery_Window::EvKeyDown(UINT key, UINT repeat_count, UINT flags) {
  if (dragging) return;
  Hide_Tip();
  const int32_t n = Cell_Windows::Side[size_t(view)];
  switch (key) {
    case VK_PRIOR: Scroll_View(-n, 0); return;
    case VK_NEXT: Scroll_View(n, 0); return;
    case VK_HOME: Scroll_View(0, -Cell_Windows::Grid_Side); return;
    case VK_END: Scroll_View(0, Cell_Windows::Grid_Side); return;
    case VK_UP: Move_Focus(-1, 0); return;
    case VK_DOWN: Move_Focus(1, 0); return;
    case VK_LEFT: Move_Focus(0, -1); return;
    case VK_RIGHT: Move_Focus(0, 1); return;
    case VK_ADD:
      if (view > 0) Set_View(view - 1, false);
      return;
    case VK_SUBTRACT:
      if (view < View_Count - 1) Set_View(view + 1, false);
      return;
    case VK_F1:
      if (!(The_Mouse && The_Mouse->Busy())) Cm_Help();
      return;
    case VK_DELETE: return;
    default: TWindow::EvKeyDown(key, repeat_count, flags);
  }
}

void Gallery_Window::Move_Focus(int32_t dr, int32_t dc) {
  const TRect before = cells.window[size_t(view)];
  if (!cells.Move_Focus(dr, dc)) return;
  if (!(cells.window[size_t(view)] == before)) row_masks.fill(0);
  Repaint();
}

// ---- Buttons

void Gallery_Window::Cm_Name_Level() {
  if (host) host->Change_User();
}

void Gallery_Window::Cm_Help() {
  if (The_Help_Window) The_Help_Window->Show_Section(Gallery_Help_Section, this);
}

LRESULT Gallery_Window::Ev_Help_Closed(WPARAM, LPARAM) {
  SetFocus();
  return 0;
}

void Gallery_Window::Cm_Save() {
  if (!The_User_Data.writable) {
    Cm_Cancel();
    return;
  }
  ::SetCursor(LoadCursor(TModule::Program(), Busy_Cursor));
  std::unique_ptr<Shape_Drawing> chosen;
  if (Main_Window_IO* main = Main_Point()) chosen = main->Return_Drawing();
  Park_Points();
  if (The_User_Database) {
    // With nothing of hers to keep, the store refuses a gallery still held
    // aside without a word: she must not take the silence for her gallery
    // back under its name.
    const bool had_changes = collection->Changed();
    if (!collection->Save(*The_User_Database->current_user, GetHandle()) && !had_changes &&
        !collection->Held_At().empty())
      Tell_Still_Held();
  }
  Restore_Points();
  if (Recycling_Bin_IO* bin = Bin_Point()) bin->Redraw();
  Save_Windows();
  if (The_Help_Window) The_Help_Window->Reset_Section(Gallery_Help_Section);
  Leave_With(chosen.get());
  ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void Gallery_Window::Tell_Still_Held() {
  const std::string& name = collection->File_Name();
  const std::string& held = collection->Held_At();
  std::string text = "Your gallery as last saved is still kept as " + held + Drawing_Collection::Hidden_Note;
  if (!collection->Save_Refusal().empty())
    text += ": another file is under its name, " + name + ".\nTo put it back under its name, " +
            (collection->Held_Locked() ? collection->Unlock_Held_Advice() : "") + "move the file " + name +
            " out of the folder, and save the gallery again.";
  else
    text += ": it could not go back under its name, " + name + ".\nTo put it back, " +
            (Is_Unchangeable(held) ? "have the administrator make that file changeable again, and " : "") +
            "save the gallery again.";
  MessageBox(text, "WARNING", MB_OK | MB_ICONSTOP);
}

void Gallery_Window::Cm_Cancel() {
  ::SetCursor(LoadCursor(TModule::Program(), Busy_Cursor));
  Park_Points();
  collection->Revert();
  Restore_Points();
  if (Recycling_Bin_IO* bin = Bin_Point()) bin->Redraw();
  Restore_Windows();
  row_masks.fill(0);
  Show_Arrows(false);
  if (The_Help_Window) The_Help_Window->Reset_Section(Gallery_Help_Section);
  Leave_With(nullptr);
  ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void Gallery_Window::Leave_With(const Shape_Drawing* drawing) {
  Hide_Tip();
  if (host) host->Leave_Gallery(drawing);
}

// ---- Points

Main_Window_IO* Gallery_Window::Main_Point() const {
  return static_cast<Main_Window_IO*>(points[Gallery_Layout::Main_Point]);
}

Recycling_Bin_IO* Gallery_Window::Bin_Point() const {
  return static_cast<Recycling_Bin_IO*>(points[Gallery_Layout::Bin_Point]);
}

// ---- Screen points

namespace {

TPoint Centre(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

TPoint Gallery_Window::To_Screen(TPoint client) const {
  if (IsWindow()) {
    ClientToScreen(client);
    return client;
  }
  return TPoint(client.x + Attr.X, client.y + Attr.Y + GetSystemMetrics(SM_CYCAPTION));
}

TPoint Gallery_Window::Main_IO_Screen_Point() const {
  return To_Screen(Centre(layout->points[Gallery_Layout::Main_Point]));
}

TPoint Gallery_Window::Bin_IO_Screen_Point() const {
  return To_Screen(Centre(layout->points[Gallery_Layout::Bin_Point]));
}

TPoint Gallery_Window::Cell_Screen_Point(int v, int32_t row, int32_t column) const {
  const Grid_Geometry& g = *layout->grid[size_t(std::clamp(v, 0, 3))];
  row = std::clamp(row, 0, g.rows - 1);
  column = std::clamp(column, 0, g.columns - 1);
  return To_Screen(Centre(g.Inner(row, column)));
}

bool Gallery_Window::Cell_Occupied(int v, int32_t row, int32_t column) const {
  if (!collection || v < 0 || v >= View_Count) return false;
  const TRect& w = cells.window[size_t(v)];
  return collection->State({Drawing_Place::Grid, row + w.top, column + w.left}) != 0;
}

TPoint Gallery_Window::View_Button_Screen_Point(int v) const {
  return To_Screen(Centre(layout->view_buttons[size_t(std::clamp(v, 0, 3))]));
}

TPoint Gallery_Window::Arrow_Button_Screen_Point(int v, int arrow) const {
  return To_Screen(Centre(layout->arrows[size_t(std::clamp(v, 0, 3))][size_t(std::clamp(arrow, 0, 7))]));
}

TPoint Gallery_Window::Save_Button_Screen_Point() const {
  return To_Screen(Centre(layout->round_buttons[Gallery_Layout::Save_Button]));
}

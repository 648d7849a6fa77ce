#include "app/ifs_frame_window.h"

#include <algorithm>
#include <cctype>

#include "app/ifs_application.h"
#include "app/ifs_main_window.h"
#include "app/user_dialog.h"
#include "demos/simulated_user.h"
#include "gallery/gallery_window.h"
#include "help/help_window.h"
#include "manipulators/transform_edit_window.h"
#include "model/gui_colors.h"
#include "platform/gdi/device_caps.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/icon.h"
#include "platform/window/menu.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/small_utilities.h"
#include "toolkit/tip_window.h"
#include "users/user_database.h"

namespace {

constexpr uint32_t Large_Icon = 4001;
constexpr uint32_t Small_Icon = 4002;
constexpr uint32_t Busy_Cursor = 4203;

bool Same_Ignoring_Case(const std::string& a, const char* b) {
  const std::string bs(b);
  if (a.size() != bs.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(bs[i]))) return false;
  return true;
}

}  // namespace

std::string Frame_Caption(const User& user, bool demonstrating) {
  std::string caption = "Quendar";
  if (!user.name.empty()) caption += " - " + user.name;
  caption += " at Level " + std::to_string(user.level + 1);
  if (demonstrating) {
    caption += "   Press CTRL-ESC to Stop the Demonstration";
  } else if (user.points > 0) {
    char points[32];
    Format_With_Commas(points, user.points);
    caption += std::string(", ") + points + " Points";
  }
  return caption;
}

TRect IFS_Frame_Window::User_Dialog_Rect(int width, int height, int caption) {
  return TRect(width / 32, caption + height / 12, width - width / 32, caption + height - height / 12);
}

IFS_Frame_Window::IFS_Frame_Window() : TFrameWindow(nullptr, "Quendar", new IFS_Main_Window(nullptr), false) {
  // Fixed and covering the whole screen: no sizing border, no maximise box,
  // and no task bar to move out of the way.
  Attr.Style = (Attr.Style & ~(WS_THICKFRAME | WS_MAXIMIZEBOX));
  Attr.X = 0;
  Attr.Y = 0;
  Attr.W = GetSystemMetrics(SM_CXSCREEN);
  Attr.H = GetSystemMetrics(SM_CYSCREEN);
}

IFS_Frame_Window::~IFS_Frame_Window() {
  if (The_Simulated_User) The_Simulated_User->Set_Person_Host(nullptr);
  Destroy();
  delete Main;
  delete Gallery;
  Dialog.reset();
}

void IFS_Frame_Window::SetupWindow() {
  TFrameWindow::SetupWindow();
  SetIcon(TModule::Program(), Large_Icon);
  SetIconSm(TModule::Program(), Small_Icon);
  Main = dynamic_cast<IFS_Main_Window*>(GetClientWindow());
  Gallery = new Gallery_Window(this, this);
  Gallery->Create();
  if (The_Simulated_User) {
    The_Simulated_User->Set_Gallery_Window(Gallery);
    The_Simulated_User->Set_Person_Host(this);
  }
  Update_Caption();
  Make_User_Dialog();
  if (auto* app = dynamic_cast<IFS_Application*>(GetApplication())) Check_User_Data_Folder(*app, Main);
  Trim_System_Menu();
}

void IFS_Frame_Window::Make_User_Dialog() {
  User_Dialog_Place = User_Dialog_Rect((*The_GUI_Sizes)[0], (*The_GUI_Sizes)[1], GetSystemMetrics(SM_CYCAPTION));
  const TPoint origin = The_GUI_Sizes->Origin_On_Screen();
  User_Dialog_Place = User_Dialog_Place.Offset_By(origin.x, origin.y);
  Dialog = std::make_unique<User_Dialog>(this, TModule::Program(), User_Dialog_Place);
  Dialog->Show_Help = [](User_Dialog& dialog) {
    if (The_Help_Window) The_Help_Window->Show_Section(3, &dialog);
  };
  Dialog->Reset_Help = [] {
    if (The_Help_Window) The_Help_Window->Reset_Section(3);
  };
  Dialog->May_Install = [this](const User_Database& edited, HWND owner) { return May_Change_To(edited, owner); };
  Run_User_Dialog = [this] { return Dialog->Execute(); };
}

void IFS_Frame_Window::Trim_System_Menu() {
  TMenu* menu = GetSystemMenu();
  if (!menu) return;
  // From the end, so removing an entry moves none still to be looked at.
  for (int pos = menu->GetMenuItemCount() - 1; pos >= 0; --pos) {
    char text[11] = {};
    menu->GetMenuString(UINT(pos), text, sizeof text, MF_BYPOSITION);
    const std::string t = text;
    if (Same_Ignoring_Case(t, "&move") || Same_Ignoring_Case(t, "&size") || Same_Ignoring_Case(t, "ma&ximize"))
      menu->RemoveMenu(UINT(pos), MF_BYPOSITION);
  }
  menu->AppendMenu(MF_SEPARATOR);
  menu->AppendMenu(MF_STRING, Acknowledgements_Command, "&Acknowledgements");
}

void IFS_Frame_Window::Update_Caption() {
  if (!The_User_Database) return;
  SetWindowText(Frame_Caption(*The_User_Database->current_user, The_Simulated_User && The_Simulated_User->Running()));
}

bool IFS_Frame_Window::IdleAction(long idle_count) {
  TWindow* client = GetClientWindow();
  return client ? client->IdleAction(idle_count) : TFrameWindow::IdleAction(idle_count);
}

bool IFS_Frame_Window::CanClose() {
  if (Main && !Main->CanClose()) return false;
  if (Gallery && !Gallery->CanClose()) return false;
  // The program ends now: a later start must not be handed over to it.
  if (auto* app = dynamic_cast<IFS_Application*>(GetApplication())) app->Begin_Ending();
  return true;
}

void IFS_Frame_Window::Open_Gallery(const Shape_Drawing* drawing) {
  const TCursor* busy = LoadCursor(TModule::Program(), Busy_Cursor);
  if (busy) ::SetCursor(busy);
  Gallery->Open_With_Drawing(drawing);
  SetClientWindow(Gallery);
  Gallery->ShowWindow(SW_SHOW);
  Gallery->EnableWindow(true);
  Gallery->SetFocus();
  Main->ShowWindow(SW_HIDE);
  Main->EnableWindow(false);
  ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void IFS_Frame_Window::Leave_Gallery(const Shape_Drawing* drawing) {
  Main->Set_Gallery_Drawing(drawing);
  SetClientWindow(Main);
  Main->ShowWindow(SW_SHOW);
  Main->EnableWindow(true);
  Main->Restore_Focus();
  Gallery->ShowWindow(SW_HIDE);
  Gallery->EnableWindow(false);
}

int IFS_Frame_Window::Change_User() {
  const int result = Run_User_Dialog ? Run_User_Dialog() : IDCANCEL;
  if (result != 1) return result;
  Update_Caption();
  Main->User_Changed();
  Gallery->Change_User();
  The_User_Database->Recycle_Previous_Gallery(GetHandle());
  if (The_Simulated_User && The_Simulated_User->Pass_Pending) The_Simulated_User->Next_Demo_Pass();
  return result;
}

bool IFS_Frame_Window::May_Change_To(const User_Database& edited, HWND owner) {
  if (!The_User_Database || !Gallery) return true;
  const User* leaving = The_User_Database->current_user;
  if (edited.current_user->source_record == leaving) return true;
  // Removed, she is asked whether her files go: the change tells the rest.
  const bool listed = edited.default_user.source_record == leaving ||
                      std::any_of(edited.users.begin(), edited.users.end(),
                                  [leaving](const auto& user) { return user->source_record == leaving; });
  return !listed || Gallery->May_Change_Person(owner);
}

void IFS_Frame_Window::Close_User_Dialog() {
  if (Dialog && Dialog->IsWindow()) Dialog->CmCancel();
}

// As a change of users through the dialog, without it: the person who
// started a demonstration is current again the moment it stops.
void IFS_Frame_Window::Return_To_User(const std::string& name) {
  // A manipulator being edited belongs to the user who leaves (no change of
  // users is offered during an edit): the edit is cancelled.
  if (Main->editor && Main->editor->Is_Open()) Main->editor->Close_Editor(2);
  User_Database& db = *The_User_Database;
  db.Return_To_User(name);
  db.Save(GetHandle());
  Update_Caption();
  Main->User_Changed();
  Gallery->Change_User();
  db.Recycle_Previous_Gallery(GetHandle());
}

void IFS_Frame_Window::Acknowledgements() {
  if (The_Mouse && The_Mouse->Busy()) return;
  if (The_Tip_Window) {
    The_Tip_Window->Hide();
    The_Tip_Window->Cancel();
  }
  if (The_Mouse) The_Mouse->Release(nullptr);
  if (GetClientWindow() == Main) Main->Acknowledgements();
  else if (GetClientWindow() == Gallery) Gallery->Show_Help();
}

void IFS_Frame_Window::EvSysCommand(UINT cmd_type, const TPoint& point) {
  const UINT command = cmd_type & 0xFFF0;
  if (command == SC_MINIMIZE) Minimised = true;
  if (command == SC_MAXIMIZE) Minimised = false;
  if (cmd_type == Acknowledgements_Command) {
    Acknowledgements();
    return;
  }
  if (!Minimised && (command == SC_RESTORE || command == SC_SCREENSAVE)) return;
  TFrameWindow::EvSysCommand(cmd_type, point);
  if (command == SC_RESTORE) Minimised = false;
}

void IFS_Frame_Window::Come_Forward() {
  // Restored only when minimised: the fixed frame must keep its size.
  if (Minimised) SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  BringWindowToTop();
  // The keys go back where they went before: the main window's active
  // panel, or the frame's client in the gallery's turn.
  if (Main && GetClientWindow() == Main) Main->Restore_Focus();
  else if (GetClientWindow()) GetClientWindow()->SetFocus();
  else SetFocus();
  TDesktop::Current().Backend().Take_Keyboard();
}

void IFS_Frame_Window::Display_Changed(int bits_per_pixel, int width) {
  auto* app = dynamic_cast<IFS_Application*>(GetApplication());
  const char* text = nullptr;
  const std::string refusal = Display_Refusal(bits_per_pixel);
  if (!refusal.empty()) {
    text = refusal.c_str();
  } else {
    const bool palette = TDevice_Caps::Is_Palette_Device();
    const bool recorded_palette = The_GUI_Colors && The_GUI_Colors->Is_Palette_Device;
    // Against the width measured at start, not the layout's width.
    if (palette != recorded_palette || (app && width != app->Screen_Width))
      text = "Quendar must be restarted to adjust to the new display settings.";
  }
  if (!text) return;
  ShowWindow(SW_HIDE);
  ::MessageBox(HWND(), text, "Quendar Terminated", MB_OK | MB_ICONSTOP);
  PostQuitMessage(1);
}

LRESULT IFS_Frame_Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DISPLAYCHANGE:
      Display_Changed(int(wp), int(LOWORD(lp)));
      return 0;
    case WM_QUERYNEWPALETTE:
      // The screen is true-colour: no entry ever changes.
      return 0;
    case WM_PALETTECHANGED:
    case WM_ACTIVATEAPP:
      return 0;
    case WM_INITMENUPOPUP:
      // The system menu opens over whatever hover tip was showing: the tip
      // goes (the tip save-under would otherwise stay over the menu).
      if (The_Tip_Window) The_Tip_Window->Cancel();
      return TFrameWindow::WindowProc(msg, wp, lp);
    default:
      return TFrameWindow::WindowProc(msg, wp, lp);
  }
}

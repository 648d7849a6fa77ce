#include "app/ifs_application.h"

#include <unistd.h>

#include <cerrno>

#include "app/ifs_frame_window.h"
#include "app/ifs_main_window.h"
#include "app/title_window.h"
#include "demos/simulated_user.h"
#include "gallery/drawing_collection.h"
#include "gallery/printer.h"
#include "help/help_window.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "platform/gdi/device_caps.h"
#include "platform/system/settings.h"
#include "platform/system/single_instance.h"
#include "platform/window/desktop.h"
#include "platform/window/frame_window.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/program_messages.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"
#include "toolkit/sound_library.h"
#include "toolkit/sound_player.h"
#include "users/user_data.h"
#include "users/user_database.h"
#include "workspace/fill_pointer.h"

IFS_Application* The_Application = nullptr;

std::function<std::optional<TFree_Space>(const std::string&)> IFS_Application::Free_Space_Query = Get_Free_Space;

namespace {

constexpr uint64_t Low_Space_Bytes = 10u << 20;

}  // namespace

std::string Display_Refusal(int bits_per_pixel) {
  if (bits_per_pixel < 8) return "The display must be set for 256 colors or more.";
  // The pictures are drawn in true colour: a display of 256 colours would
  // show only a black window.
  if (bits_per_pixel < TDevice_Caps::True_Color_Bits)
    return "The display must be set for true color (" + std::to_string(TDevice_Caps::True_Color_Bits) +
           " bits per pixel or more).";
  return std::string();
}

uint32_t Read_Registry_String(const char* name, char* buffer, uint32_t size) {
  return TSettings::Read(name, buffer, size);
}

User_Path IFS_Application::Find_User_Path() {
  User_Path result;
  char buffer[MAX_PATH] = {};
  bool found = Read_Registry_String("UserPath", buffer, sizeof buffer) > 1;
  result.from_settings = found && TSettings::Sets("UserPath");
  if (!found) {
    found = getcwd(buffer, sizeof buffer) != nullptr && buffer[0];
    result.in_working_directory = found;
  }
  result.path = found ? buffer : "";
  if (found) {
    const uint32_t attributes = Get_File_Attributes(result.path);
    int error = 0;
    result.writable = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                      !(attributes & FILE_ATTRIBUTE_READONLY) && Directory_Writable(result.path, &error);
    result.disk_full = !result.writable && (error == ENOSPC || error == EDQUOT);
  }
  if (result.path.empty() || result.path.back() != '/') result.path += '/';
  return result;
}

IFS_Application::IFS_Application() : TApplication("Quendar") {
  The_Application = this;
  const User_Path user_path = Find_User_Path();
  User_Path_Name = user_path.path;
  User_Path_Writable = user_path.writable;
  User_Path_In_Working_Directory = user_path.in_working_directory;
  User_Path_From_Settings = user_path.from_settings;
  User_Path_Disk_Full = user_path.disk_full;
  // The users live there: their database and files are read and written
  // only through it.
  The_User_Data.directory = User_Path_Name;
  The_User_Data.writable = User_Path_Writable;
  // Help opens unless this start reads a user file (one of an earlier
  // program in the same process does not count).
  The_User_Data.show_help_at_start = true;
}

IFS_Application::~IFS_Application() {
  Begin_Ending();
  // The frame and its panels are gone by now (the run loop's end); a title
  // still up (a quit during start-up) goes before what it paints with.
  delete The_Title_Window;
  if (Started) {
    // The gallery's preparation thread reduces pictures from the pool until
    // it ends: it goes, with the gallery's shared pictures, before the pool.
    Drawing_Collection::Release_Statics();
    if (The_DIB_Allocator) The_DIB_Allocator->Purge();
    auto gone = [this](const char* name, auto*& pointer) {
      if (!pointer) return;
      delete pointer;
      if (Deleted_Trace) Deleted_Trace->push_back(name);
    };
    gone("Help_Window", The_Help_Window);
    gone("DIB_Allocator", The_DIB_Allocator);
    gone("Simulated_User", The_Simulated_User);
    gone("Fill_Pointer", The_Fill_Pointer);
    gone("Round_Border", The_Round_Border);
    gone("Printer", The_Printer);
    gone("Sound_Player", The_Sound_Player);
    gone("Sound_Library", The_Sound_Library);
    gone("Mouse", The_Mouse);
    gone("GUI_Bitmaps", The_GUI_Bitmaps);
    gone("GUI_Metafiles", The_GUI_Metafiles);
    gone("User_Database", The_User_Database);
    gone("GUI_Colors", The_GUI_Colors);
    gone("GUI_Sizes", The_GUI_Sizes);
  }
  if (The_Caption_Owner == this) The_Caption_Owner = nullptr;
  if (The_Application == this) The_Application = nullptr;
}

void IFS_Application::Begin_Ending() {
  if (instance_) instance_->Stop_Listening();
}

void IFS_Application::Refuse() {
  SetMainWindow(new TFrameWindow(nullptr, "Quendar"));
  nCmdShow = SW_SHOWMINIMIZED;
  PostQuitMessage(1);
}

bool IFS_Application::Refuse_Small_Display() {
  TScreenDC screen;
  const std::string text = Display_Refusal(screen.GetDeviceCaps(BITSPIXEL));
  if (text.empty()) return false;
  // The program's own box would be as black as the rest on such a display:
  // the system's box says it where there is one.
  if (!TDesktop::Running() || !TDesktop::Current().Backend().System_Alert("Quendar Can't Run", text))
    ::MessageBox(HWND(), text, "Quendar Can't Run", MB_OK | MB_ICONSTOP);
  Refuse();
  return true;
}

bool IFS_Application::Refuse_Second_Instance() {
  instance_ = std::make_unique<TSingle_Instance>();
  // The listening thread only posts: the frame comes forward on this thread.
  const auto start = instance_->Claim([] { TDesktop::Current().Post(HWND(), Come_Forward_Message, 0, 0); });
  if (start == TSingle_Instance::Start::First) return false;
  instance_.reset();
  Refuse();
  return true;
}

void IFS_Application::InitMainWindow() {
  if (Refuse_Small_Display() || Refuse_Second_Instance()) return;
  Screen_Width = GetSystemMetrics(SM_CXSCREEN);
  (new Title_Window(nullptr))->Create();
  PumpWaitingMessages();
  Make_Singletons();
  Started = true;
  // The system asked the program to end while it started (a box about the
  // user file was up): no frame is built only to be closed.
  if (TDesktop::System_Ending()) return;
  The_Caption_Owner = this;
  SetMainWindow(new IFS_Frame_Window());
  if (nCmdShow != SW_SHOWMINIMIZED && nCmdShow != SW_MINIMIZE) nCmdShow = SW_SHOWMAXIMIZED;
}

void IFS_Application::Make_Singletons() {
  auto made = [this](const char* name) { Made.push_back(name); };
  new GUI_Sizes(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  made("GUI_Sizes");
  new GUI_Colors();
  made("GUI_Colors");
  if (The_Title_Window) {
    The_Title_Window->Use_Program_Palette();
    The_Title_Window->Start_Stepper();
  }
  new Round_Border();
  made("Round_Border");
  new User_Database();
  made("User_Database");
  // The panels may save the users while they are built; a failure is told
  // after the start-up warnings, over the painted main window.
  The_User_Database->hold_reports = true;
  // The database has read the user file (or found none, or one of another
  // version): help opens at start when it says so.
  Show_Help_At_Start = The_User_Data.show_help_at_start;
  new GUI_Metafiles();
  made("GUI_Metafiles");
  new GUI_Bitmaps();
  made("GUI_Bitmaps");
  new Mouse();
  made("Mouse");
  new Sound_Library();
  made("Sound_Library");
  new Sound_Player();
  made("Sound_Player");
  new Printer();
  made("Printer");
  new Fill_Pointer();
  made("Fill_Pointer");
  new DIB_Allocator(2, 5, (*The_GUI_Sizes)[10]);
  made("DIB_Allocator");
  (new Help_Window(nullptr))->Create();
  made("Help_Window");
}

bool IFS_Application::ProcessAppMsg(MSG& msg) {
  if (The_Mouse) The_Mouse->Note_Message(msg.message);
  // The caption promises Ctrl+Esc stops a demonstration; while nothing
  // plays (a box waits for the person) the chord arrives as a key.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && (GetKeyState(VK_CONTROL) & 0x8000) &&
      The_Simulated_User && The_Simulated_User->Running() && !The_Simulated_User->Playing()) {
    The_Simulated_User->Cancel();
    return true;
  }
  if (!msg.hwnd) {
    if (msg.message == WM_CANCELJOURNAL && The_Mouse) {
      The_Mouse->Hook = 0;
      if (The_Simulated_User) The_Simulated_User->Cancel();
    } else if (msg.message == Come_Forward_Message) {
      if (auto* frame = dynamic_cast<IFS_Frame_Window*>(MainWindow)) frame->Come_Forward();
      return true;
    }
  }
  return TApplication::ProcessAppMsg(msg);
}

void IFS_Application::Update_Caption() {
  if (auto* frame = dynamic_cast<IFS_Frame_Window*>(MainWindow)) frame->Update_Caption();
}

namespace {

// A folder that is not there has to be made: making it writable means
// nothing to the person reading the warning.
bool Folder_Missing(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return Get_File_Attributes(path) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::string Unwritable_User_Path_Warning(const std::string& path, const std::string& settings_file, bool disk_full) {
  const std::string head = "Quendar can't save user data to " + path + ".\n";
  const std::string tail = "The program will run but you will not be able to save drawings.\n";
  // Neither the installation nor the settings are at fault.
  if (disk_full) return head + tail + "The disk is full: make room on it, then start Quendar again.";
  // A place the person chose in the settings file is theirs to mend there:
  // reinstalling would change nothing.
  if (!settings_file.empty())
    return head + "It is the UserPath that " + settings_file + " gives.\n" + tail +
           (Folder_Missing(path) ? "That folder does not exist: create it, or change UserPath there."
                                 : "Change UserPath there or make the folder writable.");
  return head + tail + "This problem may be due to incorrect installation.  Try reinstalling.";
}

void Check_User_Data_Folder(IFS_Application& app, IFS_Main_Window* main_window) {
  if (The_Title_Window) The_Title_Window->Finish(main_window);
  const HWND owner = main_window ? main_window->GetHandle() : HWND();
  // Help at start opens once these are answered (it would take the keys
  // from a box still up).
  app.Start_Warnings_Open = true;
  Show_Start_Warnings(app, owner);
  if (The_User_Database) The_User_Database->Tell_Held_Reports(owner);
  app.Start_Warnings_Open = false;
  // The gate is tried again from the queue, once the frame being set up
  // here stands in front (help opened now would be left behind it); before
  // the main window's first paint that paint tries it anyway.
  if (main_window && main_window->IsWindow() && main_window->main_painted)
    main_window->PostMessage(Main_Painted_Message);
}

void Show_Start_Warnings(IFS_Application& app, HWND owner) {
  if (app.User_Path_In_Working_Directory) {
    ::MessageBox(owner,
                 "Quendar found no home folder: neither HOME nor XDG_DATA_HOME is set.\nUser data is kept in " +
                     app.User_Path_Name + ".",
                 "Warning", MB_OK | MB_ICONEXCLAMATION);
  }
  if (!app.User_Path_Writable) {
    ::MessageBox(owner,
                 Unwritable_User_Path_Warning(app.User_Path_Name,
                                              app.User_Path_From_Settings ? TSettings::File_Path() : std::string(),
                                              app.User_Path_Disk_Full),
                 "Warning", MB_OK | MB_ICONEXCLAMATION);
  }
  // A full disk is told once.
  if (!app.User_Path_Writable && app.User_Path_Disk_Full) return;
  const std::optional<TFree_Space> space = IFS_Application::Free_Space_Query(app.User_Path_Name);
  if (space && space->bytes_per_cluster && space->free_clusters < Low_Space_Bytes / space->bytes_per_cluster) {
    ::MessageBox(owner,
                 "Volume (" + app.User_Path_Name +
                     ") has less than 10 MBytes free.\nSome program features may be unable to operate.",
                 "Warning", MB_OK | MB_ICONEXCLAMATION);
  }
}

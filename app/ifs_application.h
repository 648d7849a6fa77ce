// The application object: finds the user data directory, refuses a display
// of fewer than 256 colours and a second instance, shows the title at once,
// makes the process-wide objects in a fixed order and deletes them in a
// fixed order at exit, and watches the mouse buttons and the demonstration
// cancel chord for the whole program.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/file_system.h"

#include "platform/window/application.h"
#include "users/caption_owner.h"

class IFS_Main_Window;
class TSingle_Instance;

// Posted as a thread message when a later start asks this one to come
// forward.
inline constexpr UINT Come_Forward_Message = WM_USER + 0x100;

struct User_Path {
  std::string path;  // always ends in '/'
  bool writable = false;
  // No setting and no home folder gave the place: it is the working
  // directory, and the person is told so.
  bool in_working_directory = false;
  // The settings file named the place (the person chose it there).
  bool from_settings = false;
  // Not writable because its disk is full (no block or no inode left).
  bool disk_full = false;
};

class IFS_Application : public TApplication, public Caption_Owner {
 public:
  // Becomes The_Application; finds the user path.
  IFS_Application();
  ~IFS_Application() override;

  void InitMainWindow() override;
  // The program has agreed to end: from now on a later start is not handed
  // over to it but waits to become the running one itself.
  void Begin_Ending();
  bool ProcessAppMsg(MSG& msg) override;
  void Update_Caption() override;

  // The settings value "UserPath", else the default user data directory,
  // else the current directory; writable when it is a directory that a file
  // can be made in.
  static User_Path Find_User_Path();

  // The process-wide objects in the order they were made; and, when a
  // trace is given, in the order they were deleted (only those that existed).
  std::vector<std::string> Made;
  std::vector<std::string>* Deleted_Trace = nullptr;
  // Asks the free space of the user data directory's volume (tests
  // replace it).
  static std::function<std::optional<TFree_Space>(const std::string&)> Free_Space_Query;

  bool Show_Help_At_Start = true;
  bool User_Path_Writable = false;
  bool User_Path_In_Working_Directory = false;
  bool User_Path_From_Settings = false;
  bool User_Path_Disk_Full = false;
  // The start-up warnings are on the screen: help waits for their answer.
  bool Start_Warnings_Open = false;
  std::string User_Path_Name;
  bool Started = false;
  // The screen's width when the program started (a display change is
  // compared with it).
  int Screen_Width = 0;

 private:
  bool Refuse_Small_Display();
  bool Refuse_Second_Instance();
  void Make_Singletons();
  void Refuse();

  std::unique_ptr<TSingle_Instance> instance_;
};

// The start-up warnings, once the frame and its panels exist: the title is
// told start-up is over, then a user path that cannot be written and a
// volume with less than 10 MBytes free are reported.
// Why the program cannot run on a display of that depth; empty when it can.
std::string Display_Refusal(int bits_per_pixel);

void Check_User_Data_Folder(IFS_Application& app, IFS_Main_Window* main_window);
// The boxes of the start-up warnings, in order, each answered before the next.
void Show_Start_Warnings(IFS_Application& app, HWND owner);
// The warning that user data cannot be saved to path; settings_file names
// the settings file when it gave the path (else empty); disk_full when no
// file could be made there for want of space.
std::string Unwritable_User_Path_Warning(const std::string& path, const std::string& settings_file,
                                         bool disk_full = false);

// A settings value into buffer; the bytes stored, 0 when there is none.
uint32_t Read_Registry_String(const char* name, char* buffer, uint32_t size);

extern IFS_Application* The_Application;

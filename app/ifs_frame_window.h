// The program's only top-level window: a fixed frame covering the screen
// with the user's name, level and points in its caption, the main window
// as its client (the gallery while that is open), a trimmed system menu,
// and the close query of every panel.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "demos/simulated_user.h"
#include "gallery/gallery_host.h"
#include "platform/window/frame_window.h"

class Gallery_Window;
class IFS_Main_Window;
class Shape_Drawing;
class User;
class User_Database;
class User_Dialog;

class IFS_Frame_Window : public TFrameWindow, public Gallery_Host, public Demo_Person_Host {
 public:
  static constexpr UINT Acknowledgements_Command = 0x5000;

  IFS_Frame_Window();
  ~IFS_Frame_Window() override;

  void SetupWindow() override;
  bool IdleAction(long idle_count) override;
  bool CanClose() override;
  void EvSysCommand(UINT cmd_type, const TPoint& point) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  void Update_Caption();
  void Open_Gallery(const Shape_Drawing* drawing);
  void Leave_Gallery(const Shape_Drawing* drawing) override;
  // Runs the Name and Level dialog; on OK (1) every part follows the new
  // user. Returns the dialog's result.
  int Change_User() override;
  // Whether the edited user database may be installed: a change to
  // another person who stays listed first lets the panels of the person
  // leaving keep her, where she would lose what no save can keep.
  bool May_Change_To(const User_Database& edited, HWND owner);
  // A demonstration that played as another user stopped early.
  void Close_User_Dialog() override;
  void Return_To_User(const std::string& name) override;
  void Acknowledgements();
  // A later start asked this one to come forward.
  void Come_Forward();
  void Display_Changed(int bits_per_pixel, int width);

  // The Name and Level dialog's place: the layout's screen below the
  // caption, inset by a 32nd of its width and a 12th of its height.
  static TRect User_Dialog_Rect(int width, int height, int caption);

  IFS_Main_Window* Main = nullptr;
  Gallery_Window* Gallery = nullptr;
  // Runs the Name and Level dialog modally and gives its end code (1: OK);
  // the dialog itself unless a test puts another in its place.
  std::function<int()> Run_User_Dialog;
  std::unique_ptr<User_Dialog> Dialog;
  TRect User_Dialog_Place;
  bool Minimised = false;

 private:
  void Make_User_Dialog();
  void Trim_System_Menu();
};

// The caption for a user: "Quendar - Ann at Level 3, 1,234,567 Points".
std::string Frame_Caption(const User& user, bool demonstrating);

// The modal Name and Level dialog: the user list on the left, the staircase
// of levels on the right with OK, Cancel and Help under it. Everything is
// edited on a copy of The_User_Database; OK installs and saves the copy,
// Cancel (also Esc and the close box) throws it away.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/font.h"
#include "demos/simulated_user.h"
#include "platform/window/dialog.h"

class Round_Button;
class User_Database;
class User_Level_Window;
class User_List_Window;

class User_Dialog : public TDialog, public Demo_User_Dialog {
 public:
  static constexpr int OK_Id = 2901;
  static constexpr int Cancel_Id = 2902;
  static constexpr int Help_Id = 2903;

  // Made once by the frame; rect is where it stands each time it runs.
  User_Dialog(TWindow* parent, TModule* module, const TRect& rect);
  ~User_Dialog() override;

  // Help section 3 for this dialog, and starting it over; the frame hands
  // these in from the help window. Empty: no help to show.
  std::function<void(User_Dialog&)> Show_Help;
  std::function<void()> Reset_Help;
  // Asked at OK before the edited copy is installed, with the dialog's
  // window as the owner of any box: false ends the dialog as Cancel does
  // (the person chose to stay who she is). Empty: OK always installs.
  std::function<bool(const User_Database& edited, HWND owner)> May_Install;

  // Screen points for a demonstration that drives the dialog.
  TPoint First_Row_Point() const override;
  TPoint User_Row_Point(const std::string& name, int& steps) const override;
  TPoint Scroll_Up_Point() const override;
  TPoint Scroll_Down_Point() const override;
  TPoint Level_Column_Point(int n) const override;
  TPoint OK_Button_Point() const override;

  void SetupWindow() override;
  void CleanupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  // Enter and Esc press the dialog's own OK and Cancel buttons.
  int Default_Button() const override { return OK_Id; }
  int Cancel_Button() const override { return Cancel_Id; }
  void CmOk() override {}
  void CmCancel() override;
  void EvSysCommand(UINT cmd_type, const TPoint& point) override;
  void EvActivate(UINT active, bool minimized, HWND other) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // While it runs: the copy being edited and the two halves.
  User_Database* Edited() const { return copy.get(); }
  User_List_Window* List() const { return list; }
  User_Level_Window* Levels() const { return levels; }

 private:
  // Where help section 3 lies, in screen coordinates.
  TRect Help_Area() const;
  void Ok();
  void Help();

  TRect rect;
  TPoint name_anchor, points_anchor, level_anchor;
  std::unique_ptr<TFont> list_font;
  User_List_Window* list = nullptr;
  User_Level_Window* levels = nullptr;
  Round_Button* buttons[3] = {};
  std::unique_ptr<User_Database> copy;
  int s = 0;
};

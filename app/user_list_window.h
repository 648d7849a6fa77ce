// The left half of the Name and Level dialog: the users of the dialog's copy
// of the user database, each name in the user's colour and font with the
// points at the right, under a first row "New" that stands for the default
// user and takes new names. A triangle marks the current user. Names are
// added, changed and deleted in place, in the copy only; the parent hears
// of every change of the current user.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/font.h"
#include "platform/window/window.h"

class Arrow_Button;
class ExtEdit;
class TBitmap;
class User;
class User_Database;

class User_List_Window : public TWindow {
 public:
  static constexpr int Max_Rows = 16;
  static constexpr int Scroll_Up_Id = 3101;
  static constexpr int Scroll_Down_Id = 3102;
  static constexpr int Field_Id = 3103;
  enum Menu_Command { Edit_Command = 5011, Delete_Command = 5012, Font_Command = 5013, Color_Command = 5014 };

  User_List_Window(TWindow* parent, const TRect& rect, User_Database& database, const TFont& font);
  ~User_List_Window() override;

  // Marks the row (-1: the row of index) and makes the user at index
  // (-1: the default user) current; the parent is told.
  void Select(int row, int index);
  // Ends an edit in the field as Enter would; false when the typed name was
  // refused (its message has been shown and the field stays open).
  bool Commit_Edit();

  // Screen points a quarter into a row at its middle, for demonstrations.
  TPoint First_Row_Point() const;
  TPoint User_Row_Point(const std::string& name, int& steps) const;
  TPoint Scroll_Up_Point() const;
  TPoint Scroll_Down_Point() const;

  void SetupWindow() override;
  void CleanupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvRButtonDown(UINT, const TPoint&) override {}
  void EvSetFocus(HWND lost_focus) override;
  void EvKillFocus(HWND gets_focus) override;
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override;
  // Arrows, characters and every key but Esc, which the list does not use:
  // it is the dialog's Cancel.
  UINT EvGetDlgCode(const MSG* msg) override {
    const bool esc = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE;
    return esc ? 0x81 : 0x85;
  }
  const TBrush* EvCtlColor(TDC& dc, HWND child, UINT ctl_type) override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  void EvCommandEnable(TCommandEnabler& enabler) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // Read by tests.
  int Row_Count() const { return n; }
  int First() const { return first; }
  int Highlighted() const { return highlighted; }
  int Edited_Index() const { return edited; }
  bool Editing() const { return editing; }
  bool Arrows_Shown() const { return arrows_shown; }
  // The frame round the highlighted row that shows the list has the keys.
  TRect Focus_Frame() const;
  const TRect& Row(int i) const { return rows[size_t(i)]; }
  ExtEdit& Field() const { return *field; }
  int Page() const;

 private:
  int Row_Of(int index) const;
  int Index_Of(int row) const;
  int First_User_Row() const { return arrows_shown ? 2 : 1; }
  int Last_User_Row() const { return arrows_shown ? n - 2 : n - 1; }
  void Show_Arrows(bool show);
  void Open_Field(int row, int index);
  void Close_Field();
  void Redraw_Rows();
  void Draw_Rows(TDC& dc);
  void Draw_Row(TDC& dc, int row, int index);
  void Draw_Marker(TDC& dc, int row, bool shown);
  void Draw_Focus(TDC& dc, bool shown);
  void Move_Marker(int row);
  void Scroll(int delta);
  void Tell_Parent();
  void Delete_Road(int index);
  void Refuse(const std::string& text, const std::string& why);
  void Key(UINT key);
  TPoint Screen_Point(int row) const;

  User_Database* database;
  TFont font;
  Arrow_Button* up = nullptr;
  Arrow_Button* down = nullptr;
  ExtEdit* field = nullptr;
  std::unique_ptr<TBitmap> row_picture;
  int w, h, s, p, m, n;
  int name_width, points_width;
  std::array<TRect, Max_Rows> rows, markers;
  int first = 0;
  int highlighted = -2;
  int edited = -2;
  bool arrows_shown = false;
  bool editing = false;
  bool ignore_next_commit = false;
  // The list itself (not its name field) has the keyboard.
  bool keyboard_here = false;
  // Users the delete road took out of the copy; the level window may still
  // show one until it hears of the new selection.
  std::vector<std::unique_ptr<User>> deleted;
};

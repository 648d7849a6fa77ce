// The gallery: a full-window screen showing the user's drawings as an n by n
// grid (n = 1, 3, 6 or 12, the four views) onto the store's 12 by 12 grid,
// with arrows and keys to move the view, view buttons, a column of drop
// points on the left (main window, clipboard, printer, recycling bin) and the
// Name and Level, Help, Save and Cancel buttons. Drawings are dragged between
// cells and drop points. The frame makes it once, hidden, hands it the main
// window's drawing when the gallery opens, and takes back the chosen drawing
// when the user leaves (Gallery_Host).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "gallery/cell_windows.h"
#include "gallery/drawing_place.h"
#include "gallery/gallery_layout.h"
#include "platform/gdi/color.h"
#include "platform/window/response_table.h"
#include "platform/window/window.h"

class Arrow_Button;
class Drawing_Collection;
class Gallery_Dragger;
class Gallery_Host;
class Gallery_IO_Point;
class Main_Window_IO;
class Recycling_Bin_IO;
class Round_Button;
class Shape_Drawing;
class User;
class View_Button;

class Gallery_Window : public TWindow {
 public:
  static constexpr int Window_Id = 1700;
  static constexpr int First_View_Id = 1701;   // 1701 to 1704
  static constexpr int First_Arrow_Id = 1705;  // 1705 to 1712
  static constexpr int Name_Level_Id = 1713;
  static constexpr int Save_Id = 1714;
  static constexpr int Cancel_Id = 1715;
  static constexpr int Help_Id = 1716;
  static constexpr int View_Count = Cell_Windows::View_Count;

  // frame: the frame window, which the gallery returns to through host.
  Gallery_Window(TWindow* frame, Gallery_Host* host);
  ~Gallery_Window() override;

  void SetupWindow() override;
  void CleanupWindow() override;
  bool CanClose() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override;
  UINT EvGetDlgCode(const MSG* msg) override;
  bool Find(TEventInfo& info) override;

  // ---- What the frame calls
  // Shows the arrows again when they are hidden and the view is not 12 by
  // 12, then hands the drawing to the main-window drop point.
  void Open_With_Drawing(const Shape_Drawing* drawing);
  // After the Name and Level dialog: renames the store's file, or asks to
  // save and opens the new user's store.
  void Change_User();
  // Asked before the person changes (the Name and Level dialog's OK, owner
  // its window): her changes are offered a save, or, where no save can keep
  // them now, told with the exit's choice to stay or to go on without them.
  // False: she stays (she chose to, or the save failed and keeps them).
  bool May_Change_Person(HWND owner);
  // A help request while the gallery is shown: the acknowledgements page.
  void Show_Help();
  void Set_View(int view, bool force);

  // ---- What the drop points call
  // The current user's store.
  Drawing_Collection* Collection() const { return collection.get(); }
  // A drop point starts a drag of its drawing at place: point and rectangle
  // (its miniature) in this window's client coordinates.
  void Start_Point_Drag(const Drawing_Place& place, TPoint point, const TRect& rectangle);

  // ---- Screen points for the demonstrations
  TPoint Main_IO_Screen_Point() const;
  TPoint Bin_IO_Screen_Point() const;
  // row and column counted within the view.
  TPoint Cell_Screen_Point(int view, int32_t row, int32_t column) const;
  bool Cell_Occupied(int view, int32_t row, int32_t column) const;
  TPoint View_Button_Screen_Point(int view) const;
  TPoint Arrow_Button_Screen_Point(int view, int arrow) const;
  TPoint Save_Button_Screen_Point() const;

  // ---- State, readable by tests
  int Current_View() const { return view; }
  bool Arrows_Shown() const { return arrows_shown; }
  bool Dragging() const { return dragging; }
  const Cell_Windows& Windows() const { return cells; }
  const Gallery_Layout& Layout() const { return *layout; }
  const Drawing_Place& Drag_Source() const { return drag_source; }
  const Drawing_Place& Drop_Target() const { return drop_target; }
  Gallery_IO_Point* Point(int index) const { return points[size_t(index)]; }
  Main_Window_IO* Main_Point() const;
  Recycling_Bin_IO* Bin_Point() const;
  Gallery_Dragger* Dragger() const { return dragger.get(); }
  Arrow_Button* Arrow(int index) const { return arrows[size_t(index)]; }
  // The drop place under a client point and the offset from the point to
  // its centre; kind 0 when none.
  Drawing_Place Drop_Place_At(TPoint point, TSize& to_centre) const;
  // The distance in x or y a press must move before a drag starts.
  int32_t Drag_Threshold() const;
  // The colour of the disc a cell shows until its picture is made.
  static const TColor Placeholder_Color;

  // The cell window of each view as saved at the last opening, save or
  // change of user, and the view then.
  std::array<TRect, View_Count> saved_windows{};
  int saved_view = 1;
  // Bit c of row r: cell (r, c) of the current view shows its picture.
  std::array<uint16_t, 12> row_masks{};

 private:
  // Commands and notifications.
  void Cm_View(WPARAM id);
  void Cm_Name_Level();
  void Cm_Save();
  void Cm_Cancel();
  void Cm_Help();
  void Ce_Arrow(TCommandEnabler& enabler);
  void Arrow_Notify(int arrow, UINT code);
  template <int Arrow>
  void Arrow_Code(UINT code) {
    Arrow_Notify(Arrow, code);
  }
  LRESULT Ev_Picture_Ready(WPARAM wp, LPARAM lp);
  LRESULT Ev_Help_Closed(WPARAM wp, LPARAM lp);

  // A refusal that leaves the changes unsaved: "Unable to write file",
  // then the reason and the outcome.
  std::string Changes_Cannot_Be_Kept(const std::string& refusal, const std::string& outcome) const;
  // What she leaves when her changes cannot be kept: the box's caption,
  // what becomes of them, what Cancel keeps and what OK does.
  struct Leaving {
    const char* caption;
    std::string outcome, stay, go;
  };
  // Her changes that no save can keep now (refusal): why, and where
  // staying lets a save keep them, the choice. True: she goes on without
  // them.
  bool Let_Unkept_Changes_Go(const std::string& refusal, const Leaving& leaving, HWND owner);
  // A save that found her gallery still held aside and had nothing of hers
  // to keep says why it is not back under its name.
  void Tell_Still_Held();
  // A save whose drawings in the main window's, clipboard's and printer's
  // points stay there.
  bool Save_Keeping_Slots(const User& user, HWND owner);
  // What she can do, having stayed, so that a save keeps her changes.
  std::string Exit_Advice(const std::string& refusal) const;
  void Make_Store();
  void Choose_Starting_View();
  void Save_Windows();
  void Restore_Windows();
  void Show_Arrows(bool show);
  void Hide_Tip();
  void Set_Name_Face();
  void Scroll_View(int32_t dr, int32_t dc);
  void Move_Focus(int32_t dr, int32_t dc);
  void Leave_With(const Shape_Drawing* drawing);
  void Park_Points();
  void Restore_Points();
  TPoint To_Screen(TPoint client) const;
  Gallery_IO_Point* Point_At_Place(const Drawing_Place& place) const;

  // Painting.
  void Paint_All(TDC& dc);
  void Paint_Cells(TDC& dc, bool only_missing);
  bool Cell_Needs_Paint(TDC& dc, int32_t row, int32_t column);
  void Paint_Cell(TDC& dc, int32_t row, int32_t column);
  void Paint_Frames(TDC& dc);
  TRect Frame_Rect(int view) const;
  void Repaint();
  void Repaint_Cell(const Drawing_Place& place);
  void Request_Next(const Drawing_Place& place);

  // Dragging.
  void Begin_Drag(TPoint point, const TRect& rectangle);
  void Drag_Move(TPoint point);
  void Drop();
  void End_Drag_State();

  Gallery_Host* host;
  std::unique_ptr<Drawing_Collection> collection;
  std::unique_ptr<Gallery_Layout> layout;
  Cell_Windows cells;
  int view = 1;

  std::array<Round_Button*, 4> round_buttons{};
  std::array<Arrow_Button*, 8> arrows{};
  std::array<View_Button*, View_Count> view_buttons{};
  std::array<Gallery_IO_Point*, 4> points{};
  std::unique_ptr<Gallery_Dragger> dragger;

  bool arrows_shown = false;
  // She answered for her changes before the change of person: the change
  // asks no more.
  bool asked_before_change = false;
  bool request_pending = false;
  bool repaint_after_drag = false;
  bool snapped = false;
  bool pressed = false;
  bool dragging = false;
  TPoint press_point;
  TPoint snap_point;
  TRect press_rect;
  Drawing_Place drag_source;
  Drawing_Place drop_target;
  // The drop point a drag came from (null for a cell).
  Gallery_IO_Point* drag_point = nullptr;

  static const TResponse_Table<Gallery_Window> Table;
};

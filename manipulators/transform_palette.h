// The manipulator palette as the main window sees it: where it stands, the
// selection the keys and the drawing window read, and the change of user.
// So far it holds no manipulators: every section is empty.
#pragma once

#include <array>
#include <memory>

#include "platform/window/window.h"

class Safari_Controls;
class Shape_Transform;

class Transform_Palette : public TWindow {
 public:
  static constexpr int Rows = 6;
  static constexpr int Columns = 2;

  // At position, height pixels high; its width follows from the layout sizes.
  Transform_Palette(TWindow* parent, const TPoint& position, int height, TWindow* editor);

  bool EvEraseBkgnd(TDC&) override { return true; }
  void Paint(TDC& dc, bool erase, TRect& rect) override;

  // True when the current user's manipulator source differs from the one
  // loaded.
  bool Source_Changed() const { return false; }
  void Change_User() {}
  // Keyboard selection: section 0-4, page 1-4.
  void Select_Section(int section);
  void Select_Page(int page);

  // The selected manipulator of the shown section, or null.
  Shape_Transform* Selected() const;

  // Cleared while the review window is open: cells choose nothing then.
  bool Accepts_Selection = true;
  int Selected_Row = -1;
  int Selected_Column = -1;
  // The shown section's manipulators by row x 2 + column.
  std::array<Shape_Transform*, Rows * Columns> Entries{};
  int Section = 0;
  int Page = 1;
  TWindow* Editor;
  Safari_Controls* Safari = nullptr;
};

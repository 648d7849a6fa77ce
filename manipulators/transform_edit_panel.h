// What the manipulator editor asks of the numeric side panel beside it.
// The panel is made afresh on each opening by the editor's maker (the
// numeric dialog unless the application hands another); with the maker
// cleared the editor works without a panel.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "model/affine_transform_2d.h"
#include "platform/gdi/geometry.h"

class TWindow;
class Transform_Edit_Window;
class Transform_Manipulator;

class Transform_Edit_Panel {
 public:
  virtual ~Transform_Edit_Panel() = default;

  // Makes the panel's window (after construction).
  virtual bool Create_Panel() = 0;
  // The selection changed: its map, or null for none.
  virtual void Set_Transform(const Affine_Transform_2D* map) = 0;
  // The selected map changed under a drag or an undo.
  virtual void Update_Transform(const Affine_Transform_2D& map) = 0;
  // Copies the name field into the name buffer.
  virtual void Read_Title() = 0;
  // The colour step chosen for the selected map.
  virtual int32_t Read_Color_Step() = 0;
  // Whether the panel holds typed values not yet applied.
  virtual bool Has_Changed(bool exact) = 0;
  // Applies the typed values (through Transform_Edit_Window::Apply_Dialog).
  virtual void Apply() = 0;
  // Takes the keyboard focus.
  virtual void Focus() = 0;
};

// Makes the panel: parent window, the editor, its manipulator, the panel's
// rectangle in the parent, the manipulator's name buffer (80 characters).
using Transform_Edit_Panel_Maker = std::function<std::unique_ptr<Transform_Edit_Panel>(
    TWindow* parent, Transform_Edit_Window& editor, Transform_Manipulator& tool, const TRect& area, char* title)>;

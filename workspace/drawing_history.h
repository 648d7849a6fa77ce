// One recorded state of the drawing: its picture with the piece list and
// game points, how it was made (the base picture, the composed maps from it,
// their depth and the colour cycle), what was applied to it next, and marks
// for undo, the game and pending edits. A record is moved, never shared: its
// holder owns the picture, pieces and points. The base is held by shared
// ownership, so a state whose base left the history still has it.
#pragma once

#include <cstdint>
#include <memory>

#include "model/color_transform.h"
#include "model/point_set_2d.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"
#include "model/virtual_drawing.h"

struct Drawing_History {
  Drawing_History() = default;
  Drawing_History(Drawing_History&&) = default;
  Drawing_History& operator=(Drawing_History&&) = default;

  // A copy that owns copies of the picture, pieces and points; a base that
  // was the record's own picture becomes the copy's own picture.
  Drawing_History Deep_Copy() const;
  // A record that takes this state's picture, pieces and points and copies
  // the rest, for a caller that goes on from the same state.
  Drawing_History Take_Drawing();
  bool Has_Live_Pieces() const { return pieces && pieces->Live_Count > 0; }
  // No picture, or one cleared and not drawn on since.
  bool Picture_Cleared() const { return !picture || picture->Blank; }
  // Drops picture, pieces and points.
  void Release();

  std::shared_ptr<Shape_Drawing> picture;
  std::unique_ptr<Virtual_Drawing> pieces;
  std::unique_ptr<Point_Set_2D> points;
  std::shared_ptr<Shape_Drawing> base;
  // The manipulator applied to this state to make the next one: the record's
  // own snapshot, whatever the palette does with its manipulator later.
  std::shared_ptr<const Transform_Set_2D> applied;
  int32_t applied_level = -1;
  Transform_Set_2D maps;
  uint32_t level = 0;
  Color_Transform cycle;
  TColor edit_color{No_Color};
  int32_t edit_index = -1;
  bool run_start = false;
  bool matched = false;
  bool pushed = false;

 private:
  // Everything but the picture, pieces, points and base.
  void Copy_Settings_To(Drawing_History& to) const;
};

#include "workspace/drawing_history.h"

Drawing_History Drawing_History::Deep_Copy() const {
  Drawing_History copy;
  if (picture) copy.picture = std::make_shared<Shape_Drawing>(*picture, false);
  if (pieces) copy.pieces = std::make_unique<Virtual_Drawing>(*pieces, false);
  if (points) copy.points = std::make_unique<Point_Set_2D>(*points);
  copy.base = base == picture ? copy.picture : base;
  Copy_Settings_To(copy);
  return copy;
}

Drawing_History Drawing_History::Take_Drawing() {
  Drawing_History taken;
  taken.picture = std::move(picture);
  taken.pieces = std::move(pieces);
  taken.points = std::move(points);
  taken.base = base;
  Copy_Settings_To(taken);
  return taken;
}

void Drawing_History::Copy_Settings_To(Drawing_History& to) const {
  to.applied = applied;
  to.applied_level = applied_level;
  to.maps = maps;
  to.level = level;
  to.cycle = cycle;
  to.edit_color = edit_color;
  to.edit_index = edit_index;
  to.run_start = run_start;
  to.matched = matched;
  to.pushed = pushed;
}

void Drawing_History::Release() {
  picture.reset();
  pieces.reset();
  points.reset();
}

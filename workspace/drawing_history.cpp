#include "workspace/drawing_history.h"

Drawing_History Drawing_History::Deep_Copy() const {
  Drawing_History copy;
  if (picture) copy.picture = std::make_shared<Shape_Drawing>(*picture, false);
  if (pieces) copy.pieces = std::make_unique<Virtual_Drawing>(*pieces, false);
  if (points) copy.points = std::make_unique<Point_Set_2D>(*points);
  copy.base = base == picture ? copy.picture : base;
  copy.applied = applied;
  copy.applied_level = applied_level;
  copy.maps = maps;
  copy.level = level;
  copy.cycle = cycle;
  copy.edit_color = edit_color;
  copy.edit_index = edit_index;
  copy.run_start = run_start;
  copy.matched = matched;
  copy.pushed = pushed;
  return copy;
}

void Drawing_History::Release() {
  picture.reset();
  pieces.reset();
  points.reset();
}

#include "workspace/iteration_step.h"

Iteration_Result Compute_Iteration(Iteration_Request request) {
  Iteration_Result out;
  Shape_Drawing* source = request.source.get();
  if (!source) return out;
  switch (request.road) {
    case Step_Road::Pieces:
      out.picture = std::move(request.source);
      out.picture->Unpack(false, nullptr);
      if (request.pieces && request.manipulator) {
        out.pieces = std::make_unique<Virtual_Drawing>(*request.pieces, *request.manipulator);
        if (out.pieces->Set_Aside_Count > 0) out.pieces->Draw_Set_Aside(*out.picture);
        if (out.pieces->Live_Count == 0) out.pieces.reset();
      }
      break;
    case Step_Road::Render:
      if (request.cycle.count == 0)
        out.picture = std::make_unique<Shape_Drawing>(*source, request.fitted);
      else
        out.picture = std::make_unique<Shape_Drawing>(*source, request.fitted, request.cycle, out.changed);
      break;
    case Step_Road::Recolor:
      out.picture = std::make_unique<Shape_Drawing>(*source, request.cycle, request.recolor_step, out.changed);
      break;
  }
  if (request.points && request.manipulator)
    out.points = std::make_unique<Point_Set_2D>(request.points->Image(*request.manipulator));
  return out;
}

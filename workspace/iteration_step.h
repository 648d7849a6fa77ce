// The pixel work of one iteration step, apart from the window: everything it
// reads is in the request, owned by it (the picture and pieces are the
// step's own copies, the manipulator an immutable snapshot), so it can run on
// the iteration thread while the window goes on with its own pictures. The
// same request gives the same pixels on any thread.
#pragma once

#include <cstdint>
#include <memory>

#include "model/color_transform.h"
#include "model/point_set_2d.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"
#include "model/virtual_drawing.h"

enum class Step_Road {
  // The next generation of the pieces, drawn over a copy of the picture.
  Pieces,
  // The source through every fitted map, recoloured by each map's colour
  // step when the cycle is not empty.
  Render,
  // The source recoloured along the cycle by one colour step.
  Recolor,
};

struct Iteration_Request {
  Step_Road road = Step_Road::Render;
  std::unique_ptr<Shape_Drawing> source;
  std::unique_ptr<Virtual_Drawing> pieces;
  std::shared_ptr<const Transform_Set_2D> manipulator;
  Transform_Set_2D fitted;
  Color_Transform cycle;
  int32_t recolor_step = 0;
  // The game points to carry through the manipulator, or none.
  std::unique_ptr<Point_Set_2D> points;
};

struct Iteration_Result {
  std::unique_ptr<Shape_Drawing> picture;
  std::unique_ptr<Virtual_Drawing> pieces;
  std::unique_ptr<Point_Set_2D> points;
  // A recolouring changed some pixel's colour.
  bool changed = false;
};

Iteration_Result Compute_Iteration(Iteration_Request request);

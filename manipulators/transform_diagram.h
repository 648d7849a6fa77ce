// The picture of a manipulator: its images as notched squares drawn into a
// copy of a diagram frame, clipped to the round outline. It keeps no
// reference to the manipulator.
#pragma once

#include "manipulators/diagram_frame.h"
#include "model/transform_set_2d.h"

class Transform_Diagram : public TBitmap {
 public:
  // color_steps: the current level shows colour steps (coloured fills and
  // numbered labels).
  Transform_Diagram(const TDC& dc, const Transform_Set_2D& manipulator, const Diagram_Frame& frame,
                    bool color_steps = false);
};

// Turns the drag of one handle on one image of the test square into a new
// affine map. The image is held as the map it had when the drag began, so
// every request is worked out afresh from that map and the whole
// displacement, never step by step.
#pragma once

#include <array>
#include <cstdint>

#include "model/affine_transform_2d.h"
#include "model/point_2d.h"

class Transform_Manipulator {
 public:
  // Ring positions 0-7 go once round the unit square from (0,0); 8 is its
  // centre.
  static constexpr int32_t Ring_Count = 9;
  static const std::array<Point_2D, Ring_Count> Unit_Ring;
  // The three points that mark the notch of the test square.
  static const std::array<Point_2D, 3> Unit_Notch;

  enum Class : int32_t { Corner = 0, Edge_Midpoint = 1, Centre = 2, No_Position = 4 };

  Transform_Manipulator() = default;

  // Starts from map: the ring and notch points, the axes and the pin data.
  void Set_Transform(const Affine_Transform_2D& map);
  // Recomputes the relation and the pin's direction, angle and distance
  // after Pin or Handle changed.
  void Update_Pins();
  // The handle's point is to be at (x, y) in unit coordinates; the result
  // goes to Current_Map, the one before it to Previous_Map.
  void Drag(float x, float y, bool quantize);
  // Turns the square through the symmetry chosen by where (x, y) lies round
  // its centre, leaving its place unchanged.
  void Flip_To_Octant(float x, float y);
  // The map that moves edge k (an edge midpoint) by (dx, dy), with the rest
  // of the square following the pin's rules; any other k leaves out alone.
  void Move_Edge(int32_t k, Affine_Transform_2D& out, float dx, float dy) const;

  static int32_t Pin_Relation(int32_t pin, int32_t handle);
  static int32_t Position_Class(int32_t position);

  std::array<Point_2D, Ring_Count> Ring_Points{};
  std::array<Point_2D, 3> Notch_Points{};
  int32_t Pin = -1;
  int32_t Handle = -1;
  int32_t Relation = 0;
  int32_t Handle_Code = 0;
  Affine_Transform_2D Start_Map;
  Affine_Transform_2D Previous_Map;
  Affine_Transform_2D Current_Map;
  Point_2D Axis_X{1.0f, 0.0f};
  Point_2D Axis_Y{0.0f, 1.0f};
  Point_2D Pin_Direction{};
  float Pin_Angle = 0.0f;
  float Pin_Distance = 0.0f;
  float Rotation_Angle = 0.0f;

 private:
  void Compute_Axes();
  void Move_Along_Axis(const Point_2D& axis, Point_2D d, Affine_Transform_2D& out) const;
  void Flip_Across_Axis(const Point_2D& axis, Point_2D d, Affine_Transform_2D& out) const;
  void Rotate_About_Pin(float x, float y, bool quantize, Affine_Transform_2D& out);
  void Scale_About_Pin(float x, float y, Affine_Transform_2D& out) const;
};

// Whether every coefficient of the map is a finite number.
bool Is_Finite_Map(const Affine_Transform_2D& map);

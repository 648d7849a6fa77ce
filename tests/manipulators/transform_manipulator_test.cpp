// Handle drags as maps: relations, each handle code against the map it must
// give, fixed points, quantisation, the octant flips and the fall-backs for
// collapsed and overflowing images.
#include "manipulators/transform_manipulator.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

namespace {

constexpr double Pi = 3.141592653589793;

Affine_Transform_2D Map(float a, float b, float c, float d, float e, float f, int32_t step = 0) {
  Affine_Transform_2D m(a, b, e, c, d, f);
  m.Color_Step = step;
  return m;
}

void Expect_Point(const Point_2D& p, float x, float y, float tolerance = 1e-5f) {
  EXPECT_NEAR(p.x, x, tolerance);
  EXPECT_NEAR(p.y, y, tolerance);
}

Point_2D Image(const Affine_Transform_2D& m, int position) {
  const Point_2D u = Transform_Manipulator::Unit_Ring[size_t(position)];
  return m.Map_Point(u.x, u.y);
}

// A manipulator on map with the pin, handle and code set.
Transform_Manipulator Tool(const Affine_Transform_2D& map, int pin, int handle, int code) {
  Transform_Manipulator tool;
  tool.Pin = pin;
  tool.Handle = handle;
  tool.Handle_Code = code;
  tool.Set_Transform(map);
  return tool;
}

TEST(Transform_Manipulator, Relations) {
  const std::tuple<int, int, int> cases[] = {
      {0, 2, 1}, {2, 0, 1}, {0, 7, 1}, {6, 0, 1}, {0, 3, 2}, {3, 0, 2}, {5, 0, 2}, {0, 4, 2},
      {8, 3, 3}, {4, 8, 3}, {-1, 3, 0}, {3, -1, 0}, {5, 5, 0}};
  for (auto [pin, handle, relation] : cases)
    EXPECT_EQ(Transform_Manipulator::Pin_Relation(pin, handle), relation) << pin << "," << handle;
}

// Drags of the unit square: where ring positions of the image land.
TEST(Transform_Manipulator, Drags_From_The_Unit_Square) {
  struct Landing {
    int position;
    float x, y;
  };
  const struct {
    const char* what;
    int pin, handle, code;
    std::vector<std::pair<float, float>> drags;  // the last one is checked
    std::vector<Landing> images;
  } cases[] = {
      // Without a pin the image moves by the pointer's displacement; a
      // horizontal or vertical move keeps only its part.
      {"free move", -1, 4, 2, {{1.125f, 0.75f}}, {{4, 1.125f, 0.75f}, {0, 0.125f, -0.25f}}},
      {"horizontal move", -1, 4, 3, {{1.125f, 0.75f}}, {{4, 1.125f, 1}, {0, 0.125f, 0}}},
      {"vertical move", -1, 4, 4, {{1.125f, 0.75f}}, {{4, 1, 0.75f}, {0, 0, -0.25f}}},
      // Midpoint 3 dragged by d: corners 2 and 4 move by d, 0 and 6 by -d.
      {"move about the centre", 8, 3, 2, {{1.25f, 0.625f}},
       {{2, 1.25f, 0.125f}, {4, 1.25f, 1.125f}, {0, -0.25f, -0.125f}, {6, -0.25f, 0.875f}}},
      {"a corner pin holds a corner handle", 0, 4, 2, {{2.0f, 2.0f}}, {{0, 0, 0}, {4, 1, 1}}},
      // The edge after the handle moves along x; the pin's edge stays.
      {"corner stretch along x", 0, 4, 5, {{1.5f, 3.0f}}, {{0, 0, 0}, {2, 1, 0}, {6, 0.5f, 1}}},
      // The top edge goes up only by the axis part of the pointer's move.
      {"midpoint stretch along y", 1, 5, 6, {{0.9f, 1.5f}}, {{6, 0, 1.5f}, {2, 1, 0}}},
      // Its edge moves along and the opposite edge the other way.
      {"corner stretch about a midpoint", 5, 6, 6, {{0.0f, 1.25f}}, {{6, 0, 1.25f}, {0, 0, 0.25f}, {2, 1, -0.25f}}},
      {"scale", 0, 4, 8, {{0.5f, 0.5f}}, {{0, 0, 0}, {2, 0.5f, 0}, {4, 0.5f, 0.5f}}},
      // Beyond the pin, on the side away from the handle: half a turn.
      {"scale through the pin", 0, 4, 8, {{0.5f, 0.5f}, {-0.5f, -0.5f}}, {{0, 0, 0}, {2, -0.5f, 0}, {4, -0.5f, -0.5f}}},
      // Across the y axis through pin 7: nearer the pin the edge follows,
      // further on its own side nothing, across the pin the mirror image.
      {"flip, nearer", 7, 3, 12, {{0.5f, 0.5f}}, {{2, 0.5f, 0}}},
      {"flip, further", 7, 3, 12, {{1.5f, 0.5f}}, {{2, 1, 0}, {4, 1, 1}}},
      {"flip, across", 7, 3, 12, {{0.5f, 0.5f}, {-1.5f, 0.5f}}, {{2, -1, 0}, {4, -1, 1}, {0, 0, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Transform_Manipulator tool = Tool(Affine_Transform_2D(), c.pin, c.handle, c.code);
    for (auto [x, y] : c.drags) tool.Drag(x, y, true);
    for (const Landing& l : c.images) Expect_Point(Image(tool.Current_Map, l.position), l.x, l.y);
  }
}

TEST(Transform_Manipulator, Rotates_About_The_Pin) {
  // Pin 0, handle 2 of the unit square: the pin direction is the x axis.
  auto turned = [](double degrees, bool quantise = false, const Affine_Transform_2D& start = Affine_Transform_2D()) {
    Transform_Manipulator tool = Tool(start, 0, 2, 7);
    const double t = degrees * Pi / 180.0;
    tool.Drag(float(std::cos(t)), float(std::sin(t)), quantise);
    return tool;
  };
  EXPECT_FLOAT_EQ(turned(30.2).Rotation_Angle, float(30.0 * Pi / 180.0));
  EXPECT_FLOAT_EQ(turned(30.3).Rotation_Angle, float(30.5 * Pi / 180.0));
  EXPECT_NEAR(turned(30.2).Current_Map.eM21, std::sin(30.2 * Pi / 180.0), 1e-6);
  // Quantised, the map lies on the half-degree and 0.005 grid.
  Transform_Manipulator tool = turned(30.2, true, Map(1, 0, 0, 1, 0, 0, 3));
  EXPECT_NEAR(tool.Current_Map.eM21, std::sin(30.0 * Pi / 180.0), 1e-6);
  EXPECT_NEAR(tool.Current_Map.eM11, std::cos(30.0 * Pi / 180.0), 1e-6);
  EXPECT_EQ(tool.Current_Map.Color_Step, 3);
  // Quantised angles go in half degrees, to the nearest.
  for (auto [degrees, step] : {std::pair{30.3, 30.5}, {30.7, 30.5}, {-30.3, -30.5}, {44.8, 45.0}, {0.2, 0.0}}) {
    const Transform_Manipulator half = turned(degrees, true);
    EXPECT_NEAR(half.Current_Map.eM21, std::sin(step * Pi / 180.0), 1e-6) << degrees;
    EXPECT_NEAR(half.Current_Map.eM11, std::cos(step * Pi / 180.0), 1e-6) << degrees;
  }
  // The pointer on the pin leaves the start map and the last angle.
  const float last = tool.Rotation_Angle;
  tool.Drag(0.0f, 0.0f, true);
  EXPECT_TRUE(tool.Current_Map.Equals(Map(1, 0, 0, 1, 0, 0)));
  EXPECT_EQ(tool.Rotation_Angle, last);
}

TEST(Transform_Manipulator, Every_Code_Keeps_The_Colour_Step_And_Stays_Finite) {
  const Affine_Transform_2D start = Map(0.5f, 0.1f, -0.2f, 0.4f, 0.2f, 0.3f, 5);
  for (int code = 0; code <= 14; ++code) {
    for (int handle : {3, 4, 8}) {
      Transform_Manipulator tool = Tool(start, handle == 8 ? 1 : 0, handle, code);
      tool.Drag(0.9f, -0.3f, true);
      EXPECT_EQ(tool.Current_Map.Color_Step, 5) << code;
      EXPECT_TRUE(Is_Finite_Map(tool.Current_Map)) << code;
      if (code == 0 || code == 1 || code == 9 || code == 10 || code >= 13) {
        EXPECT_TRUE(tool.Current_Map.Equals(start)) << code;
      }
    }
  }
}

TEST(Transform_Manipulator, Flip_To_Octant_Gives_The_Eight_Symmetries) {
  auto eight = [](const Affine_Transform_2D& start) {
    std::vector<Affine_Transform_2D> maps;
    Transform_Manipulator tool = Tool(start, -1, -1, 0);
    for (int sector = 0; sector < 8; ++sector) {
      const double t = (sector * 45.0 + 22.5) * Pi / 180.0;
      const Point_2D centre = tool.Ring_Points[8];
      tool.Flip_To_Octant(centre.x + float(0.3 * std::cos(t)), centre.y + float(0.3 * std::sin(t)));
      maps.push_back(tool.Current_Map);
      // The square stays where it is.
      Expect_Point(Image(tool.Current_Map, 8), centre.x, centre.y);
    }
    return maps;
  };
  const auto plain = eight(Affine_Transform_2D());
  std::set<std::tuple<float, float, float, float>> distinct;
  for (const auto& m : plain) distinct.insert({m.eM11, m.eM12, m.eM21, m.eM22});
  EXPECT_EQ(distinct.size(), 8u);
  // The sector of the notch (upper left, near the top) keeps the start map.
  EXPECT_TRUE(plain[2].Equals(Affine_Transform_2D()));
  // A mirrored or turned start takes the sectors its own way round, so that
  // the sector alone decides the orientation.
  for (const auto& start : {Map(-1, 0, 0, 1, 1, 0), Map(0, -1, 1, 0, 1, 0), Map(1, 0, 0, -1, 0, 1)}) {
    const auto other = eight(start);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(other[size_t(i)].Equals(plain[size_t(i)])) << i;
  }
}

TEST(Transform_Manipulator, Degenerate_Images) {
  // A collapsed x axis, a collapsed y axis, both, and coefficients near the
  // float limit still give unit axes at right angles.
  const Affine_Transform_2D maps[] = {Map(0, 0.5f, 0, 0.5f, 0, 0), Map(0.5f, 0, 0.5f, 0, 0, 0),
                                      Map(0, 0, 0, 0, 0.5f, 0.5f), Map(FLT_MAX, 0, 0, FLT_MAX, FLT_MAX, 0)};
  for (const auto& m : maps) {
    Transform_Manipulator tool = Tool(m, 0, 2, 7);
    EXPECT_FLOAT_EQ(std::hypot(tool.Axis_X.x, tool.Axis_X.y), 1.0f);
    EXPECT_FLOAT_EQ(std::hypot(tool.Axis_Y.x, tool.Axis_Y.y), 1.0f);
    EXPECT_NEAR(tool.Axis_X.x * tool.Axis_Y.x + tool.Axis_X.y * tool.Axis_Y.y, 0.0f, 1e-6f);
    EXPECT_NEAR(std::hypot(tool.Pin_Direction.x, tool.Pin_Direction.y), 1.0f, 1e-6f);
  }
  // Pin and handle on one point: the direction is at right angles to the
  // line towards the position two places on, and agrees with the angle.
  Transform_Manipulator tool = Tool(Map(0, 0, 0, 1, 0, 0), 0, 2, 8);
  EXPECT_EQ(tool.Pin_Distance, 0.0f);
  Expect_Point(tool.Pin_Direction, std::cos(tool.Pin_Angle), std::sin(tool.Pin_Angle));
  EXPECT_NEAR(tool.Pin_Direction.y, 0.0f, 1e-6f);
  tool.Drag(0.3f, 0.3f, true);  // no distance to scale by: the start map
  EXPECT_TRUE(tool.Current_Map.Equals(tool.Start_Map));
  // Move_Edge refuses a corner and the centre.
  for (int k : {0, 2, 8, -1}) {
    Affine_Transform_2D out = Map(2, 0, 0, 2, 0, 0);
    tool.Move_Edge(k, out, 0.1f, 0.1f);
    EXPECT_TRUE(out.Equals(Map(2, 0, 0, 2, 0, 0))) << k;
  }
}

}  // namespace

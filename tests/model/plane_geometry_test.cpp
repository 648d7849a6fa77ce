#include "model/plane_geometry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "model/affine_transform_3d.h"
#include "model/perspective_view_3d.h"

namespace {

const Point_2D Unit_Square[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

void Expect_Near(const Point_3D& p, float x, float y, float z) {
  EXPECT_THAT((std::array{p.x, p.y, p.z}), testing::Pointwise(testing::FloatNear(1e-5f), std::array{x, y, z}));
}
std::tuple<int32_t, int32_t, int32_t> Fields(const Projected_Point& p) { return {p.x, p.y, p.depth}; }

TEST(Plane_Geometry, Lines_And_Crossings) {
  const Line_2D vertical = Line_From_Points({2, 1}, {2, 5});
  EXPECT_EQ(std::pair(vertical.slope, vertical.offset), std::pair(Vertical_Mark, 2.0f));
  EXPECT_EQ(Intersect_Lines(vertical, {0.0f, 3.0f}), Point_2D(2, 3));
  // Parallel lines give the origin; crossing ones their crossing.
  EXPECT_EQ(std::pair(Intersect_Lines({1.0f, 0.0f}, {1.0f, 4.0f}), Intersect_Lines({1.0f, 0.0f}, {-1.0f, 4.0f})),
            std::pair(Point_2D(0, 0), Point_2D(2, 2)));
  EXPECT_EQ(Line_From_Point_Slope({3, 1}, Vertical_Mark).offset, 3.0f);
}

TEST(Plane_Geometry, Points_And_Circles_In_Polygons) {
  // Inside, and on the top edge; outside.
  EXPECT_TRUE(Point_In_Polygon(Unit_Square, 4, {0.5f, 0.5f}) && Point_In_Polygon(Unit_Square, 4, {0.5f, 1.0f}));
  EXPECT_FALSE(Point_In_Polygon(Unit_Square, 4, {1.5f, 0.5f}));
  const Point_2D diamond[4] = {{0.5f, 0}, {1, 0.5f}, {0.5f, 1}, {0, 0.5f}};
  EXPECT_TRUE(Point_In_Polygon(diamond, 4, {0.4f, 0.5f}));
  // A ray through the top vertex counts both of its edges.
  EXPECT_FALSE(Point_In_Polygon(diamond, 4, {0.5f, 0.2f}));
  // Across an edge, inside, across a corner; and clear of it.
  for (Circle_2D c : {Circle_2D{1.05f, 0.5f, 0.1f}, Circle_2D{0.5f, 0.5f, 0.1f}, Circle_2D{1.05f, 1.05f, 0.1f}})
    EXPECT_TRUE(Circle_Overlaps_Polygon(Unit_Square, 4, c)) << c.x << "," << c.y;
  EXPECT_FALSE(Circle_Overlaps_Polygon(Unit_Square, 4, {1.2f, 0.5f, 0.1f}));
}

TEST(Space_Maps, Direction_Turns_Onto_The_Third_Axis) {
  // The third axis and the direction are the two ends of the turn.
  Affine_Transform_3D turn(1, 2, 2, 2);
  Expect_Near(turn.Map_Point(0, 0, 3), 1, 2, 2);
  Affine_Transform_3D up(0, 5, 0, 2);  // straight up: h is 0
  EXPECT_NEAR(up.Map_Point(0, 0, 1).y, 1.0f, 1e-6);
  Affine_Transform_3D move(1, 2, 3, 0);
  EXPECT_EQ(move.Map_Point(1, 1, 1).z, 4.0f);
  // The turn is a rotation: the other two axes go where the direction's
  // frame puts them.
  Expect_Near(turn.Map_Point(0, 1, 0), -0.298142f, 0.745356f, -0.596285f);
  Expect_Near(turn.Map_Point(1, 0, 0), 0.894427f, 0, -0.447214f);
  EXPECT_EQ(Fields(Perspective_View_3D(0, 0, 10, 0, 0, 0, 1, 100, 100, 1).Project(0, 0, 0)), std::tuple(50, 50, 10));
}

// A view turned on both angles: every term of the projection counts.
TEST(Space_Maps, Projection_Of_A_Turned_View) {
  const Perspective_View_3D view(1, 2, 20, 30, 20, 0, 1, 200, 200, 10);
  const struct {
    float x, y, z;
    int32_t px, py, depth;
  } cases[] = {{1, 0, 0, 101, 79, 205}, {0, 1, 0, 105, 82, 192}, {0, 0, 1, 110, 70, 197}, {2, -3, 1, 107, 64, 230}};
  for (const auto& c : cases)
    EXPECT_EQ(Fields(view.Project(c.x, c.y, c.z)), std::tuple(c.px, c.py, c.depth)) << c.x << c.y << c.z;
}

}  // namespace

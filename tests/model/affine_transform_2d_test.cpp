#include "model/affine_transform_2d.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <tuple>

namespace {

void Expect_Coefficients(const Affine_Transform_2D& m, float a, float b, float c, float d, float e, float f) {
  EXPECT_THAT((std::array{m.eM11, m.eM12, m.eM21, m.eM22, m.eDx, m.eDy}),
              testing::Pointwise(testing::FloatNear(1e-6f), std::array{a, b, c, d, e, f}));
}

Affine_Transform_2D With_Step(Affine_Transform_2D m, int32_t step) {
  m.Color_Step = step;
  return m;
}

bool Is_Positive_Zero(float v) { return v == 0.0f && !std::signbit(v); }

}  // namespace

TEST(Affine_Transform_2D, ConstructorsPlaceCoefficients) {
  Expect_Coefficients(Affine_Transform_2D(), 1, 0, 0, 1, 0, 0);
  // Rows of the matrix: a, b, e then c, d, f.
  Expect_Coefficients(Affine_Transform_2D(1, 2, 3, 4, 5, 6), 1, 2, 4, 5, 3, 6);
  Expect_Coefficients(Affine_Transform_2D(3.0f, -4.0f), 1, 0, 0, 1, 3, -4);

  const Point_2D corners[3] = {{1, 2}, {4, 2}, {1, 7}};
  Affine_Transform_2D from_array(corners);
  Expect_Coefficients(from_array, 3, 0, 0, 5, 1, 2);
  EXPECT_TRUE(from_array.Equals(Affine_Transform_2D(corners[0], corners[1], corners[2])));
  EXPECT_EQ(from_array.Map_Point(1, 1), Point_2D(4, 7));

  // Scales and axis angles, in degrees and in radians.
  Expect_Coefficients(Affine_Transform_2D(2, 90, 5, 3, 0, 6, 0), 0, 0, 2, 3, 5, 6);
  Expect_Coefficients(Affine_Transform_2D(2, 0, 5, 3, static_cast<float>(M_PI / 2), 6, 1), 2, -3, 0, 0, 5, 6);

  // Rotations in degrees, radians and by cosine and sine; every constructor
  // starts with colour step 0.
  Affine_Transform_2D degrees(2, 30, 0);
  EXPECT_EQ(degrees.Color_Step, 0);
  Expect_Coefficients(degrees, 2 * std::cos(M_PI / 6), -1, 1, 2 * std::cos(M_PI / 6), 0, 0);
  EXPECT_TRUE(degrees.Equals(Affine_Transform_2D(2, static_cast<float>(M_PI / 6), 1)));
  Expect_Coefficients(Affine_Transform_2D(0.6f, 0.8f, 2), 0.6f, -0.8f, 0.8f, 0.6f, 0, 0);
  // An angle of exactly 0 is an exact scaling, in both angle units.
  for (int32_t mode : {0, 1})
    EXPECT_TRUE(Affine_Transform_2D(1.5f, 0.0f, mode).Equals(Affine_Transform_2D(1.5f, 0, 0, 0, 1.5f, 0))) << mode;
}

TEST(Affine_Transform_2D, MappingPointsVectorsAndIntegerPoints) {
  // A rectangle's map takes the unit square onto its pixels, y upward.
  Affine_Transform_2D placement(TRect(10, 20, 110, 120));
  EXPECT_EQ(std::pair(placement.Map_Int_Point(0, 0), placement.Map_Int_Point(1, 1)), std::pair(TPoint(10, 119), TPoint(109, 20)));
  Affine_Transform_2D m(2, 0, 10, 0, 3, 20);
  // A point, and a vector (no translation).
  EXPECT_EQ(std::pair(m.Map_Point(1, 1), m.Map_Point(1, 1, 0)), std::pair(Point_2D(12, 23), Point_2D(2, 3)));
  // The integer form clamps, then truncates toward zero.
  EXPECT_EQ(Affine_Transform_2D(40000.7f, -2.9f).Map_Int_Point(0, 0), TPoint(32700, -2));
  EXPECT_EQ(Affine_Transform_2D(std::nanf(""), 0, 0, 0, 1, 0).Map_Int_Point(1, 1), TPoint(-32700, 1));
}

TEST(Affine_Transform_2D, CompositionAppliesFirstThenSecond) {
  Affine_Transform_2D shift(1.0f, 0.0f);
  Affine_Transform_2D quarter_turn(1, 90, 0);
  for (auto [first, second, x, y] : {std::tuple{shift, quarter_turn, 0.0f, 1.0f}, std::tuple{quarter_turn, shift, 1.0f, 0.0f}}) {
    const Point_2D p = Compose_Transforms(first, second).Map_Point(0, 0);
    EXPECT_NEAR(p.x, x, 1e-6f);
    EXPECT_NEAR(p.y, y, 1e-6f);
  }

  // The member form replaces the map by the same product; composing with a
  // map of another kind changes nothing.
  Affine_Transform_2D m = shift;
  m.Compose(quarter_turn);
  m.Compose(Transform_2D());
  EXPECT_TRUE(m.Equals(Compose_Transforms(shift, quarter_turn)));

  Affine_Transform_2D general(1, 2, 3, 4, 5, 6), other(-1, 0.5f, 2, 3, -2, 1);
  Expect_Coefficients(Compose_Transforms(general, other), 1, 0.5f, -5, -4, 2, -2);
}

TEST(Affine_Transform_2D, CompositionSaturatesAndFlushes) {
  Affine_Transform_2D huge(1e30f, 0, 0, 0, -1e30f, 0), tiny(1e-20f, 0, 0, 0, 1e-20f, 0);
  EXPECT_TRUE(Compose_Transforms(huge, huge).Equals(Affine_Transform_2D(FLT_MAX, 0, 0, 0, FLT_MAX, 0)));
  EXPECT_EQ(Compose_Transforms(huge, Affine_Transform_2D(-1, 0, 0, 0, 1, 0)).eM11, -1e30f);
  EXPECT_EQ(Compose_Transforms(huge, Affine_Transform_2D(-1e30f, 0, 0, 0, 1, 0)).eM11, -FLT_MAX);
  EXPECT_EQ(Compose_Transforms(tiny, tiny).eM11, 0.0f);
}

TEST(Affine_Transform_2D, ColorStepsAddInvertAndCloneButDoNotCount) {
  EXPECT_EQ(Compose_Transforms(With_Step({}, 2), With_Step({}, -5)).Color_Step, -3);
  const Affine_Transform_2D four = With_Step(Affine_Transform_2D(2, 0, 1, 0, 4, 2), 4);
  EXPECT_EQ(Affine_Transform_2D::Inverse(four).Color_Step, -4);
  EXPECT_EQ(four.Clone()->Kind(), 0);
  EXPECT_EQ(static_cast<Affine_Transform_2D&>(*four.Clone()).Color_Step, 4);
  // Equals compares the coefficients only, and only with affine maps.
  Affine_Transform_2D a(1, 2, 3, 4, 5, 6);
  EXPECT_TRUE(a.Equals(With_Step(a, 9)));
  EXPECT_FALSE(a.Equals(Affine_Transform_2D(1, 2, 3, 4, 5, 6.0001f)) || a.Equals(Transform_2D()) || Transform_2D().Equals(a));
  EXPECT_TRUE(Transform_2D().Kind() == 1 && Transform_2D().Clone() == nullptr);
}

TEST(Affine_Transform_2D, InverseUndoesTheMap) {
  Affine_Transform_2D m(2, 0, 1, 0, 4, 2);
  Expect_Coefficients(Affine_Transform_2D::Inverse(m), 0.5f, 0, 0, 0.25f, -0.5f, -0.5f);
  Affine_Transform_2D turned(1, 2, 3, -4, 5, 6);
  const Point_2D p = Compose_Transforms(turned, Affine_Transform_2D::Inverse(turned)).Map_Point(0.3f, -0.7f);
  EXPECT_NEAR(p.x, 0.3f, 1e-5f);
  EXPECT_NEAR(p.y, -0.7f, 1e-5f);

  // A singular map inverts to the identity with colour step 0.
  Affine_Transform_2D inverse = Affine_Transform_2D::Inverse(With_Step(Affine_Transform_2D(1, 2, 5, 2, 4, 6), 7));
  Expect_Coefficients(inverse, 1, 0, 0, 1, 0, 0);
  EXPECT_EQ(inverse.Color_Step, 0);
}

TEST(Affine_Transform_2D, QuantizeRoundsHalvesDown) {
  // b = 0 takes the coefficient path: every coefficient rounded on its own.
  Affine_Transform_2D q = Affine_Transform_2D::Quantize(With_Step({0.75f, 0, 0.25f, 0, 1.3f, 0.2500001f}, -2), 0.5f, 0.5f, 0);
  Expect_Coefficients(q, 0.5f, 0, 0, 1.5f, 0.0f, 0.5f);
  EXPECT_EQ(q.Color_Step, -2);
  const Affine_Transform_2D fine(0.12344f, 0, -0.00004f, 0, 1.00006f, 3);
  Expect_Coefficients(Affine_Transform_2D::Quantize(fine, 0.0001f, 0.0001f, 0), 0.1234f, 0, 0, 1.0001f, 0, 3);
}

TEST(Affine_Transform_2D, QuantizeThroughAxisAngles) {
  // No zero coefficient: the angles are rounded to 0.0001 degree and the
  // scales and the translation to 0.0001, then the map is rebuilt.
  const Affine_Transform_2D turned(1.00003f, 30.00004f, 0.123456f, 0.99996f, 29.99997f, 0.654321f, 0);
  Affine_Transform_2D q = Affine_Transform_2D::Quantize(With_Step(turned, 3), 0.0001f, 0.0001f, 0);
  EXPECT_TRUE(q.Equals(Affine_Transform_2D(1, 30, 0.1235f, 1, 30, 0.6543f, 0)));
  EXPECT_EQ(q.Color_Step, 3);
  // Maps that should be equal become bit-for-bit equal.
  Affine_Transform_2D near(1, 30, 0.12346f, 1, 30, 0.65432f, 0);
  EXPECT_TRUE(q.Equals(Affine_Transform_2D::Quantize(near, 0.0001f, 0.0001f, 0)));
}

TEST(Affine_Transform_2D, QuantizeForDraggedHandles) {
  // Mode 2 always rounds through the angles, here to half degrees, and the
  // rebuilt near-zero coefficients become exact zeros.
  Affine_Transform_2D almost_quarter(1.002f, 90.2f, 0.3012f, 0.998f, 90.2f, 0.0021f, 0);
  Affine_Transform_2D q = Affine_Transform_2D::Quantize(almost_quarter, 0.005f, 0.5f, 2);
  // eDy: 0.0021 rounds to 0.0 on the 0.005 grid.
  EXPECT_TRUE(Is_Positive_Zero(q.eM11) && Is_Positive_Zero(q.eM22) && Is_Positive_Zero(q.eDy));
  Expect_Coefficients(q, 0, -1, 1, 0, 0.3f, 0);
  // The identity comes back exactly, with no negative zeros.
  Affine_Transform_2D identity = Affine_Transform_2D::Quantize(Affine_Transform_2D(), 0.005f, 0.5f, 2);
  EXPECT_EQ(identity.eM11, 1.0f);
  EXPECT_TRUE(Is_Positive_Zero(identity.eM12) && Is_Positive_Zero(identity.eM21));
  // A mirror keeps its orientation through the angle path.
  Affine_Transform_2D mirror(-1, 0, 0.5f, 0, 1, 0);
  Affine_Transform_2D mirrored = Affine_Transform_2D::Quantize(mirror, 0.005f, 0.5f, 2);
  EXPECT_TRUE(mirrored.Equals(mirror));
}

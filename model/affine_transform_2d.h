// The affine map of the plane: x' = a x + b y + e, y' = c x + d y + f, with a
// colour step that says how many places along a colour cycle the colours of
// the map's image move.
#pragma once

#include <cstdint>
#include <memory>

#include "model/point_2d.h"
#include "model/transform_2d.h"

// The six coefficients in storage order a, b, c, d, e, f. The names are the
// platform's transform record; the linear part is read transposed to the
// platform's own convention, and the record never goes to a drawing call.
struct XFORM {
  float eM11 = 1.0f;  // a
  float eM12 = 0.0f;  // b
  float eM21 = 0.0f;  // c
  float eM22 = 1.0f;  // d
  float eDx = 0.0f;   // e
  float eDy = 0.0f;   // f
};

class Affine_Transform_2D : public Transform_2D, public XFORM {
 public:
  int32_t Color_Step = 0;

  // The identity.
  Affine_Transform_2D();
  // The map taking (0,0) to points[0], (1,0) to points[1], (0,1) to points[2].
  explicit Affine_Transform_2D(const Point_2D* points);
  Affine_Transform_2D(const Point_2D& origin, const Point_2D& x_image, const Point_2D& y_image);
  // The unit square onto the rectangle's pixels, y growing upward: (0,0) on
  // the bottom-left pixel and (1,1) on the top-right one.
  explicit Affine_Transform_2D(const TRect& rect);
  // The two rows of the matrix.
  Affine_Transform_2D(float a, float b, float e, float c, float d, float f);
  // Scales and directions of the two axes, angles in degrees unless
  // radians is non-zero.
  Affine_Transform_2D(float sx, float x_angle, float e, float sy, float y_angle, float f,
                      int32_t radians);
  // A translation.
  Affine_Transform_2D(float e, float f);
  // A rotation by t scaled by s. Mode 0: t in degrees; 1: t in radians;
  // 2: s and t are the cosine and the sine themselves.
  Affine_Transform_2D(float s, float t, int32_t mode);
  explicit Affine_Transform_2D(For_Stream_Tag);

  Affine_Transform_2D(const Affine_Transform_2D&) = default;
  Affine_Transform_2D& operator=(const Affine_Transform_2D&) = default;
  ~Affine_Transform_2D() override = default;

  std::unique_ptr<Transform_2D> Clone() const override;
  Point_2D Map_Point(float x, float y, int32_t w = 1) const override;
  TPoint Map_Int_Point(int32_t x, int32_t y, int32_t w = 1) const override;
  // Only another affine map composes; anything else leaves this map as it is.
  void Compose(const Transform_2D& other) override;
  // All six coefficients exactly equal; the colour step is not compared.
  bool Equals(const Transform_2D& other) const override;
  int32_t Kind() const override;

  const char* Streamable_Name() const override { return "Affine_Transform_2D"; }

  class Streamer;

  // The inverse map with the colour step negated; a singular map (a
  // determinant of exactly 0 as a float) gives the identity with step 0.
  static Affine_Transform_2D Inverse(const Affine_Transform_2D& map);
  // The map rounded to a grid of linear_step for scales and translations and
  // angle_step degrees for axis directions, so that maps that should be equal
  // are bit-for-bit equal. Mode 2 always rounds through the axis angles.
  static Affine_Transform_2D Quantize(const Affine_Transform_2D& map, float linear_step,
                                      float angle_step, int32_t mode);
};

// Stored as a, b, c, d, e, f (4 IEEE bytes each), then the colour step as a
// word.
class Affine_Transform_2D::Streamer : public TNewStreamer {
 public:
  explicit Streamer(Affine_Transform_2D* map_) : TNewStreamer(map_), map(map_) {}
  TStreamableBase* Read(ipstream& is, uint32_t version) override;
  void Write(opstream& os) const override;
  uint32_t Class_Version() const override { return 1; }
  static std::unique_ptr<TStreamer> Build(TStreamableBase* object);

 private:
  Affine_Transform_2D* map;
};

ipstream& operator>>(ipstream& is, Affine_Transform_2D*& map);
ipstream& operator>>(ipstream& is, Affine_Transform_2D& map);
opstream& operator<<(opstream& os, const Affine_Transform_2D& map);
opstream& operator<<(opstream& os, const Affine_Transform_2D* map);

// The map that applies first, then second; the colour steps add. Each sum
// saturates at the largest float and values below the smallest normal float
// become 0.
Affine_Transform_2D Compose_Transforms(const Affine_Transform_2D& first,
                                       const Affine_Transform_2D& second);

#include "model/affine_transform_2d.h"

#include <bit>
#include <cfloat>
#include <cmath>

#include "model/float_equal.h"
#include "model/ipstream.h"
#include "model/opstream.h"

namespace {

constexpr double Degrees_To_Radians = 0.017453292519943295;
constexpr double One_Over_Pi = 0.31830988618379067154;

// A composed sum stored as a float: saturated at the largest float, and
// flushed to 0 below the smallest normal one.
float Saturate(double v) {
  if (v > 3.4028235e38) return FLT_MAX;
  if (v < -3.4028235e38) return -FLT_MAX;
  if (std::fabs(v) < 1.1754944e-38) return 0.0f;
  return static_cast<float>(v);
}

// The constant is a double on purpose: as a float 0.49999999 is 0.5, and
// exact halves would round up.
double Round_To_Step(double v, double step) {
  return std::floor(v / step + 0.49999999) * step;
}

float Round_To(double v, float step) { return static_cast<float>(Round_To_Step(v, step)); }

// The direction of (x, y) in degrees; 0 for the zero vector.
double Angle_In_Degrees(float y, float x) {
  if (y == 0.0f && x == 0.0f) return 0.0;
  return std::atan2(static_cast<double>(y), static_cast<double>(x)) * 180.0 * One_Over_Pi;
}

double Length(float u, float v) {
  return std::sqrt(static_cast<double>(u) * u + static_cast<double>(v) * v);
}

}  // namespace

Affine_Transform_2D::Affine_Transform_2D() = default;

Affine_Transform_2D::Affine_Transform_2D(const Point_2D* points)
    : Affine_Transform_2D(points[0], points[1], points[2]) {}

Affine_Transform_2D::Affine_Transform_2D(const Point_2D& origin, const Point_2D& x_image,
                                         const Point_2D& y_image) {
  eM11 = x_image.x - origin.x;
  eM12 = y_image.x - origin.x;
  eM21 = x_image.y - origin.y;
  eM22 = y_image.y - origin.y;
  eDx = origin.x;
  eDy = origin.y;
}

Affine_Transform_2D::Affine_Transform_2D(const TRect& rect) {
  eM11 = static_cast<float>(rect.right - rect.left - 1);
  eM12 = 0.0f;
  eM21 = 0.0f;
  eM22 = static_cast<float>(rect.top - rect.bottom + 1);
  eDx = static_cast<float>(rect.left);
  eDy = static_cast<float>(rect.bottom - 1);
}

Affine_Transform_2D::Affine_Transform_2D(float a, float b, float e, float c, float d, float f) {
  eM11 = a;
  eM12 = b;
  eM21 = c;
  eM22 = d;
  eDx = e;
  eDy = f;
}

Affine_Transform_2D::Affine_Transform_2D(float sx, float x_angle, float e, float sy,
                                         float y_angle, float f, int32_t radians) {
  double ax = x_angle;
  double ay = y_angle;
  if (radians == 0) {
    ax *= Degrees_To_Radians;
    ay *= Degrees_To_Radians;
  }
  eM11 = static_cast<float>(sx * std::cos(ax));
  eM12 = static_cast<float>(-sy * std::sin(ay));
  eM21 = static_cast<float>(sx * std::sin(ax));
  eM22 = static_cast<float>(sy * std::cos(ay));
  eDx = e;
  eDy = f;
}

Affine_Transform_2D::Affine_Transform_2D(float e, float f) {
  eDx = e;
  eDy = f;
}

Affine_Transform_2D::Affine_Transform_2D(float s, float t, int32_t mode) {
  double cosine = 1.0;
  double sine = 0.0;
  if (mode == 2) {
    cosine = s;
    sine = t;
    s = 1.0f;
  } else if (t != 0.0f) {
    const double angle = mode == 0 ? t * Degrees_To_Radians : static_cast<double>(t);
    cosine = std::cos(angle);
    sine = std::sin(angle);
  }
  eM11 = static_cast<float>(s * cosine);
  eM12 = static_cast<float>(-s * sine);
  eM21 = static_cast<float>(s * sine);
  eM22 = eM11;
  eDx = 0.0f;
  eDy = 0.0f;
}

Affine_Transform_2D::Affine_Transform_2D(For_Stream_Tag) {}

std::unique_ptr<Transform_2D> Affine_Transform_2D::Clone() const {
  return std::make_unique<Affine_Transform_2D>(*this);
}

Point_2D Affine_Transform_2D::Map_Point(float x, float y, int32_t w) const {
  const long double lx = x, ly = y, lw = w;
  return Point_2D(static_cast<float>(eM11 * lx + eM12 * ly + lw * eDx),
                  static_cast<float>(eM21 * lx + eM22 * ly + lw * eDy));
}

TPoint Affine_Transform_2D::Map_Int_Point(int32_t x, int32_t y, int32_t w) const {
  return Point_To_Int_Clamped(Map_Point(static_cast<float>(x), static_cast<float>(y), w));
}

void Affine_Transform_2D::Compose(const Transform_2D& other) {
  if (auto* affine = dynamic_cast<const Affine_Transform_2D*>(&other)) {
    *this = Compose_Transforms(*this, *affine);
  }
}

bool Affine_Transform_2D::Equals(const Transform_2D& other) const {
  auto* affine = dynamic_cast<const Affine_Transform_2D*>(&other);
  return affine != nullptr && eM11 == affine->eM11 && eM12 == affine->eM12 &&
         eM21 == affine->eM21 && eM22 == affine->eM22 && eDx == affine->eDx &&
         eDy == affine->eDy;
}

int32_t Affine_Transform_2D::Kind() const { return 0; }

Affine_Transform_2D Compose_Transforms(const Affine_Transform_2D& first,
                                       const Affine_Transform_2D& second) {
  using L = long double;
  const L a1 = first.eM11, b1 = first.eM12, c1 = first.eM21, d1 = first.eM22;
  const L e1 = first.eDx, f1 = first.eDy;
  const L a2 = second.eM11, b2 = second.eM12, c2 = second.eM21, d2 = second.eM22;
  const L e2 = second.eDx, f2 = second.eDy;
  Affine_Transform_2D result;
  result.eM11 = Saturate(static_cast<double>(a2 * a1 + b2 * c1));
  result.eM12 = Saturate(static_cast<double>(a2 * b1 + b2 * d1));
  result.eDx = Saturate(static_cast<double>(a2 * e1 + b2 * f1 + e2));
  result.eM21 = Saturate(static_cast<double>(c2 * a1 + d2 * c1));
  result.eM22 = Saturate(static_cast<double>(c2 * b1 + d2 * d1));
  result.eDy = Saturate(static_cast<double>(c2 * e1 + d2 * f1 + f2));
  // Wrapping addition: steps are small in practice, and stored steps are
  // arbitrary words.
  result.Color_Step = static_cast<int32_t>(static_cast<uint32_t>(first.Color_Step) +
                                           static_cast<uint32_t>(second.Color_Step));
  return result;
}

Affine_Transform_2D Affine_Transform_2D::Inverse(const Affine_Transform_2D& map) {
  const double a = map.eM11, b = map.eM12, c = map.eM21, d = map.eM22;
  const double e = map.eDx, f = map.eDy;
  const float det = static_cast<float>(a * d - b * c);
  Affine_Transform_2D result;
  if (det == 0.0f) return result;
  result.eM11 = static_cast<float>(d / det);
  result.eM12 = static_cast<float>(-b / det);
  result.eM21 = static_cast<float>(-c / det);
  result.eM22 = static_cast<float>(a / det);
  result.eDx = static_cast<float>((b * f - d * e) / det);
  result.eDy = static_cast<float>((c * e - a * f) / det);
  result.Color_Step = static_cast<int32_t>(0u - static_cast<uint32_t>(map.Color_Step));
  return result;
}

Affine_Transform_2D Affine_Transform_2D::Quantize(const Affine_Transform_2D& map,
                                                  float linear_step, float angle_step,
                                                  int32_t mode) {
  const float a = map.eM11, b = map.eM12, c = map.eM21, d = map.eM22;
  const bool angle_path = mode == 2 || (!Float_Equal(a, 0.0f) && !Float_Equal(b, 0.0f) &&
                                        !Float_Equal(c, 0.0f) && !Float_Equal(d, 0.0f));
  if (!angle_path) {
    Affine_Transform_2D result(Round_To(a, linear_step), Round_To(b, linear_step),
                               Round_To(map.eDx, linear_step), Round_To(c, linear_step),
                               Round_To(d, linear_step), Round_To(map.eDy, linear_step));
    result.Color_Step = map.Color_Step;
    return result;
  }
  const float f = Round_To(map.eDy, linear_step);
  const float e = Round_To(map.eDx, linear_step);
  const float y_angle = Round_To(Angle_In_Degrees(-b, d), angle_step);
  const float sy = Round_To(Length(d, b), linear_step);
  const float x_angle = Round_To(Angle_In_Degrees(c, a), angle_step);
  const float sx = Round_To(Length(c, a), linear_step);
  Affine_Transform_2D result(sx, x_angle, e, sy, y_angle, f, 0);
  for (float* coefficient : {&result.eM11, &result.eM12, &result.eM21, &result.eM22,
                             &result.eDx, &result.eDy}) {
    if (Float_Equal(*coefficient, 0.0f)) *coefficient = 0.0f;
  }
  result.Color_Step = map.Color_Step;
  return result;
}

namespace {

float Read_Float(ipstream& is) {
  uint8_t b[4];
  is.Read_Bytes(b, 4);
  return std::bit_cast<float>(static_cast<uint32_t>(b[0] | b[1] << 8 | b[2] << 16 |
                                                    static_cast<uint32_t>(b[3]) << 24));
}

void Write_Float(opstream& os, float v) {
  const uint32_t bits = std::bit_cast<uint32_t>(v);
  const uint8_t b[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                        static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
  os.Write_Bytes(b, 4);
}

}  // namespace

TStreamableBase* Affine_Transform_2D::Streamer::Read(ipstream& is, uint32_t) {
  // Read whole before the map changes, so a short stream leaves it as it was.
  float coefficients[6];
  for (float& c : coefficients) c = Read_Float(is);
  const auto step = static_cast<int32_t>(is.Read_Word());
  if (!is.Fail()) {
    map->eM11 = coefficients[0];
    map->eM12 = coefficients[1];
    map->eM21 = coefficients[2];
    map->eM22 = coefficients[3];
    map->eDx = coefficients[4];
    map->eDy = coefficients[5];
    map->Color_Step = step;
  }
  return map;
}

void Affine_Transform_2D::Streamer::Write(opstream& os) const {
  for (float c : {map->eM11, map->eM12, map->eM21, map->eM22, map->eDx, map->eDy}) {
    Write_Float(os, c);
  }
  os.Write_Word(static_cast<uint32_t>(map->Color_Step));
}

std::unique_ptr<TStreamer> Affine_Transform_2D::Streamer::Build(TStreamableBase* object) {
  if (object == nullptr) return std::make_unique<Streamer>(new Affine_Transform_2D(For_Stream));
  auto* map = dynamic_cast<Affine_Transform_2D*>(object);
  return map != nullptr ? std::make_unique<Streamer>(map) : nullptr;
}

ipstream& operator>>(ipstream& is, Affine_Transform_2D*& map) {
  map = Read_Typed_Pointer<Affine_Transform_2D>(is);
  return is;
}

ipstream& operator>>(ipstream& is, Affine_Transform_2D& map) {
  is.Read_Object(map);
  return is;
}

opstream& operator<<(opstream& os, const Affine_Transform_2D& map) {
  os.Write_Object(map);
  return os;
}

opstream& operator<<(opstream& os, const Affine_Transform_2D* map) {
  os.Write_Object_Pointer(map);
  return os;
}

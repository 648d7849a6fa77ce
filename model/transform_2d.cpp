#include "model/transform_2d.h"

std::unique_ptr<Transform_2D> Transform_2D::Clone() const { return nullptr; }

Point_2D Transform_2D::Map_Point(float x, float y, int32_t) const { return Point_2D(x, y); }

TPoint Transform_2D::Map_Int_Point(int32_t x, int32_t y, int32_t) const { return TPoint(x, y); }

void Transform_2D::Compose(const Transform_2D&) {}

bool Transform_2D::Equals(const Transform_2D&) const { return false; }

int32_t Transform_2D::Kind() const { return 1; }

#include "game/shape_target.h"

Shape_Target::Shape_Target(const Shape_Drawing&, const Shape*, const TRect&, const Centering_Transform&,
                           int32_t points, int32_t offset)
    : Points(points), Offset(offset) {}

void Shape_Target::Add_Step(const Transform_Set_2D&, int32_t, int32_t, bool) {}

bool Shape_Target::Matches(const Shape_Drawing&, const Shape*, const Point_Set_2D*) const { return false; }

void Shape_Target::Overlay_Hint(Shape_Drawing&, TColor) const {}

#include "workspace/centering_transform.h"

#include "model/transform_set_2d.h"

Centering_Transform::Centering_Transform(const Drawing_Area_Geometry& g) {
  const float w = float(g.inner_rel.Width()), h = float(g.inner_rel.Height());
  const float tx = float(g.area.left - g.inner.left) / w;
  const float ty = float(g.inner.bottom - g.area.bottom) / h;
  const float sx = float(g.area_rel.right - g.area_rel.left) / w;
  const float sy = float(g.area_rel.bottom - g.area_rel.top) / h;
  const Affine_Transform_2D scale(sx, 0.0f, 0.0f, 0.0f, sy, 0.0f);
  to_area = Compose_Transforms(scale, Affine_Transform_2D(tx, ty));
  const Affine_Transform_2D unscale(1.0f / sx, 0.0f, 0.0f, 0.0f, 1.0f / sy, 0.0f);
  to_unit = Compose_Transforms(Affine_Transform_2D(-tx, -ty), unscale);
}

Affine_Transform_2D Centering_Transform::Fit(const Affine_Transform_2D& map) const {
  return Compose_Transforms(Compose_Transforms(Compose_Transforms(Affine_Transform_2D(), to_unit), map), to_area);
}

void Centering_Transform::Fit(Transform_Set_2D& out, const Transform_Set_2D& in) const {
  out.Clear();
  for (int32_t i = 0; i < in.Count() && out.Count() < Transform_Set_2D::Max_Maps; ++i)
    if (const auto* map = dynamic_cast<const Affine_Transform_2D*>(in.Map(i)))
      out.Add_Map(std::make_unique<Affine_Transform_2D>(Fit(*map)));
}

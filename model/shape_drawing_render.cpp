// Rendering a picture through plane maps: one generation of an iteration.
#include <cstring>

#include "model/affine_transform_2d.h"
#include "model/color_transform.h"
#include "model/dib_allocator.h"
#include "model/float_equal.h"
#include "model/render_core.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"

namespace {

Map_Coefficients Coefficients_Of(const Affine_Transform_2D& m) {
  return {m.eM11, m.eM12, m.eM21, m.eM22, m.eDx, m.eDy};
}

bool Is_Zero(float v) { return Float_Equal(v, 0.0f); }

bool Is_Exact_Identity(const Affine_Transform_2D& m) {
  return m.eM11 == 1.0f && m.eM22 == 1.0f && m.eM12 == 0.0f && m.eM21 == 0.0f && m.eDx == 0.0f &&
         m.eDy == 0.0f;
}

}  // namespace

void Shape_Drawing::Render_Transformed(const Shape_Drawing& source, const Affine_Transform_2D& map) {
  // The image changes the pixels: a packed copy kept beside them would no
  // longer be the picture.
  Ensure_Pixels();
  Drop_Packed();
  std::unique_ptr<Ink_Map> source_ink;
  Render_Through(source, map, source_ink);
}

void Shape_Drawing::Render_Through(const Shape_Drawing& source, const Affine_Transform_2D& map,
                                   std::unique_ptr<Ink_Map>& source_ink) {
  if (!Bitmap || !source.Bitmap) return;
  const Pixel_Buffer destination = View(), from = source.View();
  const uint8_t b0 = source.Background_Index();
  Render_Forward(destination, from, b0, Coefficients_Of(map));

  // Gap filling, for maps that turn or stretch an axis. The stretch tests
  // are worked in double, as other intermediate values of the maps are.
  const float a = map.eM11, b = map.eM12, c = map.eM21, d = map.eM22;
  const bool turning = !Is_Zero(a) && !Is_Zero(b) && !Is_Zero(c) && !Is_Zero(d);
  if (!turning && !Axis_Stretched(a, c) && !Axis_Stretched(b, d)) return;
  Affine_Transform_2D backward;
  if (turning) {
    // Shrunk a little, so that the backward pass does not reach past the
    // forward image's edges.
    const float k = float(destination.width - 2) / float(destination.width);
    Affine_Transform_2D shrunk(map);
    shrunk.eM11 = a * k;
    shrunk.eM12 = b * k;
    shrunk.eM21 = c * k;
    shrunk.eM22 = d * k;
    backward = Affine_Transform_2D::Inverse(shrunk);
  } else {
    backward = Affine_Transform_2D::Inverse(map);
    if (!Axis_Stretched(backward.eM11, backward.eM21, true) && !Axis_Stretched(backward.eM12, backward.eM22, true)) return;
  }
  if (Is_Exact_Identity(backward)) return;
  if (!source_ink) source_ink = std::make_unique<Ink_Map>(from, b0);
  Render_Backward(destination, from, b0, Coefficients_Of(backward), source_ink.get());
}

void Shape_Drawing::Render_Set(const Shape_Drawing& source, const Transform_Set_2D& set) {
  Drop_Packed();
  Bitmap_Stale = false;
  Fill_Pixels(source.Background_Index());
  Background = source.Background;
  std::unique_ptr<Ink_Map> source_ink;
  for (int32_t i = 0; i < set.Count(); ++i)
    if (auto* map = dynamic_cast<const Affine_Transform_2D*>(set.Map(i))) Render_Through(source, *map, source_ink);
}

void Shape_Drawing::Render_Scaled(const Shape_Drawing& source, float a, float d) {
  Transform_Set_2D set;
  set.Add_Map(std::make_unique<Affine_Transform_2D>(a, 0.0f, 0.0f, 0.0f, d, 0.0f));
  Render_Set(source, set);
}

void Shape_Drawing::Recolor(const Shape_Drawing& source, const Color_Transform& cycle, int32_t step,
                            bool& changed) {
  if (!Bitmap || !source.Bitmap) return;
  // Pictures of one size only: a smaller one would be read or written past
  // its end.
  if (Bitmap->Width() != source.Bitmap->Width() || Bitmap->Height() != source.Bitmap->Height()) return;
  Drop_Packed();
  Bitmap_Stale = false;
  const auto table = cycle.Make_Index_Map(step, *Bitmap, source.Background);
  if (Map_Pixels(Bitmap->GetBits(), source.Bitmap->GetBits(), source.Buffer_Size(), table.data()))
    changed = true;
}

void Shape_Drawing::Render_Color_Groups(const Shape_Drawing& source, const Transform_Set_2D& set,
                                        const Color_Transform& cycle, bool& changed) {
  Drop_Packed();
  Bitmap_Stale = false;
  Fill_Pixels(source.Background_Index());
  Background = source.Background;
  Shape_Drawing recoloured(Rect.Width(), Rect.Height(), Palette, TColor(255, 255, 255));
  recoloured.Background = source.Background;
  changed = false;
  auto step_of = [&](int32_t i) {
    const auto* map = dynamic_cast<const Affine_Transform_2D*>(set.Map(i));
    return map ? map->Color_Step : 0;
  };
  // Runs of maps with one colour step share one recolouring.
  for (int32_t i = 0; i < set.Count();) {
    const int32_t step = step_of(i);
    recoloured.Recolor(source, cycle, step, changed);
    do {
      if (const auto* map = dynamic_cast<const Affine_Transform_2D*>(set.Map(i)))
        Render_Transformed(recoloured, *map);
      ++i;
    } while (i < set.Count() && step_of(i) == step);
  }
}

void Shape_Drawing::Make_Next_From(const Shape_Drawing& source) {
  Rect = source.Rect;
  Take_Palette_Of(source);
  Background = source.Background;
  Outline_Color = source.Outline_Color;
  Blank = source.Blank;
  Bitmap = The_DIB_Allocator->Get(source.Rect.Width(), source.Rect.Height());
  Owns_Bitmap = true;
}

Shape_Drawing::Shape_Drawing(Shape_Drawing& source, const Transform_Set_2D& set) {
  source.Ensure_Pixels();
  Make_Next_From(source);
  Render_Set(source, set);
  source.Iterated = true;
}

Shape_Drawing::Shape_Drawing(Shape_Drawing& source, const Transform_Set_2D& set, const Color_Transform& cycle,
                             bool& changed) {
  source.Ensure_Pixels();
  Make_Next_From(source);
  Render_Color_Groups(source, set, cycle, changed);
  source.Iterated = true;
}

Shape_Drawing::Shape_Drawing(Shape_Drawing& source, const Color_Transform& cycle, int32_t step, bool& changed) {
  source.Ensure_Pixels();
  Make_Next_From(source);
  changed = false;
  Recolor(source, cycle, step, changed);
  source.Iterated = true;
}

bool Shape_Drawing::Is_Similar(const Shape_Drawing& other, bool strict) const {
  if (!Bitmap || !other.Bitmap) return false;
  const uint8_t bt = Background_Index(), bo = other.Background_Index();
  if (Rect.Width() != other.Rect.Width() || Rect.Height() != other.Rect.Height() || bt != bo) return false;
  const int64_t n = int64_t(Rect.Width()) * Rect.Height();
  if (n > int64_t(Buffer_Size()) || n > int64_t(other.Buffer_Size())) return false;
  const Likeness_Count count = Count_Likeness(Bitmap->GetBits(), other.Bitmap->GetBits(), size_t(n), bt, n / 128);
  return strict ? count.differing * 128 <= count.inked : count.differing * 64 <= count.inked;
}

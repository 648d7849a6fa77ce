#include "platform/gdi/dc_painter.h"

#include "platform/gdi/dc.h"

TDC_Painter::TDC_Painter(const TDC& dc, const TSurface& surface)
    : dc_(dc), surface_(surface), value_mask_(TSpan_Filler::Value_Mask(surface.Bits_Per_Pixel())) {}

uint32_t TDC_Painter::Value(TColor colour) const { return dc_.Surface_Value(surface_, colour); }

uint8_t TDC_Painter::Mix_Table() const { return Rop2_As_Rop3(dc_.state_.rop2); }

TFill_Pattern TDC_Painter::Solid(TColor colour, uint8_t table) const {
  TFill_Pattern pattern;
  pattern.masks[0] = Fill_Masks(table, Value(colour), value_mask_);
  return pattern;
}

TPoint TDC_Painter::Brush_Origin() const {
  const TPoint o = dc_.binding_->Origin();
  return {dc_.state_.brush_origin.x + o.x, dc_.state_.brush_origin.y + o.y};
}

void TDC_Painter::Brush_Values(const TBrush::TData& brush, uint32_t values[64], bool skip[64]) const {
  const TDC::TState& s = dc_.state_;
  const uint32_t fore = Value(brush.color);
  const uint32_t text = Value(s.text_color), back = Value(s.bk_color);
  for (int i = 0; i < 64; ++i) {
    skip[i] = false;
    switch (brush.style) {
      case BS_HATCHED:
        if (TBrush::Hatch_Bit(brush.hatch, i % 8, i / 8)) values[i] = fore;
        else if (s.bk_mode == OPAQUE) values[i] = back;
        else skip[i] = true, values[i] = 0;
        break;
      case BS_PATTERN:
        values[i] = brush.monochrome ? (brush.pattern[i] ? back : text)
                                     : Value(TColor::From_Xrgb(brush.pattern[i]));
        break;
      default: values[i] = fore;
    }
  }
}

TFill_Pattern TDC_Painter::Brush(const TBrush::TData& brush, uint8_t table) const {
  TFill_Pattern pattern;
  if (brush.style == BS_SOLID || brush.style == BS_NULL) {
    pattern.masks[0] = Fill_Masks(table, Value(brush.color), value_mask_);
    return pattern;
  }
  uint32_t values[64];
  bool skip[64];
  Brush_Values(brush, values, skip);
  pattern.solid = false;
  const TPoint origin = Brush_Origin();
  pattern.origin_x = origin.x;
  pattern.origin_y = origin.y;
  for (int i = 0; i < 64; ++i)
    pattern.masks[i] = skip[i] ? TFill_Masks{value_mask_, 0} : Fill_Masks(table, values[i], value_mask_);
  return pattern;
}

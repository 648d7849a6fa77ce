#include "platform/gdi/pen.h"

namespace {

int Valid_Style(int style) {
  style &= PS_STYLE_MASK;
  return style <= PS_INSIDEFRAME || style == PS_ALTERNATE ? style : PS_SOLID;
}

}  // namespace

TPen::TPen(TColor color, int width, int style) {
  auto data = std::make_shared<TData>();
  data->style = Valid_Style(style);
  data->width = width < 0 ? 0 : width;
  data->color = color;
  data->geometric = width > 1;
  // Wide pens draw solid: dashes belong to cosmetic pens.
  if (data->geometric && data->style != PS_NULL && data->style != PS_INSIDEFRAME) data->style = PS_SOLID;
  data_ = std::move(data);
}

TPen::TPen(int style, int width, const TLog_Brush& brush) {
  auto data = std::make_shared<TData>();
  data->geometric = (style & PS_GEOMETRIC) != 0;
  data->style = brush.lbStyle == BS_NULL ? PS_NULL : Valid_Style(style);
  data->width = data->geometric ? (width < 1 ? 1 : width) : 1;
  data->color = brush.lbColor;
  if (data->geometric && data->style != PS_NULL && data->style != PS_INSIDEFRAME) data->style = PS_SOLID;
  data_ = std::move(data);
}

TPen TPen::Stock(int index) {
  static const TPen white(TColor::White), black(TColor::Black), null(TColor::Black, 1, PS_NULL);
  switch (index) {
    case WHITE_PEN: return white;
    case NULL_PEN: return null;
    default: return black;
  }
}

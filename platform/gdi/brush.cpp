#include "platform/gdi/brush.h"

TBrush::TBrush(TColor color) {
  auto data = std::make_shared<TData>();
  data->color = color;
  data_ = std::move(data);
}

TBrush::TBrush(TColor color, int hatch_style) {
  auto data = std::make_shared<TData>();
  data->style = BS_HATCHED;
  data->color = color;
  data->hatch = hatch_style >= HS_HORIZONTAL && hatch_style <= HS_DIAGCROSS ? hatch_style : HS_HORIZONTAL;
  data_ = std::move(data);
}

TBrush::TBrush(const TBitmap& pattern) { Take_Pattern(*pattern.Surface(), pattern.BitsPixel() == 1); }

TBrush::TBrush(const TDib& pattern) { Take_Pattern(*pattern.Surface(), false); }

void TBrush::Take_Pattern(const TSurface& surface, bool monochrome) {
  auto data = std::make_shared<TData>();
  data->style = BS_PATTERN;
  data->monochrome = monochrome;
  if (surface.Width() > 0 && surface.Height() > 0) {
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const int sx = x % surface.Width(), sy = y % surface.Height();
        data->pattern[y * 8 + x] = data->monochrome ? surface.Pixel(sx, sy) : surface.Pixel_Xrgb(sx, sy);
      }
  }
  data_ = std::move(data);
}

TBrush TBrush::Stock(int index) {
  static const TBrush white(TColor::White), ltgray(TColor(192, 192, 192)), gray(TColor(128, 128, 128)),
      dkgray(TColor(64, 64, 64)), black(TColor::Black), null([] {
        auto data = std::make_shared<TData>();
        data->style = BS_NULL;
        return TBrush(std::shared_ptr<const TData>(std::move(data)));
      }());
  switch (index) {
    case WHITE_BRUSH: return white;
    case LTGRAY_BRUSH: return ltgray;
    case GRAY_BRUSH: return gray;
    case DKGRAY_BRUSH: return dkgray;
    case BLACK_BRUSH: return black;
    default: return null;
  }
}

bool TBrush::Hatch_Bit(int hatch_style, int x, int y) {
  switch (hatch_style) {
    case HS_HORIZONTAL: return y == 4;
    case HS_VERTICAL: return x == 4;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 4 || y == 4;
    default: return x == y || x + y == 7;
  }
}

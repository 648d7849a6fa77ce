// Random sequences of device-context calls on small surfaces of every
// depth: no call may crash, hang or write outside a surface, whatever the
// coordinates, sizes, modes and raster operations.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/memory_dc.h"

namespace {

struct TReader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool More() const { return at < size; }
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  // Mostly small coordinates, now and then huge ones.
  int Coordinate() {
    const uint8_t kind = Byte();
    const int16_t v = int16_t(Byte() | Byte() << 8);
    if (kind < 200) return v % 80 - 20;
    if (kind < 250) return v;
    return kind & 1 ? INT32_MAX - (v & 0xFF) : INT32_MIN + (v & 0xFF);
  }
  TPoint Point() { return {Coordinate(), Coordinate()}; }
  TRect Rect() { return {Coordinate(), Coordinate(), Coordinate(), Coordinate()}; }
  // Regions hold every row they cover: keep theirs to a sane size.
  TRect Small_Rect() { return {Byte() % 90 - 30, Byte() % 90 - 30, Byte() % 90 - 30, Byte() % 90 - 30}; }
  uint32_t Colour() {
    const uint8_t form = Byte();
    const uint32_t rgb = uint32_t(Byte()) | uint32_t(Byte()) << 8 | uint32_t(Byte()) << 16;
    return form < 128 ? rgb : form < 200 ? (0x01000000u | Byte()) : (uint32_t(form) << 24 | rgb);
  }
};

void Step(TReader& in, TDC& dc, TDC& other) {
  TPoint pts[8];
  switch (in.Byte() % 30) {
    case 0: dc.SelectObject(TPen(in.Colour(), in.Byte() % 12, in.Byte() % 9)); break;
    case 1: dc.SelectObject(TBrush(in.Colour())); break;
    case 2: dc.SelectObject(TBrush(in.Colour(), in.Byte() % 6)); break;
    case 3: dc.SelectStockObject(in.Byte() % 18); break;
    case 4: dc.SetROP2(in.Byte() % 18); break;
    case 5: dc.SetBkMode(in.Byte() % 3); dc.SetBkColor(in.Colour()); dc.SetTextColor(in.Colour()); break;
    case 6:
      dc.SetMapMode(in.Byte() & 1 ? MM_ANISOTROPIC : MM_TEXT);
      dc.SetWindowExt(TSize(in.Coordinate(), in.Coordinate()));
      dc.SetViewportExt(TSize(in.Coordinate(), in.Coordinate()));
      dc.SetViewportOrg(in.Point());
      dc.SetWindowOrg(in.Point());
      break;
    case 7: dc.IntersectClipRect(in.Rect()); break;
    case 8: dc.ExcludeClipRect(in.Rect()); break;
    case 9: {
      const TRegion r = TRegion::Ellipse(in.Small_Rect());
      dc.SelectClipRgn(in.Byte() & 1 ? &r : nullptr);
      break;
    }
    case 10: dc.SaveDC(); break;
    case 11: dc.RestoreDC(int(int8_t(in.Byte()))); break;
    case 12: dc.MoveTo(in.Point()); dc.LineTo(in.Point()); break;
    case 13: {
      const int n = in.Byte() % 8;
      for (int i = 0; i < n; ++i) pts[i] = in.Point();
      if (in.Byte() & 1) dc.Polygon(pts, n);
      else dc.Polyline(pts, n);
      break;
    }
    case 14: dc.Rectangle(in.Rect()); break;
    case 15: dc.Ellipse(in.Rect()); break;
    case 16: dc.RoundRect(in.Rect(), in.Point()); break;
    case 17: dc.Arc(in.Rect(), in.Point(), in.Point()); break;
    case 18: dc.Chord(in.Rect(), in.Point(), in.Point()); break;
    case 19: dc.Pie(in.Rect(), in.Point(), in.Point()); break;
    case 20: for (int i = 0; i < 7; ++i) pts[i] = in.Point(); dc.PolyBezier(pts, 7); break;
    case 21: dc.SetPixel(in.Point(), in.Colour()); dc.GetPixel(in.Point()); break;
    case 22: dc.PatBlt(in.Rect(), uint32_t(in.Byte()) << 16); break;
    case 23: dc.BitBlt(in.Rect(), other, in.Point(), uint32_t(in.Byte()) << 16); break;
    case 24:
      dc.SetStretchBltMode(1 + in.Byte() % 4);
      dc.StretchBlt(in.Rect(), other, in.Rect(), uint32_t(in.Byte()) << 16);
      break;
    case 25: dc.ExtFloodFill(in.Point(), in.Colour(), in.Byte() & 1); break;
    case 26: dc.FillRgn(TRegion(in.Small_Rect()), TBrush(in.Colour(), in.Byte() % 6)); break;
    case 27: dc.FrameRgn(TRegion::Ellipse(in.Small_Rect()), TBrush(in.Colour()), TSize(in.Byte() % 4, in.Byte() % 4)); break;
    case 28: dc.DrawFocusRect(in.Rect()); dc.InvertRect(in.Rect()); dc.FrameRect(in.Rect(), TBrush(in.Colour())); break;
    default: {
      dc.SelectObject(TFont("Arial", in.Coordinate() % 40));
      dc.SetTextAlign(in.Byte());
      TRect r = in.Rect();
      dc.DrawText("Fuzz me & wrap", -1, r, in.Byte() | uint32_t(in.Byte()) << 8);
      dc.ExtTextOut(in.Point(), in.Byte(), &r, "ab");
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TReader in{data, size};
  TDib dib(37, 23);
  for (int i = 0; i < 256; ++i) dib.GetColors()[i] = uint32_t(i) * 0x010101u;
  TBitmap rgb(29, 31), mono(17, 9, 1, 1, nullptr);
  TDibDC a(dib);
  TMemoryDC b(rgb), c(mono);
  TDC* dcs[3] = {&a, &b, &c};
  for (int steps = 0; in.More() && steps < 200; ++steps) {
    const uint8_t pick = in.Byte();
    Step(in, *dcs[pick % 3], *dcs[(pick / 3) % 3]);
  }
  return 0;
}

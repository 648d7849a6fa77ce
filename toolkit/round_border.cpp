#include "toolkit/round_border.h"

#include <cmath>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_bitmaps.h"

Round_Border* The_Round_Border = nullptr;

namespace {

TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

Round_Border::Direction At(double a) { return {float(std::cos(a)), float(std::sin(a))}; }
Round_Border::Direction Opposite(Round_Border::Direction d) { return {-d.x, -d.y}; }

// One two-segment polyline of a bevel in a one-pixel pen.
void Corner_Line(TDC& dc, int colour, TPoint from, TPoint corner, TPoint to) {
  dc.SelectObject(TPen(Scheme(colour), 1, PS_SOLID));
  const TPoint points[3] = {from, corner, to};
  dc.Polyline(points, 3);
}

}  // namespace

Round_Border::Round_Border() {
  The_Round_Border = this;
  const double pi = 3.14159265358979323846;
  const double ratio = 8.0;
  const int half = N / 2;
  std::array<double, N / 2 + 1> steps{};
  if (ratio <= 1.01) {
    steps.fill(2 * pi / N);
  } else {
    // Geometric steps: wedges narrowest at 135 and 315 degrees, widest
    // across the middle of the light and the dark side.
    const double q = std::pow(ratio, 1.0 / half);
    steps[0] = (q - 1) * pi / ((ratio - 1) * (q + 1));
    for (int k = 1; k <= half; ++k) steps[size_t(k)] = q * steps[size_t(k - 1)];
  }
  const double degree = pi / 180.0;
  double a = 3 * pi / 4 - steps[0] / 2;
  int k = 0, direction = 1;
  for (int i = 0; i < N - 1; ++i) {
    D[size_t(i)] = At(a);
    Dm[size_t(i)] = At(a - degree);
    Dp[size_t(i)] = At(a + degree);
    D[size_t(N - 1 + i)] = Opposite(D[size_t(i)]);
    Dm[size_t(N - 1 + i)] = Opposite(Dm[size_t(i)]);
    Dp[size_t(N - 1 + i)] = Opposite(Dp[size_t(i)]);
    a += steps[size_t(k)];
    k += direction;
    if (k == 0 || k == half) direction = -direction;
  }
  const auto screen = GUI_Bitmaps::Screen_Reference();
  for (int j = 0; j < N - 1; ++j) Patterns[size_t(j)] = GUI_Bitmaps::Make_Checker_Bitmap(*screen, Scheme(38 + j), Scheme(39 + j));
}

Round_Border::~Round_Border() {
  if (The_Round_Border == this) The_Round_Border = nullptr;
}

std::unique_ptr<TBitmap> Round_Border::Render_Ring(int w, int h, int variant) const {
  const auto screen = GUI_Bitmaps::Screen_Reference();
  auto ring = std::make_unique<TBitmap>(*screen, w, h);
  TMemoryDC dc(static_cast<const TDC&>(*screen));
  dc.SelectObject(*ring);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectStockObject(NULL_PEN);
  const int cx = w / 2, cy = h / 2, rx = w / 2, ry = h / 2;
  // Radial end points lie well outside the ellipse so that their rounding
  // cannot move a wedge boundary.
  const int k = rx >= 200 && ry >= 200 ? 1 : std::max(ry > 0 ? 200 / ry : 200, rx > 0 ? 200 / rx : 200) + 1;
  const double big_x = double(k) * rx, big_y = double(k) * ry;
  auto radial = [&](Direction d) { return TPoint(cx + int(big_x * d.x), cy + int(-big_y * d.y)); };
  // The wedges reach past the picture's edges, so that every pixel of the
  // band cut from it is painted whatever way the ellipses round.
  const TRect box(-2, -2, w + 2, h + 2);
  int c1 = variant == 0 ? 49 : 38, c2 = variant == 0 ? 38 : 49;
  const int colour_step = variant == 0 ? 1 : -1;
  for (int i = 0; i < N - 1; ++i) {
    dc.SelectObject(TBrush(Scheme(c1)));
    dc.Pie(box, radial(D[size_t(i)]), radial(D[size_t(i + 1)]));
    dc.SelectObject(TBrush(Scheme(c2)));
    dc.Pie(box, radial(D[size_t(N - 1 + i)]), radial(D[size_t((N + i) % Direction_Count)]));
    c1 -= colour_step;
    c2 += colour_step;
  }
  int p1 = variant == 0 ? N - 2 : 0, p2 = variant == 0 ? 0 : N - 2;
  for (int i = 1; i <= N - 1; ++i) {
    const size_t a = size_t(i % Direction_Count), b = size_t((N - 1 + i) % Direction_Count);
    dc.SelectObject(TBrush(*Patterns[size_t(p1)]));
    dc.Pie(box, radial(Dm[a]), radial(Dp[a]));
    dc.SelectObject(TBrush(*Patterns[size_t(p2)]));
    dc.Pie(box, radial(Dm[b]), radial(Dp[b]));
    p1 -= colour_step;
    p2 += colour_step;
  }
  return ring;
}

void Round_Border::Blit_Clipped(TDC& dc, const TRect& rect, int band, int variant) {
  if (variant < 0 || variant > 1 || rect.IsEmpty()) return;
  std::unique_ptr<TBitmap>& ring = Ring[size_t(variant)];
  const int w = rect.Width() + 2, h = rect.Height() + 2;
  if (ring && (ring->Width() < w || ring->Height() < h)) ring.reset();
  if (!ring) {
    ring = Render_Ring(w, h, variant);
    ++Rings_Rendered;
  }
  // The band between the ellipse inscribed in the rectangle and the one
  // inscribed in the rectangle shrunk by the band width, in device pixels.
  TPoint corners[2] = {rect.TopLeft(), rect.BottomRight()};
  dc.LPtoDP(corners, 2);
  const TRect device = TRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y).Normalized();
  TRegion clip = TRegion::Ellipse(device);
  const TRect inner(device.left + band, device.top + band, device.right - band, device.bottom - band);
  if (!inner.IsEmpty()) clip -= TRegion::Ellipse(inner);  // a band wider than half the frame fills it
  TRegion previous;
  const bool had_clip = dc.GetClipRgn(previous);
  if (had_clip) clip &= previous;
  dc.SelectClipRgn(clip);
  TMemoryDC source(static_cast<const TDC&>(dc));
  source.SelectObject(*ring);
  dc.BitBlt(rect, source, TPoint(ring->Width() / 2 - rect.Width() / 2, ring->Height() / 2 - rect.Height() / 2), SRCCOPY);
  if (had_clip) {
    dc.SelectClipRgn(previous);
  } else {
    dc.SelectClipRgn(nullptr);
  }
}

void Round_Border::Draw_Bevel(TDC& dc, const TRect& r) {
  // The pens go with the bevel; the context keeps its own.
  const int level = dc.SaveDC();
  const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
  Corner_Line(dc, 0, TPoint(l, b), TPoint(l, t), TPoint(rt, t));
  Corner_Line(dc, 49, TPoint(l + 1, b), TPoint(l + 1, t + 1), TPoint(rt, t + 1));
  Corner_Line(dc, 38, TPoint(l + 1, b - 2), TPoint(rt - 2, b - 2), TPoint(rt - 2, t + 1));
  Corner_Line(dc, 3, TPoint(l + 1, b - 1), TPoint(rt - 1, b - 1), TPoint(rt - 1, t + 1));
  dc.RestoreDC(level);
}

void Round_Border::Draw_Bevel_Inverse(TDC& dc, const TRect& r) {
  // The pens go with the bevel; the context keeps its own.
  const int level = dc.SaveDC();
  const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
  Corner_Line(dc, 3, TPoint(l, b - 1), TPoint(l, t), TPoint(rt, t));
  Corner_Line(dc, 38, TPoint(l + 1, b - 1), TPoint(l + 1, t + 1), TPoint(rt, t + 1));
  Corner_Line(dc, 0, TPoint(l + 1, b - 2), TPoint(rt - 2, b - 2), TPoint(rt - 2, t + 1));
  Corner_Line(dc, 49, TPoint(l, b - 1), TPoint(rt - 1, b - 1), TPoint(rt - 1, t + 1));
  dc.RestoreDC(level);
}

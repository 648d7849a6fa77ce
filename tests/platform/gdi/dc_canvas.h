// Test helper: a 32-bit bitmap in a memory context, filled white, with its
// pixels read back as a picture of '#' (any colour but the background) and
// '.' for readable failures.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/memory_dc.h"

// The stored values (colour indices on a table surface) at the points.
inline std::vector<uint32_t> Pixels_At(const TSurface& surface, std::initializer_list<TPoint> points) {
  std::vector<uint32_t> values;
  for (TPoint p : points) values.push_back(surface.Pixel(p.x, p.y));
  return values;
}

struct TCanvas {
  TBitmap bitmap;
  TMemoryDC dc;

  TCanvas(int width, int height, TColor background = TColor::White) : bitmap(width, height), dc(bitmap) {
    dc.FillRect(TRect(0, 0, width, height), TBrush(background));
  }
  uint32_t At(int x, int y) const { return bitmap.Surface()->Pixel(x, y); }
  // The pixels at the points, in order, to compare several in one check.
  std::vector<uint32_t> At(std::initializer_list<TPoint> points) const { return Pixels_At(*bitmap.Surface(), points); }
  // Every pixel, row by row.
  std::vector<uint32_t> Pixels() const {
    std::vector<uint32_t> all;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) all.push_back(At(x, y));
    return all;
  }
  std::string Picture(uint32_t background = 0xFFFFFF) const {
    std::string s;
    for (int y = 0; y < bitmap.Height(); ++y) {
      for (int x = 0; x < bitmap.Width(); ++x) s += At(x, y) == background ? '.' : '#';
      s += '\n';
    }
    return s;
  }
  int Count(uint32_t value) const {
    const std::vector<uint32_t> all = Pixels();
    return int(std::count(all.begin(), all.end(), value));
  }
};

using TPixels = std::vector<uint32_t>;

// Rows of a picture joined by '\n' (each row ends with one).
inline std::string Rows(std::initializer_list<const char*> rows) {
  std::string s;
  for (const char* r : rows) (s += r) += '\n';
  return s;
}

// The pixel work of rendering a picture through a plane map: step tables,
// the forward splat, the backward gap fill, recolouring and the likeness
// count, on raw 8-bit bottom-up pixel buffers. Shape_Drawing decides which
// maps and pictures go through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A view of an 8-bit picture's pixels: width and height in pixels, stride
// bytes per row, the bottom row first.
struct Pixel_Buffer {
  uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
};

// The six coefficients of a plane map: x' = a x + b y + e, y' = c x + d y + f.
struct Map_Coefficients {
  float a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// The step tables of n steps with coefficient p for x and q for y: x holds
// the x-increments, y_steps the y-increments and offsets x + y * row_length,
// each increment held at -128..127 with the remainder caught up later.
struct Step_Table {
  std::vector<int8_t> x;
  std::vector<int8_t> y_steps;
  std::vector<int32_t> y;  // y-increments times the row length
  void Build(int32_t n, float p, float q, int32_t row_length);
};

// Paints the source's pixels that are not background index b0 through the
// map into destination, translation in units of the source's sides. The
// writes are tested only when some position could leave the destination.
void Render_Forward(const Pixel_Buffer& destination, const Pixel_Buffer& source, uint8_t b0,
                    const Map_Coefficients& map);

// Which 8 x 8 blocks of a picture hold pixels other than background b0,
// summed so that any box is asked about at once.
class Ink_Map {
 public:
  Ink_Map(const Pixel_Buffer& picture, uint8_t b0);
  // Whether the box with corners (x0, y0) and (x1, y1), inside the picture,
  // is all background.
  bool Blank(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const;

 private:
  static constexpr int32_t Block = 8;
  int32_t columns, rows;
  std::vector<int32_t> sums;
};

// Fills the gaps of a forward splat: each destination pixel reads the source
// through the backward map (translation in units of the destination's
// sides); a background read fills a lone background hole from its right
// neighbour. ink, when given, is the source's ink map for b0.
void Render_Backward(const Pixel_Buffer& destination, const Pixel_Buffer& source, uint8_t b0,
                     const Map_Coefficients& inverse, const Ink_Map* ink = nullptr);

// Whether a map's image of an axis, (p, q), is longer than 1 (a stretch
// that leaves gaps), or with shorter set, whether it is shorter than 1;
// worked in double like the maps' other intermediate values.
bool Axis_Stretched(float p, float q, bool shorter = false);

// Counts for the likeness test: pixels inked in either picture and pixels
// that differ, stopping as soon as differing exceeds limit.
struct Likeness_Count {
  int64_t inked = 0;
  int64_t differing = 0;
};
Likeness_Count Count_Likeness(const uint8_t* first, const uint8_t* second, size_t n, uint8_t background,
                              int64_t limit);

// Every pixel through a 256-entry table; true when some pixel changed.
bool Map_Pixels(uint8_t* destination, const uint8_t* source, size_t n, const uint8_t* table);

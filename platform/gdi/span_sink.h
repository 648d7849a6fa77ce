// Rasterisers of the graphics layer never write pixels: they hand horizontal
// runs of covered pixels, in device coordinates, to a sink. The same
// rasteriser then fills with a brush, builds a region or records spans in a
// test.
#pragma once

#include <functional>

// Called once per run of pixels x0 <= x < x1 on row y (x0 < x1).
using TSpan_Sink = std::function<void(int y, int x0, int x1)>;

// How overlapping parts of polygons fill.
enum class TFill_Rule { Alternate = 1, Winding = 2 };  // ALTERNATE, WINDING

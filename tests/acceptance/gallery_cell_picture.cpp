#include "tests/acceptance/gallery_cell_picture.h"

#include "gallery/gallery_window.h"

namespace {

// Hands each pixel of the square of side `side` around centre to each, row
// by row; false when the square is not all on the screen.
template <typename Each>
bool For_Square(const std::vector<uint32_t>& screen, int width, TPoint centre, int side, Each each) {
  const int half = side / 2;
  for (int dy = -half; dy < half; ++dy)
    for (int dx = -half; dx < half; ++dx) {
      const int x = centre.x + dx, y = centre.y + dy;
      if (x < 0 || y < 0 || x >= width || size_t(y) * size_t(width) + size_t(x) >= screen.size()) return false;
      each(screen[size_t(y) * size_t(width) + size_t(x)]);
    }
  return true;
}

}  // namespace

bool Cell_Picture_Shown(const std::vector<uint32_t>& screen, int width, TPoint cell, TPoint empty, int side) {
  // Inside the cell's rounded border: something other than the bare cell,
  // and in the middle third not the disc, which covers most of it.
  const int inner = side - 4, third = side / 3;
  int unlike_empty = 0, grey = 0;
  std::vector<uint32_t> bare;
  if (!For_Square(screen, width, empty, inner, [&](uint32_t rgb) { bare.push_back(rgb); })) return false;
  size_t i = 0;
  if (!For_Square(screen, width, cell, inner, [&](uint32_t rgb) { unlike_empty += rgb != bare[i++]; }))
    return false;
  const uint32_t disc = Gallery_Window::Placeholder_Color.Xrgb();
  if (!For_Square(screen, width, cell, third, [&](uint32_t rgb) { grey += rgb == disc; })) return false;
  return unlike_empty > inner * inner / 20 && grey < third * third / 10;
}

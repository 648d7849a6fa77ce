// What a gallery cell shows on the real screen. A cell whose drawing's
// picture is still being made shows a grey disc over its middle third, and a
// press on it starts no drag: a person waits until the drawing shows, and so
// do the tests that drag one.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/geometry.h"

// Whether the cell of inner side `side` around `cell` shows its drawing on
// screen (`width` pixels a row): unlike the empty cell around `empty`, and
// without the grey disc in its middle.
bool Cell_Picture_Shown(const std::vector<uint32_t>& screen, int width, TPoint cell, TPoint empty, int side);

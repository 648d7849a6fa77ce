// The widget stage with what the colour tools add: the picture pool and the
// crayon pointer.
#pragma once

#include <memory>

#include "model/color_wheel_table.h"
#include "model/dib_allocator.h"
#include "tests/toolkit/widget_fixture.h"
#include "workspace/fill_pointer.h"

struct Colours_Stage : Widget_Stage {
  explicit Colours_Stage(int screen_width = 1024) : Widget_Stage(screen_width) {}
  // The widgets go before the pool their pictures come from.
  ~Colours_Stage() {
    pointer.reset();
    delete parent;
    parent = nullptr;
  }
  void Advance(uint32_t ms, uint32_t step = 11) { Widget_Stage::Advance(ms, step); }

  DIB_Allocator pool{2, 5, sizes[10]};
  std::unique_ptr<Fill_Pointer> pointer = std::make_unique<Fill_Pointer>();
};

// The three design screens.
inline const int Design_Widths[] = {640, 800, 1024};

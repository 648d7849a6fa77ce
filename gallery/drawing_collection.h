// STAND-IN, to be dropped at merge for the gallery store of its own branch:
// an in-memory store with the same interface as far as the drop points use
// it (Add, Move, Forget_Place, Picture, State), enough for their tests.
// Grid cells and slots only; a drawing moved to the bin is gone from sight.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gallery/drawing_place.h"
#include "model/shape_drawing.h"
#include "platform/window/messages.h"

enum Picture_Size : int32_t {
  Full_Picture_Size = 0,
  Third_Picture_Size = 1,
  Sixth_Picture_Size = 2,
  Twelfth_Picture_Size = 3,
};
inline constexpr int32_t Picture_Size_Count = 4;

class Drawing_Collection {
 public:
  Drawing_Collection();
  ~Drawing_Collection();
  Drawing_Collection(const Drawing_Collection&) = delete;
  Drawing_Collection& operator=(const Drawing_Collection&) = delete;

  bool Add(std::unique_ptr<Shape_Drawing>& drawing, int32_t kind, int32_t a, int32_t b);
  void Forget_Place(const Drawing_Place& place);
  bool Move(const Drawing_Place& to, const Drawing_Place& from);
  Shape_Drawing* Picture(const Drawing_Place& place, Picture_Size size, uint32_t wait, HWND window);
  int32_t State(const Drawing_Place& place);

  static int32_t Picture_Side(Picture_Size size);

 private:
  struct Entry {
    std::unique_ptr<Shape_Drawing> drawing;
  };
  Entry*& Slot_Of(const Drawing_Place& place);

  std::vector<std::unique_ptr<Entry>> entries;
  std::array<Entry*, 144> grid{};
  std::array<Entry*, Drawing_Place::Slot_Count> slots{};
  Entry* nowhere = nullptr;
  std::array<std::unique_ptr<Shape_Drawing>, Picture_Size_Count> shown;
};

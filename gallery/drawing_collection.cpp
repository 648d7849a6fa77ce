// STAND-IN, to be dropped at merge (see the header).
#include "gallery/drawing_collection.h"

#include "toolkit/gui_sizes.h"

Drawing_Collection::Drawing_Collection() = default;
Drawing_Collection::~Drawing_Collection() = default;

int32_t Drawing_Collection::Picture_Side(Picture_Size size) {
  const int32_t s = The_GUI_Sizes ? (*The_GUI_Sizes)[10] : 360;
  switch (size) {
    case Full_Picture_Size: return s;
    case Third_Picture_Size: return s / 3;
    case Sixth_Picture_Size: return s / 3 / 2;
    default: return s / 3 / 4;
  }
}

Drawing_Collection::Entry*& Drawing_Collection::Slot_Of(const Drawing_Place& place) {
  if (place.Is_Grid_Cell()) return grid[size_t(place.a * 12 + place.b)];
  if (place.Is_Slot()) return slots[size_t(place.a)];
  nowhere = nullptr;
  return nowhere;
}

bool Drawing_Collection::Add(std::unique_ptr<Shape_Drawing>& drawing, int32_t kind, int32_t a, int32_t b) {
  Entry*& at = Slot_Of({kind, a, b});
  if (&at == &nowhere || (at && kind == Drawing_Place::Grid)) return false;
  entries.push_back(std::make_unique<Entry>());
  entries.back()->drawing = std::move(drawing);
  at = entries.back().get();
  return true;
}

void Drawing_Collection::Forget_Place(const Drawing_Place& place) { Slot_Of(place) = nullptr; }

bool Drawing_Collection::Move(const Drawing_Place& to, const Drawing_Place& from) {
  if (to == from) return true;
  Entry* moved = Slot_Of(from);
  if (!moved) return false;
  if (to.kind == Drawing_Place::Bin) {
    Slot_Of(from) = nullptr;
    return true;
  }
  Entry*& target = Slot_Of(to);
  if (&target == &nowhere || (to.kind == Drawing_Place::Grid && target)) return false;
  target = moved;
  if (from.kind == Drawing_Place::Slot && to.kind == Drawing_Place::Grid) {
    // Out of a slot into the grid: a copy, the slot keeps its drawing.
    entries.push_back(std::make_unique<Entry>());
    entries.back()->drawing = std::make_unique<Shape_Drawing>(*moved->drawing, true);
    target = entries.back().get();
  } else if (from.kind == Drawing_Place::Grid && to.kind == Drawing_Place::Grid) {
    Slot_Of(from) = nullptr;
  }
  return true;
}

Shape_Drawing* Drawing_Collection::Picture(const Drawing_Place& place, Picture_Size size, uint32_t, HWND) {
  Entry* entry = Slot_Of(place);
  if (!entry || !entry->drawing) return nullptr;
  Shape_Drawing& source = *entry->drawing;
  // A drawing without pixels stands for a record that cannot be read.
  if (!source.Bitmap && !source.Packed) return nullptr;
  auto& picture = shown[size_t(size)];
  if (size == Full_Picture_Size) {
    picture = std::make_unique<Shape_Drawing>(source, true);
  } else {
    const int32_t side = Picture_Side(size);
    picture = std::make_unique<Shape_Drawing>(source, TRect(0, 0, side, side));
  }
  return picture.get();
}

int32_t Drawing_Collection::State(const Drawing_Place& place) {
  Entry* entry = Slot_Of(place);
  return entry && entry->drawing ? 3 : 0;
}

// Stand-in definitions of the gallery store while the real one is being
// built elsewhere: everything in memory, nothing on disk, no preparation
// thread. To be dropped when the store's sources arrive.
#include <algorithm>

#include "gallery/drawing_collection.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "toolkit/gui_sizes.h"
#include "users/user.h"

namespace {

Drawing_Collection::Picture_Set& Display() {
  static Drawing_Collection::Picture_Set set;
  return set;
}

std::unique_ptr<Shape_Drawing> Blank(int32_t side, TColor background) {
  return std::make_unique<Shape_Drawing>(side, side, The_GUI_Colors ? The_GUI_Colors->Palette.get() : nullptr,
                                         background);
}

}  // namespace

int32_t Drawing_Collection::Picture_Side(Picture_Size size) {
  const int32_t s = The_GUI_Sizes ? (*The_GUI_Sizes)[Drawing_Side_Size] : 456;
  switch (size) {
    case Full_Picture_Size: return s;
    case Third_Picture_Size: return s / 3;
    case Sixth_Picture_Size: return s / 3 / 2;
    default: return s / 3 / 4;
  }
}

void Drawing_Collection::Release_Statics() {
  for (auto& p : Display().picture) p.reset();
}

Drawing_Collection::Drawing_Collection(const User& user) { path = user.File_Path("gal"); }
Drawing_Collection::~Drawing_Collection() = default;

void Drawing_Collection::Prepare(Presentation_Data& d, Picture_Set&) {
  Shape_Drawing full(*d.storage->drawing, true);
  d.pictures[1] = Blank(Picture_Side(Third_Picture_Size), full.Background);
  d.pictures[1]->Shrink_From(full, 3);
  d.pictures[2] = Blank(Picture_Side(Sixth_Picture_Size), full.Background);
  d.pictures[2]->Shrink_From(*d.pictures[1], 2);
  d.pictures[3] = Blank(Picture_Side(Twelfth_Picture_Size), full.Background);
  d.pictures[3]->Shrink_From(*d.pictures[2], 2);
  d.state.store(Presentation_Data::Ready, std::memory_order_release);
}

Drawing_Collection::Storage_Data& Drawing_Collection::Append_Entry(std::unique_ptr<Shape_Drawing> drawing,
                                                                   const Drawing_Place& place) {
  auto entry = std::make_unique<Storage_Data>();
  entry->drawing = std::move(drawing);
  entry->presentation = std::make_unique<Presentation_Data>();
  entry->presentation->place = place;
  entry->presentation->storage = entry.get();
  entries.push_back(std::move(entry));
  return *entries.back();
}

bool Drawing_Collection::Add(std::unique_ptr<Shape_Drawing>& drawing, int32_t kind, int32_t a, int32_t b) {
  const Drawing_Place place{kind, a, b};
  if (!drawing) return false;
  if (place.Is_Grid_Cell() && Cell(a, b)) return false;
  if (!place.Is_Grid_Cell() && kind != Drawing_Place::Bin && !place.Is_Slot()) return false;
  Storage_Data& entry = Append_Entry(std::move(drawing), place);
  Presentation_Data* d = entry.presentation.get();
  if (place.Is_Grid_Cell()) Cell(a, b) = d;
  else if (kind == Drawing_Place::Bin) Put_In_Bin(d, a == 0);
  else if (!slots[size_t(a)]) slots[size_t(a)] = d;
  Prepare(*d, Display());
  return true;
}

void Drawing_Collection::Forget_Place(const Drawing_Place& p) {
  if (p.Is_Grid_Cell()) Cell(p.a, p.b) = nullptr;
  else if (p.kind == Drawing_Place::Bin && !bin.empty()) (p.a != 0 ? bin.pop_back() : bin.pop_front());
  else if (p.Is_Slot()) slots[size_t(p.a)] = nullptr;
}

Drawing_Collection::Presentation_Data* Drawing_Collection::Find(const Drawing_Place& p) {
  if (p.Is_Grid_Cell()) return Cell(p.a, p.b);
  if (p.Is_Slot()) return slots[size_t(p.a)];
  if (p.kind != Drawing_Place::Bin || bin.empty()) return nullptr;
  if (p.a == -1) return bin.back();
  if (p.a < 0 || p.a >= int32_t(bin.size())) return nullptr;
  return *std::next(bin.begin(), p.a);
}

Drawing_Collection::Presentation_Data* Drawing_Collection::Take_From_Bin(int32_t a) {
  Presentation_Data* d = Find({Drawing_Place::Bin, a, 0});
  if (!d) return nullptr;
  if (a == 0) bin.pop_front();
  else if (a == -1) bin.pop_back();
  else bin.erase(std::next(bin.begin(), a));
  return d;
}

void Drawing_Collection::Put_In_Bin(Presentation_Data* d, bool front) {
  if (front) bin.push_front(d);
  else bin.push_back(d);
}

void Drawing_Collection::Put_In_Slot(int32_t slot, Presentation_Data* d) {
  Presentation_Data* old = slots[size_t(slot)];
  if (old && old != d && old->place.kind != Drawing_Place::Grid) old->place = {};
  slots[size_t(slot)] = d;
}

Drawing_Collection::Presentation_Data* Drawing_Collection::Copy_For_Grid(Presentation_Data& source) {
  Storage_Data& entry = Append_Entry(std::make_unique<Shape_Drawing>(*source.storage->drawing, true), {});
  Prepare(*entry.presentation, Display());
  return entry.presentation.get();
}

bool Drawing_Collection::Move(const Drawing_Place& to, const Drawing_Place& from) {
  if (to == from) return true;
  Presentation_Data* d = from.kind == Drawing_Place::Bin ? (bin.empty() ? nullptr : bin.front()) : Find(from);
  if (!d) return false;
  if (from.Is_Grid_Cell()) {
    if (to.Is_Grid_Cell()) {
      std::swap(Cell(to.a, to.b), Cell(from.a, from.b));
      if (Cell(to.a, to.b)) Cell(to.a, to.b)->place = to;
      if (Cell(from.a, from.b)) Cell(from.a, from.b)->place = from;
      changed = true;
    } else if (to.kind == Drawing_Place::Bin) {
      Cell(from.a, from.b) = nullptr;
      d->place = {Drawing_Place::Bin, 0, 0};
      Put_In_Bin(d, true);
      changed = true;
    } else if (to.Is_Slot()) {
      Put_In_Slot(to.a, d);
    }
    return true;
  }
  if (from.kind == Drawing_Place::Bin) {
    d = Take_From_Bin(from.a);
    if (!d) return false;
    if (to.Is_Grid_Cell()) {
      if (Cell(to.a, to.b)) {
        Put_In_Bin(d, from.a == 0);
        return false;
      }
      if (d->place.Is_Grid_Cell()) Cell(d->place.a, d->place.b) = nullptr;
      Cell(to.a, to.b) = d;
      d->place = to;
      changed = true;
    } else if (to.kind == Drawing_Place::Bin) {
      Put_In_Bin(d, to.a == 0);
      if (d->place.kind != Drawing_Place::Grid) d->place = {Drawing_Place::Bin, to.a == 0 ? 0 : -1, 0};
    } else if (to.Is_Slot()) {
      Put_In_Slot(to.a, d);
      if (d->place.kind != Drawing_Place::Grid) d->place = to;
    }
    return true;
  }
  if (to.Is_Grid_Cell()) {
    if (Cell(to.a, to.b)) return false;
    Presentation_Data* x = d->place.kind == Drawing_Place::Grid ? Copy_For_Grid(*d) : d;
    Cell(to.a, to.b) = x;
    x->place = to;
    changed = true;
  } else if (to.kind == Drawing_Place::Bin) {
    if (d->place.kind != Drawing_Place::Grid) d->place = {Drawing_Place::Bin, 0, 0};
    Put_In_Bin(d, true);
    slots[size_t(from.a)] = nullptr;
  } else if (to.Is_Slot()) {
    Put_In_Slot(to.a, d);
  }
  return true;
}

Shape_Drawing* Drawing_Collection::Picture(const Drawing_Place& place, Picture_Size size, uint32_t, HWND) {
  Presentation_Data* d = Find(place);
  if (!d || size < 0 || size >= Picture_Size_Count) return nullptr;
  auto& slot = Display().picture[size_t(size)];
  if (size == Full_Picture_Size) slot = std::make_unique<Shape_Drawing>(*d->storage->drawing, true);
  else if (d->Is_Ready()) slot = std::make_unique<Shape_Drawing>(*d->pictures[size_t(size)], true);
  else return nullptr;
  return slot.get();
}

int32_t Drawing_Collection::State(const Drawing_Place& place) {
  Presentation_Data* d = Find(place);
  return d ? d->state.load() : 0;
}

Drawing_Place Drawing_Collection::Place_Of(const Drawing_Place& place) {
  Presentation_Data* d = Find(place);
  return d ? d->place : Drawing_Place{};
}

void Drawing_Collection::Empty_Bin_And_Slots() {
  bin.clear();
  slots.fill(nullptr);
  changed = false;
}

void Drawing_Collection::Save(const User&, HWND) { Empty_Bin_And_Slots(); }
void Drawing_Collection::Revert() { Empty_Bin_And_Slots(); }
void Drawing_Collection::Rename(const User&, const User&) {}
void Drawing_Collection::Park_Slot(const Drawing_Place&) {}
void Drawing_Collection::Restore_Slot(const Drawing_Place&) {}

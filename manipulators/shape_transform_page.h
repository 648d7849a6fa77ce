// One page of the manipulator window: ten slots in five rows of two, filled
// from slot 0 without gaps, and the selected cell.
//
// Slots hold counted references: the drawing window, its history and the
// game keep the manipulators they were given alive after the page lets go.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "manipulators/shape_transform.h"

using Manipulator_Ref = std::shared_ptr<Shape_Transform>;

class Shape_Transform_Page {
 public:
  static constexpr int32_t Slot_Count = 10;
  static constexpr int32_t Columns = 2;

  explicit Shape_Transform_Page(int32_t number) : Page_Number(number) {}
  ~Shape_Transform_Page() { Clear(); }
  Shape_Transform_Page(const Shape_Transform_Page&) = delete;
  Shape_Transform_Page& operator=(const Shape_Transform_Page&) = delete;

  // The slot used, or -1 when the page is full.
  int32_t Add(Manipulator_Ref manipulator);
  // Whether it was on the page; later slots move one back. A selection on
  // the removed slot, or one left past the last occupied slot, is cleared.
  bool Remove(const Shape_Transform* manipulator);
  // Slot 9 takes next's slot 0; next's manipulators move one back.
  void Take_First(Shape_Transform_Page& next);
  // False when no occupied cell is selected.
  bool Replace_Selected(Manipulator_Ref manipulator);
  void Clear();

  int32_t Count() const { return count; }
  const Manipulator_Ref& Slot(int32_t index) const { return slots[static_cast<size_t>(index)]; }
  Shape_Transform* At(int32_t index) const {
    return index >= 0 && index < count ? slots[static_cast<size_t>(index)].get() : nullptr;
  }
  int32_t Index_Of(const Shape_Transform* manipulator) const;
  void Swap(int32_t a, int32_t b) { std::swap(slots[static_cast<size_t>(a)], slots[static_cast<size_t>(b)]); }
  // Puts manipulator into an occupied slot, giving back the one it held.
  Manipulator_Ref Exchange(int32_t index, Manipulator_Ref manipulator);

  // The selected slot (row x 2 + column) when it holds a manipulator, else -1:
  // a selection on an empty slot counts as none.
  int32_t Selected_Slot() const;
  Shape_Transform* Selected() const { return At(Selected_Slot()); }
  void Select_Slot(int32_t slot);
  void Clear_Selection() { Selected_Row = Selected_Column = -1; }

  int32_t Selected_Row = -1;
  int32_t Selected_Column = -1;
  int32_t Page_Number;

 private:
  void Forget_Empty_Selection();

  std::array<Manipulator_Ref, Slot_Count> slots;
  int32_t count = 0;
};

#include "manipulators/shape_transform_page.h"

#include <utility>

int32_t Shape_Transform_Page::Add(Manipulator_Ref manipulator) {
  if (count == Slot_Count) return -1;
  slots[static_cast<size_t>(count)] = std::move(manipulator);
  return count++;
}

bool Shape_Transform_Page::Remove(const Shape_Transform* manipulator) {
  const int32_t index = Index_Of(manipulator);
  if (index < 0) return false;
  if (index == Selected_Slot()) Clear_Selection();
  for (int32_t i = index; i + 1 < count; ++i) slots[size_t(i)] = std::move(slots[size_t(i + 1)]);
  slots[size_t(--count)].reset();
  Forget_Empty_Selection();
  return true;
}

void Shape_Transform_Page::Take_First(Shape_Transform_Page& next) {
  if (next.count == 0 || count == Slot_Count) return;
  slots[size_t(count++)] = std::move(next.slots[0]);
  for (int32_t i = 0; i + 1 < next.count; ++i) next.slots[size_t(i)] = std::move(next.slots[size_t(i + 1)]);
  next.slots[size_t(--next.count)].reset();
  next.Forget_Empty_Selection();
}

bool Shape_Transform_Page::Replace_Selected(Manipulator_Ref manipulator) {
  const int32_t slot = Selected_Slot();
  if (slot < 0) return false;
  slots[size_t(slot)] = std::move(manipulator);
  return true;
}

void Shape_Transform_Page::Clear() {
  for (Manipulator_Ref& slot : slots) slot.reset();
  count = 0;
}

int32_t Shape_Transform_Page::Index_Of(const Shape_Transform* manipulator) const {
  for (int32_t i = 0; i < count; ++i) {
    if (slots[size_t(i)].get() == manipulator) return i;
  }
  return -1;
}

Manipulator_Ref Shape_Transform_Page::Exchange(int32_t index, Manipulator_Ref manipulator) {
  std::swap(slots[size_t(index)], manipulator);
  return manipulator;
}

int32_t Shape_Transform_Page::Selected_Slot() const {
  if (Selected_Row < 0 || Selected_Column < 0) return -1;
  const int32_t slot = Selected_Row * Columns + Selected_Column;
  return slot < count ? slot : -1;
}

void Shape_Transform_Page::Select_Slot(int32_t slot) {
  if (slot < 0 || slot >= Slot_Count) {
    Clear_Selection();
    return;
  }
  Selected_Row = slot / Columns;
  Selected_Column = slot % Columns;
}

void Shape_Transform_Page::Forget_Empty_Selection() {
  if (Selected_Row >= 0 && Selected_Column >= 0 && Selected_Row * Columns + Selected_Column >= count) {
    Clear_Selection();
  }
}

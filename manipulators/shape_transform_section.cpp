#include "manipulators/shape_transform_section.h"

#include <utility>

Shape_Transform_Section::Shape_Transform_Section() {
  pages[0] = std::make_unique<Shape_Transform_Page>(0);
}

int32_t Shape_Transform_Section::Add(Manipulator_Ref manipulator) {
  if (Last_Page().Count() == Shape_Transform_Page::Slot_Count) {
    if (page_count == Max_Pages) return -1;
    pages[size_t(page_count)] = std::make_unique<Shape_Transform_Page>(page_count);
    ++page_count;
  }
  const int32_t slot = Last_Page().Add(std::move(manipulator));
  ++total;
  return slot + (page_count - 1) * Shape_Transform_Page::Slot_Count;
}

bool Shape_Transform_Section::Remove(const Shape_Transform* manipulator,
                                     std::unique_ptr<Shape_Transform_Page>* removed_page) {
  if (removed_page != nullptr) removed_page->reset();
  bool found = false;
  for (int32_t i = 0; i < page_count; ++i) {
    if (found) {
      pages[size_t(i - 1)]->Take_First(*pages[size_t(i)]);
    } else {
      found = pages[size_t(i)]->Remove(manipulator);
    }
  }
  if (page_count > 1 && Last_Page().Count() == 0) {
    --page_count;
    std::unique_ptr<Shape_Transform_Page> emptied = std::move(pages[size_t(page_count)]);
    if (removed_page != nullptr) *removed_page = std::move(emptied);
  }
  if (found) --total;
  return found;
}

void Shape_Transform_Section::Clear() {
  for (int32_t i = 1; i < page_count; ++i) pages[size_t(i)].reset();
  page_count = 1;
  pages[0]->Clear();
  pages[0]->Clear_Selection();
  total = 0;
}

int32_t Shape_Transform_Section::Page_Index(const Shape_Transform_Page* page) const {
  for (int32_t i = 0; i < page_count; ++i) {
    if (pages[size_t(i)].get() == page) return i;
  }
  return -1;
}

Shape_Transform* Shape_Transform_Section::At(int32_t position) const {
  const Shape_Transform_Page* page = Page(position / Shape_Transform_Page::Slot_Count);
  return page != nullptr ? page->At(position % Shape_Transform_Page::Slot_Count) : nullptr;
}

int32_t Shape_Transform_Section::Position_Of(const Shape_Transform* manipulator) const {
  for (int32_t i = 0; i < page_count; ++i) {
    const int32_t slot = pages[size_t(i)]->Index_Of(manipulator);
    if (slot >= 0) return i * Shape_Transform_Page::Slot_Count + slot;
  }
  return -1;
}

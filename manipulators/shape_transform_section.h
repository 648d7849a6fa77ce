// All manipulators of one image count: one to four pages of ten. Every page
// but the last is full, and the last page of a section with more than one
// is never empty. Position p means page p / 10, slot p % 10.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "manipulators/shape_transform_page.h"

class Shape_Transform_Section {
 public:
  static constexpr int32_t Max_Pages = 4;

  Shape_Transform_Section();
  Shape_Transform_Section(const Shape_Transform_Section&) = delete;
  Shape_Transform_Section& operator=(const Shape_Transform_Section&) = delete;

  // The position given, or -1 when four full pages refuse it.
  int32_t Add(Manipulator_Ref manipulator);
  // Whether it was found; the gap moves to the end of the section. A last
  // page that the removal emptied is taken out and handed to removed_page.
  bool Remove(const Shape_Transform* manipulator, std::unique_ptr<Shape_Transform_Page>* removed_page);
  // Keeps one empty page.
  void Clear();

  int32_t Total() const { return total; }
  int32_t Page_Count() const { return page_count; }
  Shape_Transform_Page* Page(int32_t index) const {
    return index >= 0 && index < page_count ? pages[size_t(index)].get() : nullptr;
  }
  Shape_Transform_Page& Last_Page() const { return *pages[size_t(page_count - 1)]; }
  // The page number of page, -1 when it is not one of this section's.
  int32_t Page_Index(const Shape_Transform_Page* page) const;
  Shape_Transform* At(int32_t position) const;
  // Position of manipulator, -1 when it is not here.
  int32_t Position_Of(const Shape_Transform* manipulator) const;

 private:
  int32_t total = 0;
  int32_t page_count = 1;
  std::array<std::unique_ptr<Shape_Transform_Page>, Max_Pages> pages;
};

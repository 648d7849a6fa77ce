// Built-in data of the program, found by type and numeric id. The bytes are
// part of the program image: valid, unmoved and read-only for the whole run,
// never freed.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/system/bmp_image.h"

constexpr uint32_t RT_CURSOR = 1;
constexpr uint32_t RT_BITMAP = 2;
constexpr uint32_t RT_ICON = 3;
constexpr uint32_t RT_RCDATA = 10;

struct TResource {
  const uint8_t* data = nullptr;  // null when the resource is missing
  uint32_t size = 0;

  explicit operator bool() const { return data != nullptr; }
};

// The resource of that type and id; an empty answer when there is none.
TResource Find_Resource(uint32_t type, uint32_t id);

// A bitmap resource read as a device-independent picture; nothing when the
// resource is missing or not a picture this layer reads.
std::optional<TBmp_Image> Load_Bitmap_Resource(uint32_t id);

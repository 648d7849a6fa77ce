// Any bytes given to the cursor and icon readers: a picture whose sizes
// agree with its pixels, or nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/window/cursor.h"
#include "platform/window/icon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (auto cursor = TCursor::From_Resource(data, size)) {
    const TCursor_Image& image = cursor->Image();
    size_t row = size_t((image.width + 7) / 8);
    if (image.and_mask.size() != row * image.height || image.xor_mask.size() != row * image.height) abort();
    uint32_t pixels[16 * 16] = {};
    image.Draw_Over(pixels, 16, 16, 16, {8, 8});
  }
  if (auto icon = TIcon::From_Resource(data, size)) {
    if (icon->Argb().size() != size_t(icon->Size().cx) * icon->Size().cy) abort();
  }
  return 0;
}

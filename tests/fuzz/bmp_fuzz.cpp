// Any bytes given to the BMP reader: a picture whose lengths agree, or nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/system/bmp_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto image = Parse_Bmp(data, size);
  if (image) {
    if (image->bits.size() != static_cast<size_t>(image->Stride()) * image->height) abort();
    if (image->colors.empty() || image->colors.size() > (1u << image->bits_per_pixel)) abort();
  }
  return 0;
}

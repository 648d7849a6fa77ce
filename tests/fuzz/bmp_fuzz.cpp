// Any bytes given to the BMP reader: a picture whose lengths agree, or
// nothing; the DIB made from the same bytes holds exactly that picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/dib_file.h"
#include "platform/system/bmp_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto image = Parse_Bmp(data, size);
  auto dib = TDib_File::Read(data, size);
  if (bool(image) != bool(dib)) abort();
  if (image) {
    if (image->bits.size() != static_cast<size_t>(image->Stride()) * image->height) abort();
    if (image->colors.empty() || image->colors.size() > (1u << image->bits_per_pixel)) abort();
    if (dib->SizeImage() != image->bits.size() || std::memcmp(dib->GetBits(), image->bits.data(), image->bits.size()))
      abort();
  }
  return 0;
}

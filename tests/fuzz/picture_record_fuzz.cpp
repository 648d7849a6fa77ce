// Picture records and packed pixels from untrusted bytes: a record is read
// into a picture of its own size and into one of a fixed size, and the
// bytes are decoded as run-length code into a fixed buffer. Nothing may read
// or write outside a buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/picture_run_code.h"
#include "model/shape_drawing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static GUI_Colors colors;
  static DIB_Allocator pool{2, 5, 64};
  // An exact copy, so that a read past the end is caught.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
  if (size) std::memcpy(bytes.get(), data, size);

  uint32_t sides[2] = {};
  if (size >= 8) std::memcpy(sides, bytes.get(), 8);
  // Large pictures make the run slow without reaching new code.
  if (Shape_Drawing::Record_Is_Valid(bytes.get(), size) && uint64_t(sides[0]) * sides[1] <= 512 * 512) {
    Shape_Drawing picture(bytes.get(), size, true), packed(bytes.get(), size, false);
    if (!picture.Same_Pixels(packed)) __builtin_trap();
  }
  Shape_Drawing fixed(64, 64, nullptr, TColor(255, 255, 255));
  fixed.Read(bytes.get(), size, size % 2 == 0);

  std::vector<uint8_t> pixels(4096);
  const bool whole = Decode_Run_Code(bytes.get(), uint32_t(size), pixels.data(), uint32_t(pixels.size()));
  if (whole != Run_Code_Is_Valid(bytes.get(), uint32_t(size), uint32_t(pixels.size()))) __builtin_trap();
  return 0;
}

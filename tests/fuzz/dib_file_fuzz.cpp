// Reading untrusted bitmap bytes: must never crash, hang or overrun.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/dib_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto dib = TDib_File::Read(data, size);
  if (dib) {
    volatile uint8_t sink = dib->SizeImage() ? dib->GetBits()[dib->SizeImage() - 1] : 0;
    (void)sink;
  }
  return 0;
}

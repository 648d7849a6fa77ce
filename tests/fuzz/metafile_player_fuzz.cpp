// Metafile bytes from anywhere must play into a small picture, under any
// viewport, without writing outside it, and leave the context as it was.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/memory_dc.h"
#include "platform/gdi/metafile_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int width = 1 + data[0] % 64, height = 1 + data[1] % 64;
  TBitmap picture(width, height);
  TMemoryDC dc(picture);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetViewportExt(TSize(width - 1 > 0 ? width - 1 : 1, height - 1 > 0 ? height - 1 : 1));
  const TMetaFilePict metafile(data + 2, size - 2);
  metafile.PlayOnto(dc);
  if (dc.GetWindowExt() != TSize(1, 1) || dc.GetWindowOrg() != TPoint(0, 0)) __builtin_trap();
  return 0;
}

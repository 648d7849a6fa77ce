// Metafile bytes from anywhere must decode without reading outside the
// buffer, what was decoded must record and decode again unchanged, and
// playing it onto a small picture must end cleanly.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/metafile.h"
#include "platform/gdi/metafile_reader.h"
#include "platform/gdi/metafile_recorder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMetafile_Contents contents = Read_Metafile(data, size);
  TMetafile_Recorder recorder;
  for (const TMetafile_Command& command : contents.commands)
    if (recorder.Record(command) < 0) __builtin_trap();
  std::vector<uint8_t> bytes = recorder.Bytes();
  TMetafile_Contents again = Read_Metafile(bytes.data(), bytes.size());
  if (!again.complete || again.commands != contents.commands) __builtin_trap();

  static TBitmap bitmap(48, 32);
  TMemoryDC dc(bitmap);
  TMetaFilePict(data, size).Play(dc, TRect(0, 0, 48, 32));
  if (dc.GetMapMode() != MM_TEXT) __builtin_trap();
  return 0;
}

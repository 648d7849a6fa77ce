// Metafile bytes from anywhere must decode without reading outside the
// buffer, and what was decoded must record and decode again unchanged.
#include <cstddef>
#include <cstdint>

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
  return 0;
}

// Plays Windows metafiles (memory form) onto a device context: the
// metafile picture object made from a metafile's bytes (SetMetaFileBitsEx)
// and its playing (PlayMetaFile). The metafile's own window origin and
// extent records map its drawing onto whatever viewport the caller set up.
// Objects the metafile creates live only while it plays; afterwards the
// context has its earlier objects, attributes, window origin and extent
// back, so a picture leaves nothing behind in a context it was played on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/metafile_reader.h"

// Applies decoded commands to dc. False when the context could not be saved.
bool Play_Metafile(TDC& dc, const TMetafile_Contents& contents);

class TMetaFilePict {
 public:
  // Copies and decodes the bytes; a damaged tail is dropped, what comes
  // before it still plays.
  TMetaFilePict(const void* bits, size_t size);

  // True when the bytes began with a metafile header.
  bool IsOK() const { return contents_.header_ok; }
  const TMetafile_Contents& Contents() const { return contents_; }
  const std::vector<uint8_t>& Bits() const { return bits_; }
  bool PlayOnto(TDC& dc) const { return IsOK() && Play_Metafile(dc, contents_); }

 private:
  std::vector<uint8_t> bits_;
  TMetafile_Contents contents_;
};

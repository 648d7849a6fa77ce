// Metafile pictures: Windows metafile bytes in memory form (as built-in
// resources and the clipboard hold them), played onto a device context.
// Playing applies the records in the context's current mapping, with the
// metafile's own window origin and extent; the scaled form maps the
// metafile's window onto a rectangle (MM_ANISOTROPIC). Either way the
// context's state (objects, colours, modes, mapping) is put back afterwards
// and the objects the metafile made are freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/metafile_reader.h"

class TMetaFilePict {
 public:
  // SetMetaFileBitsEx: the picture from its bytes, which are copied.
  TMetaFilePict(const uint8_t* bytes, size_t size);
  explicit TMetaFilePict(std::vector<uint8_t> bytes);

  // A metafile header was found: something may be played.
  bool IsOK() const { return contents_.header_ok; }
  // Every record was sound up to the end record.
  bool Is_Complete() const { return contents_.complete; }
  const std::vector<uint8_t>& Bits() const { return bytes_; }
  const TMetafile_Contents& Contents() const { return contents_; }

  // PlayMetaFile. A damaged metafile plays up to its damage; returns
  // whether the whole metafile was played.
  bool Play(TDC& dc) const;
  // Plays the metafile's window scaled anisotropically into rect (logical
  // units of the context): viewport origin at its top left, viewport
  // extent its width and height.
  bool Play(TDC& dc, const TRect& rect) const;

 private:
  std::vector<uint8_t> bytes_;
  TMetafile_Contents contents_;
};

// DIBs as bytes: the Windows bitmap layout used by resource bitmaps (an info
// header, a colour table and the rows, without the file header) and by .bmp
// files (with the 14-byte "BM" file header). Reading is the system layer's
// one checked BMP reader (Parse_Bmp), so every BMP is judged alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/dib.h"

class TDib_File {
 public:
  // Accepts the layout with or without the file header; nothing for bytes
  // that do not hold a whole picture of a supported kind.
  static std::optional<TDib> Read(const uint8_t* data, size_t size);
  // The DIB's header, colour table and rows, with the file header when asked.
  static std::vector<uint8_t> Write(const TDib& dib, bool file_header);
};

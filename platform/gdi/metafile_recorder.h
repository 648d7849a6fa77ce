// Records drawing calls as a Windows metafile in memory form: the recording
// device context behind the clipboard's metafile picture. It writes the
// records that the reader decodes (metafile_reader.h), so what is recorded
// plays back the same.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gdi/metafile_format.h"
#include "platform/gdi/metafile_reader.h"

class TMetafile_Recorder {
 public:
  // Appends the record of a command. Creating commands take the lowest free
  // object slot (command.slot is ignored) and return it; other commands
  // return 0. Returns -1 and records nothing when the command cannot be
  // stored: more than 65535 points, characters or polygons, a full object
  // table, or a select or delete of an empty slot. Coordinates beyond the
  // 16-bit range are clamped to it.
  int Record(const TMetafile_Command& command);

  // The calls of a device context, each one record.
  void SetWindowOrg(int x, int y);
  void SetWindowExt(int cx, int cy);
  int CreatePenIndirect(int style, int width, uint32_t colour);
  int CreateBrushIndirect(int style, uint32_t colour, int hatch);
  int CreateFontIndirect(const TFont_Spec& font);
  void SelectObject(int slot);
  void DeleteObject(int slot);
  void SetPolyFillMode(int mode);
  void SetTextColor(uint32_t colour);
  void SetBkColor(uint32_t colour);
  void SetBkMode(int mode);
  void SetTextAlign(int align);
  void Polygon(const TPoint* points, int count);
  void Polyline(const TPoint* points, int count);
  void PolyPolygon(const TPoint* points, const int* counts, int polygons);
  void Ellipse(const TRect& rect);
  void Rectangle(const TRect& rect);
  void TextOut(int x, int y, std::string_view text_1252);
  // rect is used when options hold ETO_OPAQUE or ETO_CLIPPED; dx, when not
  // null, holds one distance per character.
  void ExtTextOut(int x, int y, unsigned options, const TRect* rect, std::string_view text_1252,
                  const int* dx);
  // A packed DIB (header, colour table, bits) drawn at (x, y).
  void SetDIBitsToDevice(int x, int y, int width, int height, int source_x, int source_y,
                         int start_scan, int scan_count, const uint8_t* dib, size_t dib_size,
                         unsigned colour_use);

  // The whole metafile: header, the records so far and the end record.
  // Recording may go on afterwards.
  std::vector<uint8_t> Bytes() const;

 private:
  void Begin(uint16_t function);
  void Word(int value);
  void Colour(uint32_t colour);
  void Text(std::string_view text);
  void End();

  std::vector<uint8_t> records_;
  size_t record_start_ = 0;
  uint32_t largest_record_ = 3;  // the end record
  metafile::Object_Table objects_;
};

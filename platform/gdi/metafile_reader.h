// Decodes Windows metafile bytes (memory form, see metafile_format.h) into a
// list of drawing commands that a player applies to a device context. Every
// size, count and index is checked against the bytes that exist: a damaged
// record ends the list there, and the commands before it stay playable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/geometry.h"

struct TMetafile_Command {
  enum class Kind : uint8_t {
    Set_Window_Org,
    Set_Window_Ext,
    Create_Pen,
    Create_Brush,
    Create_Font,
    Select_Object,
    Delete_Object,
    Set_Poly_Fill_Mode,
    Polygon,
    Poly_Polygon,
    Polyline,
    Ellipse,
    Rectangle,
    Text_Out,
    Ext_Text_Out,
    Set_Text_Color,
    Set_Bk_Mode,
    Set_Bk_Color,
    Set_Text_Align,
    Set_DIB_To_Device,
  };

  Kind kind = Kind::Set_Window_Org;
  // The fields a kind uses; the others keep their defaults.
  TPoint point;                // window origin or extent (x, y); text or picture position
  TRect rect;                  // Ellipse, Rectangle; Ext_Text_Out's opaque or clip rectangle
  uint32_t colour = 0;         // COLORREF of pens, brushes and the text and background colours
  int value = 0;               // a mode, the alignment, a pen or brush style, text options
  int pen_width = 0;           // Create_Pen
  int hatch = 0;               // Create_Brush
  int slot = -1;               // Create_*, Select_Object, Delete_Object: object table index
  std::vector<TPoint> points;  // Polygon, Polyline; Poly_Polygon: every polygon in turn
  std::vector<int> counts;     // Poly_Polygon: the number of points of each polygon
  std::string text;            // Text_Out, Ext_Text_Out (Windows-1252)
  std::vector<int> dx;         // Ext_Text_Out: distances between characters, when given
  TFont_Spec font;             // Create_Font
  // Set_DIB_To_Device: point is the destination; source.left/top is the
  // source origin, source width and height the size; the DIB follows as
  // stored (header, colour table, bits).
  TRect source;
  int start_scan = 0;
  int scan_count = 0;
  std::vector<uint8_t> dib;

  friend bool operator==(const TMetafile_Command&, const TMetafile_Command&) = default;
};

struct TMetafile_Contents {
  bool header_ok = false;  // a metafile header was found
  bool complete = false;   // every record was sound, up to the end record
  int object_slots = 0;    // entries of the object table that the commands use
  std::vector<TMetafile_Command> commands;
};

// Decodes the bytes. Records of functions outside the drawing set above are
// passed over; a select or delete of an empty object slot is dropped, as
// playing it would fail.
TMetafile_Contents Read_Metafile(const uint8_t* bytes, size_t size);

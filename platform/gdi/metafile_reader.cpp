#include "platform/gdi/metafile_reader.h"

#include <algorithm>

#include "platform/gdi/metafile_format.h"

namespace {

using Kind = TMetafile_Command::Kind;

uint16_t Word_At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Dword_At(const uint8_t* p) { return Word_At(p) | uint32_t{Word_At(p + 2)} << 16; }

// The parameter words of one record; every access is checked by the caller
// through Has().
class Params {
 public:
  Params(const uint8_t* data, size_t words) : data_(data), words_(words) {}
  bool Has(size_t words) const { return words <= words_; }
  size_t Words() const { return words_; }
  uint16_t U(size_t i) const { return Word_At(data_ + 2 * i); }
  int S(size_t i) const { return static_cast<int16_t>(U(i)); }
  uint32_t Colour(size_t i) const { return Dword_At(data_ + 2 * i); }
  const uint8_t* Bytes(size_t i) const { return data_ + 2 * i; }

 private:
  const uint8_t* data_;
  size_t words_;
};

std::vector<TPoint> Points(const Params& p, size_t first, size_t count) {
  std::vector<TPoint> points;
  points.reserve(count);
  for (size_t i = 0; i < count; ++i) points.emplace_back(p.S(first + 2 * i), p.S(first + 2 * i + 1));
  return points;
}

// A rectangle stored as bottom, right, top, left (the reverse of the call).
TRect Reversed_Rect(const Params& p) { return TRect(p.S(3), p.S(2), p.S(1), p.S(0)); }

std::string Text(const Params& p, size_t first, size_t length) {
  const char* start = reinterpret_cast<const char*>(p.Bytes(first));
  return std::string(start, length);
}

// Decodes one record into command; false when its parameters do not fit
// its size. A record that adds no command leaves command.kind unset.
class Decoder {
 public:

  // Returns false for damaged data; sets *produced when a command was made.
  bool Decode(uint16_t function, const Params& p, TMetafile_Command* command, bool* produced) {
    *produced = false;
    TMetafile_Command& c = *command;
    switch (function) {
      case metafile::Set_Window_Org:
      case metafile::Set_Window_Ext:
        if (!p.Has(2)) return false;
        c.kind = function == metafile::Set_Window_Org ? Kind::Set_Window_Org : Kind::Set_Window_Ext;
        c.point = TPoint(p.S(1), p.S(0));  // stored y first
        break;
      case metafile::Set_Text_Color:
      case metafile::Set_Bk_Color:
        if (!p.Has(2)) return false;
        c.kind = function == metafile::Set_Text_Color ? Kind::Set_Text_Color : Kind::Set_Bk_Color;
        c.colour = p.Colour(0);
        break;
      case metafile::Set_Bk_Mode:
      case metafile::Set_Poly_Fill_Mode:
      case metafile::Set_Text_Align:
        if (!p.Has(1)) return false;
        c.kind = function == metafile::Set_Bk_Mode          ? Kind::Set_Bk_Mode
                 : function == metafile::Set_Poly_Fill_Mode ? Kind::Set_Poly_Fill_Mode
                                                            : Kind::Set_Text_Align;
        c.value = p.U(0);
        break;
      case metafile::Ellipse:
      case metafile::Rectangle:
        if (!p.Has(4)) return false;
        c.kind = function == metafile::Ellipse ? Kind::Ellipse : Kind::Rectangle;
        c.rect = Reversed_Rect(p);
        break;
      case metafile::Polygon:
      case metafile::Polyline: {
        if (!p.Has(1)) return false;
        size_t count = p.U(0);
        if (!p.Has(1 + 2 * count)) return false;
        c.kind = function == metafile::Polygon ? Kind::Polygon : Kind::Polyline;
        c.points = Points(p, 1, count);
        break;
      }
      case metafile::Poly_Polygon:
        if (!Decode_Poly_Polygon(p, c)) return false;
        break;
      case metafile::Text_Out: {
        if (!p.Has(1)) return false;
        size_t length = p.U(0);
        size_t text_words = (length + 1) / 2;
        if (!p.Has(1 + text_words + 2)) return false;
        c.kind = Kind::Text_Out;
        c.text = Text(p, 1, length);
        c.point = TPoint(p.S(1 + text_words + 1), p.S(1 + text_words));  // y, then x
        break;
      }
      case metafile::Ext_Text_Out:
        if (!Decode_Ext_Text_Out(p, c)) return false;
        break;
      case metafile::Create_Pen_Indirect:
        // style, width as a point (x used), COLORREF
        if (!p.Has(5)) return false;
        c.kind = Kind::Create_Pen;
        c.value = p.U(0);
        c.pen_width = p.S(1);
        c.colour = p.Colour(3);
        return Create(c, produced);
      case metafile::Create_Brush_Indirect:
        // style, COLORREF, hatch
        if (!p.Has(4)) return false;
        c.kind = Kind::Create_Brush;
        c.value = p.U(0);
        c.colour = p.Colour(1);
        c.hatch = p.U(3);
        return Create(c, produced);
      case metafile::Create_Font_Indirect:
        if (!Decode_Font(p, c)) return false;
        return Create(c, produced);
      case metafile::Select_Object:
      case metafile::Delete_Object: {
        if (!p.Has(1)) return false;
        int slot = p.U(0);
        if (!objects_.In_Use(slot)) return true;  // a failing call: nothing to play
        c.kind = function == metafile::Select_Object ? Kind::Select_Object : Kind::Delete_Object;
        c.slot = slot;
        if (c.kind == Kind::Delete_Object) objects_.Free(slot);
        break;
      }
      case metafile::Set_DIB_To_Device:
        if (!Decode_DIB(p, c)) return false;
        break;
      default:
        return true;  // not a drawing record of ours: passed over
    }
    *produced = true;
    return true;
  }

  int Object_Slots() const { return objects_.Size(); }

 private:
  bool Create(TMetafile_Command& c, bool* produced) {
    c.slot = objects_.Take();
    if (c.slot < 0) return false;
    *produced = true;
    return true;
  }

  static bool Decode_Poly_Polygon(const Params& p, TMetafile_Command& c) {
    if (!p.Has(1)) return false;
    size_t polygons = p.U(0);
    if (!p.Has(1 + polygons)) return false;
    size_t total = 0;
    for (size_t i = 0; i < polygons; ++i) total += p.U(1 + i);
    if (!p.Has(1 + polygons + 2 * total)) return false;
    c.kind = Kind::Poly_Polygon;
    for (size_t i = 0; i < polygons; ++i) c.counts.push_back(p.U(1 + i));
    c.points = Points(p, 1 + polygons, total);
    return true;
  }

  // y, x, length, options, [rectangle when opaque or clipped], text padded
  // to a whole word, [one distance per character].
  static bool Decode_Ext_Text_Out(const Params& p, TMetafile_Command& c) {
    if (!p.Has(4)) return false;
    c.kind = Kind::Ext_Text_Out;
    c.point = TPoint(p.S(1), p.S(0));
    size_t length = p.U(2);
    c.value = p.U(3);
    size_t at = 4;
    if (c.value & (metafile::Eto_Opaque | metafile::Eto_Clipped)) {
      if (!p.Has(at + 4)) return false;
      c.rect = TRect(p.S(at), p.S(at + 1), p.S(at + 2), p.S(at + 3));  // left, top, right, bottom
      at += 4;
    }
    size_t text_words = (length + 1) / 2;
    if (!p.Has(at + text_words)) return false;
    c.text = Text(p, at, length);
    at += text_words;
    // The distances are optional; writers leave them out or give them all.
    if (p.Has(at + length) && length > 0) {
      for (size_t i = 0; i < length; ++i) c.dx.push_back(p.S(at + i));
    }
    return true;
  }

  static bool Decode_Font(const Params& p, TMetafile_Command& c) {
    if (!p.Has(metafile::Font_Fixed_Bytes / 2)) return false;
    c.kind = Kind::Create_Font;
    c.font.height = p.S(0);
    c.font.weight = p.S(4);
    const uint8_t* flags = p.Bytes(5);
    c.font.italic = flags[0] != 0;
    c.font.underline = flags[1] != 0;
    // The face name runs to its terminating zero or the end of the record;
    // the 32 bytes of its field hold at most 31 characters and the zero.
    size_t available = std::min<size_t>((p.Words() - metafile::Font_Fixed_Bytes / 2) * 2,
                                        metafile::Font_Face_Bytes - 1);
    const uint8_t* face = p.Bytes(metafile::Font_Fixed_Bytes / 2);
    size_t length = 0;
    while (length < available && face[length] != 0) ++length;
    c.font.face_name.assign(reinterpret_cast<const char*>(face), length);
    return true;
  }

  // Colour use, scan count, start scan, source y, source x, height, width,
  // destination y, destination x, then the DIB.
  static bool Decode_DIB(const Params& p, TMetafile_Command& c) {
    if (!p.Has(9)) return false;
    c.kind = Kind::Set_DIB_To_Device;
    c.value = p.U(0);
    c.scan_count = p.U(1);
    c.start_scan = p.U(2);
    c.source = TRect(TPoint(p.S(4), p.S(3)), TSize(p.S(6), p.S(5)));
    c.point = TPoint(p.S(8), p.S(7));
    c.dib.assign(p.Bytes(9), p.Bytes(p.Words()));
    return true;
  }

  metafile::Object_Table objects_;
};

}  // namespace

TMetafile_Contents Read_Metafile(const uint8_t* bytes, size_t size) {
  TMetafile_Contents contents;
  if (!bytes || size < static_cast<size_t>(metafile::Header_Bytes)) return contents;
  uint16_t type = Word_At(bytes);
  uint16_t header_words = Word_At(bytes + 2);
  uint16_t version = Word_At(bytes + 4);
  if ((type != metafile::Memory_Type && type != metafile::Disk_Type) ||
      header_words != metafile::Header_Words ||
      (version != metafile::Version_300 && version != metafile::Version_100))
    return contents;
  contents.header_ok = true;
  Decoder decoder;

  size_t at = metafile::Header_Bytes;
  while (size - at >= static_cast<size_t>(metafile::Record_Header_Bytes)) {
    uint32_t words = Dword_At(bytes + at);
    uint16_t function = Word_At(bytes + at + 4);
    // A record holds at least its size and function; it must fit the bytes left.
    if (words < 3 || words > (size - at) / 2) break;
    if (function == metafile::End_Of_File) {
      contents.complete = true;
      break;
    }
    Params params(bytes + at + metafile::Record_Header_Bytes, words - 3);
    TMetafile_Command command;
    bool produced = false;
    if (!decoder.Decode(function, params, &command, &produced)) break;
    if (produced) contents.commands.push_back(std::move(command));
    at += size_t{words} * 2;
  }
  contents.object_slots = decoder.Object_Slots();
  return contents;
}

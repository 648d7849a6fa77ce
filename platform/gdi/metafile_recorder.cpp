#include "platform/gdi/metafile_recorder.h"

#include <algorithm>
#include <limits>

namespace {

using Kind = TMetafile_Command::Kind;

constexpr size_t Max_Count = 0xFFFF;

void Put_Word(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put_Dword(std::vector<uint8_t>& out, uint32_t value) {
  Put_Word(out, static_cast<uint16_t>(value));
  Put_Word(out, static_cast<uint16_t>(value >> 16));
}

uint16_t Clamped(int value) {
  return static_cast<uint16_t>(static_cast<int16_t>(std::clamp(value, -32768, 32767)));
}

uint16_t Unsigned(int value) { return static_cast<uint16_t>(std::clamp(value, 0, 0xFFFF)); }

}  // namespace

void TMetafile_Recorder::Begin(uint16_t function) {
  record_start_ = records_.size();
  Put_Dword(records_, 0);  // size, filled in by End
  Put_Word(records_, function);
}

void TMetafile_Recorder::Word(int value) { Put_Word(records_, Clamped(value)); }

void TMetafile_Recorder::Colour(uint32_t colour) { Put_Dword(records_, colour); }

// Text is stored padded to a whole word.
void TMetafile_Recorder::Text(std::string_view text) {
  records_.insert(records_.end(), text.begin(), text.end());
  if (text.size() % 2) records_.push_back(0);
}

void TMetafile_Recorder::End() {
  if (records_.size() % 2) records_.push_back(0);
  uint32_t words = static_cast<uint32_t>((records_.size() - record_start_) / 2);
  for (int i = 0; i < 4; ++i) records_[record_start_ + i] = static_cast<uint8_t>(words >> (8 * i));
  largest_record_ = std::max(largest_record_, words);
}

int TMetafile_Recorder::Record(const TMetafile_Command& c) {
  switch (c.kind) {
    case Kind::Set_Window_Org:
    case Kind::Set_Window_Ext:
      Begin(c.kind == Kind::Set_Window_Org ? metafile::Set_Window_Org : metafile::Set_Window_Ext);
      Word(c.point.y);
      Word(c.point.x);
      break;
    case Kind::Set_Text_Color:
    case Kind::Set_Bk_Color:
      Begin(c.kind == Kind::Set_Text_Color ? metafile::Set_Text_Color : metafile::Set_Bk_Color);
      Colour(c.colour);
      break;
    case Kind::Set_Bk_Mode:
    case Kind::Set_Poly_Fill_Mode:
    case Kind::Set_Text_Align:
      Begin(c.kind == Kind::Set_Bk_Mode          ? metafile::Set_Bk_Mode
            : c.kind == Kind::Set_Poly_Fill_Mode ? metafile::Set_Poly_Fill_Mode
                                                 : metafile::Set_Text_Align);
      Put_Word(records_, static_cast<uint16_t>(c.value));
      break;
    case Kind::Ellipse:
    case Kind::Rectangle:
      Begin(c.kind == Kind::Ellipse ? metafile::Ellipse : metafile::Rectangle);
      Word(c.rect.bottom);
      Word(c.rect.right);
      Word(c.rect.top);
      Word(c.rect.left);
      break;
    case Kind::Polygon:
    case Kind::Polyline:
      if (c.points.size() > Max_Count) return -1;
      Begin(c.kind == Kind::Polygon ? metafile::Polygon : metafile::Polyline);
      Put_Word(records_, static_cast<uint16_t>(c.points.size()));
      for (TPoint p : c.points) {
        Word(p.x);
        Word(p.y);
      }
      break;
    case Kind::Poly_Polygon: {
      if (c.counts.size() > Max_Count) return -1;
      size_t total = 0;
      for (int count : c.counts) {
        if (count < 0 || static_cast<size_t>(count) > Max_Count) return -1;
        total += static_cast<size_t>(count);
      }
      if (total != c.points.size()) return -1;
      Begin(metafile::Poly_Polygon);
      Put_Word(records_, static_cast<uint16_t>(c.counts.size()));
      for (int count : c.counts) Put_Word(records_, static_cast<uint16_t>(count));
      for (TPoint p : c.points) {
        Word(p.x);
        Word(p.y);
      }
      break;
    }
    case Kind::Text_Out:
      if (c.text.size() > Max_Count) return -1;
      Begin(metafile::Text_Out);
      Put_Word(records_, static_cast<uint16_t>(c.text.size()));
      Text(c.text);
      Word(c.point.y);
      Word(c.point.x);
      break;
    case Kind::Ext_Text_Out:
      if (c.text.size() > Max_Count || (!c.dx.empty() && c.dx.size() != c.text.size())) return -1;
      Begin(metafile::Ext_Text_Out);
      Word(c.point.y);
      Word(c.point.x);
      Put_Word(records_, static_cast<uint16_t>(c.text.size()));
      Put_Word(records_, static_cast<uint16_t>(c.value));
      if (c.value & (metafile::Eto_Opaque | metafile::Eto_Clipped)) {
        Word(c.rect.left);
        Word(c.rect.top);
        Word(c.rect.right);
        Word(c.rect.bottom);
      }
      Text(c.text);
      for (int d : c.dx) Word(d);
      break;
    case Kind::Create_Pen:
    case Kind::Create_Brush:
    case Kind::Create_Font: {
      int slot = objects_.Take();
      if (slot < 0) return -1;
      if (c.kind == Kind::Create_Pen) {
        Begin(metafile::Create_Pen_Indirect);
        Put_Word(records_, static_cast<uint16_t>(c.value));
        Word(c.pen_width);
        Word(0);
        Colour(c.colour);
      } else if (c.kind == Kind::Create_Brush) {
        Begin(metafile::Create_Brush_Indirect);
        Put_Word(records_, static_cast<uint16_t>(c.value));
        Colour(c.colour);
        Put_Word(records_, static_cast<uint16_t>(c.hatch));
      } else {
        Begin(metafile::Create_Font_Indirect);
        Word(c.font.height);
        Word(0);  // width
        Word(0);  // escapement
        Word(0);  // orientation
        Word(c.font.weight);
        records_.push_back(c.font.italic ? 1 : 0);
        records_.push_back(c.font.underline ? 1 : 0);
        records_.push_back(0);  // strike-out
        records_.push_back(1);  // default character set
        for (int i = 0; i < 4; ++i) records_.push_back(0);  // precision, quality, pitch
        // The face name with its terminating zero, at most 32 bytes in all.
        std::string_view face(c.font.face_name);
        face = face.substr(0, std::min(face.find('\0'), size_t{metafile::Font_Face_Bytes - 1}));
        records_.insert(records_.end(), face.begin(), face.end());
        records_.push_back(0);
      }
      End();
      return slot;
    }
    case Kind::Select_Object:
    case Kind::Delete_Object:
      if (!objects_.In_Use(c.slot)) return -1;
      Begin(c.kind == Kind::Select_Object ? metafile::Select_Object : metafile::Delete_Object);
      Put_Word(records_, static_cast<uint16_t>(c.slot));
      if (c.kind == Kind::Delete_Object) objects_.Free(c.slot);
      break;
    case Kind::Set_DIB_To_Device:
      Begin(metafile::Set_DIB_To_Device);
      Put_Word(records_, static_cast<uint16_t>(c.value));
      Put_Word(records_, Unsigned(c.scan_count));
      Put_Word(records_, Unsigned(c.start_scan));
      Word(c.source.top);
      Word(c.source.left);
      Word(c.source.Height());
      Word(c.source.Width());
      Word(c.point.y);
      Word(c.point.x);
      records_.insert(records_.end(), c.dib.begin(), c.dib.end());
      break;
  }
  End();
  return 0;
}

void TMetafile_Recorder::SetWindowOrg(int x, int y) {
  TMetafile_Command c;
  c.kind = Kind::Set_Window_Org;
  c.point = TPoint(x, y);
  Record(c);
}

void TMetafile_Recorder::SetWindowExt(int cx, int cy) {
  TMetafile_Command c;
  c.kind = Kind::Set_Window_Ext;
  c.point = TPoint(cx, cy);
  Record(c);
}

int TMetafile_Recorder::CreatePenIndirect(int style, int width, uint32_t colour) {
  TMetafile_Command c;
  c.kind = Kind::Create_Pen;
  c.value = style;
  c.pen_width = width;
  c.colour = colour;
  return Record(c);
}

int TMetafile_Recorder::CreateBrushIndirect(int style, uint32_t colour, int hatch) {
  TMetafile_Command c;
  c.kind = Kind::Create_Brush;
  c.value = style;
  c.colour = colour;
  c.hatch = hatch;
  return Record(c);
}

int TMetafile_Recorder::CreateFontIndirect(const TFont_Spec& font) {
  TMetafile_Command c;
  c.kind = Kind::Create_Font;
  c.font = font;
  return Record(c);
}

void TMetafile_Recorder::SelectObject(int slot) {
  TMetafile_Command c;
  c.kind = Kind::Select_Object;
  c.slot = slot;
  Record(c);
}

void TMetafile_Recorder::DeleteObject(int slot) {
  TMetafile_Command c;
  c.kind = Kind::Delete_Object;
  c.slot = slot;
  Record(c);
}

void TMetafile_Recorder::SetPolyFillMode(int mode) {
  TMetafile_Command c;
  c.kind = Kind::Set_Poly_Fill_Mode;
  c.value = mode;
  Record(c);
}

void TMetafile_Recorder::SetTextColor(uint32_t colour) {
  TMetafile_Command c;
  c.kind = Kind::Set_Text_Color;
  c.colour = colour;
  Record(c);
}

void TMetafile_Recorder::SetBkColor(uint32_t colour) {
  TMetafile_Command c;
  c.kind = Kind::Set_Bk_Color;
  c.colour = colour;
  Record(c);
}

void TMetafile_Recorder::SetBkMode(int mode) {
  TMetafile_Command c;
  c.kind = Kind::Set_Bk_Mode;
  c.value = mode;
  Record(c);
}

void TMetafile_Recorder::SetTextAlign(int align) {
  TMetafile_Command c;
  c.kind = Kind::Set_Text_Align;
  c.value = align;
  Record(c);
}

void TMetafile_Recorder::Polygon(const TPoint* points, int count) {
  TMetafile_Command c;
  c.kind = Kind::Polygon;
  if (count > 0) c.points.assign(points, points + count);
  Record(c);
}

void TMetafile_Recorder::Polyline(const TPoint* points, int count) {
  TMetafile_Command c;
  c.kind = Kind::Polyline;
  if (count > 0) c.points.assign(points, points + count);
  Record(c);
}

void TMetafile_Recorder::PolyPolygon(const TPoint* points, const int* counts, int polygons) {
  TMetafile_Command c;
  c.kind = Kind::Poly_Polygon;
  size_t total = 0;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 0) return;
    c.counts.push_back(counts[i]);
    total += static_cast<size_t>(counts[i]);
  }
  c.points.assign(points, points + total);
  Record(c);
}

void TMetafile_Recorder::Ellipse(const TRect& rect) {
  TMetafile_Command c;
  c.kind = Kind::Ellipse;
  c.rect = rect;
  Record(c);
}

void TMetafile_Recorder::Rectangle(const TRect& rect) {
  TMetafile_Command c;
  c.kind = Kind::Rectangle;
  c.rect = rect;
  Record(c);
}

void TMetafile_Recorder::TextOut(int x, int y, std::string_view text_1252) {
  TMetafile_Command c;
  c.kind = Kind::Text_Out;
  c.point = TPoint(x, y);
  c.text = text_1252;
  Record(c);
}

void TMetafile_Recorder::ExtTextOut(int x, int y, unsigned options, const TRect* rect,
                                    std::string_view text_1252, const int* dx) {
  TMetafile_Command c;
  c.kind = Kind::Ext_Text_Out;
  c.point = TPoint(x, y);
  c.value = static_cast<int>(options & 0xFFFF);
  if (rect) c.rect = *rect;
  if (!rect) c.value &= ~(metafile::Eto_Opaque | metafile::Eto_Clipped);
  c.text = text_1252;
  if (dx) c.dx.assign(dx, dx + text_1252.size());
  Record(c);
}

void TMetafile_Recorder::SetDIBitsToDevice(int x, int y, int width, int height, int source_x,
                                           int source_y, int start_scan, int scan_count,
                                           const uint8_t* dib, size_t dib_size, unsigned colour_use) {
  TMetafile_Command c;
  c.kind = Kind::Set_DIB_To_Device;
  c.point = TPoint(x, y);
  c.source = TRect(TPoint(source_x, source_y), TSize(width, height));
  c.start_scan = start_scan;
  c.scan_count = scan_count;
  c.value = static_cast<int>(colour_use & 0xFFFF);
  if (dib && dib_size) c.dib.assign(dib, dib + dib_size);
  Record(c);
}

std::vector<uint8_t> TMetafile_Recorder::Bytes() const {
  std::vector<uint8_t> out;
  out.reserve(metafile::Header_Bytes + records_.size() + 6);
  const size_t total_words = (metafile::Header_Bytes + records_.size()) / 2 + 3;
  Put_Word(out, metafile::Memory_Type);
  Put_Word(out, metafile::Header_Words);
  Put_Word(out, metafile::Version_300);
  Put_Dword(out, static_cast<uint32_t>(std::min<size_t>(total_words, std::numeric_limits<uint32_t>::max())));
  Put_Word(out, static_cast<uint16_t>(objects_.Size()));
  Put_Dword(out, largest_record_);
  Put_Word(out, 0);  // no parameters
  out.insert(out.end(), records_.begin(), records_.end());
  Put_Dword(out, 3);
  Put_Word(out, metafile::End_Of_File);
  return out;
}

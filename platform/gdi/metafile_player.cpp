#include "platform/gdi/metafile_player.h"

#include <variant>

namespace {

using Kind = TMetafile_Command::Kind;
using Object = std::variant<std::monostate, TPen, TBrush, TFont>;

Object Make_Pen(const TMetafile_Command& c) {
  const int style = c.value & PS_STYLE_MASK;
  return TPen(TColor(c.colour), c.pen_width < 0 ? 0 : c.pen_width, style);
}

Object Make_Brush(const TMetafile_Command& c) {
  switch (c.value) {
    case BS_NULL:
      return TBrush::Null();
    case BS_HATCHED:
      return TBrush(TColor(c.colour), c.hatch);
    default:
      return TBrush(TColor(c.colour));
  }
}

void Select(TDC& dc, const Object& object) {
  if (const TPen* pen = std::get_if<TPen>(&object)) dc.SelectObject(*pen);
  if (const TBrush* brush = std::get_if<TBrush>(&object)) dc.SelectObject(*brush);
  if (const TFont* font = std::get_if<TFont>(&object)) dc.SelectObject(*font);
}

void Apply(TDC& dc, const TMetafile_Command& c, std::vector<Object>& objects) {
  const bool in_table = c.slot >= 0 && size_t(c.slot) < objects.size();
  switch (c.kind) {
    case Kind::Set_Window_Org: dc.SetWindowOrg(c.point); break;
    case Kind::Set_Window_Ext: dc.SetWindowExt(TSize(c.point.x, c.point.y)); break;
    case Kind::Create_Pen: if (in_table) objects[c.slot] = Make_Pen(c); break;
    case Kind::Create_Brush: if (in_table) objects[c.slot] = Make_Brush(c); break;
    case Kind::Create_Font: if (in_table) objects[c.slot] = TFont(c.font); break;
    case Kind::Select_Object: if (in_table) Select(dc, objects[c.slot]); break;
    // The context keeps a selected object alive by itself.
    case Kind::Delete_Object: if (in_table) objects[c.slot] = std::monostate{}; break;
    case Kind::Set_Poly_Fill_Mode: dc.SetPolyFillMode(c.value); break;
    case Kind::Polygon: dc.Polygon(c.points.data(), int(c.points.size())); break;
    case Kind::Polyline: dc.Polyline(c.points.data(), int(c.points.size())); break;
    case Kind::Poly_Polygon: dc.PolyPolygon(c.points.data(), c.counts.data(), int(c.counts.size())); break;
    case Kind::Ellipse: dc.Ellipse(c.rect); break;
    case Kind::Rectangle: dc.Rectangle(c.rect); break;
    case Kind::Text_Out: dc.TextOut(c.point, c.text); break;
    case Kind::Ext_Text_Out: {
      const bool has_rect = (c.value & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
      dc.ExtTextOut(c.point, unsigned(c.value), has_rect ? &c.rect : nullptr, c.text);
      break;
    }
    case Kind::Set_Text_Color: dc.SetTextColor(TColor(c.colour)); break;
    case Kind::Set_Bk_Color: dc.SetBkColor(TColor(c.colour)); break;
    case Kind::Set_Bk_Mode: dc.SetBkMode(c.value); break;
    case Kind::Set_Text_Align: dc.SetTextAlign(unsigned(c.value)); break;
    case Kind::Set_DIB_To_Device: break;  // no built-in picture carries pixels
  }
}

}  // namespace

bool Play_Metafile(TDC& dc, const TMetafile_Contents& contents) {
  const int level = dc.SaveDC();
  if (level == 0) return false;
  std::vector<Object> objects(size_t(contents.object_slots));
  for (const TMetafile_Command& command : contents.commands) Apply(dc, command, objects);
  dc.RestoreDC(level);
  return true;
}

TMetaFilePict::TMetaFilePict(const void* bits, size_t size)
    : bits_(static_cast<const uint8_t*>(bits), static_cast<const uint8_t*>(bits) + size),
      contents_(Read_Metafile(bits_.data(), bits_.size())) {}

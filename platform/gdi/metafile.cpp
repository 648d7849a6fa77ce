#include "platform/gdi/metafile.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <variant>

#include "platform/gdi/dib_file.h"
#include "platform/gdi/metafile_format.h"

namespace {

using Kind = TMetafile_Command::Kind;
using Object = std::variant<std::monostate, TPen, TBrush, TFont>;

// Styles beyond the known ones draw as solid lines.
int Pen_Style(int style) {
  style &= PS_STYLE_MASK;
  return style <= PS_INSIDEFRAME ? style : PS_SOLID;
}

Object Make_Object(const TMetafile_Command& c) {
  switch (c.kind) {
    case Kind::Create_Pen:
      return TPen(TColor(c.colour), std::max(0, c.pen_width), Pen_Style(c.value));
    case Kind::Create_Brush:
      if (c.value == BS_NULL) return TBrush::Null();
      if (c.value == BS_HATCHED && c.hatch >= HS_HORIZONTAL && c.hatch <= HS_DIAGCROSS)
        return TBrush(TColor(c.colour), c.hatch);
      return TBrush(TColor(c.colour));
    default:
      return TFont(c.font);
  }
}

class Player {
 public:
  Player(TDC& dc, int object_slots) : dc_(dc), objects_(object_slots) {}

  void Apply(const TMetafile_Command& c) {
    switch (c.kind) {
      case Kind::Set_Window_Org: dc_.SetWindowOrg(c.point); break;
      case Kind::Set_Window_Ext: dc_.SetWindowExt(TSize(c.point.x, c.point.y)); break;
      case Kind::Create_Pen:
      case Kind::Create_Brush:
      case Kind::Create_Font:
        if (c.slot >= 0 && static_cast<size_t>(c.slot) < objects_.size()) objects_[c.slot] = Make_Object(c);
        break;
      case Kind::Select_Object: Select(c.slot); break;
      case Kind::Delete_Object:
        // A selected object stays alive in the context until replaced.
        if (c.slot >= 0 && static_cast<size_t>(c.slot) < objects_.size()) objects_[c.slot] = std::monostate();
        break;
      case Kind::Set_Poly_Fill_Mode: dc_.SetPolyFillMode(c.value == WINDING ? WINDING : ALTERNATE); break;
      case Kind::Polygon:
        if (!c.points.empty()) dc_.Polygon(c.points.data(), static_cast<int>(c.points.size()));
        break;
      case Kind::Polyline:
        if (!c.points.empty()) dc_.Polyline(c.points.data(), static_cast<int>(c.points.size()));
        break;
      case Kind::Poly_Polygon:
        if (!c.counts.empty()) dc_.PolyPolygon(c.points.data(), c.counts.data(), static_cast<int>(c.counts.size()));
        break;
      case Kind::Ellipse: dc_.Ellipse(c.rect); break;
      case Kind::Rectangle: dc_.Rectangle(c.rect); break;
      case Kind::Text_Out: dc_.TextOut(c.point, c.text); break;
      case Kind::Ext_Text_Out: {
        unsigned options = static_cast<unsigned>(c.value) & (ETO_OPAQUE | ETO_CLIPPED);
        dc_.ExtTextOut(c.point, options, options ? &c.rect : nullptr, c.text);
        break;
      }
      case Kind::Set_Text_Color: dc_.SetTextColor(TColor(c.colour)); break;
      case Kind::Set_Bk_Color: dc_.SetBkColor(TColor(c.colour)); break;
      case Kind::Set_Bk_Mode: dc_.SetBkMode(c.value == TRANSPARENT ? TRANSPARENT : OPAQUE); break;
      case Kind::Set_Text_Align: dc_.SetTextAlign(static_cast<unsigned>(c.value)); break;
      case Kind::Set_DIB_To_Device:
        if (std::optional<TDib> dib = TDib_File::Read(c.dib.data(), c.dib.size()))
          dc_.SetDIBitsToDevice(TRect(c.point, c.source.Size()), c.source.TopLeft(), *dib);
        break;
    }
  }

 private:
  void Select(int slot) {
    if (slot < 0 || static_cast<size_t>(slot) >= objects_.size()) return;
    std::visit(
        [this](const auto& object) {
          if constexpr (!std::is_same_v<std::decay_t<decltype(object)>, std::monostate>) dc_.SelectObject(object);
        },
        objects_[slot]);
  }

  TDC& dc_;
  std::vector<Object> objects_;
};

}  // namespace

TMetaFilePict::TMetaFilePict(const uint8_t* bytes, size_t size)
    : TMetaFilePict(bytes && size ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>()) {}

TMetaFilePict::TMetaFilePict(std::vector<uint8_t> bytes)
    : bytes_(std::move(bytes)), contents_(Read_Metafile(bytes_.data(), bytes_.size())) {}

bool TMetaFilePict::Play(TDC& dc) const {
  if (!contents_.header_ok) return false;
  const int level = dc.SaveDC();
  {
    Player player(dc, contents_.object_slots);
    for (const TMetafile_Command& command : contents_.commands) player.Apply(command);
  }
  if (level > 0) dc.RestoreDC(level);
  return contents_.complete;
}

bool TMetaFilePict::Play(TDC& dc, const TRect& rect) const {
  if (!contents_.header_ok) return false;
  const int level = dc.SaveDC();
  // The viewport is given in device units: the rectangle as the context
  // maps it now.
  TPoint corners[2] = {rect.TopLeft(), rect.BottomRight()};
  dc.LPtoDP(corners, 2);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetViewportOrg(corners[0]);
  dc.SetViewportExt(TSize(corners[1].x - corners[0].x, corners[1].y - corners[0].y));
  bool complete = Play(dc);
  if (level > 0) dc.RestoreDC(level);
  return complete;
}

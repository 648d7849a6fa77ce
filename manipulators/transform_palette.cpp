#include "manipulators/transform_palette.h"

#include "model/gui_colors.h"
#include "platform/gdi/dc.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"

namespace {

int Palette_Width() {
  if (!The_GUI_Sizes) return 0;
  const GUI_Sizes& g = *The_GUI_Sizes;
  const int cell = g[11] + 2 * g[25];
  return 2 * cell + g[12] + g[29];
}

}  // namespace

Transform_Palette::Transform_Palette(TWindow* parent, const TPoint& position, int height, TWindow* editor)
    : TWindow(parent, "Transform Palette"), Editor(editor) {
  Attr.X = position.x;
  Attr.Y = position.y;
  Attr.W = Palette_Width();
  Attr.H = height;
}

void Transform_Palette::Paint(TDC& dc, bool, TRect&) {
  // An empty palette: a flat well with a sunken edge.
  const TRect r = GetClientRect();
  if (The_GUI_Colors) dc.FillRect(r, *The_GUI_Colors->Scheme_Brush_0);
  if (The_Round_Border) The_Round_Border->Draw_Bevel_Inverse(dc, r);
}

void Transform_Palette::Select_Section(int section) {
  if (section >= 0 && section <= 4) Section = section;
}

void Transform_Palette::Select_Page(int page) {
  if (page >= 1 && page <= 4) Page = page;
}

Shape_Transform* Transform_Palette::Selected() const {
  if (Selected_Row < 0 || Selected_Column < 0 || Selected_Row >= Rows || Selected_Column >= Columns) return nullptr;
  return Entries[size_t(Selected_Row * Columns + Selected_Column)];
}

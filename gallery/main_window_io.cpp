#include "gallery/main_window_io.h"

#include "gallery/drawing_collection.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"

namespace {

int32_t Miniature_Side() { return The_GUI_Sizes ? (*The_GUI_Sizes)[Drawing_Side_Size] / 6 : 76; }
int32_t Frame_Band() { return The_GUI_Sizes ? (*The_GUI_Sizes)[24] - (*The_GUI_Sizes)[4] : 3; }

}  // namespace

Main_Window_IO::Main_Window_IO(Gallery_Window* gallery, const TRect& rect)
    : Gallery_IO_Point(gallery, Caption, Main_Window_Id, rect, Tip) {
  const int32_t s = Miniature_Side();
  const int32_t left = (area.Width() - s) / 2, top = (area.Height() - s) / 2;
  miniature_area = TRect(left, top, left + s, top + s);
}

void Main_Window_IO::SetupWindow() {
  Gallery_IO_Point::SetupWindow();
  Draw_Frame();
  const int32_t e = Frame_Band();
  region = TRegion(miniature_area.Inflated_By(e, e));
  drop_area = miniature_area.Offset_By(Attr.X, Attr.Y);
}

// A small drawing window: its round frame twice, a bevelled plate between
// and a disc for the drawing.
void Main_Window_IO::Draw_Frame() {
  auto dc = Backdrop_DC();
  if (!dc || !The_GUI_Colors) return;
  const int32_t e = std::max(Frame_Band(), 1);
  const TRect outer = miniature_area.Inflated_By(3 * e, 3 * e);
  const TRect inner = miniature_area.Inflated_By(e, e);
  dc->SelectObject(TBrush(The_GUI_Colors->Scheme_RGB(6)));
  dc->SelectObject(TPen(The_GUI_Colors->Scheme_RGB(3), 1, PS_INSIDEFRAME));
  dc->Ellipse(outer);
  if (The_Round_Border) {
    The_Round_Border->Blit_Clipped(*dc, outer, e, 1);
    The_Round_Border->Blit_Clipped(*dc, inner, e, 0);
  }
  dc->SelectObject(TPen(TColor::White, std::max(1, e / 2), PS_INSIDEFRAME));
  dc->SelectObject(TBrush::Null());
  dc->Ellipse(inner.Inflated_By(e, e));
  Draw_Disc(*dc, miniature_area, nullptr);
}

void Main_Window_IO::Draw_Miniature(Shape_Drawing* picture, const TColor* fill) {
  if (auto dc = Backdrop_DC()) {
    if (fill) {
      const TRegion disc = TRegion::Ellipse(miniature_area);
      dc->SelectClipRgn(&disc);
      dc->FillRect(miniature_area, TBrush(*fill));
      dc->SelectClipRgn(nullptr);
    } else {
      Draw_Disc(*dc, miniature_area, picture);
    }
  }
  Paint_Now();
}

void Main_Window_IO::Take_Drawing(const Shape_Drawing* drawing) {
  given_drawing = drawing;
  Drawing_Collection* store = Store();
  if (!drawing || !store) {
    Draw_Miniature(nullptr, nullptr);
    return;
  }
  if (drawing->Blank) {
    // An empty drawing: its background shows, and there is nothing to drag.
    TColor background = drawing->Background;
    if (The_GUI_Colors) background = RGB_To_Palette_Color(background, *The_GUI_Colors->Palette);
    Draw_Miniature(nullptr, &background);
    return;
  }
  auto copy = std::make_unique<Shape_Drawing>(*drawing, true);
  store->Add(copy, Drawing_Place::Slot, Drawing_Place::Main_Slot, 0);
  Draw_Miniature(store->Picture(My_Place(), Sixth_Picture_Size, 0, HWND()), nullptr);
}

std::unique_ptr<Shape_Drawing> Main_Window_IO::Return_Drawing() {
  Drawing_Collection* store = Store();
  Shape_Drawing* picture = store ? store->Picture(My_Place(), Full_Picture_Size, 0, HWND()) : nullptr;
  if (!picture) return nullptr;
  if (given_drawing) {
    // The comparison needs pixels; the handed-over drawing is not ours to
    // change, so a copy is unpacked instead.
    Shape_Drawing given(*given_drawing, true);
    if (picture->Same_Pixels(given)) return nullptr;
  }
  return std::make_unique<Shape_Drawing>(*picture, true);
}

bool Main_Window_IO::Pick_Up(const TPoint& point, Drawing_Place& place, TRect& rectangle) {
  if (!TRegion::Ellipse(miniature_area).Contains(point)) return false;
  place = My_Place();
  rectangle = miniature_area;
  Drawing_Collection* store = Store();
  return store && store->State(place) != 0;
}

void Main_Window_IO::Show_Picked_Up(const Drawing_Place&) { Hatch_Disc(miniature_area); }

void Main_Window_IO::Redraw() {
  Drawing_Collection* store = Store();
  Draw_Miniature(store ? store->Picture(My_Place(), Sixth_Picture_Size, 0, HWND()) : nullptr, nullptr);
}

#include "workspace/shape_palette.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "model/notched_square.h"
#include "model/shape_catalogue.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/system/system_sound.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/tip_window.h"

namespace {

constexpr int Notched_Square_Id = 20;

int Size(int index) { return (*The_GUI_Sizes)[index]; }
TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

struct Face_DC : TMemoryDC {
  explicit Face_DC(const TBitmap& face) : TMemoryDC(face) {
    SelectObject(*The_GUI_Colors->Palette);
    RealizePalette();
  }
};

int Level_Of(int level_index) { return std::clamp(level_index, 0, 4); }

}  // namespace

const char* Shape_Tip_Text(int32_t shape_number) {
  static const char* const texts[15] = {"Triangle", "Square",  "Pentagon",  "Hexagon",    "Octagon",
                                        "Circle",   "Semi-Circle", "Quarter Circle", "Oval", "Trapezoid",
                                        "Ring",     "Horse Shoe",  "Crescent",  "Star",       "Arch"};
  if (shape_number == Notched_Square_Id) return "Notched Square";
  if (shape_number < 0 || shape_number >= 15) return nullptr;
  return texts[shape_number];
}

// ---- Shape_Button

Shape_Button::Shape_Button(Shape_Palette* palette, const TRect& cell, const Shape* shape)
    : TWindow(palette, "Shape Button"), Palette(palette), Cell(cell), Shape_Of(shape) {
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = Window_Id;
  Attr.Set_Rect(cell);
  Client = TRect(0, 0, cell.Width(), cell.Height());
}

Shape_Button::~Shape_Button() {
  // A button that goes while it holds the mouse gives it back first.
  if (The_Mouse && The_Mouse->Holds(this)) The_Mouse->Release(this);
  if (The_Tip_Window) The_Tip_Window->Forget(Tip_Text());
}

void Shape_Button::SetupWindow() {
  TWindow::SetupWindow();
  Make_Faces();
}

bool Shape_Button::EvEraseBkgnd(TDC&) { return true; }

bool Shape_Button::Tips_On() const { return Shape_Tips_Level_Table[size_t(Level_Of(Palette->Level_Index))] != 0; }

void Shape_Button::Make_Faces() {
  const int s = Cell.Width(), e = Size(5), m = (s + 3) / 12;
  TRect r(e + m, e + m, s - 1 - m, s - 1 - m);
  Hit_Region = Shape_Of->Make_Region(r);
  r = r.Offset_By(Cell.left, Cell.top);

  {
    Face_DC dc(*Palette->Pressed_Faces);
    dc.FillRect(Cell, TBrush(Scheme(0)));
    dc.SelectStockObject(NULL_PEN);
    dc.SelectStockObject(BLACK_BRUSH);
    Shape_Of->Paint(dc, r.Inflated_By(1, 1));
    Shape_Of->Paint(dc, r.Inflated_By(-2, -2));
    dc.SelectObject(TBrush(Scheme(1)));
    Shape_Of->Paint(dc, r);
    Pressed_Rect = r;
  }
  {
    Face_DC dc(*Palette->Normal_Faces);
    dc.FillRect(Cell, TBrush(Scheme(0)));
    dc.SelectStockObject(NULL_PEN);
    dc.SelectStockObject(BLACK_BRUSH);
    Shape_Of->Paint(dc, r.Offset_By(1, 0));
    Shape_Of->Paint(dc, r.Offset_By(0, 1));
    Shape_Of->Paint(dc, r.Offset_By(1, 1));
    dc.SelectObject(TBrush(Scheme(3)));
    for (int i = 0; i < e; ++i) {
      Shape_Of->Paint(dc, r);
      r = r.Offset_By(-1, 0);
      Shape_Of->Paint(dc, r);
      r = r.Offset_By(0, -1);
    }
    dc.SelectObject(TBrush(Scheme(5)));
    Shape_Of->Paint(dc, r);
    Shape_Of->Paint(dc, r.Offset_By(-1, 0));
    Shape_Of->Paint(dc, r.Offset_By(0, -1));
    r = r.Offset_By(1, 1);
    dc.SelectObject(TBrush(Scheme(1)));
    Shape_Of->Paint(dc, r);
    Raised_Rect = r;
  }
  Hit_Region |= Shape_Of->Make_Region(r.Offset_By(-Cell.left, -Cell.top));
  if (!Shape_Box_Level_Table[size_t(Level_Of(Palette->Level_Index))]) Hit_Region = TRegion(Hit_Region.Bounds());
}

const char* Shape_Button::Tip_Text() const { return Shape_Tip_Text(Shape_Of->Shape_Number); }

void Shape_Button::Paint(TDC& dc, bool, TRect&) {
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  TMemoryDC face(Pressed_Face_Shown ? *Palette->Pressed_Faces : *Palette->Normal_Faces);
  dc.BitBlt(Client, face, Cell.TopLeft());
}

void Shape_Button::Show_Face(bool pressed) {
  if (pressed == Pressed_Face_Shown) return;
  Pressed_Face_Shown = pressed;
  Invalidate(false);
  UpdateWindow();
}

void Shape_Button::EvLButtonDown(UINT, const TPoint& point) {
  if (!Hit_Region.Contains(point)) return;
  if (!Palette->Enabled) {
    Play_System_Sound("Default Beep", true);
    return;
  }
  if (!The_Mouse->Holds(this)) The_Mouse->Capture(this);
  if (Tips_On() && The_Tip_Window) The_Tip_Window->Press_Item(Tip_Text());
  Show_Face(true);
  Palette->Shape_Chosen(Shape_Of->Shape_Number);
}

void Shape_Button::EvLButtonUp(UINT, const TPoint&) { Show_Face(false); }

void Shape_Button::EvMouseMove(UINT, const TPoint& point) {
  if (!Hit_Region.Contains(point)) {
    if (The_Mouse->Holds(this)) {
      The_Mouse->Release(this);
      if (Tips_On() && The_Tip_Window) The_Tip_Window->Leave_Item(Tip_Text());
    }
    Show_Face(false);
  } else if (!The_Mouse->Holds(this)) {
    The_Mouse->Capture(this);
    if (Tips_On() && The_Tip_Window) The_Tip_Window->Enter_Item(Tip_Text());
  }
}

// ---- Reference_Button

Reference_Button::Reference_Button(Shape_Palette* palette, const TRect& cell, const Shape* shape)
    : Shape_Button(palette, cell, shape) {}

const char* Reference_Button::Tip_Text() const { return Can_Add ? "Add Overlay" : "Remove Overlay"; }

void Reference_Button::Draw_Sign(TDC& dc, const TRect& f, bool plus) const {
  const int w = f.Width(), q = w >> 2, t = w / 5;
  const TRect i = f.Inflated_By(-q, -q);
  dc.SelectStockObject(NULL_PEN);
  dc.SelectObject(TBrush(Scheme(0)));
  dc.Rectangle(i.Inflated_By(1, 1));
  const TBrush ink(Scheme(1));
  if (plus) dc.FillRect(TRect(i.left + t, i.top, i.right - t, i.bottom), ink);
  dc.FillRect(TRect(i.left, i.top + t, i.right, i.bottom - t), ink);
}

// Two-pixel dashes every four pixels along the square's edges, so the face
// reads as a square drawn in outline; on the raised face each dash carries a
// little shading.
void Reference_Button::Draw_Dashes(TDC& dc, const TRect& f, bool raised) const {
  const TBrush dash(Scheme(0)), light(Scheme(2));
  const int e = Size(5);
  const TPen stroke(Scheme(39));
  dc.SelectObject(stroke);
  for (int x = f.left + std::max(3, f.Width() / 4); x + 2 <= f.right - 2; x += 4) {
    dc.FillRect(TRect(x, f.top, x + 2, f.top + 1), dash);
    if (raised) dc.FillRect(TRect(x, f.top - 2, x + 2, f.top), light);
  }
  for (int x = f.left + 3; x + 2 <= f.right - 2; x += 4) {
    dc.FillRect(TRect(x, f.bottom - 1, x + 2, f.bottom), dash);
    if (raised)
      for (int k = 0; k < 2; ++k) {
        dc.MoveTo(x + k, f.bottom);
        dc.LineTo(x + k, f.bottom + e - 2);
      }
  }
  for (int y = f.top + 3; y + 2 <= f.bottom - 2; y += 4) {
    dc.FillRect(TRect(f.left, y, f.left + 1, y + 2), dash);
    dc.FillRect(TRect(f.right - 1, y, f.right, y + 2), dash);
    if (raised) {
      dc.FillRect(TRect(f.left - 2, y, f.left, y + 2), light);
      for (int k = 0; k < 2; ++k) {
        dc.MoveTo(f.right, y + k);
        dc.LineTo(f.right + e - 2, y + k);
      }
    }
  }
}

void Reference_Button::Make_Faces() {
  Shape_Button::Make_Faces();
  const auto& square = static_cast<const Notched_Square&>(*Shape_Of);
  for (int raised = 0; raised < 2; ++raised) {
    Face_DC dc(raised ? *Palette->Normal_Faces : *Palette->Pressed_Faces);
    TRect f = raised ? Raised_Rect : Pressed_Rect;
    f.right -= 1;
    f.bottom -= 1;
    const TPen outline(Scheme(1));
    dc.SelectObject(outline);
    dc.SelectObject(TBrush(Scheme(0)));
    square.Paint(dc, f);
    Draw_Dashes(dc, f, raised != 0);
    Draw_Sign(dc, raised ? Raised_Rect : Pressed_Rect, Can_Add);
  }
}

void Reference_Button::Set_Can_Add(bool can_add) {
  if (can_add == Can_Add) return;
  if (The_Tip_Window) The_Tip_Window->Forget(Tip_Text());
  Can_Add = can_add;
  {
    Face_DC pressed(*Palette->Pressed_Faces);
    Draw_Sign(pressed, Pressed_Rect, can_add);
    Face_DC normal(*Palette->Normal_Faces);
    Draw_Sign(normal, Raised_Rect, can_add);
  }
  if (!Pressed_Face_Shown && IsWindow()) Invalidate(false);
}

// ---- Shape_Palette

Shape_Palette::Shape_Palette(TWindow* parent, TPoint origin, int level_index)
    : TWindow(parent, "Shape Palette"), Level_Index(Level_Of(level_index)) {
  S = Size(6);
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = Window_Id;
  Rect = TRect(0, 0, 3 * S, 5 * S);
  Attr.Set_Rect(Rect.Offset_By(origin.x, origin.y));
  for (int id = 0; id < 15; ++id) Shapes.push_back(Make_Palette_Shape(id));
  Shapes.push_back(std::make_unique<Notched_Square>());
  for (const auto& shape : Shapes) Shapes_By_Id[size_t(shape->Shape_Number)] = shape.get();
  const auto screen = GUI_Bitmaps::Screen_Reference();
  Normal_Faces = std::make_unique<TBitmap>(*screen, 3 * S, 5 * S);
  Pressed_Faces = std::make_unique<TBitmap>(*screen, 3 * S, 5 * S);
  for (int i = 0; i < Button_Count - 1; ++i) {
    const int column = i / 5, row = i % 5;
    const TRect cell(column * S, row * S, column * S + S, row * S + S);
    Buttons[size_t(i)] = new Shape_Button(this, cell, Shapes_By_Id[size_t(i)]);
  }
  Last_Cell = TPoint(2 * S, 4 * S);
  Buttons[Button_Count - 1] = Make_Last_Button(Level_Index);
}

Shape_Palette::~Shape_Palette() {
  // The buttons go first, while the shapes they show still exist.
  for (Shape_Button*& button : Buttons) {
    delete button;
    button = nullptr;
  }
}

bool Shape_Palette::EvEraseBkgnd(TDC&) { return true; }

Shape_Button* Shape_Palette::Make_Last_Button(int level_index) {
  const TRect cell(Last_Cell, TSize(S, S));
  if (Overlay_Level_Table[size_t(Level_Of(level_index))])
    return new Reference_Button(this, cell, Shapes_By_Id[Notched_Square_Id]);
  return new Shape_Button(this, cell, Shapes_By_Id[14]);
}

Reference_Button* Shape_Palette::Overlay_Button() const {
  return dynamic_cast<Reference_Button*>(Buttons[Button_Count - 1]);
}

void Shape_Palette::Set_Level(int previous_level_index, int level_index) {
  Level_Index = Level_Of(level_index);
  if (Overlay_Level_Table[size_t(Level_Of(previous_level_index))] == Overlay_Level_Table[size_t(Level_Index)]) return;
  delete Buttons[Button_Count - 1];
  Buttons[Button_Count - 1] = Make_Last_Button(Level_Index);
  if (IsWindow()) Buttons[Button_Count - 1]->Create();
}

void Shape_Palette::Shape_Chosen(int32_t shape_number) {
  const Shape* shape = shape_number >= 0 && shape_number < 21 ? Shapes_By_Id[size_t(shape_number)] : nullptr;
  if (Parent) Parent->PostMessage(Shape_Selected_Message, WPARAM(shape_number), reinterpret_cast<LPARAM>(shape));
}

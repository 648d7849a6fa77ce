#include "gallery/clipboard_io.h"

#include "gallery/drawing_collection.h"
#include "gallery/gallery_window.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/device_caps.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"

namespace {

constexpr Drawing_Place Clipboard_Slot{Drawing_Place::Slot, Drawing_Place::Clipboard_Slot, 0};

int Size(int index) { return The_GUI_Sizes ? (*The_GUI_Sizes)[index] : 0; }

TColor Scheme(int i) { return The_GUI_Colors ? The_GUI_Colors->Scheme_RGB(i) : TColor::Black; }

}  // namespace

const TResponse_Table<Clipboard_IO> Clipboard_IO::Table = {
    EV_MESSAGE<Clipboard_IO>(Clipboard_IO::Clipboard_Changed_Message, &Clipboard_IO::Ev_Clipboard_Changed),
};

Clipboard_IO::Clipboard_IO(Gallery_Window* gallery, const TRect& rect)
    : Gallery_IO_Point(gallery, "Clipboard Window", Clipboard_Id, rect, "System Clipboard") {
  const int s = Size(10) / 6;
  miniature_area = TRect((area.Width() - s) / 2, (area.Height() - s) / 2, (area.Width() - s) / 2 + s,
                         (area.Height() - s) / 2 + s);
}

Clipboard_IO::~Clipboard_IO() {
  if (watching) Service().Watch(nullptr);
}

TClipboard_Service& Clipboard_IO::Service() {
  if (TClipboard_Service* installed = TClipboard_Service::Installed()) return *installed;
  return TDesktop::Current().Backend().Picture_Clipboard();
}

bool Clipboard_IO::Find(TEventInfo& info) { return Table.Dispatch(*this, info) || Gallery_IO_Point::Find(info); }

Drawing_Place Clipboard_IO::My_Place() const { return Clipboard_Slot; }

void Clipboard_IO::SetupWindow() {
  Gallery_IO_Point::SetupWindow();
  Draw_Board();
  // Hear of every change of the clipboard, as a message to this window.
  const HWND self = GetHandle();
  Service().Watch([self] { ::PostMessage(self, Clipboard_Changed_Message); });
  watching = true;
}

void Clipboard_IO::Draw_Board() {
  const int width = area.Width(), height = area.Height();
  const int a = Size(24), e = a - Size(4), g = Size(29), t = height / 7, s = Size(10) / 6, bw = s + 2 * g;
  const TRect board(width / 2 - bw / 2, t - a, width / 2 - bw / 2 + bw, height - 2 * e - a);
  drop_area = board.Offset_By(Attr.X, Attr.Y);
  auto dc = Backdrop_DC();
  if (!dc) return;
  // The frame and the board: rectangles with round corners a quarter of
  // their width across.
  const TRect frame(board.left - a - e, board.top - a - e, board.right + a + 2 * e, board.bottom + a + 2 * e);
  dc->SelectObject(TPen(Scheme(2), 1));
  dc->SelectObject(TBrush(Scheme(7)));
  dc->RoundRect(frame, TPoint(frame.Width() / 4, frame.Width() / 4));
  dc->SelectObject(TBrush(Scheme(8)));
  dc->RoundRect(board, TPoint(board.Width() / 4, board.Width() / 4));
  // A pad of paper: sheets framed one above the other, the top one ruled.
  TRect sheet = miniature_area.Inflated_By(g / 2, g / 2);
  dc->SelectObject(TBrush(TColor::White));
  for (int i = 0; i < e / 2 + 1; ++i) {
    dc->Rectangle(sheet);
    if (i < e / 2) sheet = sheet.Offset_By(-2, -2);
  }
  dc->SelectObject(TPen(Scheme(6), 1));
  const int rule = sheet.Height() / 13;
  for (int k = 1; k <= 12; ++k) {
    dc->MoveTo(sheet.left, sheet.bottom - k * rule);
    dc->LineTo(sheet.right + 1, sheet.bottom - k * rule);
  }
  if (The_GUI_Metafiles) {
    The_GUI_Metafiles->Ensure(Clip_Picture);
    The_GUI_Metafiles->Play(Clip_Picture, *dc, TRect(board.left + a, 0, board.right - a, t));
    The_GUI_Metafiles->Release(Clip_Picture);
  }
}

void Clipboard_IO::Paint(TDC& dc, bool erase, TRect& rect) {
  Gallery_IO_Point::Paint(dc, erase, rect);
  Drawing_Collection* store = Store();
  if (!store || store->State(Clipboard_Slot) == 0) return;
  Draw_Disc(dc, miniature_area, store->Picture(Clipboard_Slot, Sixth_Picture_Size, 0, GetHandle()));
}

bool Clipboard_IO::Pick_Up(const TPoint& point, Drawing_Place& place, TRect& rectangle) {
  if (!TRegion::Ellipse(miniature_area).Contains(point)) return false;
  place = Clipboard_Slot;
  rectangle = miniature_area;
  Drawing_Collection* store = Store();
  return store && store->State(Clipboard_Slot) != 0;
}

void Clipboard_IO::Show_Picked_Up(const Drawing_Place&) { Hatch_Disc(miniature_area); }

TClipboard_Service::TPicture Clipboard_IO::Picture_Png(Shape_Drawing& picture) {
  if (!picture.Bitmap) return nullptr;
  TDiBitmap& bits = *picture.Bitmap;
  const int w = picture.Width(), h = picture.Height();
  if (w <= 0 || h <= 0 || w > bits.Width() || h > bits.Height()) return nullptr;
  // On a true-colour display the picture's colours are the program
  // palette's; a palette display keeps the bitmap's own table.
  std::vector<uint32_t> table(bits.GetColors(), bits.GetColors() + bits.NumColors());
  if (!TDevice_Caps::Is_Palette_Device() && The_GUI_Colors) table = The_GUI_Colors->Palette->Shared()->Xrgb_Table();
  if (table.empty()) return nullptr;
  // The bitmap is stored bottom row first: the top row is its last, and
  // each row down lies one stride back.
  const uint8_t* top = bits.GetBits() + (bits.Height() - 1) * bits.Pitch();
  auto png = Encode_PNG_Indexed(w, h, top, -bits.Pitch(), table.data(), int(std::min<size_t>(table.size(), 256)));
  if (png.empty()) return nullptr;
  return std::make_shared<const std::vector<uint8_t>>(std::move(png));
}

void Clipboard_IO::Accept_Drop(const Drawing_Place& source) {
  Gallery_IO_Point::Accept_Drop(source);
  Drawing_Collection* store = Store();
  if (source == Clipboard_Slot || !store || store->State(Clipboard_Slot) == 0) return;
  own_change = 1;
  Shape_Drawing* full = store->Picture(Clipboard_Slot, Full_Picture_Size, 0, HWND());
  TClipboard_Service::TPicture png = full ? Picture_Png(*full) : nullptr;
  if (png && Service().Place_Png(png)) return;
  // Nothing was placed: the clipboard did not change, so no notice will
  // come for this, and the slot must not claim to stand for it.
  own_change = 0;
  store->Forget_Place(Clipboard_Slot);
  Redraw();
}

void Clipboard_IO::Given_Away() {
  Gallery_IO_Point::Given_Away();
  Drawing_Collection* store = Store();
  if (!store || store->State(Clipboard_Slot) != 0) return;
  // Only a clipboard that was still ours changes (and is noticed).
  if (Service().Empty()) own_change = 1;
}

LRESULT Clipboard_IO::Ev_Clipboard_Changed(WPARAM, LPARAM) {
  if (own_change) {
    own_change = 0;
    return 0;
  }
  if (Drawing_Collection* store = Store()) store->Forget_Place(Clipboard_Slot);
  Redraw();
  return 0;
}

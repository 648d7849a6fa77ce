#include "game/fireworks_viewer.h"

#include "game/fireworks_factory.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/region.h"
#include "platform/window/user.h"
#include "platform/window/window.h"
#include "platform/window/window_dc.h"
#include "toolkit/program_messages.h"

namespace {

// Colours lighter than this are dimmed to half; darker ones stay.
constexpr int Dim_Above_Lightness = 75;

}  // namespace

Fireworks_Viewer::Fireworks_Viewer(Fireworks_Factory* factory, TWindow* window)
    : Default_Factory(factory), Default_Window(window) {
  for (int i = 0; i < 256; ++i) Dimming[size_t(i)] = uint8_t(i);
  if (!The_GUI_Colors || !The_GUI_Colors->Palette) return;
  const TPalette& palette = *The_GUI_Colors->Palette;
  const int count = std::min(palette.GetNumEntries(), 256);
  for (int i = 0; i < count; ++i) {
    const uint32_t xrgb = palette.Entry_Xrgb(i);
    const TColor color(uint8_t(xrgb >> 16), uint8_t(xrgb >> 8), uint8_t(xrgb));
    if (RGB_To_HLS(color).lightness <= Dim_Above_Lightness) continue;
    const TColor half(uint8_t(color.Red() / 2), uint8_t(color.Green() / 2), uint8_t(color.Blue() / 2));
    Dimming[size_t(i)] = uint8_t(palette.GetNearestPaletteIndex(half));
  }
}

Fireworks_Viewer::~Fireworks_Viewer() {
  Animation_Player::Stop();
  Release_Show();
}

void Fireworks_Viewer::Release_Show() {
  Played.reset();
  Target_DC.reset();
  Picture.reset();
}

void Fireworks_Viewer::Play(Fireworks_Factory* factory, const Shape_Drawing& picture, std::unique_ptr<TDC> dc,
                            const TRect& rect, TWindow* window) {
  Animation_Player::Stop();
  Release_Show();
  Notify = window ? window->GetHandle() : HWND();
  Target_DC = std::move(dc);
  Played = factory ? factory->Take_Sequence() : nullptr;
  // The show is played over a dimmed copy: the drawing itself never
  // changes, so whatever happens to the show, the drawing is as it was.
  Picture = std::make_unique<Shape_Drawing>(picture, true);
  if (Played && Picture->Rect.Size() != Played->Size()) {
    const TSize size = Played->Size();
    Picture = std::make_unique<Shape_Drawing>(*Picture, TRect(0, 0, size.cx, size.cy));
  }
  if (uint8_t* bits = Picture->Writable_Pixels(); bits && Picture->Bitmap) {
    const uint32_t bytes = Picture->Bitmap->SizeImage();
    for (uint32_t i = 0; i < bytes; ++i) bits[i] = Dimming[bits[i]];
  }
  if (Target_DC) {
    if (The_GUI_Colors && The_GUI_Colors->Palette) {
      Target_DC->SelectObject(*The_GUI_Colors->Palette);
      Target_DC->RealizePalette();
    }
    Picture->Paint(*Target_DC, rect);
  }
  if (!Played || !Picture->Bitmap) {
    // Nothing to play: the show is over at once.
    Target_DC.reset();
    if (Notify) ::PostMessage(Notify, Fireworks_Finished_Message, 0, 0);
    Notify = HWND();
    return;
  }
  Animation_Player::Play(Played.get(), Picture->Bitmap, Target_DC.get(), rect, -1);
}

void Fireworks_Viewer::Play(const Shape_Drawing& picture, TDC& dc, const TRect& area) {
  std::unique_ptr<TDC> own;
  if (Default_Window) {
    own = std::make_unique<TClientDC>(*Default_Window);
    TRegion clip;
    if (dc.GetClipRgn(clip)) own->SelectClipRgn(clip);
  }
  Play(Default_Factory, picture, std::move(own), area, Default_Window);
}

bool Fireworks_Viewer::Paint_Under(TDC& dc, const TRect& area) {
  // The picture stays until the next show or the viewer goes, whatever the
  // playback thread does; the show only reads it.
  if (!Playing() || !Picture) return false;
  Picture->Paint(dc, area);
  return true;
}

void Fireworks_Viewer::Finished() {
  Animation_Player::Finished();
  // Letting go of the context only tells the window system that it is done;
  // an open context would have its area presented again and again.
  Target = nullptr;
  Target_DC.reset();
  // The drawing window repaints the drawing on its own thread.
  if (Notify) ::PostMessage(Notify, Fireworks_Finished_Message, 0, 0);
  Notify = HWND();
}

#include "workspace/review_window.h"

#include "help/help_window.h"

#include <algorithm>
#include <cmath>

#include "model/gui_colors.h"
#include "model/virtual_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/region.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/tip_window.h"
#include "toolkit/program_messages.h"

namespace {

const TColor Drawing_Background(255, 255, 255);

TRect Square_Round(int cx, int cy, int half) { return TRect(cx - half, cy - half, cx + half, cy + half); }

// Unpacked while in use; packed again afterwards when it was.
class Unpacked {
 public:
  explicit Unpacked(Shape_Drawing& picture) : picture_(picture), was_packed_(picture.Packed != nullptr) {
    picture_.Unpack(false, nullptr);
  }
  ~Unpacked() {
    if (was_packed_) picture_.Pack(false, true);
  }

 private:
  Shape_Drawing& picture_;
  bool was_packed_;
};

}  // namespace

Review_Window::Review_Window(TWindow* parent, const TRect& rect)
    : Round_Window(parent, "Review Window", Window_Id, rect) {
  const int S = (*The_GUI_Sizes)[Drawing_Side_Size], B = (*The_GUI_Sizes)[26], b = (*The_GUI_Sizes)[27];
  const int cx = rect.Width() / 2, cy = rect.Height() / 2;
  const int H = (S / 2) / 3, h = (S / 2) / 6;
  cell[0] = Square_Round(cx, cy, H);
  cell_frame[0] = cell[0].Inflated_By(B, B);
  // Cells 12 down to 1 on a spiral that starts at the top centre and winds
  // clockwise inward, each step one small cell's width along it.
  double a = 1.5707964, r = double(cy - (h + b));
  const double shrink = double(cell_frame[0].top - 2 * (h + b)) * 0.16407726091947972;
  int x = cx, y = h + b;
  for (int i = Cell_Count - 1; i >= 1; --i) {
    cell[size_t(i)] = Square_Round(x, y, h);
    cell_frame[size_t(i)] = cell[size_t(i)].Inflated_By(b, b);
    const double d = double(h + b) * 2.1 / r;
    a -= d;
    r -= d * shrink;
    x = cx + int(std::cos(a) * r);
    y = cy - int(std::sin(a) * r);
  }
}

Review_Window::~Review_Window() = default;

void Review_Window::SetupWindow() {
  Round_Window::SetupWindow();
  if (The_Help_Window) The_Help_Window->Load_Section(1, Screen_Rect(*this, Inner_Rect), 1);
  const struct {
    int corner;
    int picture;
    const char* tip;
  } corners[] = {{0, 14, "Reverse"}, {1, 13, "Forward"}, {2, 18, "Cancel"}, {3, 17, "OK"}};
  for (const auto& c : corners) {
    The_GUI_Bitmaps->Get(c.picture, Picture_Size);
    if (const auto& picture = The_GUI_Bitmaps->Pictures[size_t(c.picture)])
      Set_Corner_Button(c.corner, *picture, c.tip, true, true, true);
    The_GUI_Bitmaps->Drop(c.picture);
  }
  Corner_Repeat[0] = Corner_Repeat[1] = 500;
  display = std::make_unique<Shape_Drawing>(cell[0].Width(), cell[0].Height(), The_GUI_Colors->Palette.get(),
                                            Drawing_Background);
  thumb = std::make_unique<Shape_Drawing>(cell[1].Width(), cell[1].Height(), The_GUI_Colors->Palette.get(),
                                          Drawing_Background);
}

void Review_Window::Set_Frames(Shape_Drawing** new_frames, Virtual_Drawing** new_pieces, int32_t new_count,
                               int32_t new_position) {
  frames = new_frames;
  frame_pieces = new_pieces;
  count = std::max(new_count, 0);
  position = std::clamp(new_position, 0, std::max(count - 1, 0));
  thumbnails.clear();
  thumbnails.resize(size_t(count));
  Refresh_Corner_Buttons();
}

Shape_Drawing* Review_Window::Shown_Frame() const {
  return frames && position < count ? frames[position] : nullptr;
}

// ---- Moves

void Review_Window::Move_To(int32_t new_position) {
  if (The_Tip_Window) The_Tip_Window->Hide();
  position = new_position;
  if (IsWindow() && IsWindowVisible()) {
    TClientDC dc(*this);
    dc.SelectClipRgn(Inner_Region);
    Draw_Frames(dc);
  }
  Refresh_Corner_Buttons();
}

void Review_Window::Older() {
  if (position < count - 1) Move_To(position + 1);
}
void Review_Window::Newer() {
  if (position > 0) Move_To(position - 1);
}
void Review_Window::Older_Page() {
  if (position < count - 1) Move_To(std::min(position + Page, count - 1));
}
void Review_Window::Newer_Page() {
  if (position > 0) Move_To(std::max(position - Page, 0));
}
void Review_Window::Oldest() {
  if (position < count - 1) Move_To(count - 1);
}
void Review_Window::Newest() {
  if (position > 0) Move_To(0);
}

void Review_Window::EvKeyDown(UINT key, UINT repeat_count, UINT flags) {
  switch (key) {
    case VK_LEFT:
    case VK_UP: Older(); break;
    case VK_RIGHT:
    case VK_DOWN: Newer(); break;
    case VK_PRIOR: Older_Page(); break;
    case VK_NEXT: Newer_Page(); break;
    case VK_HOME: Oldest(); break;
    case VK_END: Newest(); break;
    case VK_F1:
      if (Parent && Parent->GetParent()) Parent->GetParent()->PostMessage(Help_Request_Message);
      break;
    default: Round_Window::EvKeyDown(key, repeat_count, flags); break;
  }
}

void Review_Window::Corner_Pressed(int corner) {
  if (corner == 0) Older();
  if (corner == 1) Newer();
}

void Review_Window::Corner_Clicked(int corner) {
  if (corner == 2) Finish(2);
  if (corner == 3) Finish(1);
}

void Review_Window::Finish(int code) {
  thumbnails.clear();
  if (The_Help_Window) The_Help_Window->Reset_Section(1);
  // The window is hidden next and sees no more moves: the hover of the
  // corner just clicked must not keep the mouse.
  while (Capture_Count > 0) Give_Back_Capture_Reason();
  if (Parent) Parent->PostMessage(Review_Finished_Message, WPARAM(code), code == 1 ? LPARAM(position) : 0);
}

bool Review_Window::Is_Corner_Enabled(int corner) {
  switch (corner) {
    case 0: return position < count - 1;
    case 1: return position > 0;
    default: return true;
  }
}

void Review_Window::Client_Button_Down(UINT, const TPoint& point) {
  if (!frames) return;
  for (int32_t i = 0; i < Cell_Count && position + i < count; ++i) {
    if (TRegion::Ellipse(cell_frame[size_t(i)]).Contains(point)) {
      if (i > 0) Move_To(position + i);
      return;
    }
  }
}

// ---- Drawing

Shape_Drawing& Review_Window::Thumbnail(int32_t frame) {
  std::unique_ptr<Shape_Drawing>& small = thumbnails[size_t(frame)];
  if (!small) {
    Shape_Drawing& source = *frames[frame];
    Unpacked in_use(source);
    small = std::make_unique<Shape_Drawing>(thumb->Width(), thumb->Height(), thumb->Palette, Drawing_Background);
    small->Copy_Scaled(source);
    if (frame_pieces && frame_pieces[frame]) frame_pieces[frame]->Draw(*small, TSize(0, 0));
    small->Pack(false, false);
  }
  return *small;
}

void Review_Window::Draw_Frames(TDC& dc) {
  const int level = dc.SaveDC();
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  TRegion outer_clip;
  const bool clipped = dc.GetClipRgn(outer_clip);
  auto clip_to = [&](const TRect& r) {
    TRegion region = TRegion::Ellipse(r);
    if (clipped) region &= outer_clip;
    dc.SelectClipRgn(region);
  };
  for (int32_t i = 0; i < Cell_Count; ++i) {
    clip_to(cell[size_t(i)]);
    const int32_t frame = position + i;
    if (!frames || frame >= count || !frames[frame]) {
      dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
      dc.PatBlt(cell[size_t(i)], PATCOPY);
      continue;
    }
    if (i == 0) {
      Shape_Drawing& source = *frames[frame];
      {
        Unpacked in_use(source);
        display->Copy_Scaled(source);
      }
      if (frame_pieces && frame_pieces[frame]) frame_pieces[frame]->Draw(*display, TSize(0, 0));
      display->Paint(dc, cell[0]);
    } else {
      Shape_Drawing view(Thumbnail(frame), true);
      view.Paint(dc, cell[size_t(i)]);
    }
  }
  dc.RestoreDC(level);
}

void Review_Window::Paint_Client(TDC& dc) {
  if (!IsWindowVisible()) return;
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
  dc.PatBlt(Inner_Rect, PATCOPY);
  // The round bands: a ring of scheme colour 1 round every cell.
  TRegion clip;
  const bool clipped = dc.GetClipRgn(clip);
  for (int32_t i = 0; i < Cell_Count; ++i) {
    TRegion ring = TRegion::Ellipse(cell_frame[size_t(i)]) - TRegion::Ellipse(cell[size_t(i)]);
    if (clipped) ring &= clip;
    dc.SelectClipRgn(ring);
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_1);
    dc.PatBlt(cell_frame[size_t(i)], PATCOPY);
  }
  if (clipped) dc.SelectClipRgn(clip);
  else dc.SelectClipRgn(nullptr);
  Draw_Frames(dc);
}

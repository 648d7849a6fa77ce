#include "toolkit/frame_presenter.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/surface.h"

void Frame_Presenter::Start() {
  Whole = true;
  Last_Drawn = TRect();
  Changed_Rect = TRect();
}

void Frame_Presenter::Prepare(Animation_Sequence& sequence, const TDib& background, TDib& work) {
  const TRect picture(0, 0, std::min(background.Width(), work.Width()), std::min(background.Height(), work.Height()));
  const TRect drawn = sequence.Next_Frame_Box().Intersection(picture);
  if (Whole) {
    std::memcpy(work.GetBits(), background.GetBits(), std::min(background.SizeImage(), work.SizeImage()));
    Changed_Rect = picture;
    Whole = false;
  } else {
    // Where the last frame drew, the background comes back.
    const TSurface& from = *background.Surface();
    TSurface& to = *work.Surface();
    for (int y = Last_Drawn.top; y < Last_Drawn.bottom; ++y)
      std::memcpy(to.Row(y) + Last_Drawn.left, from.Row(y) + Last_Drawn.left, size_t(Last_Drawn.Width()));
    Changed_Rect = Last_Drawn.Union(drawn);
  }
  sequence.Next_Frame(work);
  Last_Drawn = drawn;
}

void Frame_Presenter::Show(TDC& target, const TRect& rect, const TDC& work_dc) const {
  const TRect part = Changed_Rect.Intersection(TRect(0, 0, rect.Width(), rect.Height()));
  if (part.IsEmpty()) return;
  target.BitBlt(rect.left + part.left, rect.top + part.top, part.Width(), part.Height(), work_dc, part.left, part.top,
                SRCCOPY);
}

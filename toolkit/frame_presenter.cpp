#include "toolkit/frame_presenter.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/raster_op.h"
#include "platform/gdi/surface.h"

void Frame_Presenter::Start(bool in_colour) {
  In_Colour = in_colour;
  Whole = true;
  Last_Drawn = TRect();
  Changed_Rect = TRect();
  Size = TSize();
  Packed_Background = std::vector<uint8_t>();
  Shown_Runs = std::vector<Run>();
  Pending_Runs = std::vector<Run>();
  Pending = false;
  Pending_Whole = false;
}

void Frame_Presenter::Prepare(Animation_Sequence& sequence, const TDib& background, TDib& work) {
  const TRect picture(0, 0, std::min(background.Width(), work.Width()), std::min(background.Height(), work.Height()));
  // A sequence of another size cannot be drawn straight; the player does
  // not play one, but the work picture would take what fits.
  In_Colour = In_Colour && sequence.Fits(background) && sequence.Fits(work);
  const TRect drawn =
      In_Colour ? Prepare_In_Colour(sequence, background, work) : Prepare_Indexed(sequence, background, work);
  Changed_Rect = Whole ? picture : Last_Drawn.Union(drawn);
  Whole = false;
  Last_Drawn = drawn.Intersection(picture);
}

TRect Frame_Presenter::Prepare_Indexed(Animation_Sequence& sequence, const TDib& background, TDib& work) {
  const TRect drawn = sequence.Next_Frame_Box();
  if (Whole) {
    // Row by row: the two pictures' rows may be padded differently.
    const TSurface& from = *background.Surface();
    TSurface& to = *work.Surface();
    const int rows = std::min(from.Height(), to.Height());
    const size_t row_bytes = size_t(std::min(sequence.Size().cx, std::min(from.Width(), to.Width())));
    for (int y = 0; y < rows; ++y) std::memcpy(to.Row(y), from.Row(y), row_bytes);
  } else {
    // Where the last frame drew, the background comes back.
    const TSurface& from = *background.Surface();
    TSurface& to = *work.Surface();
    for (int y = Last_Drawn.top; y < Last_Drawn.bottom; ++y)
      std::memcpy(to.Row(y) + Last_Drawn.left, from.Row(y) + Last_Drawn.left, size_t(Last_Drawn.Width()));
  }
  sequence.Next_Frame(work);
  return drawn;
}

void Frame_Presenter::Start_In_Colour(const TSize& size, const TDib& background, const TDib& work) {
  // The frames' size: a picture may be wider by the padding of its rows.
  Size = size;
  const int w = size.cx, h = size.cy;
  for (int i = 0; i < 256; ++i) Colours[i] = i < work.NumColors() ? work.GetColors()[i] & 0xFFFFFF : 0;
  // The background's rows without their padding, in the frames' order.
  Packed_Background.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    std::memcpy(&Packed_Background[size_t(h - 1 - y) * size_t(w)], background.Surface()->Row(y), size_t(w));
}

TRect Frame_Presenter::Prepare_In_Colour(Animation_Sequence& sequence, const TDib& background, const TDib& work) {
  if (Whole) Start_In_Colour(sequence.Size(), background, work);
  Pending_Runs.clear();
  Pending = true;
  Pending_Whole = Whole;
  const size_t width = size_t(Size.cx);
  // The rows (as stored, bottom first) are followed along rather than
  // divided out: a frame has many short runs, and one may go on into the
  // next row.
  size_t row = 0, row_start = 0;
  int left = Size.cx, right = 0;
  sequence.Next_Frame_Runs([&](size_t at, const uint8_t* values, uint32_t count) {
    while (count > 0) {
      while (at >= row_start + width) row_start += width, ++row;
      const uint32_t part = uint32_t(std::min<size_t>(count, row_start + width - at));
      const int x = int(at - row_start);
      Pending_Runs.push_back({uint32_t(at), x, Size.cy - 1 - int(row), part, values});
      left = std::min(left, x);
      right = std::max(right, x + int(part));
      at += part, values += part, count -= part;
    }
  });
  // Memory order runs up the picture: the first run is the lowest.
  if (Pending_Runs.empty()) return TRect();
  return TRect(left, Pending_Runs.back().y, right, Pending_Runs.front().y + 1);
}

void Frame_Presenter::Show(TDC& target, const TRect& rect, const TDC& work_dc) {
  if (In_Colour) {
    // Each frame prepared is put once: its runs are then the ones shown.
    if (Pending) Show_In_Colour(target, rect);
    return;
  }
  const TRect part = Changed_Rect.Intersection(TRect(0, 0, rect.Width(), rect.Height()));
  if (part.IsEmpty()) return;
  target.BitBlt(rect.left + part.left, rect.top + part.top, part.Width(), part.Height(), work_dc, part.left, part.top,
                SRCCOPY);
}

void Frame_Presenter::Show_In_Colour(TDC& target, const TRect& rect) {
  const TRect frame(0, 0, std::min(rect.Width(), Size.cx), std::min(rect.Height(), Size.cy));
  const TRect part = Changed_Rect.Intersection(frame);
  const bool whole = Pending_Whole;
  Pending = false;
  if (!part.IsEmpty()) {
    const uint8_t* under = Packed_Background.data();
    const int left = rect.left, top = rect.top;
    target.Put_Index_Runs(part.Offset_By(left, top), Colours, [&](TIndex_Run_Writer& writer) {
      if (whole)
        for (int y = 0; y < Size.cy; ++y)
          writer.Put(left, top + y, under + size_t(Size.cy - 1 - y) * size_t(Size.cx), uint32_t(Size.cx));
      // One sweep in memory order: the last frame's runs go back to the
      // background just before the new frame's runs that end after them
      // are drawn, so a pixel both frames drew ends in the new colour.
      size_t next = 0;
      auto restore_before = [&](size_t end) {
        for (; next < Shown_Runs.size() && Shown_Runs[next].at < end; ++next) {
          const Run& run = Shown_Runs[next];
          writer.Put(left + run.x, top + run.y, under + run.at, run.count);
        }
      };
      for (const Run& run : Pending_Runs) {
        restore_before(run.at + run.count);
        writer.Put(left + run.x, top + run.y, run.values, run.count);
      }
      restore_before(SIZE_MAX);
    });
  }
  std::swap(Shown_Runs, Pending_Runs);
}

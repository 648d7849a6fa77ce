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
  Last_Runs.clear();
  Colour_Context.reset();
  Colour_Work.reset();
  Packed_Background = std::vector<uint8_t>();
}

void Frame_Presenter::Prepare(Animation_Sequence& sequence, const TDib& background, TDib& work) {
  const TRect picture(0, 0, std::min(background.Width(), work.Width()), std::min(background.Height(), work.Height()));
  const TRect drawn = In_Colour && sequence.Fits(background) && sequence.Fits(work)
                          ? Prepare_In_Colour(sequence, background, work)
                          : Prepare_Indexed(sequence, background, work);
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
  const int w = size.cx, h = size.cy;
  for (int i = 0; i < 256; ++i) Colours[i] = i < work.NumColors() ? work.GetColors()[i] & 0xFFFFFF : 0;
  Colour_Work = std::make_unique<TDib>(std::make_shared<TSurface>(w, h, 32, true));
  // The background's rows without their padding, in the frames' order.
  Packed_Background.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = background.Surface()->Row(y);
    std::memcpy(&Packed_Background[size_t(h - 1 - y) * size_t(w)], from, size_t(w));
    uint32_t* to = Colour_Work->Surface()->Row32(y);
    for (int x = 0; x < w; ++x) to[x] = Colours[from[x]];
  }
  Colour_Context = std::make_unique<TDibDC>(*Colour_Work);
}

TRect Frame_Presenter::Prepare_In_Colour(Animation_Sequence& sequence, const TDib& background, const TDib& work) {
  if (Whole) Start_In_Colour(sequence.Size(), background, work);
  // Both pictures hold their pixels in the frames' memory order, bottom row
  // first, one 32-bit value a pixel.
  uint32_t* pixels = reinterpret_cast<uint32_t*>(Colour_Work->GetBits());
  // The background is read in its 8 bits: a quarter of the memory to
  // reach for the scattered pixels put back.
  const uint8_t* under = Packed_Background.data();
  // One sweep through the picture in memory order: the last frame's runs
  // go back to the background just before the new frame's runs that come
  // after them are drawn. The runs are short (a spark is a pixel or two)
  // and scattered, so they are copied in place and the sweep keeps to one
  // direction.
  std::swap(Last_Runs, Next_Runs);
  Last_Runs.clear();
  size_t next = 0;
  auto restore_before = [&](size_t end) {
    for (; next < Next_Runs.size() && Next_Runs[next].at < end; ++next) {
      const Run& run = Next_Runs[next];
      for (uint32_t i = 0; i < run.count; ++i) pixels[run.at + i] = Colours[under[run.at + i]];
    }
  };
  Frame_Run_Code::Run_Box box(sequence.Size().cx, sequence.Size().cy);
  sequence.Next_Frame_Runs([&](size_t at, const uint8_t* values, uint32_t count) {
    restore_before(at + count);
    for (uint32_t i = 0; i < count; ++i) pixels[at + i] = Colours[values[i]];
    Last_Runs.push_back({at, count});
    box.Add(at, count);
  });
  restore_before(SIZE_MAX);
  return box.Box();
}

void Frame_Presenter::Show(TDC& target, const TRect& rect, const TDC& work_dc) const {
  const TRect part = Changed_Rect.Intersection(TRect(0, 0, rect.Width(), rect.Height()));
  if (part.IsEmpty()) return;
  const TDC& source = Colour_Context ? static_cast<const TDC&>(*Colour_Context) : work_dc;
  target.BitBlt(rect.left + part.left, rect.top + part.top, part.Width(), part.Height(), source, part.left, part.top,
                SRCCOPY);
}

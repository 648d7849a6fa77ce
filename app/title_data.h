// The layout of the title picture: where the title window stands on the
// screen and the twelve round areas of the picture that start covered. One
// layout is built in for each supported screen height; other heights use a
// scaled copy.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "model/tstreamablebase.h"
#include "model/tstreamer.h"
#include "platform/gdi/geometry.h"

class Title_Data : public TStreamableBase {
 public:
  static constexpr int Rect_Count = 14;
  static constexpr int Area_Count = 12;

  Title_Data() = default;
  explicit Title_Data(For_Stream_Tag) {}

  // 0 the window on the screen, 1 a square round the picture's centre
  // (kept and scaled, not shown), 2-13 the areas in picture coordinates.
  std::array<TRect, Rect_Count> Rects{};

  const TRect& Window_Rect() const { return Rects[0]; }
  // Area 0-11; each is the ellipse inscribed in its rectangle.
  const TRect& Area(int index) const { return Rects[size_t(2 + index)]; }

  // Every rectangle of layout taken from base_height to screen_height.
  static std::unique_ptr<Title_Data> Scaled_Copy(const Title_Data& layout, int32_t base_height,
                                                 int32_t screen_height);
  // Corners scaled, then width and height scaled and added to them, in
  // integer arithmetic truncating toward zero.
  static TRect Scale_Rect(const TRect& rect, int32_t base_height, int32_t screen_height);

  const char* Streamable_Name() const override { return "Title_Data"; }

  class Streamer;
};

// The fourteen rectangles in order, each as left, top, right, bottom.
class Title_Data::Streamer : public TNewStreamer {
 public:
  explicit Streamer(Title_Data* layout) : TNewStreamer(layout) {}
  TStreamableBase* Read(ipstream& is, uint32_t version) override;
  void Write(opstream& os) const override;
  uint32_t Class_Version() const override { return 1; }
  static std::unique_ptr<TStreamer> Build(TStreamableBase* object);
};

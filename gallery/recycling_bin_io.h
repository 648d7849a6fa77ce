// The gallery's waste bin: a drop point standing for the store's bin list. A
// drawing dropped on it goes to the front of the list; the front drawings
// (up to seven) stick out of the bin's opening as a pile of one-sixth discs,
// the front one on top, and any of them can be dragged back out. The list is
// not kept: saving or cancelling empties it.
#pragma once

#include <array>
#include <memory>

#include "gallery/gallery_io_point.h"

class Recycling_Bin_IO : public Gallery_IO_Point {
 public:
  static constexpr const char* Caption = "Bin Window";
  static constexpr const char* Tip = "Recycling Bin";
  static constexpr int Slot_Count = 7;

  Recycling_Bin_IO(Gallery_Window* gallery, const TRect& rect);
  ~Recycling_Bin_IO() override;

  void SetupWindow() override;
  Drawing_Place My_Place() const override { return {2, 0, 0}; }
  void Accept_Drop(const Drawing_Place& source) override;
  void Given_Away() override;
  void Drag_Cancelled() override;
  bool Pick_Up(const TPoint& point, Drawing_Place& place, TRect& rectangle) override;
  void Show_Picked_Up(const Drawing_Place& place) override;
  void Redraw() override;

  // The bin's shape for a point of size width x height (client coordinates):
  // the miniatures' slots, the opening above the front edge, the front face
  // and the back rim.
  struct Geometry {
    Geometry(int32_t width, int32_t height, int32_t miniature_side);
    std::array<TRect, Slot_Count> slots;
    TRect opening;
    std::array<TPoint, 4> front;
    std::array<TPoint, 4> back;
  };
  // The slot of list position j with n drawings in the list; -1 when not shown.
  static int Slot_Of(int32_t j, int32_t n);

  const Geometry& Shape() const { return *geometry; }
  int32_t Lifted() const { return lifted; }

 private:
  void Draw_Bin();

  std::unique_ptr<Geometry> geometry;
  std::unique_ptr<TBitmap> clean_picture;
  int32_t lifted = -1;
};

// A drawing held as a list of plane maps, each the image of the unit square
// as one piece of the drawing. Applying a manipulator gives the next
// generation; pieces that leave the drawing area or repeat under a symmetric
// manipulator are dropped, and pieces too small or too many are set aside
// (drawn once, out of later generations). The window draws the pieces as
// dashed outlines with round handles, steps through them, and removes and
// restores them.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "model/affine_transform_2d.h"
#include "platform/gdi/geometry.h"

class Shape_Drawing;
class Transform_Set_2D;

class Virtual_Drawing {
 public:
  // The most pieces that stay live in one generation.
  static constexpr int32_t Max_Live = 1024;

  // One live piece, map, on the drawing area frame.
  Virtual_Drawing(const TRect& frame, const Affine_Transform_2D& map);
  // A compacted copy: the live pieces only.
  Virtual_Drawing(const Virtual_Drawing& source, bool with_handles);
  // The next generation: every live piece of source under every map.
  Virtual_Drawing(const Virtual_Drawing& source, const Transform_Set_2D& maps);
  // Plain copies would share the serial number that tells drawings apart.
  Virtual_Drawing(const Virtual_Drawing&) = delete;
  Virtual_Drawing& operator=(const Virtual_Drawing&) = delete;

  // Same live pieces, in any order (colour steps aside).
  bool Same_As(const Virtual_Drawing& other) const;
  // Moves Cursor to the next live piece; -1 when there is none.
  void Next_Entry();
  void Remove_Entry(int32_t index);
  void Restore_Entry(int32_t index);
  bool Is_Live(int32_t index) const;
  // Dashed contrast outlines of the live pieces written into picture, and
  // round handles when handle_size has a width.
  void Draw(Shape_Drawing& picture, TSize handle_size);
  void Draw_Set_Aside(Shape_Drawing& picture);
  // The lowest live piece whose handle is within half of size of point, or -1.
  int32_t Hit_Entry(TPoint point, TSize size);
  void Update_Handle_Points();
  TRect Entry_Box(int32_t index, TSize size) const;

  int32_t Active_Count() const { return Live_Count + Removed_Count; }

  uint32_t Serial = 0;
  int32_t Capacity = 0;
  int32_t Live_Count = 0;
  int32_t Removed_Count = 0;
  int32_t Set_Aside_Count = 0;
  int32_t Cursor = -1;
  TRect Frame;
  std::vector<Affine_Transform_2D> Entries;
  std::vector<uint8_t> Removed_Mask;
  std::vector<TPoint> Handle_Points;

 private:
  void Allocate(int32_t capacity);
  TPoint Handle_Point(int32_t index) const;
};

// Serial numbers of drawings; drawings are made on more than one thread.
extern std::atomic<uint32_t> Next_Serial;

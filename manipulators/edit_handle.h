// The handles of the manipulator editor: small pictures that stand on the
// ring positions of the selected copy and show what dragging them does.
// Each kind builds its shape once, in pixel offsets from the handle's
// centre, and draws it anywhere in any colour; a handle also gives its
// four palette pictures and a cursor.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/affine_transform_2d.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "platform/gdi/dc.h"
#include "platform/window/cursor.h"

class Edit_Handle {
 public:
  explicit Edit_Handle(int32_t code);
  virtual ~Edit_Handle();
  Edit_Handle(const Edit_Handle&) = delete;
  Edit_Handle& operator=(const Edit_Handle&) = delete;

  // Reads the handle size and sets the frame map that takes handle
  // coordinates (-0.5..0.5, y upward) to pixel offsets; runs once.
  static void Init_Shapes();
  // The handle's width and height in pixels.
  static int32_t Size();
  static const Affine_Transform_2D& Frame_Map();

  virtual void Draw(TDC& dc, TPoint centre, TColor colour) const = 0;

  // Makes the enabled, disabled and highlighted pictures when missing.
  void Make_Pictures();
  // A cursor of the system cursor size showing the shape in black, its hot
  // spot at the centre.
  std::unique_ptr<TCursor> Make_Cursor() const;

  int32_t Code;
  std::unique_ptr<TBitmap> Picture;
  std::unique_ptr<TBitmap> Disabled_Picture;
  std::unique_ptr<TBitmap> Highlight_Picture;
  std::unique_ptr<TBitmap> Disabled_Highlight_Picture;

 protected:
  // A point in handle coordinates as a rounded pixel offset.
  static TPoint To_Pixels(const Point_2D& p);
  // A circle's box in pixel offsets.
  static TRect Circle_Box(const Point_2D& centre, float radius);
  std::unique_ptr<TBitmap> Make_Picture(TColor background, TColor shape) const;
};

// The absence of a handle: draws nothing.
class Null_Handle : public Edit_Handle {
 public:
  Null_Handle() : Edit_Handle(0) {}
  void Draw(TDC&, TPoint, TColor) const override {}
};

// The pin, seen from the side.
class Anchor : public Edit_Handle {
 public:
  Anchor();
  void Draw(TDC& dc, TPoint centre, TColor colour) const override;

 private:
  TRect head_;
  TPoint body_[4];
};

// A double arrow along a slope (FLT_MAX for vertical).
class One_Degree_Handle : public Edit_Handle {
 public:
  One_Degree_Handle(int32_t code, float slope);
  void Draw(TDC& dc, TPoint centre, TColor colour) const override;
  float Slope;

 private:
  TPoint ends_[2];
};

// A cross of arrows: free move.
class Two_Degree_Handle : public Edit_Handle {
 public:
  Two_Degree_Handle();
  void Draw(TDC& dc, TPoint centre, TColor colour) const override;

 private:
  One_Degree_Handle across_, up_;
};

// An arc with an arrowhead at each end, turned by an angle in radians.
class Rotation_Handle : public Edit_Handle {
 public:
  explicit Rotation_Handle(float angle);
  void Draw(TDC& dc, TPoint centre, TColor colour) const override;
  float Angle;

 private:
  TRect box_;
  TPoint start_, end_, away_;
};

// A dashed mirror line along a slope with an arc arrow across it.
class Flip_Handle : public Edit_Handle {
 public:
  Flip_Handle(int32_t code, float slope);
  void Draw(TDC& dc, TPoint centre, TColor colour) const override;
  float Slope;

 private:
  TPoint dashes_[6];
  TRect box_;
  TPoint start_, end_, away_;
};

// A one-way arrow along a slope.
class Unidirectional_Handle : public Edit_Handle {
 public:
  explicit Unidirectional_Handle(float slope);
  void Draw(TDC& dc, TPoint centre, TColor colour) const override;
  float Slope;

 private:
  TPoint line_[2], head_[3];
};

// A counter-clockwise arc arrow, turned by an angle in degrees.
class Counter_Clockwise_Handle : public Edit_Handle {
 public:
  explicit Counter_Clockwise_Handle(float angle);
  void Draw(TDC& dc, TPoint centre, TColor colour) const override;
  float Angle;

 private:
  TRect box_;
  TPoint start_, end_, head_[3];
};

// The notch triangle under a copy's orientation: the cursor of a notch drag.
class Notch_Handle : public Edit_Handle {
 public:
  explicit Notch_Handle(const Affine_Transform_2D& map);
  void Draw(TDC& dc, TPoint centre, TColor colour) const override;

 private:
  TPoint corners_[3];
};

// The 32 directions of an arrowhead, from the second point to the tip (0
// right, 8 up, 16 left, 24 down; screen y downward).
int32_t Arrow_Direction(int dx, int dy);
// An arrowhead drawn pixel by pixel at tip, pointing away from from.
void Draw_Arrowhead(TDC& dc, TPoint tip, TPoint from, TColor colour);

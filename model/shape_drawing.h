// A picture of a drawing: a rectangle, an 8-bit bottom-up pixel buffer from
// the picture-buffer pool, an optional palette, the background colour and
// the outline colour of the shapes last added, and, while it is stored away,
// a run-length packed copy of its pixels. It renders itself through plane
// maps (one generation of an iteration), recolours through a colour cycle,
// shrinks, and is stored as a picture record.
//
// Invariants: the pixels are in Bitmap, in Packed, or in both, and Packed is
// authoritative when present; an operation that needs the pixels unpacks
// first, and one that changes them drops Packed. Background is held as RGB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "model/render_core.h"
#include "platform/gdi/color.h"
#include "platform/gdi/dibitmap.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/palette.h"

class Affine_Transform_2D;
class Color_Transform;
class Shape;
class TDC;
class Transform_Set_2D;

// The framework's colour value for no colour: no pen, no brush, no outline.
inline constexpr uint32_t No_Color = 0xFF000000u;

class Shape_Drawing {
 public:
  // Size of a picture record's header: width, height, background, packed size.
  static constexpr size_t Record_Header_Size = 16;
  // The largest side a stored picture may claim.
  static constexpr uint32_t Max_Record_Side = 8192;

  // A picture of the given size filled with the background.
  Shape_Drawing(int32_t width, int32_t height, TPalette* palette, TColor background);
  // A picture on a given bitmap (not owned), or on one from the pool when
  // none is given; the pixels are left as they are.
  Shape_Drawing(TSize size, TDiBitmap* bitmap, TColor background);
  // A copy; with unpack a packed source is decoded into the copy's own bitmap.
  Shape_Drawing(const Shape_Drawing& source, bool unpack);
  Shape_Drawing(const Shape_Drawing& source) : Shape_Drawing(source, false) {}
  // The source scaled into rectangle's size.
  Shape_Drawing(const Shape_Drawing& source, const TRect& rectangle);
  // The next picture of an iteration: the source through every map of set.
  Shape_Drawing(Shape_Drawing& source, const Transform_Set_2D& set);
  // The same with each map's image recoloured along cycle by its colour step.
  Shape_Drawing(Shape_Drawing& source, const Transform_Set_2D& set, const Color_Transform& cycle,
                bool& changed);
  // The source recoloured along cycle by step.
  Shape_Drawing(Shape_Drawing& source, const Color_Transform& cycle, int32_t step, bool& changed);
  // A picture from a stored record of available bytes; a record that does
  // not check out gives an empty picture (see Record_Is_Valid).
  Shape_Drawing(const uint8_t* record, size_t available, bool unpack);
  ~Shape_Drawing();

  Shape_Drawing& operator=(const Shape_Drawing& source);

  void Set_Background(TColor color);
  // Paints shape into rectangle (device coordinates, rows from the top).
  void Paint_Shape(const Shape& shape, const TRect& rectangle, TColor fill, TColor outline);
  // Paints shape under map, placed into rectangle.
  void Add_Shape(const Shape& shape, const Affine_Transform_2D& map, const TRect& rectangle, TColor fill,
                 TColor outline);
  // Draws the picture into rectangle of dc, scaled when the sizes differ.
  void Paint(TDC& dc, const TRect& rectangle);
  // Whether some pixel has the colour's index.
  bool Has_Color(TColor color);
  // Whether the pixel at point (rows counted from the top) has the colour.
  bool Pixel_Has_Color(TPoint point, TColor color);
  // Flood-fills the area around point (rows from the top) with colour.
  void Fill_At(TPoint point, TColor color);
  void Clear();
  // Background pixels take new_background; other pixels take other unless
  // it is No_Color.
  void Replace_Colors(TColor new_background, TColor other);
  // Same size and the same bytes.
  bool Same_Pixels(Shape_Drawing& other);
  void Copy_Scaled(Shape_Drawing& source);
  void Shrink_From(Shape_Drawing& source, int32_t factor);

  // Rendering through maps.
  void Render_Transformed(const Shape_Drawing& source, const Affine_Transform_2D& map);
  void Render_Set(const Shape_Drawing& source, const Transform_Set_2D& set);
  void Recolor(const Shape_Drawing& source, const Color_Transform& cycle, int32_t step, bool& changed);
  void Render_Color_Groups(const Shape_Drawing& source, const Transform_Set_2D& set,
                           const Color_Transform& cycle, bool& changed);
  bool Is_Similar(const Shape_Drawing& other, bool strict) const;

  // Packing and the picture record.
  void Pack(bool keep_bitmap, bool compress);
  void Unpack(bool keep_packed, TDiBitmap* bitmap);
  uint32_t Stored_Size() const;
  void Write(uint8_t* destination) const;
  // Reads a record of available bytes into this picture. Refused (false,
  // nothing changed) when its size is not this picture's or when its fields
  // do not match the bytes that exist.
  bool Read(const uint8_t* record, size_t available, bool unpack);
  // Whether a record of available bytes is whole and sane.
  static bool Record_Is_Valid(const uint8_t* record, size_t available);

  // The colour-table index of Background in this picture's bitmap.
  uint8_t Background_Index() const;
  int32_t Width() const { return Rect.Width(); }
  int32_t Height() const { return Rect.Height(); }

  TRect Rect;
  TDiBitmap* Bitmap = nullptr;
  TPalette* Palette = nullptr;
  TColor Background{0u};
  TColor Outline_Color{No_Color};
  std::unique_ptr<uint8_t[]> Packed;
  uint32_t Packed_Size = 0;
  bool Owns_Bitmap = false;
  bool Owns_Palette = false;
  bool Blank = false;
  bool Iterated = false;
  // The bitmap's pixels predate Packed (a record read without unpacking).
  bool Bitmap_Stale = false;

 private:
  void Take_Palette_Of(const Shape_Drawing& source);
  void Make_Next_From(const Shape_Drawing& source);
  void Release_Bitmap();
  void Drop_Packed();
  // Unpacks when Packed holds pixels the bitmap lacks.
  void Ensure_Pixels();
  void Fill_Pixels(uint8_t index);
  uint32_t Buffer_Size() const;
  Pixel_Buffer View() const;
  const TPalette& Resolving_Palette() const;
  uint8_t Index_Of(TColor color) const;
  void Render_Scaled(const Shape_Drawing& source, float a, float d);
};

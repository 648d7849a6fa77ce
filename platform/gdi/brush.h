// Brushes: solid, hatched (HS_*), 8 x 8 patterns and the null (hollow)
// brush. Like pens, a TBrush is a handle on immutable shared data, safe on
// any thread, kept alive by a device context that has it selected.
// - A hatched brush draws its lines in its colour; the gaps take the
//   context's background colour when the background mode is OPAQUE and are
//   left alone when it is TRANSPARENT.
// - A pattern from a monochrome bitmap draws 0 bits in the context's text
//   colour and 1 bits in its background colour; a pattern from a DIB (of any
//   depth) or a colour bitmap keeps its colours.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/pen.h"

constexpr int HS_HORIZONTAL = 0;  // -----
constexpr int HS_VERTICAL = 1;    // |||||
constexpr int HS_FDIAGONAL = 2;   // \\\\\ (top left to bottom right)
constexpr int HS_BDIAGONAL = 3;   // ///// (bottom left to top right)
constexpr int HS_CROSS = 4;       // +++++
constexpr int HS_DIAGCROSS = 5;   // xxxxx

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;

class TBrush {
 public:
  struct TData {
    int style = BS_SOLID;
    TColor color;                 // solid and hatch colour
    int hatch = 0;
    bool monochrome = false;      // pattern of 0/1 bits (text and background colour)
    uint32_t pattern[64] = {};    // 8 x 8, top row first: bits, or 0x00RRGGBB
  };

  explicit TBrush(TColor color);           // solid
  TBrush(TColor color, int hatch_style);   // hatched
  // An 8 x 8 pattern from the top-left corner of a bitmap or DIB (repeated
  // when smaller).
  explicit TBrush(const TBitmap& pattern);
  explicit TBrush(const TDib& pattern);
  static TBrush Stock(int index);  // WHITE_BRUSH .. NULL_BRUSH
  static TBrush Null() { return Stock(NULL_BRUSH); }

  int Style() const { return data_->style; }
  TColor Color() const { return data_->color; }
  bool Is_Null() const { return data_->style == BS_NULL; }
  const std::shared_ptr<const TData>& Data() const { return data_; }

  // Whether hatch style's line passes through pixel (x, y) of the 8 x 8 tile.
  static bool Hatch_Bit(int hatch_style, int x, int y);

 private:
  explicit TBrush(std::shared_ptr<const TData> data) : data_(std::move(data)) {}
  void Take_Pattern(const TSurface& surface, bool monochrome);
  std::shared_ptr<const TData> data_;
};

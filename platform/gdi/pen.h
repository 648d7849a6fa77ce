// Pens. A TPen is a handle on immutable shared data: copies are cheap, and a
// device context that has a pen selected keeps its data alive after the
// TPen is gone. Safe to make, copy and drop on any thread.
// - Cosmetic pens are one pixel wide; they may be dotted or dashed.
// - Geometric pens (wider than one pixel, or made with PS_GEOMETRIC) have
//   round ends and round joins; PS_INSIDEFRAME keeps the outline of a
//   closed figure inside its bounding box.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/color.h"

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_ALTERNATE = 8;
constexpr int PS_STYLE_MASK = 0x0000000F;
constexpr int PS_ENDCAP_ROUND = 0x00000000;
constexpr int PS_ENDCAP_SQUARE = 0x00000100;
constexpr int PS_ENDCAP_FLAT = 0x00000200;
constexpr int PS_JOIN_ROUND = 0x00000000;
constexpr int PS_JOIN_BEVEL = 0x00001000;
constexpr int PS_JOIN_MITER = 0x00002000;
constexpr int PS_COSMETIC = 0x00000000;
constexpr int PS_GEOMETRIC = 0x00010000;

constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

// Brush styles (also used by ExtCreatePen's brush).
constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;
constexpr int BS_HOLLOW = BS_NULL;
constexpr int BS_HATCHED = 2;
constexpr int BS_PATTERN = 3;

struct TLog_Brush {  // LOGBRUSH
  int lbStyle = BS_SOLID;
  TColor lbColor;
  int lbHatch = 0;
};
using LOGBRUSH = TLog_Brush;

class TPen {
 public:
  struct TData {
    int style = PS_SOLID;  // PS_SOLID .. PS_ALTERNATE
    int width = 1;         // in logical units; 0 means one pixel
    TColor color;
    bool geometric = false;
  };

  // CreatePen: width 0 or 1 is a cosmetic pen; wider pens are geometric.
  TPen(TColor color, int width = 1, int style = PS_SOLID);
  // ExtCreatePen with a solid brush; end caps and joins are always round.
  TPen(int style, int width, const TLog_Brush& brush);
  static TPen Stock(int index);  // WHITE_PEN, BLACK_PEN, NULL_PEN

  int Style() const { return data_->style; }
  int Width() const { return data_->width; }
  TColor Color() const { return data_->color; }
  bool Is_Null() const { return data_->style == PS_NULL; }
  const std::shared_ptr<const TData>& Data() const { return data_; }

 private:
  explicit TPen(std::shared_ptr<const TData> data) : data_(std::move(data)) {}
  std::shared_ptr<const TData> data_;
};

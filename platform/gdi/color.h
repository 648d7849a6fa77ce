// Colour values of the graphics layer. A colour value is 32 bits:
// - top byte 0: an RGB value, red in bits 0-7, green 8-15, blue 16-23;
// - top byte 2: a palette-relative RGB value (drawn as its RGB);
// - any other top byte: an index into the palette selected in the device
//   context, in bits 0-15 (the program writes 0x01000000 + index).
// No_Color (CLR_NONE) and CLR_INVALID share the index form; drawing code
// never receives them as colours to paint.
//
// Surfaces and colour tables hold pixels in the screen's order 0x00RRGGBB
// ("xrgb" below), which is also the byte order of a colour-table entry
// (blue, green, red, 0) in memory.
#pragma once

#include <cstdint>

constexpr uint32_t CLR_NONE = 0xFF000000u;
constexpr uint32_t CLR_INVALID = 0xFFFFFFFFu;

class TColor {
 public:
  constexpr TColor() = default;
  constexpr TColor(uint32_t value) : value_(value) {}  // NOLINT: a colour value converts freely
  constexpr TColor(int red, int green, int blue)
      : value_(uint32_t(red & 0xFF) | uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF) << 16) {}

  static constexpr TColor Palette_Index(int index) { return TColor(0x01000000u | uint32_t(index & 0xFFFF)); }
  static constexpr TColor Palette_Rgb(int r, int g, int b) { return TColor(0x02000000u | TColor(r, g, b).value_); }
  static constexpr TColor From_Xrgb(uint32_t xrgb) {
    return TColor(int(xrgb >> 16 & 0xFF), int(xrgb >> 8 & 0xFF), int(xrgb & 0xFF));
  }

  constexpr operator uint32_t() const { return value_; }  // NOLINT: used as COLORREF
  constexpr uint32_t Value() const { return value_; }

  constexpr uint8_t Red() const { return uint8_t(value_); }
  constexpr uint8_t Green() const { return uint8_t(value_ >> 8); }
  constexpr uint8_t Blue() const { return uint8_t(value_ >> 16); }
  // The RGB part in the screen's order 0x00RRGGBB.
  constexpr uint32_t Xrgb() const { return uint32_t(Red()) << 16 | uint32_t(Green()) << 8 | Blue(); }

  constexpr bool Is_Rgb() const { return (value_ >> 24) == 0; }
  constexpr bool Is_Palette_Relative() const { return (value_ >> 24) == 2; }
  constexpr bool Is_Palette_Index() const { return !Is_Rgb() && !Is_Palette_Relative(); }
  constexpr uint16_t Index() const { return uint16_t(value_); }

  friend constexpr bool operator==(TColor a, TColor b) { return a.value_ == b.value_; }

  static const TColor Black, White, None;

 private:
  uint32_t value_ = 0;
};

inline constexpr TColor TColor::Black{0, 0, 0};
inline constexpr TColor TColor::White{255, 255, 255};
inline constexpr TColor TColor::None{CLR_NONE};

constexpr uint32_t RGB(int r, int g, int b) { return TColor(r, g, b).Value(); }
constexpr uint32_t PALETTEINDEX(int i) { return TColor::Palette_Index(i).Value(); }
constexpr uint32_t PALETTERGB(int r, int g, int b) { return TColor::Palette_Rgb(r, g, b).Value(); }

// The nearest-colour rule of the whole layer: the lowest index whose entry
// equals xrgb exactly, otherwise the smallest dr^2 + dg^2 + db^2 with the
// lowest index winning ties. -1 for an empty table.
int Nearest_Color_Index(const uint32_t* table_xrgb, int count, uint32_t xrgb);
// The lowest index whose entry equals xrgb, or -1.
int Exact_Color_Index(const uint32_t* table_xrgb, int count, uint32_t xrgb);

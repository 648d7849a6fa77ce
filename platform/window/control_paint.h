// The look shared by the standard windows we draw ourselves (caption bars,
// buttons, message boxes, menus, edit fields): colours, the interface font
// and raised or sunken boxes.
#pragma once

#include "platform/gdi/color.h"
#include "platform/gdi/font.h"
#include "platform/gdi/geometry.h"

class TDC;

namespace Control_Paint {

inline constexpr TColor Face{192, 192, 192};
inline constexpr TColor Light{255, 255, 255};
inline constexpr TColor Shadow{128, 128, 128};
inline constexpr TColor Dark{0, 0, 0};
inline constexpr TColor Text{0, 0, 0};
inline constexpr TColor Grey_Text{128, 128, 128};
inline constexpr TColor Window{255, 255, 255};
inline constexpr TColor Highlight{0, 0, 128};
inline constexpr TColor Highlight_Text{255, 255, 255};
inline constexpr TColor Active_Caption{0, 0, 128};
inline constexpr TColor Inactive_Caption{128, 128, 128};

// The font of captions, buttons, menus and message text.
const TFont& Ui_Font();
const TFont& Bold_Ui_Font();

// Width and height of a line of text in a font, without a device context.
TSize Text_Extent(const TFont& font, const std::string& text);

void Fill(TDC& dc, const TRect& r, TColor colour);
// A button-like box: raised, or sunken while pressed.
void Box(TDC& dc, const TRect& r, bool sunken);
// A sunken field border (edit controls).
void Field_Border(TDC& dc, const TRect& r);
// Text centred in a rectangle, transparent background.
void Centred_Text(TDC& dc, const TRect& r, const std::string& text, TColor colour, const TFont& font);

}  // namespace Control_Paint

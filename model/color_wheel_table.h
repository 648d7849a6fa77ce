// The program's 189 colours: 36 ring colours of the colour wheel (three
// rings of twelve hues), black, white, and mixtures of them. The colour
// scheme appends them to the program palette; the colour wheel shows them.
#pragma once

#include <cstdint>

inline constexpr int Wheel_Color_Count = 189;

// The table in entry form: RGB values, rewritten into palette-index form by
// GUI_Colors::Add_Colors on a palette device. Valid for the whole run.
extern uint32_t Wheel_Colors[Wheel_Color_Count];
// The same colours, always RGB: a separate copy on a palette device,
// otherwise the very same table.
extern uint32_t* Wheel_Colors_RGB;

// Fills the table (keeping an RGB copy on a palette device, which the scheme
// must already report) and returns it.
uint32_t* Build_Palette();

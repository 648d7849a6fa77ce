#include "game/target_generator.h"

Target_Generator::Target_Generator(TWindow* shape_palette, Transform_Palette* manipulator_palette,
                                   TWindow* drawing_window)
    : Shape_Palette(shape_palette), Manipulator_Palette(manipulator_palette), Drawing_Window(drawing_window) {}

Target_Generator::~Target_Generator() = default;

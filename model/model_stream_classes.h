// Registration of the pattern model's streamable classes.
#pragma once

// Registers "Transform_2D", "Affine_Transform_2D" and "Transform_Set_2D"
// (module 1, delta -1) once; the records go away at exit. The registry's
// look-up calls it, so every program that reads or writes a stream finds
// these classes; calling it again does nothing.
void Register_Model_Stream_Classes();

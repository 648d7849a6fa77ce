// Until the match game's and the gallery's demonstration points are in:
// the game demonstration is not offered and the gallery script is empty,
// as it is when no gallery window is known.
#include "demos/simulated_user.h"

void Simulated_User::Append_Gallery_Script() {}

void Simulated_User::Start_Game_Demo(int32_t) {}

void Simulated_User::Solve_Target(Shape_Target&) {}

void Simulated_User::Next_Game_Round() {}

// Until the match game's demonstration points are in: the game
// demonstration is not offered.
#include "demos/simulated_user.h"

void Simulated_User::Start_Game_Demo(int32_t) {}

void Simulated_User::Solve_Target(Shape_Target&) {}

void Simulated_User::Next_Game_Round() {}

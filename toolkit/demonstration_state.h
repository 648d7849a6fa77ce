// Whether a demonstration is replaying input right now. The demonstration
// driver sets it; the mouse arbiter and the caption read it. It lives here,
// below both, so that the arbiter needs nothing of the driver.
#pragma once

bool Demonstration_Running();
void Set_Demonstration_Running(bool running);

// The drawing window stopped iterating: a demonstration waiting on that
// goes on. The driver registers what to do (nullptr: nothing).
void Set_Demonstration_Hold_Release(void (*release)());
void Release_Demonstration_Hold();

// The match-game demonstration, which drives the game from above it: the
// game tells it each target it hands to the drawing and the end of a run's
// fireworks. Each call does nothing unless the game demonstration runs.
class Shape_Target;
void Set_Game_Demonstration(bool (*running)(), void (*solve_target)(Shape_Target&), void (*next_round)());
void Demonstration_Solve_Target(Shape_Target& target);
void Demonstration_Next_Game_Round();

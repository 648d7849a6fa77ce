#include "toolkit/demonstration_state.h"

#include <atomic>

namespace {

// Read by workers (a target realiser) as well as the interface thread.
std::atomic<bool> running{false};

}  // namespace

bool Demonstration_Running() { return running; }

void Set_Demonstration_Running(bool value) { running = value; }

namespace {

void (*hold_release)() = nullptr;  // interface thread only

}  // namespace

void Set_Demonstration_Hold_Release(void (*release)()) { hold_release = release; }

void Release_Demonstration_Hold() {
  if (Demonstration_Running() && hold_release) hold_release();
}

namespace {

// Interface thread only.
bool (*game_running)() = nullptr;
void (*game_solve_target)(Shape_Target&) = nullptr;
void (*game_next_round)() = nullptr;

}  // namespace

void Set_Game_Demonstration(bool (*running)(), void (*solve_target)(Shape_Target&), void (*next_round)()) {
  game_running = running;
  game_solve_target = solve_target;
  game_next_round = next_round;
}

void Demonstration_Solve_Target(Shape_Target& target) {
  if (game_running && game_running() && game_solve_target) game_solve_target(target);
}

void Demonstration_Next_Game_Round() {
  if (game_running && game_running() && game_next_round) game_next_round();
}

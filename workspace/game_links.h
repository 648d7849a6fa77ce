// What the drawing window asks of the match game, which sits above it: the
// game hands these in (any of them may be absent while no game is going) and
// keeps them alive while they are handed in.
#pragma once

#include "platform/gdi/color.h"
#include "platform/gdi/geometry.h"

class Point_Set_2D;
class Shape;
class Shape_Drawing;
class TDC;

// The target the player is rebuilding.
class Match_Target {
 public:
  virtual ~Match_Target() = default;
  // Whether the drawing matches the target; start shape and points may be null.
  virtual bool Matches(Shape_Drawing& picture, const Shape* start_shape, const Point_Set_2D* points) = 0;
  // Paints the target's hint into picture in colour.
  virtual void Overlay_Hint(Shape_Drawing& picture, TColor color) = 0;
};

// The game's controls, told what happened in the drawing.
class Game_Events {
 public:
  virtual ~Game_Events() = default;
  virtual void Target_Matched() = 0;
  // The current target starts over (a shape was added or the drawing cleared).
  virtual void Reset_Target() = 0;
  virtual void End_Run() = 0;
  // The fireworks show is over.
  virtual void Start_Animation() = 0;
};

// The fireworks show played over the drawing area. When it ends, its player
// posts Fireworks_Finished_Message to the drawing window.
class Fireworks_Show {
 public:
  virtual ~Fireworks_Show() = default;
  virtual bool Playing() const = 0;
  virtual void Stop() = 0;
  // Plays over picture, drawn into area of the window's context.
  virtual void Play(const Shape_Drawing& picture, TDC& dc, const TRect& area) = 0;
  // While a show plays, paints what stands under its sparks into area of
  // dc (a repaint of the window) and answers true; false otherwise.
  virtual bool Paint_Under(TDC& dc, const TRect& area) {
    (void)dc, (void)area;
    return false;
  }
};

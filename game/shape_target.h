// A match-game target: the picture the player must rebuild (the drawing-area
// size, the program palette), the recipe that produced it (a start shape
// painted into a frame, then a list of manipulation steps) and, while they
// can be kept exact, the key points of the result.
//
// Targets come from the target generator (random recipes, realised on its
// worker) and from "Match This!" (the player's own last steps). The drawing
// window shows a hint of the target under the player's drawing and asks after
// every step whether the drawing now matches.
//
// Threads: a target is used by one thread at a time. Realize reads only the
// target, the immutable step sets, the start shape and the picture pool.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "game/transform_step.h"
#include "model/point_set_2d.h"
#include "model/shape_drawing.h"
#include "platform/gdi/color.h"
#include "platform/gdi/geometry.h"
#include "workspace/centering_transform.h"
#include "workspace/game_links.h"

class Shape;

class Shape_Target : public Shape_Drawing, public Match_Target {
 public:
  // A generated target: a blank picture of the size in the target
  // background; the chain holds the start shape's own key points.
  Shape_Target(int32_t width, int32_t height, const Shape* start_shape, const TRect& frame,
               const Centering_Transform& centering);
  // A target from the player's drawing: the picture is a copy of source and
  // shows the first first_stage_steps of the steps added afterwards; the
  // chain holds points when given.
  Shape_Target(const Shape_Drawing& source, const Shape* start_shape, const TRect& frame,
               const Centering_Transform& centering, std::unique_ptr<Point_Set_2D> points,
               int32_t first_stage_steps);
  // The next stage of a run: a blank picture of the same size and colours
  // (to be realised afresh), the same recipe sharing its sets, the cursor at
  // the end. The copy takes over the source's point chain; the source keeps
  // a copy of its latest points so that it can still be matched.
  Shape_Target(Shape_Target& source);
  Shape_Target& operator=(const Shape_Target&) = delete;
  ~Shape_Target() override;

  // Appends a step; for a generated target the chain follows it (see the
  // source).
  void Add_Step(std::shared_ptr<const Transform_Set_2D> set, int32_t section, int32_t index, bool repeat);
  // The image of the latest key points under set, kept for set until the
  // next Add_Step.
  void Set_Trial_Image(std::shared_ptr<const Transform_Set_2D> set);
  // The trial image equals some state in the chain.
  bool Trial_Repeats() const;
  // Frees every chain entry but the start shape's own set; empties the chain.
  void Drop_Point_Chain();
  // Renders the picture from the recipe: the start shape, then the first
  // limit steps (-1: all).
  void Realize(int32_t limit);
  // The set of the step at the cursor, its section, index and repeat flag,
  // and the cursor moves on; null at the end (outputs untouched).
  std::shared_ptr<const Transform_Set_2D> Next_Step(int32_t& section, int32_t& index, bool& repeat);
  // Puts the cursor on the first step, for a reader of the recipe.
  void Rewind_Steps() { cursor = 0; }

  // Match_Target: whether the player's picture counts as this target, and
  // the checkerboard hint painted into it. Pictures of another size neither
  // match nor take a hint.
  bool Matches(Shape_Drawing& picture, const Shape* start_shape, const Point_Set_2D* points) override;
  void Overlay_Hint(Shape_Drawing& picture, TColor color) override;
  // The grey of the program palette farthest from both colours.
  static TColor Hint_Color(TColor first, TColor second);

  // Whether set is one map whose linear part has two unit-length columns (a
  // rotation or a mirror, perhaps moved).
  static bool Unit_Columns(const Transform_Set_2D& set);

  // The colours of target pictures.
  static TColor Target_Background();
  static TColor Target_Shape_Color();

  const Shape* Start_Shape() const { return start_shape; }
  const TRect& Frame() const { return frame; }
  const Centering_Transform& Centering() const { return centering; }
  bool From_Drawing() const { return from_drawing; }
  int32_t Realized_Steps() const { return realized_steps; }
  int32_t Step_Count() const { return int32_t(steps.size()); }
  const std::vector<Transform_Step>& Steps() const { return steps; }
  // The latest key points, null without a chain.
  const Point_Set_2D* Front_Points() const { return chain.empty() ? nullptr : chain.front().points; }
  int32_t Chain_Length() const { return int32_t(chain.size()); }
  const Point_Set_2D* Trial_Image() const { return trial_image.get(); }

 private:
  // A state of the key points; owned unless it is the start shape's own set.
  struct Chain_Entry {
    const Point_Set_2D* points = nullptr;
    std::unique_ptr<Point_Set_2D> owned;
  };
  static Chain_Entry Owned_Entry(std::unique_ptr<Point_Set_2D> points);
  // Renders the picture through the pending composed set.
  void Flush(const Transform_Set_2D& pending, int32_t run_count);
  void Render_Repeated(const Transform_Set_2D& set);

  const Shape* start_shape = nullptr;
  TRect frame;
  Centering_Transform centering;
  bool from_drawing = false;
  int32_t realized_steps = 0;
  std::vector<Transform_Step> steps;
  size_t cursor = 0;
  std::deque<Chain_Entry> chain;
  std::unique_ptr<Point_Set_2D> trial_image;
  std::shared_ptr<const Transform_Set_2D> trial_set;
};

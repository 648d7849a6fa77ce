// The maker of match-game targets. It draws a start shape from the shape
// palette and a chain of manipulators from the player's manipulator palette,
// refusing choices that would make a dull, repetitive, oversized or
// trivially reachable target, records them as the steps of a Shape_Target,
// and has its realiser thread render the picture while the player works on
// the current one.
//
// Threads: Request, Queue, Take and Drop_All run on the interface thread;
// the realiser renders below normal priority. The job waiting for the
// realiser and the finished result have slots of their own, and every queue
// or drop starts a new generation, so a result finished for an older job is
// never handed out nor taken up again as a job.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "game/shape_target.h"
#include "model/affine_transform_2d.h"
#include "model/point_set_2d.h"
#include "toolkit/tthread.h"

class Drawing_Window;
class Shape_Palette;
class Transform_Palette;

class Target_Generator {
 public:
  // The most attempts at one step before a request is given up.
  static constexpr int32_t Attempt_Limit = 200;
  // The largest (images x point factor) a step may reach.
  static constexpr int32_t Image_Bound = 64;

  // Starts the realiser. The three panels are not owned and outlive the
  // generator.
  Target_Generator(Shape_Palette* shape_palette, Transform_Palette* manipulator_palette,
                   Drawing_Window* drawing_window);
  // Stops the realiser (waiting for a rendering in progress) and frees
  // whatever it still holds.
  ~Target_Generator();
  Target_Generator(const Target_Generator&) = delete;
  Target_Generator& operator=(const Target_Generator&) = delete;

  // Builds the recipe of the next target, a steps long, and queues it: a new
  // chain without base, else the next stage of base. When nothing can be
  // made, Target_Coming turns false and nothing is queued.
  void Request(int32_t a, Shape_Target* base);
  // Hands a built target to the realiser (limit: steps to realise, -1 all);
  // replaces a job still waiting and an unclaimed result.
  void Queue(std::unique_ptr<Shape_Target> target, int32_t limit);
  // The realised target of the last queue, waiting under the busy cursor
  // while it is being rendered; null at once when nothing was queued since
  // the last take or drop.
  std::unique_ptr<Shape_Target> Take();
  // Cancels the waiting job, deletes unclaimed results and returns once the
  // realiser is idle.
  void Drop_All();

  // Whether the realiser is rendering a target now.
  bool Realizing();
  // False when the last request produced nothing.
  bool Target_Coming() const { return target_coming.load(); }
  // Restarts the pseudo-random sequence (for repeatable runs).
  void Seed(uint32_t seed) { random_state = seed; }

  Shape_Palette* const Shape_Palette_Of;
  Transform_Palette* const Manipulator_Palette;
  Drawing_Window* const Drawing_Window_Of;

 private:
  class Realizer_Thread : public TThread {
   public:
    explicit Realizer_Thread(Target_Generator& generator) : generator(generator) {}

   protected:
    int32_t Run() override;

   private:
    Target_Generator& generator;
  };

  // The runtime library's 15-bit generator: 0..32767.
  int32_t Random();
  // A new chain's blank target, or null when the palettes give none.
  std::unique_ptr<Shape_Target> New_Chain(int32_t& shape_index);
  // Chooses and adds step i of a; false after Attempt_Limit failures.
  struct Request_State;
  bool Add_One_Step(Shape_Target& target, Request_State& state, int32_t i, int32_t a);
  // Whether a palette manipulator of images maps takes the request's first
  // points to trial.
  bool Reachable_At_Once(Request_State& state, int64_t images, const Point_Set_2D& trial);
  // The worker's loop body: one job, or false when asked to stop.
  bool Realize_Next();

  // Shared with the realiser, under lock.
  std::mutex lock;
  std::condition_variable changed;
  std::unique_ptr<Shape_Target> job;
  int32_t step_limit = -1;
  std::unique_ptr<Shape_Target> result;
  std::unique_ptr<Shape_Target> spare;
  uint64_t generation = 0;
  bool busy = false;
  bool stopping = false;

  // Interface thread only.
  Point_Set_2D last_result;
  Affine_Transform_2D vertical_mirror;
  Affine_Transform_2D horizontal_mirror;
  std::atomic<bool> target_coming{true};
  int32_t last_shape = -1;
  uint32_t random_state = 1;

  Realizer_Thread realizer{*this};
};

#include "game/target_generator.h"

#include <ctime>
#include <map>
#include <utility>

#include "manipulators/transform_palette.h"
#include "model/point_2d.h"
#include "model/shape.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/small_utilities.h"
#include "workspace/drawing_window.h"
#include "workspace/shape_palette.h"

namespace {

constexpr int32_t Square_Shape_Number = 1;
constexpr int32_t Notched_Square_Number = 20;

}  // namespace

// What one request carries from step to step.
struct Target_Generator::Request_State {
  bool new_chain = false;
  int32_t shape_index = -1;
  // g: how many copies of the start shape's points the front set holds at
  // most; m: the images of this request's steps together.
  int32_t g = 1;
  int32_t m = 1;
  // The front points when the request began.
  Point_Set_2D start;
  bool vertical_used = false;
  bool horizontal_used = false;
  // The image of start under each palette manipulator, made when first asked.
  std::map<const Transform_Set_2D*, Point_Set_2D> start_images;
};

Target_Generator::Target_Generator(Shape_Palette* shape_palette, Transform_Palette* manipulator_palette,
                                   Drawing_Window* drawing_window)
    : Shape_Palette_Of(shape_palette), Manipulator_Palette(manipulator_palette), Drawing_Window_Of(drawing_window),
      vertical_mirror(Point_2D(0, 1), Point_2D(1, 1), Point_2D(0, 0)),
      horizontal_mirror(Point_2D(1, 0), Point_2D(0, 0), Point_2D(1, 1)),
      random_state(uint32_t(std::time(nullptr))) {
  realizer.SetPriority(-1);
  realizer.Start();
}

Target_Generator::~Target_Generator() {
  {
    std::lock_guard<std::mutex> hold(lock);
    stopping = true;
  }
  changed.notify_all();
  realizer.Terminate();
  realizer.WaitForExit();
}

int32_t Target_Generator::Random() {
  random_state = random_state * 214013u + 2531011u;
  return int32_t((random_state >> 16) & 0x7FFF);
}

// ---- Recipes

std::unique_ptr<Shape_Target> Target_Generator::New_Chain(int32_t& shape_index) {
  if (!Manipulator_Palette || Manipulator_Palette->Total() == 0 || !Shape_Palette_Of || !Drawing_Window_Of)
    return nullptr;
  // The overlay button's notched square is no start shape.
  const Reference_Button* overlay = Shape_Palette_Of->Overlay_Button();
  const bool notched = overlay && overlay->Shape_Of && overlay->Shape_Of->Shape_Number == Notched_Square_Number;
  const int32_t n = notched ? Shape_Palette::Button_Count - 1 : Shape_Palette::Button_Count;
  shape_index = Random() % n;
  const Shape_Button* button = Shape_Palette_Of->Buttons[size_t(shape_index)];
  if (!button || !button->Shape_Of) return nullptr;
  // The target has the size of the player's picture, so that the two compare.
  const Drawing_Window& window = *Drawing_Window_Of;
  const int32_t side = (*The_GUI_Sizes)[Drawing_Side_Size];
  const int32_t w = window.current.picture ? window.current.picture->Width() : side;
  const int32_t h = window.current.picture ? window.current.picture->Height() : side;
  return std::make_unique<Shape_Target>(w, h, button->Shape_Of, window.geometry.area_rel, window.centering);
}

void Target_Generator::Request(int32_t a, Shape_Target* base) {
  Request_State state;
  std::unique_ptr<Shape_Target> target;
  if (!base) {
    target = New_Chain(state.shape_index);
    if (!target) {
      target_coming = false;
      return;
    }
    state.new_chain = true;
  } else {
    target = std::make_unique<Shape_Target>(*base);
    // A target from the player's drawing shows more of its recorded steps.
    if (target->Realized_Steps() != target->Step_Count()) {
      const int32_t limit = target->Realized_Steps() + a;
      target_coming = true;
      Queue(std::move(target), limit);
      return;
    }
  }
  target_coming = true;
  const Point_Set_2D* front = target->Front_Points();
  const Shape* shape = target->Start_Shape();
  if (!front || !shape || shape->Key_Points.Count() == 0) {
    target_coming = false;
    return;
  }
  state.g = front->Count() / shape->Key_Points.Count();
  state.start = *front;
  for (int32_t i = 0; i < a; ++i) {
    if (!Add_One_Step(*target, state, i, a)) {
      target_coming = false;
      return;
    }
  }
  Queue(std::move(target), -1);
}

bool Target_Generator::Add_One_Step(Shape_Target& target, Request_State& state, int32_t i, int32_t a) {
  Transform_Palette& palette = *Manipulator_Palette;
  const int32_t sections = palette.Section_Count;
  const bool last_of_new_chain = state.new_chain && i == a - 1;
  for (int32_t attempt = 0; attempt < Attempt_Limit; ++attempt) {
    // Section k with chance 1/2^(k+1), the last one taking the rest.
    int32_t k = 0;
    if (sections > 1) {
      int32_t bits = Random();
      while (k < sections - 1 && (bits & 1) != 0) {
        ++k;
        bits >>= 1;
      }
    }
    if (palette.Section(k).Total() == 0 || int64_t(k + 1) * state.g > Image_Bound) k = 0;
    while (k < sections - 1 && palette.Section(k).Total() == 0) ++k;
    const Shape_Transform_Section& section = palette.Section(k);
    const int32_t c = section.Total();
    // Every section empty: nothing to draw from, a failed attempt.
    if (c == 0) continue;
    const int32_t j = Random() % c;
    const Shape_Transform_Page* page = section.Page(j / Shape_Transform_Page::Slot_Count);
    if (!page) continue;
    const std::shared_ptr<const Transform_Set_2D> candidate = page->Slot(j % Shape_Transform_Page::Slot_Count);
    if (!candidate) continue;
    const int32_t maps = candidate->Count();
    if (sections == 1 && int64_t(state.g) * maps > Image_Bound) continue;

    const Point_Set_2D& front = *target.Front_Points();
    const int32_t front_count = front.Count();
    target.Set_Trial_Image(candidate);
    const Point_Set_2D& trial = *target.Trial_Image();
    // A rotation or mirror that leads back to an earlier state.
    if (Shape_Target::Unit_Columns(*candidate) && target.Trial_Repeats()) continue;
    // Each mirror at most once per request.
    bool vertical = false, horizontal = false;
    if (maps == 1) {
      if (const auto* map = dynamic_cast<const Affine_Transform_2D*>(candidate->Map(0))) {
        vertical = map->Equals(vertical_mirror);
        horizontal = map->Equals(horizontal_mirror);
      }
      if ((vertical && state.vertical_used) || (horizontal && state.horizontal_used)) continue;
    }
    // Two new chains from the same shape in a row end on different points.
    if (last_of_new_chain && state.shape_index == last_shape && trial.Equals(last_result)) continue;
    // A step of several images must add points.
    if (maps >= 2 && trial.Count() <= front_count) continue;
    // The square under 4 or 9 images would only tile the square again.
    if (target.Start_Shape()->Shape_Number == Square_Shape_Number && target.Step_Count() == 0 &&
        (maps == 4 || maps == 9))
      continue;
    // The request's steps together must not be one manipulator of the palette.
    if (i > 0 && Reachable_At_Once(state, int64_t(state.m) * maps, trial)) continue;

    state.m *= maps;
    state.g *= maps;
    state.vertical_used = state.vertical_used || vertical;
    state.horizontal_used = state.horizontal_used || horizontal;
    if (last_of_new_chain) {
      last_shape = state.shape_index;
      last_result = trial;
    }
    target.Add_Step(candidate, k, j, false);
    return true;
  }
  return false;
}

bool Target_Generator::Reachable_At_Once(Request_State& state, int64_t images, const Point_Set_2D& trial) {
  if (images > Transform_Set_2D::Max_Maps) return false;
  Manipulator_Iterator it = Manipulator_Palette->First_With_Images(int32_t(images));
  while (Manipulator_Ref manipulator = Manipulator_Palette->Next_With_Images(it)) {
    if (manipulator->Count() != images) continue;
    // The image cannot hold more points than start x images.
    if (int64_t(state.start.Count()) * images < trial.Count()) continue;
    auto found = state.start_images.find(manipulator.get());
    if (found == state.start_images.end())
      found = state.start_images.emplace(manipulator.get(), state.start.Image(*manipulator)).first;
    if (found->second.Equals(trial)) return true;
  }
  return false;
}

// ---- Hand-over to the realiser

void Target_Generator::Queue(std::unique_ptr<Shape_Target> target, int32_t limit) {
  std::lock_guard<std::mutex> hold(lock);
  spare.reset();
  result.reset();
  job = std::move(target);
  step_limit = limit;
  ++generation;
  changed.notify_all();
}

std::unique_ptr<Shape_Target> Target_Generator::Take() {
  std::unique_lock<std::mutex> hold(lock);
  spare.reset();
  if (!result && !job && !busy) return nullptr;
  if (!result) {
    hold.unlock();
    Busy_Cursor_Scope cursor;
    hold.lock();
    changed.wait(hold, [this] { return result || (!job && !busy); });
  }
  spare.reset();
  return std::move(result);
}

void Target_Generator::Drop_All() {
  std::unique_lock<std::mutex> hold(lock);
  ++generation;
  job.reset();
  result.reset();
  changed.wait(hold, [this] { return !busy; });
  result.reset();
  spare.reset();
}

bool Target_Generator::Realizing() {
  std::lock_guard<std::mutex> hold(lock);
  return busy;
}

bool Target_Generator::Realize_Next() {
  std::unique_ptr<Shape_Target> target;
  int32_t limit = -1;
  uint64_t job_generation = 0;
  {
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [this] { return stopping || job; });
    if (stopping) return false;
    target = std::move(job);
    limit = step_limit;
    job_generation = generation;
    busy = true;
  }
  target->Realize(limit);
  std::lock_guard<std::mutex> hold(lock);
  busy = false;
  // A newer queue or a drop has made this result useless.
  if (job_generation == generation && !stopping)
    result = std::move(target);
  else
    spare = std::move(target);
  changed.notify_all();
  return true;
}

int32_t Target_Generator::Realizer_Thread::Run() {
  while (!ShouldTerminate() && generator.Realize_Next()) {
  }
  return 0;
}

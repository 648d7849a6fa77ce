// Stand-ins for the targets and the target generator until their own
// sources arrive: no target is ever made, so no run can start.
#include "game/shape_target.h"
#include "game/target_generator.h"
#include "model/gui_colors.h"

Shape_Target::Shape_Target(const Shape_Drawing& source, const Shape* start, const TRect& frame_,
                           const Centering_Transform& centering_, std::unique_ptr<Point_Set_2D>, int32_t first)
    : Shape_Drawing(source, true), start_shape(start), frame(frame_), centering(centering_), from_drawing(true),
      realized_steps(first) {}

Shape_Target::~Shape_Target() = default;

void Shape_Target::Add_Step(std::shared_ptr<const Transform_Set_2D> set, int32_t section, int32_t index, bool repeat) {
  steps.push_back(Transform_Step{std::move(set), repeat, section, index});
}

std::shared_ptr<const Transform_Set_2D> Shape_Target::Next_Step(int32_t& section, int32_t& index, bool& repeat) {
  if (cursor >= steps.size()) return nullptr;
  const Transform_Step& step = steps[cursor++];
  section = step.section;
  index = step.index;
  repeat = step.repeat;
  return step.set;
}

bool Shape_Target::Matches(Shape_Drawing&, const Shape*, const Point_Set_2D*) { return false; }
void Shape_Target::Overlay_Hint(Shape_Drawing&, TColor) {}

Target_Generator::Target_Generator(Shape_Palette* shape_palette, Transform_Palette* manipulator_palette,
                                   Drawing_Window* drawing_window)
    : Shape_Palette_Of(shape_palette), Manipulator_Palette(manipulator_palette), Drawing_Window_Of(drawing_window) {
  target_coming = false;
}

Target_Generator::~Target_Generator() = default;
void Target_Generator::Request(int32_t, Shape_Target*) {}
std::unique_ptr<Shape_Target> Target_Generator::Take() { return nullptr; }
void Target_Generator::Drop_All() {}
int32_t Target_Generator::Realizer_Thread::Run() { return 0; }

#include "game/fireworks_factory.h"

void Fireworks_Factory::Start(int32_t, int32_t) {}
void Fireworks_Factory::Drop() {}

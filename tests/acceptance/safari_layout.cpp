#include "tests/acceptance/safari_layout.h"

#include "game/safari_controls.h"
#include "game/target_generator.h"
#include "manipulators/transform_palette.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "tests/program/program_session.h"
#include "workspace/drawing_window.h"
#include "workspace/shape_palette.h"

const Safari_Layout::Candidate* Safari_Layout::Best_Match(const std::vector<bool>& hinted) const {
  const Candidate* best = nullptr;
  int best_misses = 1 << 30;
  for (const Candidate& c : candidates) {
    int misses = 0;
    for (size_t i = 0; i < hinted.size() && i < c.covered.size(); ++i) misses += hinted[i] != c.covered[i];
    if (misses < best_misses) best = &c, best_misses = misses;
  }
  return best;
}

Safari_Layout Measure_Safari(Program_Session& program, const std::string& player, int32_t level, const TRect* keep) {
  IFS_Main_Window& main = *program.Main();
  program.Change_User(player, level);
  Safari_Layout l;
  l.safari_plays = main.target_generator->Target_Coming();
  Safari_Controls& safari = *main.safari_controls;
  l.camera = safari.Panel_Screen_Point();
  l.camera_box = safari.Camera_Rect.Offset_By(l.camera.x - (safari.Camera_Rect.left + safari.Camera_Rect.right) / 2,
                                               l.camera.y - (safari.Camera_Rect.top + safari.Camera_Rect.bottom) / 2);
  TPoint album_origin = safari.Album_Rect.TopLeft();
  safari.ClientToScreen(album_origin);
  l.album = safari.Album_Rect.Offset_By(album_origin.x - safari.Album_Rect.left, album_origin.y - safari.Album_Rect.top);
  Drawing_Window& drawing = *main.drawing_window;
  l.picture_origin = drawing.Inner_Rect.TopLeft();
  drawing.ClientToScreen(l.picture_origin);
  const int side = drawing.Inner_Rect.Width();
  // Even x + y: the points the target's checkered hint paints, inside the
  // round window's circle.
  const int r = side / 2 - 8;
  for (int y = 4; y < side - 4; y += 6)
    for (int x = 4; x < side - 4; x += 6)
      if ((x - side / 2) * (x - side / 2) + (y - side / 2) * (y - side / 2) < r * r) l.grid.push_back(TPoint(x, y));
  const TScreen& shown = TDesktop::Current().Screen();
  Transform_Palette& palette = *main.manipulator_palette;
  for (Shape_Button* button : main.shape_palette->Buttons) {
    if (!button) continue;
    for (int32_t index = 0; index < palette.Section(0).Total(); ++index) {
      drawing.Clear();
      Safari_Layout::Candidate c{Program_Session::Center_Of(button), palette.Slot_Screen_Points(0, index, nullptr), {}, {}};
      program.Click(c.shape);
      program.Click(c.manipulator);
      program.Run_Until_Idle();
      Shape_Drawing& picture = *drawing.current.picture;
      for (const TPoint& p : l.grid) c.covered.push_back(!picture.Pixel_Has_Color(p, picture.Background));
      if (keep)
        for (int y = keep->top; y < keep->bottom; ++y)
          for (int x = keep->left; x < keep->right; ++x) c.pixels.push_back(shown.Pixel(x, y));
      l.candidates.push_back(std::move(c));
    }
  }
  drawing.Clear();
  return l;
}

#include "game/fireworks_factory.h"

#include <algorithm>
#include <climits>
#include <thread>

#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "platform/gdi/color.h"
#include "platform/window/cursor.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/small_utilities.h"
#include "toolkit/sound_library.h"
#include "toolkit/standard_random.h"
#include "users/user_database.h"

namespace {

// Without layout sizes (a test without a screen) the 1024-wide layout's.
constexpr int32_t Default_Side = 576;
constexpr int32_t Default_Sparkle_Offset = 10;
// Layout size of the stars' sparkle offset.
constexpr GUI_Size_Index Sparkle_Size = 37;
// Scheme colours: the light rainbow of the stars and the rockets' orange.
constexpr int Star_Scheme_Colors[8] = {32, 33, 34, 35, 36, 37, -1, -1};
constexpr int Rocket_Scheme_Color = 21;
// After the last burst the show goes on while something is drawn, and
// this long at least.
constexpr int32_t Afterglow = 1000;
constexpr int32_t Extra_Time = 5000;
// Rockets' trails are this long (ms), whatever the type.
constexpr int32_t Rocket_Trail_Time = 240;

int32_t Layout_Size(GUI_Size_Index index, int32_t fallback) {
  return The_GUI_Sizes ? (*The_GUI_Sizes)[index] : fallback;
}

const TRect Empty_Rect(INT_MAX, INT_MAX, -1, -1);

}  // namespace

Fireworks_Factory::Fireworks_Factory()
    : Width(Layout_Size(Drawing_Side_Size, Default_Side)),
      Height(Width),
      Frame_Rect(0, 0, Width, Height),
      Drawn_Rect(Frame_Rect),
      View(0.0f, 0.0f, 0.5f, 0.0f, -15.0f, 0, 0.5f, float(Width), float(Height), 18.0f),
      Sparkle_Offset(Layout_Size(Sparkle_Size, Default_Sparkle_Offset)),
      Types(Prepared_Firework_Types()) {
  Seed_Random();
  Distributions = Make_Distribution_Table();
  // The colours are the frame bitmaps' table entries nearest the scheme's.
  for (int i = 0; i < 8; ++i)
    Star_Colors[size_t(i)] =
        Star_Scheme_Colors[i] < 0 ? 255 : Frame_Color(The_GUI_Colors ? The_GUI_Colors->Scheme_RGB(Star_Scheme_Colors[i])
                                                                     : TColor(255, 255, 255));
  Rocket_Color = Frame_Color(The_GUI_Colors ? The_GUI_Colors->Scheme_RGB(Rocket_Scheme_Color) : TColor(255, 160, 64));
  Star_Sparkle = std::make_unique<Polarized_Sparkle>();
  Glitter_Sparkle = std::make_unique<Random_Sparkle>(Distributions);
  Trail = std::make_unique<Firework_Trail>(Width, Distributions);
  Thread.Start();
}

Fireworks_Factory::~Fireworks_Factory() {
  Stop = true;
  Thread.Terminate();
  Start_Event.Set();
  Thread.WaitForExit(INFINITE);
  Release_Show();
  Sequence.reset();
}

uint8_t Fireworks_Factory::Frame_Color(TColor color) const {
  if (The_GUI_Colors && The_GUI_Colors->Palette) {
    const TPalette& palette = *The_GUI_Colors->Palette;
    const int index = palette.GetNearestPaletteIndex(Palette_Color_To_RGB(color, palette));
    return uint8_t(std::clamp(index, 0, 255));
  }
  return 255;
}

// ---- The interface thread

void Fireworks_Factory::Start(int32_t waves, int32_t per_wave) {
  if (Is_Running || Sequence) Drop();
  Group_Size = std::clamp(per_wave, 1, Max_Fireworks);
  waves = std::clamp(waves, 0, Max_Fireworks / Group_Size);
  const int32_t level = The_User_Database ? The_User_Database->current_user->Level_Index() : 0;
  Fireworks.clear();
  for (int32_t w = 0; w < waves; ++w) {
    Firework_Type type = Types[size_t(Choose_Firework_Type(level))];
    for (int32_t f = 0; f < Group_Size; ++f) {
      type.Star_Color = Star_Colors[size_t(Standard_Random() & 7)];
      type.Trail_Color = type.Colored_Trails ? type.Star_Color : 255;
      Fireworks.push_back(std::make_unique<Firework>(type, View, Frame_Rect));
    }
  }
  Set_Up_Frame();
  Time_Limit = Types[0].Launch_Gap * waves + Extra_Time;
  Sequence = std::make_unique<Animation_Sequence>(TSize{Width, Height}, Types[0].Frame_Interval, Time_Limit);
  Launched = Exploded = Time = 0;
  Last_Launch = Last_Explosion = -1;
  Drawn_Rect = Frame_Rect;
  Is_Running = true;
  Stop = false;
  Full = false;
  Start_Event.Set();
}

void Fireworks_Factory::Set_Up_Frame() {
  if (The_DIB_Allocator) {
    Frame = The_DIB_Allocator->Get(Width, Height);
  } else {
    Own_Frame = std::make_unique<TDiBitmap>(Width, Height, 8);
    if (The_GUI_Colors && The_GUI_Colors->Palette) Palette_To_DIB_Colors(*Own_Frame, *The_GUI_Colors->Palette);
    Frame = Own_Frame.get();
  }
  Frame_Pixels.Attach(Frame->GetBits(), Width, int32_t(Frame->Pitch()), Height);
  Frame_DC = std::make_unique<TDibDC>(*Frame);
  if (The_GUI_Colors && The_GUI_Colors->Palette) {
    Frame_DC->SelectObject(*The_GUI_Colors->Palette);
    Frame_DC->RealizePalette();
  }
}

void Fireworks_Factory::Release_Show() {
  Fireworks.clear();
  Frame_DC.reset();
  if (Frame && Frame != Own_Frame.get() && The_DIB_Allocator) The_DIB_Allocator->Release(Frame);
  Frame = nullptr;
  Own_Frame.reset();
}

void Fireworks_Factory::Drop() {
  if (Is_Running) {
    Stop = true;
    Done_Event.Wait(INFINITE);
    Is_Running = false;
    Release_Show();
  }
  Sequence.reset();
}

std::unique_ptr<Animation_Sequence> Fireworks_Factory::Take_Sequence() {
  // Only a show that was started can be waited for: anything else would
  // wait for ever.
  if (!Is_Running) return nullptr;
  if (Done_Event.Wait(0) != WAIT_OBJECT_0) {
    Busy_Cursor_Scope busy;
    Done_Event.Wait(INFINITE);
  }
  Release_Show();
  Is_Running = false;
  return std::move(Sequence);
}

// ---- The worker

int32_t Fireworks_Factory::Worker_Thread::Run() {
  for (;;) {
    Factory.Start_Event.Wait(INFINITE);
    if (ShouldTerminate()) return 0;
    Factory.Make_Show();
    if (ShouldTerminate()) return 0;
    if (!Factory.Stop) Factory.Sequence->Finish();
    Factory.Done_Event.Set();
  }
}

void Fireworks_Factory::Make_Show() {
  while (!Thread.ShouldTerminate() && !Stop && !Show_Over()) {
    Make_Frame();
    std::this_thread::yield();
  }
}

bool Fireworks_Factory::Show_Over() const {
  const bool drew_nothing = Drawn_Rect.left >= Drawn_Rect.right || Drawn_Rect.top >= Drawn_Rect.bottom;
  if (Exploded == int32_t(Fireworks.size()) && drew_nothing && Time - Last_Explosion > Afterglow) return true;
  return Time >= Time_Limit || Full;
}

void Fireworks_Factory::Make_Frame() {
  const Firework_Type& type = Types[0];
  for (int32_t i = 0; i < type.Frame_Interval / type.Step; ++i) Simulate_Step();
  Render_Frame();
  if (!Sequence->Add_Frame(*Frame, &Drawn_Rect, TColor(0, 0, 0))) Full = true;
}

void Fireworks_Factory::Simulate_Step() {
  if (Launched < int32_t(Fireworks.size())) Launch_Next();
  for (auto& f : Fireworks) {
    if (!f->Launched() || f->Exploded()) continue;
    const Firework_Type& t = f->Type;
    if (f->Rocket().vz < t.Launch_Speed * t.Explosion_Speed && Standard_Random() % t.Explosion_Divisor < t.Step)
      Explode(*f);
  }
  for (auto& f : Fireworks) f->Move(Time);
  Time += Types[0].Step;
}

void Fireworks_Factory::Launch_Next() {
  const Firework_Type& type = Types[0];
  bool go;
  if (Launched % Group_Size != 0) {
    // The rest of a wave follow its first at random.
    go = Standard_Random() % (type.Launch_Delay / 2) < type.Step;
  } else if (Launched == 0) {
    go = true;
  } else {
    go = Time - Last_Launch >= type.Launch_Gap && Standard_Random() % type.Launch_Delay < type.Step;
  }
  if (!go) return;
  Fireworks[size_t(Launched)]->Launch(Time);
  Last_Launch = Time;
  ++Launched;
}

void Fireworks_Factory::Explode(Firework& firework) {
  firework.Explode(Time);
  ++Exploded;
  Last_Explosion = Time;
  Add_Explosion_Sounds(Sequence->Track(), firework.Launch_Time, Time, Exploded == int32_t(Fireworks.size()));
}

void Fireworks_Factory::Add_Explosion_Sounds(Sound_Track& track, int32_t launch, int32_t explosion, bool last) {
  Sound_Wave* flight = The_Sound_Library ? The_Sound_Library->Sound(0) : nullptr;
  Sound_Wave* bang = The_Sound_Library ? The_Sound_Library->Sound(1) : nullptr;
  if (flight) track.Add_Clip(flight, launch + 250, 0, explosion - launch, 0);
  if (!bang) return;
  track.Add_Clip(bang, explosion + 250, 0, -1, 0);
  if (!last) return;
  track.Add_Clip(bang, explosion + 450, 0, -1, 1);
  track.Add_Clip(bang, explosion + 650, 0, -1, 2);
}

// ---- Rendering

void Fireworks_Factory::Add_Drawn(const TRect& r) {
  Drawn_Rect.left = std::min(Drawn_Rect.left, r.left);
  Drawn_Rect.top = std::min(Drawn_Rect.top, r.top);
  Drawn_Rect.right = std::max(Drawn_Rect.right, r.right);
  Drawn_Rect.bottom = std::max(Drawn_Rect.bottom, r.bottom);
}

void Fireworks_Factory::Render_Frame() {
  Frame_DC->SelectStockObject(BLACK_BRUSH);
  Frame_DC->SelectStockObject(NULL_PEN);
  if (Drawn_Rect.left < Drawn_Rect.right && Drawn_Rect.top < Drawn_Rect.bottom)
    Frame_DC->PatBlt(Drawn_Rect.left, Drawn_Rect.top, Drawn_Rect.Width(), Drawn_Rect.Height(), PATCOPY);
  Drawn_Rect = Empty_Rect;
  const int32_t rocket_steps = Rocket_Trail_Time / Types[0].Step;
  bool all_finished = true;
  for (auto& f : Fireworks) {
    if (!f->Launched()) continue;
    if (!f->Exploded()) {
      if (f->Rocket().Open_Window(rocket_steps)) all_finished = false;
      continue;
    }
    f->First_Unfinished = 1;
    for (int32_t i = 1; i <= f->Stars(); ++i)
      if (f->Star(i).Open_Window(f->Trail_Length)) all_finished = false;
  }
  // Far to near, so that nearer dots cover farther ones.
  for (int32_t depth = Firework_Particle::Deepest; depth >= 0 && !all_finished; --depth)
    all_finished = Render_Pass(depth);
  Draw_Flashes();
  Drawn_Rect = TRect(std::max(Drawn_Rect.left, 0), std::max(Drawn_Rect.top, 0), std::min(Drawn_Rect.right, Width),
                     std::min(Drawn_Rect.bottom, Height));
  if (Drawn_Rect.left >= Drawn_Rect.right || Drawn_Rect.top >= Drawn_Rect.bottom) Drawn_Rect = TRect(0, 0, 0, 0);
}

bool Fireworks_Factory::Render_Pass(int32_t depth) {
  bool all_finished = true;
  for (auto& f : Fireworks) {
    if (!f->Launched()) continue;
    const bool finished = f->Exploded() ? Render_Stars(*f, depth) : Render_Rocket(*f, depth);
    all_finished = all_finished && finished;
  }
  return all_finished;
}

bool Fireworks_Factory::Render_Rocket(Firework& f, int32_t depth) {
  Firework_Particle& rocket = f.Rocket();
  while (!rocket.Walk_Used_Up() && rocket.At_Cursor().depth >= depth) {
    const Trail_Position from = rocket.At_Cursor();
    rocket.Step_Walk();
    Add_Drawn(Trail->Draw_Segment(Frame_Pixels, from, rocket.At_Cursor(), 1, 1, 2, Rocket_Color));
  }
  return rocket.Walk_Used_Up();
}

bool Fireworks_Factory::Render_Stars(Firework& f, int32_t depth) {
  const Firework_Type& type = f.Type;
  Firework_Sparkle& sparkle =
      type.Colored_Trails ? static_cast<Firework_Sparkle&>(*Glitter_Sparkle) : static_cast<Firework_Sparkle&>(*Star_Sparkle);
  for (int32_t i = f.First_Unfinished; i <= f.Stars(); ++i) {
    Firework_Particle& star = f.Star(i);
    while (!star.Walk_Used_Up() && star.At_Cursor().depth >= depth) {
      const int32_t from_index = star.Cursor;
      const Trail_Position from = star.At_Cursor();
      star.Step_Walk();
      Add_Drawn(Trail->Draw_Segment(Frame_Pixels, from, star.At_Cursor(), type.Dot_Size_Offset, star.Remaining,
                                    f.Trail_Length, type.Trail_Color));
      const bool at_head = from_index == star.Newest || star.Cursor == star.Newest;
      if (at_head && star.Burning && !star.Stopped)
        Add_Drawn(sparkle.Draw(Frame_Pixels, star.Newest_Position(), Sparkle_Offset, type.Star_Color));
    }
    if (star.Walk_Used_Up() && i == f.First_Unfinished) ++f.First_Unfinished;
  }
  return f.First_Unfinished > f.Stars();
}

void Fireworks_Factory::Draw_Flashes() {
  Frame_DC->SelectStockObject(WHITE_BRUSH);
  for (auto& f : Fireworks) {
    if (!f->Exploded()) continue;
    const int32_t age = Time - f->Explosion_Time;
    if (age > f->Type.Frame_Interval) continue;
    const int32_t r = int32_t(float(age) * 0.5f * f->Type.Burst_Speed * float(Width));
    const Trail_Position& c = f->Rocket().Newest_Position();
    const TRect box(c.x - r, c.y - r, c.x + r, c.y + r);
    Frame_DC->Ellipse(box.left, box.top, box.right, box.bottom);
    Add_Drawn(box);
  }
}

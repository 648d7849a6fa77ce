// The maker of the fireworks show that rewards a completed run. Start hands
// a show to its worker thread, which simulates the fireworks in 30 ms steps
// while the run is still being played, draws every third step into an 8-bit
// frame and packs the frames, with the rockets' and bursts' sounds, into an
// animation sequence. Take_Sequence hands the finished show over; Drop
// abandons it.
//
// Hand-over: the interface thread writes every field of a show before it
// sets the start event and touches them again only after the done event;
// in between they belong to the worker. The stop request is the one field
// both read while a show is made.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/circular_distribution.h"
#include "game/firework.h"
#include "game/firework_trail.h"
#include "game/firework_type.h"
#include "game/polarized_sparkle.h"
#include "game/random_sparkle.h"
#include "model/perspective_view_3d.h"
#include "model/raster_lines.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/dibitmap.h"
#include "platform/gdi/geometry.h"
#include "platform/system/event_semaphore.h"
#include "toolkit/animation_sequence.h"
#include "toolkit/tthread.h"

class Fireworks_Factory {
 public:
  static constexpr int32_t Max_Fireworks = 36;

  // Seeds the program's generator, prepares the types, loads the sparkles
  // and starts the worker, which waits for a show.
  Fireworks_Factory();
  ~Fireworks_Factory();
  Fireworks_Factory(const Fireworks_Factory&) = delete;
  Fireworks_Factory& operator=(const Fireworks_Factory&) = delete;

  // Begins a show of waves x per_wave fireworks (at most 36), dropping the
  // one there was.
  void Start(int32_t waves, int32_t per_wave);
  // Abandons the show being made or held.
  void Drop();
  // Waits (under the busy cursor) for the show started last to be finished
  // and hands it over. None when no show was started since the last
  // Take_Sequence or Drop.
  std::unique_ptr<Animation_Sequence> Take_Sequence();

  // The sounds of a rocket launched at launch that burst at explosion, the
  // last burst of the show echoing: the flight, the bang, two softer bangs.
  static void Add_Explosion_Sounds(Sound_Track& track, int32_t launch, int32_t explosion, bool last);

  // The show started last: how many fireworks go up in each wave, and in all.
  int32_t Per_Wave() const { return Group_Size; }
  int32_t Show_Fireworks() const { return int32_t(Fireworks.size()); }
  // Whether a show was started and not yet taken or dropped.
  bool Running() const { return Is_Running; }
  int32_t Frame_Side() const { return Width; }

 private:
  class Worker_Thread : public TThread {
   public:
    explicit Worker_Thread(Fireworks_Factory& factory) : Factory(factory) {}

   protected:
    int32_t Run() override;

   private:
    Fireworks_Factory& Factory;
  };

  // The worker's part.
  void Make_Show();
  bool Show_Over() const;
  void Make_Frame();
  void Simulate_Step();
  void Launch_Next();
  void Explode(Firework& firework);
  void Render_Frame();
  bool Render_Pass(int32_t depth);
  bool Render_Rocket(Firework& firework, int32_t depth);
  bool Render_Stars(Firework& firework, int32_t depth);
  void Draw_Flashes();
  void Add_Drawn(const TRect& rect);

  // The interface thread's part.
  void Set_Up_Frame();
  void Release_Show();
  uint8_t Frame_Color(TColor color) const;

  Worker_Thread Thread{*this};
  TEventSemaphore Start_Event;
  TEventSemaphore Done_Event;
  int32_t Width = 0;
  int32_t Height = 0;
  TRect Frame_Rect;
  TRect Drawn_Rect;
  TDiBitmap* Frame = nullptr;
  std::unique_ptr<TDiBitmap> Own_Frame;
  Pixels Frame_Pixels;
  std::unique_ptr<TDibDC> Frame_DC;
  std::unique_ptr<Animation_Sequence> Sequence;
  std::vector<std::unique_ptr<Firework>> Fireworks;
  int32_t Group_Size = 1;
  int32_t Launched = 0;
  int32_t Exploded = 0;
  int32_t Time = 0;
  int32_t Last_Launch = -1;
  int32_t Last_Explosion = -1;
  int32_t Time_Limit = 0;
  bool Is_Running = false;
  std::atomic<bool> Stop{false};
  bool Full = false;
  Perspective_View_3D View;
  Distribution_Table Distributions;
  std::array<uint8_t, 8> Star_Colors{};
  uint8_t Rocket_Color = 255;
  int32_t Sparkle_Offset = 9;
  Firework_Type_Table Types;
  std::unique_ptr<Polarized_Sparkle> Star_Sparkle;
  std::unique_ptr<Random_Sparkle> Glitter_Sparkle;
  std::unique_ptr<Firework_Trail> Trail;
};

// Plays the fireworks show over the drawing area: a dimmed copy of the
// drawing is the background, the show's frames and sound play over it, and
// when the show ends the drawing window is told (Fireworks_Finished_Message)
// and repaints the drawing itself. The drawing's own pixels are never
// touched, and nothing of the drawing window is touched from the playback
// thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gdi/dc.h"
#include "platform/gdi/geometry.h"
#include "platform/window/messages.h"
#include "toolkit/animation_player.h"
#include "workspace/game_links.h"

class Fireworks_Factory;
class Shape_Drawing;
class TWindow;

class Fireworks_Viewer : public Animation_Player, public Fireworks_Show {
 public:
  // Builds the dimming map. The factory and the window to notify serve
  // the drawing window's Play(picture, dc, area).
  explicit Fireworks_Viewer(Fireworks_Factory* factory = nullptr, TWindow* window = nullptr);
  ~Fireworks_Viewer() override;

  // Shows the factory's finished show over a dimmed copy of picture, into
  // rect of dc (which the viewer keeps until the show is over); window, if
  // any, gets Fireworks_Finished_Message at the end.
  void Play(Fireworks_Factory* factory, const Shape_Drawing& picture, std::unique_ptr<TDC> dc, const TRect& rect,
            TWindow* window);

  // The drawing window's side: plays into a context of the window to notify
  // clipped as dc is.
  void Play(const Shape_Drawing& picture, TDC& dc, const TRect& area) override;
  bool Playing() const override { return Animation_Player::Playing(); }
  bool Paint_Under(TDC& dc, const TRect& area) override;
  void Stop() override { Animation_Player::Stop(); }

  // Palette index -> the index of its dimmed colour.
  const std::array<uint8_t, 256>& Dimming_Map() const { return Dimming; }
  // The dimmed copy shown under the show (none before the first show).
  const Shape_Drawing* Dimmed_Picture() const { return Picture.get(); }

 protected:
  // Runs on whichever thread ends the show: lets go of the context and
  // posts; the drawing and the drawing window are not touched.
  void Finished() override;

 private:
  void Release_Show();

  Fireworks_Factory* Default_Factory;
  TWindow* Default_Window;
  std::unique_ptr<Shape_Drawing> Picture;
  HWND Notify;
  std::array<uint8_t, 256> Dimming{};
  std::unique_ptr<Animation_Sequence> Played;
  std::unique_ptr<TDC> Target_DC;
};

#include "toolkit/animation_player.h"

#include <algorithm>
#include <cstring>

#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "platform/gdi/surface.h"
#include "platform/system/clock.h"
#include "toolkit/sound_player.h"

Animation_Player::Animation_Player() {
  Thread.Start();
  Thread.SetPriority(2);
}

Animation_Player::~Animation_Player() {
  if (Is_Playing) Stop();
  // The loop looks at the request after every wait, and frames are short:
  // wake it and wait for it, never kill it.
  Thread.Terminate();
  Wake.Set();
  Pace_Wake.Set();
  Thread.WaitForExit(INFINITE);
}

void Animation_Player::Play(Animation_Sequence* sequence, const TDib* background, TDC* target, const TRect& rect,
                            int32_t interval) {
  if (Is_Playing) Stop();
  if (!sequence || !background) return;
  TMutex::TLock lock(Frame_Lock);
  Sequence = sequence;
  Background = background;
  // The work picture is the sequence's size; a pool picture may be wider
  // (rows padded), which the sequence allows for.
  TSize size = sequence->Size();
  if (The_DIB_Allocator) {
    Work_Picture = The_DIB_Allocator->Get(size.cx, size.cy);
  } else {
    Own_Work_Picture = std::make_unique<TDiBitmap>(size.cx, size.cy, 8);
    Work_Picture = Own_Work_Picture.get();
  }
  Work_Context = std::make_unique<TDibDC>(*Work_Picture);
  if (The_GUI_Colors && The_GUI_Colors->Palette) {
    Work_Context->SelectObject(*The_GUI_Colors->Palette);
    Work_Context->RealizePalette();
  }
  Target = target;
  Rectangle = rect;
  Interval = interval == -1 ? sequence->Frame_Interval() : interval;
  // On a 32-bit screen the frames are drawn straight onto it.
  const bool in_colour = target && target->Binding() && target->Binding()->Surface() &&
                         target->Binding()->Surface()->Bits_Per_Pixel() == 32;
  Presenter.Start(in_colour);
  ++Show_Serial;
  Is_Playing = true;
  // Frames that cannot be drawn on the background (another size) are not
  // shown at all, rather than waited for for ever.
  Frames_Pending = sequence->Frames_Remain() && sequence->Fits(*background) && sequence->Fits(*Work_Picture);
  Sound_Pending = false;
  if (Sound_Wave* wave = sequence->Track().Mixed_Wave(); wave && The_Sound_Player) {
    wave->Set_Position(0, Sound_Frames);
    Sound_Pending = The_Sound_Player->Play(wave, this);
  }
  if (!Frames_Pending && !Sound_Pending) {
    End_Show();
    return;
  }
  Wake.Set();
}

void Animation_Player::Stop() {
  // Without a time limit: tearing the show down while the thread draws
  // with its picture is never safe, and a frame takes a moment only.
  TMutex::TLock lock(Frame_Lock);
  if (!Is_Playing) return;
  Frames_Pending = false;
  if (Sound_Pending) {
    Sound_Pending = false;
    if (The_Sound_Player) The_Sound_Player->Stop();
  }
  End_Show();
}

void Animation_Player::Sound_Done(Sound_Wave* wave) {
  TMutex::TLock lock(Frame_Lock);
  if (!Is_Playing || !Sound_Pending || !Sequence || wave != Sequence->Track().Mixed_Wave()) return;
  Sound_Pending = false;
  if (!Frames_Pending) End_Show();
}

void Animation_Player::End_Show() {
  if (Is_Playing) Finished();
}

void Animation_Player::Finished() {
  if (!Is_Playing) return;
  Work_Context.reset();
  if (Work_Picture && Work_Picture != Own_Work_Picture.get() && The_DIB_Allocator)
    The_DIB_Allocator->Release(Work_Picture);
  Work_Picture = nullptr;
  Own_Work_Picture.reset();
  Presenter.Release();
  Is_Playing = false;
}

void Animation_Player::Prepare_Frame() {
  if (!Work_Picture || !Background || !Sequence) return;
  Presenter.Prepare(*Sequence, *Background, *Work_Picture);
}

void Animation_Player::Show_Frame() {
  if (Target && Work_Context) Presenter.Show(*Target, Rectangle, *Work_Context);
  if (Sequence && !Sequence->Frames_Remain()) {
    Frames_Pending = false;
    if (!Sound_Pending) End_Show();
  }
}

uint32_t Animation_Player::Pace(uint32_t t0, int32_t interval) {
  uint32_t t = timeGetTime();
  // Differences of the wrapping clock are taken modulo 2^32.
  while (interval > 0 && t - t0 < uint32_t(interval) && !Thread.ShouldTerminate()) {
    Pace_Wake.Wait(t0 + uint32_t(interval) - t);
    t = timeGetTime();
  }
  return t;
}

int32_t Animation_Player::Playback_Thread::Run() {
  Animation_Player& p = Player;
  for (;;) {
    if (ShouldTerminate()) return 0;
    p.Wake.Wait(INFINITE);
    if (ShouldTerminate()) return 0;
    uint32_t serial;
    int32_t interval;
    {
      TMutex::TLock lock(p.Frame_Lock);
      serial = p.Show_Serial;
      interval = p.Interval;
      if (p.Frames_Pending && p.Sequence->Frames_Remain()) p.Prepare_Frame();
    }
    uint32_t t0 = timeGetTime();
    for (;;) {
      bool more = false;
      bool to_show = false;
      {
        TMutex::TLock lock(p.Frame_Lock);
        if (p.Show_Serial != serial) break;
        if (p.Frames_Pending) {
          p.Show_Frame();
          if (p.Frames_Pending && p.Sequence->Frames_Remain()) p.Prepare_Frame();
        }
        more = p.Frames_Pending && p.Sequence->Frames_Remain();
        to_show = p.Frames_Pending;
      }
      if (!to_show) break;
      t0 = p.Pace(t0, interval);
      if (ShouldTerminate()) return 0;
      if (!more) break;
    }
    if (ShouldTerminate()) return 0;
    TMutex::TLock lock(p.Frame_Lock);
    if (p.Show_Serial == serial && p.Frames_Pending) p.Show_Frame();
  }
}

// Animation_Player: shows an Animation_Sequence in a rectangle of a device
// context at the sequence's pace, over a background picture, while the
// sound player plays the sequence's mixed sound track; Finished runs once
// when both the frames and the sound are over (or the show is stopped).
//
// A playback thread, living as long as the player, paces the frames on the
// platform clock: each frame is prepared one interval ahead (background
// put back where the last frame drew, frame unpacked over it) so that
// showing it is one block copy of the part that changed.
// The frame lock guards the work picture, its context, the flags and the
// frame counters; it is never held while the thread waits.
//
// A player that overrides Finished stops its show in its own destructor:
// by the time the base destructor runs, the override is gone.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/gdi/dib.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/dibitmap.h"
#include "platform/gdi/geometry.h"
#include "platform/system/event_semaphore.h"
#include "platform/system/mutex.h"
#include "toolkit/animation_sequence.h"
#include "toolkit/frame_presenter.h"
#include "toolkit/sound_client.h"
#include "toolkit/tthread.h"

class Animation_Player : public Sound_Client {
 public:
  Animation_Player();
  ~Animation_Player() override;
  Animation_Player(const Animation_Player&) = delete;
  Animation_Player& operator=(const Animation_Player&) = delete;

  // Plays the sequence into rect of target over background (a picture of
  // the sequence's frame size), interval ms a frame (-1: the sequence's own).
  // A show already playing is stopped first. The sequence, background and
  // target must live until Finished.
  void Play(Animation_Sequence* sequence, const TDib* background, TDC* target, const TRect& rect, int32_t interval);
  // Ends a show at once (sound silenced, Finished called); waits for a frame
  // being drawn to be done.
  void Stop();
  bool Playing() const { return Is_Playing.load(); }

  // The show's sound ended.
  void Sound_Done(Sound_Wave* wave) override;

 protected:
  // Both frames and sound are over. Runs once per show, under the frame
  // lock, on the playback thread or the user-interface thread; an override
  // calls the base first. The base gives the work picture back.
  virtual void Finished();

  Animation_Sequence* Sequence = nullptr;
  TDC* Target = nullptr;
  TRect Rectangle;

 private:
  class Playback_Thread : public TThread {
   public:
    explicit Playback_Thread(Animation_Player& player) : Player(player) {}

   protected:
    int32_t Run() override;

   private:
    Animation_Player& Player;
  };

  void End_Show();
  void Prepare_Frame();
  void Show_Frame();
  // Waits until interval ms after t0 on the platform clock (or until the
  // thread is to end); returns the time read last.
  uint32_t Pace(uint32_t t0, int32_t interval);

  Playback_Thread Thread{*this};
  TMutex Frame_Lock;
  TEventSemaphore Wake;
  TEventSemaphore Pace_Wake;
  int32_t Interval = 0;
  const TDib* Background = nullptr;
  TDiBitmap* Work_Picture = nullptr;
  std::unique_ptr<TDiBitmap> Own_Work_Picture;
  std::unique_ptr<TDibDC> Work_Context;
  Frame_Presenter Presenter;
  std::atomic<bool> Is_Playing{false};
  bool Frames_Pending = false;
  bool Sound_Pending = false;
  // Counts shows, so that the thread notices a show replaced under it.
  uint32_t Show_Serial = 0;
};

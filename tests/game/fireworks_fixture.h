// The stores a fireworks show is made and played with, on a headless window
// system with the silent wave device: layout sizes for a 640-wide screen
// (a 360-pixel drawing area), the program colours, the picture pool and
// the built-in sounds; a window that keeps the messages it is posted.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "game/fireworks_factory.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "platform/window/window.h"
#include "tests/toolkit/media_fixture.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/small_utilities.h"
#include "toolkit/sound_library.h"
#include "toolkit/sound_player.h"
#include "toolkit/standard_random.h"
#include "users/user_database.h"

class Notify_Window : public TWindow {
 public:
  Notify_Window() : TWindow(nullptr, "Notified") {
    Attr.Style = WS_POPUP | WS_VISIBLE;
    Attr.W = 40;
    Attr.H = 40;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg >= WM_USER) Posted.push_back(msg);
    return TWindow::WindowProc(msg, wp, lp);
  }
  std::vector<UINT> Posted;
};

class Fireworks_Test : public Media_Test {
 protected:
  static constexpr int Side = 360;

  ~Fireworks_Test() override { The_User_Database = nullptr; }

  // Every later choice of a show made from these seeds.
  static void Seed(int32_t seed) {
    Set_Random_State(seed);
    Seed_Standard_Random(uint32_t(seed));
  }
  // A seed of the program's generator whose first draw picks type for a
  // player of level index 4.
  int32_t Seed_For_Type(int type) {
    Use_Level(4);
    for (int32_t s = 1;; ++s) {
      Set_Random_State(s);
      if (Choose_Firework_Type(4) == type) return s;
    }
  }
  void Use_Level(int32_t level) {
    users.default_user.level = level;
    The_User_Database = &users;
  }

  // FNV-1a over every frame drawn alone on black, and the frame count.
  static uint64_t Hash_Frames(Animation_Sequence& sequence) {
    TDib frame(Side, Side, 8);
    uint64_t h = 1469598103934665603ull;
    while (sequence.Frames_Remain()) {
      std::memset(frame.GetBits(), 0, frame.SizeImage());
      sequence.Next_Frame(frame);
      for (uint32_t i = 0; i < frame.SizeImage(); ++i) h = (h ^ frame.GetBits()[i]) * 1099511628211ull;
    }
    return h ^ uint64_t(sequence.Frame_Count());
  }

  GUI_Sizes sizes{640, 480};
  GUI_Colors colors;
  DIB_Allocator pool{2, 8, Side};
  Sound_Player sound_player;
  Sound_Library sounds;
  User_Database users{For_Stream};
};

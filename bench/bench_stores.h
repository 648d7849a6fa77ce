// What a benchmark of windows stands on: a headless desktop of the given
// size, the interface stores the panels read (sizes, colours, the round
// border, the picture caches, the mouse arbiter) and a plain main window
// covering the screen, torn down in the reverse order.
#pragma once

#include <memory>

#include "model/gui_colors.h"
#include "platform/backend/headless/headless_backend.h"
#include "platform/window/desktop.h"
#include "platform/window/window.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/round_border.h"

class Bench_Stores {
 public:
  explicit Bench_Stores(TSize screen = TSize(1024, 768)) {
    auto backend = std::make_unique<THeadless_Backend>(screen);
    headless = backend.get();
    TDesktop::Start(std::move(backend));
    sizes = std::make_unique<GUI_Sizes>(screen.cx, screen.cy);
    colors = std::make_unique<GUI_Colors>();
    border = std::make_unique<Round_Border>();
    metafiles = std::make_unique<GUI_Metafiles>();
    bitmaps = std::make_unique<GUI_Bitmaps>();
    mouse = std::make_unique<Mouse>();
    main = new TWindow(nullptr, "Main");
    main->Attr.Style = WS_POPUP | WS_VISIBLE;
    main->Attr.W = screen.cx;
    main->Attr.H = screen.cy;
    main->Create();
  }
  ~Bench_Stores() {
    delete main;
    mouse.reset();
    bitmaps.reset();
    metafiles.reset();
    border.reset();
    colors.reset();
    sizes.reset();
    TDesktop::Stop();
  }
  Bench_Stores(const Bench_Stores&) = delete;
  Bench_Stores& operator=(const Bench_Stores&) = delete;

  void Run_Until_Idle() { TDesktop::Current().Run_Until_Idle(); }

  THeadless_Backend* headless = nullptr;
  std::unique_ptr<GUI_Sizes> sizes;
  std::unique_ptr<GUI_Colors> colors;
  std::unique_ptr<Round_Border> border;
  std::unique_ptr<GUI_Metafiles> metafiles;
  std::unique_ptr<GUI_Bitmaps> bitmaps;
  std::unique_ptr<Mouse> mouse;
  TWindow* main = nullptr;
};

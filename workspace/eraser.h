// The eraser: a small rubber on the colour wheel panel. A click asks its
// client to take back its newest change and then shows a smudge in the
// colour that was rubbed out; rubbing out the same colour twice in a row
// alternates the two smudge pictures, so each click shows.
#pragma once

#include "platform/gdi/color.h"
#include "platform/gdi/region.h"
#include "platform/window/window.h"
#include "workspace/eraser_client.h"

class Eraser : public TWindow {
 public:
  static constexpr int Window_Id = 1500;
  static constexpr const char* Tip = "Eraser";

  // rect: the window's place in the parent. Becomes The_Eraser.
  Eraser(TWindow* parent, const TRect& rect);
  ~Eraser() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC& dc) override;
  void EvLButtonDown(UINT mod_keys, const TPoint& point) override;
  void EvMouseMove(UINT mod_keys, const TPoint& point) override;

  // The client's newest change can be taken back; color is its colour.
  void Attach(Eraser_Client* client, TColor color);
  // Forgets client when it is the current one; any other changes nothing.
  void Detach_Client(const Eraser_Client* client);

  TRect Rect;
  TRegion Shape_Region;
  Eraser_Client* Client = nullptr;
  TColor Pending_Color = 0;
  TColor Shown_Color = TColor::No_Color;
  uint32_t Smudge_Variant = 0;
  bool Busy = false;

 private:
  void Show_Clean();
};

extern Eraser* The_Eraser;

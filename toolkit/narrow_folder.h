// A stack of file folders seen from the front, for places too narrow for
// tabs side by side: rounded tabs that overlap and stand in staggered rows,
// the chosen one always in the front row right above the page. The owner
// puts its pages into Page_Rect and learns of a new choice through
// Tab_Chosen (by default Tab_Selected_Message to the parent).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/window/window.h"
#include "toolkit/toolkit_messages.h"

struct Folder_Tab {
  TRect Rect;
  uint32_t Data = 0;
  std::string Label;
};

class Narrow_Folder : public TWindow {
 public:
  // tab_width 0: half the window's width.
  Narrow_Folder(TWindow* parent, int id, const TRect& rect, int32_t tab_width);
  ~Narrow_Folder() override;

  void SetupWindow() override { Setup_Window(); }
  void Setup_Window();
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& point) override;

  uint32_t Add_Tab(const char* label, uint32_t data);
  void Choose_Tab(uint32_t index);
  // The tab drawn in front at a point (inside its shape), or -1.
  int Tab_At(const TPoint& point) const;
  void Paint_Tabs(TDC& dc, bool tabs_only);

  virtual void Tab_Chosen(uint32_t index, uint32_t data);
  virtual bool Can_Choose(uint32_t) { return true; }

  // The seven points of one side's outline (two cubic segments).
  void Curve_Points(TPoint left[7], TPoint right[7]) const;

  TRect Client_Rect;
  TRect Tab_Shape_Rect;
  TRect Page_Rect;
  std::unique_ptr<TBitmap> Tab_Mask;
  std::unique_ptr<TBitmap> Tab_Picture;
  uint8_t Pictures_Built = 0;
  uint32_t Current_Tab = 0;
  std::vector<Folder_Tab> Tabs;

 protected:
  void Layout();

 private:
  void Draw_Pictures();
  void Paint_Now(bool tabs_only);
};

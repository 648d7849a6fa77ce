// A two-level notebook seen from the front: a page area on the left and a
// column of coloured index tabs (dividers) on the right; a divider may be
// split into sub-dividers stacked inside its own height. A click selects a
// tab; the selected tab reaches into the page, the others stand back. The
// notebook draws only its frame and tabs: the deriving panel draws the page
// and learns of each selection through Selection_Changed (by default
// Tab_Selected_Message to the parent).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/window/window.h"
#include "toolkit/toolkit_messages.h"

// One tab. Its two looks belong to one record at a time: a record moved
// into another place takes them along.
struct Notebook_Divider {
  TRect Rect;
  uint32_t Data = 0;
  int32_t Color_Index = 0;
  std::string Label;
  std::unique_ptr<TBitmap> Selected_Look;
  std::unique_ptr<TBitmap> Normal_Look;
  std::vector<Notebook_Divider> Sub_Dividers;

  // Draws both looks at the size of Rect.
  void Render();
  // The same label, data and colour, without looks or sub-dividers.
  Notebook_Divider Plain_Copy() const;
};

class Divided_Notebook : public TWindow {
 public:
  static constexpr uint32_t No_Entry = 0xFFFFFFFFu;

  Divided_Notebook(TWindow* parent, int id, const TRect& rect, int32_t tab_width, int32_t max_tab_height);
  ~Divided_Notebook() override;

  void SetupWindow() override { Setup_Window(); }
  void Setup_Window();
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& point) override;

  uint32_t Add_Divider(const char* label, uint32_t data);
  // The new sub-divider's index (the first call on a divider returns 1:
  // sub-divider 0 stands for the divider's own page), or No_Entry.
  uint32_t Add_Sub_Divider(uint32_t divider, const char* label, uint32_t data);
  void Remove_Entry(uint32_t divider, uint32_t sub);
  void Remove_Sub_Dividers(uint32_t divider);
  void Remove_All();
  Notebook_Divider* Get_Entry(uint32_t divider, uint32_t sub);
  void Select(uint32_t divider, uint32_t sub);

  // After every change of selection; posts Tab_Selected_Message to the
  // parent (wParam divider << 8 | sub, lParam the entry's data).
  virtual void Selection_Changed(uint32_t divider, uint32_t sub, uint32_t data);
  // Asked before a click selects an entry.
  virtual bool Can_Select(uint32_t, uint32_t) { return true; }

  TRect Client_Rect;
  uint8_t Laid_Out = 0;
  uint8_t Painting_Held = 0;
  int32_t Tab_Width;
  int32_t Max_Tab_Height;
  uint32_t Selected_Divider = 0;
  uint32_t Selected_Sub = 0;
  std::vector<Notebook_Divider> Dividers;

 protected:
  void Layout();
  void Layout_Sub_Dividers(uint32_t divider);
  void Draw_Tab(const Notebook_Divider& entry, bool selected);
  // Paints the whole window at once through its virtual Paint.
  void Repaint();
  // Lays out and repaints after a change, as the flags allow.
  void Changed(bool all, uint32_t divider);
};

// The one hover tip. A window tells it when the pointer enters, leaves or
// presses one of its items, naming the item by its tip text (the pointer,
// not the characters). After 1250 ms in an item its text shows in a small
// white box by the pointer; moving on to the next item within 100 ms of
// leaving a shown tip shows the next one at once. The box is drawn straight
// onto the screen over a saved copy of what it covers, so nothing repaints
// when it goes.
//
// The window itself is a hidden child that exists for its timer.
#pragma once

#include <memory>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/window/window.h"

class Tip_Window : public TWindow {
 public:
  static constexpr UINT Timer_Id = 1;
  static constexpr UINT Show_Delay = 1250;
  static constexpr UINT Grace_Period = 100;
  static constexpr int Window_Id = 2500;

  // Becomes The_Tip_Window.
  explicit Tip_Window(TWindow* parent);
  // Does not restore the screen.
  ~Tip_Window() override;

  void SetupWindow() override;
  void EvTimer(UINT timer_id) override;

  void Enter_Item(const char* text);
  void Leave_Item(const char* text);
  void Press_Item(const char* text);
  void Show_Tip();
  void Hide();
  // Draws the box again where it is (after a panel painted over it).
  void Redraw();
  void Draw_Tip(TDC& dc, const TRect& rect);
  // Drops the current item before a panel repaints or changes mode.
  void Cancel();
  void Set_Enabled(bool on);
  // The owner of text is going away: text stops being an item at once, so
  // no timer or later call ever reads it.
  void Forget(const char* text);

  TRect Tip_Rect;
  std::unique_ptr<TBitmap> Saved_Background;
  const char* Item = nullptr;
  bool Shown = false;
  bool Pending = false;
  bool Pressed = false;
  bool Enabled = true;
  std::unique_ptr<TFont> Font;

 private:
  void Start_Timer(UINT ms);
  void Stop_Timer();
};

extern Tip_Window* The_Tip_Window;

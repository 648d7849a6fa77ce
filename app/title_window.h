// The round start-up window. It shows the title picture while the program
// builds itself; twelve round areas of the picture start covered and a
// worker uncovers them one at a time, from area 11 down to area 0, at a pace
// taken from how long start-up took to get this far. Once start-up is over
// (Finish) the window closes itself when everything is uncovered, or at once
// on a click; its clean-up tells the main window.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "app/title_data.h"
#include "platform/gdi/dibitmap.h"
#include "platform/gdi/palette.h"
#include "platform/system/event_semaphore.h"
#include "platform/window/window.h"
#include "toolkit/tthread.h"

class Title_Window : public TWindow {
 public:
  // The built-in picture and layout for a screen height.
  struct Picture_Set {
    uint32_t bitmap_id;
    uint32_t layout_id;
    int32_t base_height;
    friend bool operator==(const Picture_Set&, const Picture_Set&) = default;
  };
  static Picture_Set Set_For_Height(int32_t screen_height);
  // Milliseconds between two areas: twice the time start-up took so far,
  // within 250 and 2000.
  static uint32_t Step_Interval(uint32_t elapsed_ms);
  // Where the window stands in the layout: the layout's rectangle 0, its
  // top moved for a layout of another height than the stored one.
  static TRect Place_On_Screen(const TRect& base_window, const Title_Data& layout, int32_t base_height,
                               int32_t layout_height);
  static constexpr UINT Close_Timer = 1;
  static constexpr UINT Close_Delay_Ms = 500;

  Title_Window(TWindow* parent, TModule* module = nullptr);
  ~Title_Window() override;

  void SetupWindow() override;
  void CleanupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;

  // The program's palette exists: draw with it from now on.
  void Use_Program_Palette();
  // Starts uncovering the areas, paced by the time since construction.
  void Start_Stepper();
  // Start-up is over: close when everything is uncovered (or on a click),
  // then tell notify.
  void Finish(TWindow* notify);

  // Uncovers the next area; run on the stepper thread.
  void Step();

  class Stepper_Thread;

  Title_Data Base_Layout;
  // The base layout, or Scaled_Layout when the screen has another height.
  const Title_Data* Current_Layout = &Base_Layout;
  std::unique_ptr<Title_Data> Scaled_Layout;
  TRect Client_Rect;
  TRect Bitmap_Rect;
  std::unique_ptr<TDiBitmap> Title_Bitmap;
  std::unique_ptr<TPalette> Title_Palette;
  uint32_t Construction_Ticks = 0;
  // Areas 0 to Covered - 1 are still covered. Only the stepper changes it.
  std::atomic<int32_t> Covered{Title_Data::Area_Count};
  std::atomic<bool> Program_Palette_In_Use{false};
  std::atomic<bool> Finish_Requested{false};
  std::atomic<bool> Mouse_Held{false};
  std::atomic<bool> Close_Timer_Running{false};
  std::unique_ptr<Stepper_Thread> Stepper;
  HWND Window_To_Notify;

 protected:
  void EvLButtonDown(UINT mod_keys, const TPoint& point) override;
  void EvLButtonUp(UINT mod_keys, const TPoint& point) override;
  void EvTimer(UINT timer_id) override;
  void EvSysCommand(UINT cmd_type, const TPoint& point) override;
  bool EvEraseBkgnd(TDC&) override { return true; }

 private:
  // The picture with the covered areas, stretched onto the client area.
  void Draw_Picture(TDC& dc);
  void Select_Palette(TDC& dc) const;
  void Stop_Stepper();
};

// Uncovers one area per interval until all are uncovered or it is told to
// end; its wait ends at once when it is told to end.
class Title_Window::Stepper_Thread : public TThread {
 public:
  Stepper_Thread(Title_Window& window, uint32_t interval_ms);
  ~Stepper_Thread() override;
  void Terminate() override;
  uint32_t Interval() const { return interval_; }

 protected:
  int32_t Run() override;

 private:
  Title_Window& window_;
  const uint32_t interval_;
  TEventSemaphore wake_{true, false};
};

extern Title_Window* The_Title_Window;

// What the round and the rectangular push buttons share: faces drawn ahead
// (normal, pressed, and a greyed one made when first disabled) and copied by
// Paint, a click sent at once as a WM_COMMAND to the target when the mouse
// is pressed and released over the button, a hover tip (the button holds
// the mouse while the pointer is over it, to see it leave), and the enabled
// state taken from the target through command enabling at idle. A dialog
// may make it a tab stop (WS_TABSTOP): with the keyboard it shows a dotted
// ring, and the space bar or the dialog's Return (BM_CLICK) presses it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/window/command_enabler.h"
#include "platform/window/window.h"

class Owner_Drawn_Button : public TWindow {
 public:
  ~Owner_Drawn_Button() override;

  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool IdleAction(long idle_count) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT keys, const TPoint& point) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvLButtonUp(UINT keys, const TPoint& point) override;
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override;
  void EvSetFocus(HWND) override { Repaint(); }
  void EvKillFocus(HWND) override { Repaint(); }
  UINT EvGetDlgCode(const MSG*) override { return DLGC_BUTTON; }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // A press from the keyboard: the target is asked at once whether the
  // command is enabled (the last idle may be older than the typing that
  // enabled it), then the command goes to it.
  void Key_Press();

  void Enable();
  void Disable();
  bool Is_Disabled() const { return Disabled_Face && Current_Face == Disabled_Face.get(); }
  bool Shows_Pressed() const { return Pressed_Face && Current_Face == Pressed_Face.get(); }
  const char* Tip() const { return Tip_Text ? Tip_Text->c_str() : nullptr; }
  const TBitmap* Normal_Look() const { return Normal_Face.get(); }
  const TBitmap* Pressed_Look() const { return Pressed_Face.get(); }
  const TBitmap* Disabled_Look() const { return Disabled_Face.get(); }
  // Whether a point (client coordinates) is on the button.
  virtual bool On_Button(const TPoint& point) const = 0;

  TRect Frame_Rect;

 protected:
  Owner_Drawn_Button(TWindow* parent, int id, const TRect& rect, const char* title, TWindow* target);

  virtual void Make_Disabled_Face() = 0;
  // Replaces the tip with a copy of text (null: none); the tip window
  // forgets the old text before it is freed.
  void Set_Tip(const char* text);
  // After a picture or caption change: a greyed face that exists is made
  // again from the new normal face.
  void Remake_Disabled_Face();
  void Repaint();
  // The target's window, fixed when the button is set up.
  HWND Target_Handle() const { return target_handle_; }
  void Make_Enabler(std::unique_ptr<TCommandEnabler> enabler);

  std::unique_ptr<std::string> Tip_Text;
  std::unique_ptr<TBitmap> Normal_Face;
  std::unique_ptr<TBitmap> Pressed_Face;
  std::unique_ptr<TBitmap> Disabled_Face;
  TBitmap* Current_Face = nullptr;
  TWindow* Target;
  std::unique_ptr<TCommandEnabler> Enabler;
  bool Pressed = false;

 private:
  bool Holds_Mouse() const;
  HWND target_handle_;
};

// Cuts a caption at line feeds into at most max_lines lines ("" is one
// empty line; a trailing line feed gives an empty last line).
std::vector<std::string> Caption_Lines(const char* text, int max_lines);

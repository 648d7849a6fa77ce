// The rectangular push button: a bevelled face with a caption of up to four
// lines or a picture, in a light or a dark colour style; it behaves as the
// round button does. The gallery's view buttons derive from it and draw
// their own faces.
#pragma once

#include "platform/gdi/color.h"
#include "toolkit/owner_drawn_button.h"

class Rectangular_Button;

class Rectangular_Button_Enabler : public TCommandEnabler {
 public:
  Rectangular_Button_Enabler(UINT id, HWND receiver, Rectangular_Button* button)
      : TCommandEnabler(id, receiver), Button(button) {}
  void Enable(bool enable = true) override;
  void SetText(const std::string&) override {}
  void SetCheck(int) override {}

  Rectangular_Button* Button;
};

class Rectangular_Button : public Owner_Drawn_Button {
 public:
  static constexpr int Max_Caption_Lines = 4;

  // style 0: light, any other: dark. target null: the parent.
  Rectangular_Button(TWindow* parent, int id, const TRect& rect, int32_t style = 0, TWindow* target = nullptr);

  void SetupWindow() override;
  void Set_Picture(const TBitmap& picture, const char* tip);
  void Set_Caption(const char* text);
  bool On_Button(const TPoint& point) const override { return Frame_Rect.Contains(point); }
  // The caption's font height for n lines.
  int Caption_Font_Height(int lines) const;

  TRect Inner_Rect;
  int32_t Style;
  TColor Face_Color;
  TColor Text_Color;

 protected:
  void Make_Disabled_Face() override;

 private:
  void Draw_Faces();
};

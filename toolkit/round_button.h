// The round push button: a disc inside a shaded ring, carrying a picture or
// a caption of up to four centred lines; a click sends its id to the target.
#pragma once

#include "toolkit/owner_drawn_button.h"

class Round_Button;

class Round_Button_Enabler : public TCommandEnabler {
 public:
  Round_Button_Enabler(UINT id, HWND receiver, Round_Button* button) : TCommandEnabler(id, receiver), Button(button) {}
  void Enable(bool enable = true) override;
  void SetText(const std::string&) override {}
  void SetCheck(int) override {}

  Round_Button* Button;
};

class Round_Button : public Owner_Drawn_Button {
 public:
  static constexpr int Max_Caption_Lines = 4;

  // target null: the parent.
  Round_Button(TWindow* parent, int id, const TRect& rect, TWindow* target = nullptr);

  void SetupWindow() override;
  // fit: the picture fills the square inside the disc, else the disc's box.
  void Set_Picture(const TBitmap& picture, const char* tip, bool fit);
  void Set_Caption(const char* text);
  bool On_Button(const TPoint& point) const override;

  TRect Inner_Rect;
  TRect Content_Rect;

 protected:
  void Make_Disabled_Face() override;

 private:
  void Draw_Faces();
};

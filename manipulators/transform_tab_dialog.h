// One page of the manipulator editor's numeric dialog: a window inside the
// dialog's folder that shows one affine map in number fields and reads
// typed numbers back into a map. The pages differ in what the numbers mean
// (a handle's point, the corners' images, the coefficients).
#pragma once

#include <vector>

#include "model/affine_transform_2d.h"
#include "platform/gdi/color.h"
#include "platform/window/window.h"
#include "toolkit/number_edit.h"

class TFont;
class Transform_Edit_Dialog;

class Transform_Tab_Dialog : public TWindow {
 public:
  // parent: the dialog's folder; the fonts belong to the dialog.
  Transform_Tab_Dialog(TWindow* parent, Transform_Edit_Dialog* owner, int id, const TRect& rect,
                       const TFont* label_font, const TFont* field_font);

  virtual void Show_Page();
  virtual void Hide_Page();
  // Shows map in the fields, or hides them for null.
  virtual void Set_Transform(const Affine_Transform_2D* map) = 0;
  // The map the fields say, starting from map.
  virtual void Get_Transform(Affine_Transform_2D& map) = 0;

  // A shown field holds a number no map can take (too large to be a float,
  // or not a number): such text changes nothing, and Apply refuses it.
  bool Has_Out_Of_Range_Field() const;
  const std::vector<Number_Edit<float>*>& Fields() const { return Field_List; }
  const std::vector<TRect>& Field_Rects() const { return Rects; }

  void SetupWindow() override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  const TBrush* EvCtlColor(TDC& dc, HWND child, UINT ctl_type) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  Transform_Edit_Dialog* Owner;
  bool Fields_Shown = false;
  const TFont* Label_Font;
  const TFont* Field_Font;

 protected:
  // A float field of the page, range the whole of float, initial value 0.
  Number_Edit<float>* Add_Field(int id, const TRect& rect);
  // Shows or hides (and enables or disables) every field, repainting the
  // page when that changes.
  void Show_Fields(bool show);
  void Fill_Background(TDC& dc) const;
  void Draw_Field_Bevels(TDC& dc) const;
  // Caption colour: scheme colour 1 with the fields shown, 2 without.
  TColor Caption_Color() const;

 private:
  std::vector<Number_Edit<float>*> Field_List;
  std::vector<TRect> Rects;
};

// A layout size of the screen (GUI_Sizes).
int Page_Size(int index);

#include "manipulators/transform_edit_dialog.h"

#include <cmath>
#include <cstring>

#include "manipulators/transform_corner_dialog.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_handle_dialog.h"
#include "manipulators/transform_manipulator.h"
#include "manipulators/transform_matrix_dialog.h"
#include "model/float_equal.h"
#include "model/gui_colors.h"
#include "platform/window/dialog_keys.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/window/command_enabler.h"
#include "toolkit/ext_edit.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/program_messages.h"
#include "toolkit/narrow_folder.h"
#include "toolkit/round_border.h"
#include "toolkit/round_button.h"
#include "toolkit/toolkit_messages.h"
#include "workspace/color_step_control.h"

namespace {

int Size(int index) { return (*The_GUI_Sizes)[index]; }

// A map an image can have: finite, with a determinant that is a finite,
// non-zero float (the inverse map divides by it), so it neither flattens
// the square to a line nor blows it up beyond floats.
bool Usable_Map(const Affine_Transform_2D& map) {
  if (!Is_Finite_Map(map)) return false;
  const float det = float(double(map.eM11) * map.eM22 - double(map.eM12) * map.eM21);
  return std::isfinite(det) && det != 0.0f;
}

void Copy_Map(const Affine_Transform_2D& from, Affine_Transform_2D& to) {
  static_cast<XFORM&>(to) = static_cast<const XFORM&>(from);
  to.Color_Step = from.Color_Step;
}

}  // namespace

// What the editor holds: forwards to the dialog while it lives, and deletes
// it when the editor lets go first.
class Transform_Edit_Dialog::Panel : public Transform_Edit_Panel {
 public:
  explicit Panel(Transform_Edit_Dialog* dialog) : Dialog(dialog) { Dialog->Link = this; }
  ~Panel() override {
    if (!Dialog) return;
    Dialog->Link = nullptr;
    delete Dialog;
  }
  bool Create_Panel() override { return Dialog && Dialog->Create(); }
  void Set_Transform(const Affine_Transform_2D* map) override {
    if (Dialog) Dialog->Set_Transform(map);
  }
  void Update_Transform(const Affine_Transform_2D& map) override {
    if (Dialog) Dialog->Update_Transform(map);
  }
  void Read_Title() override {
    if (Dialog) Dialog->Read_Title();
  }
  int32_t Read_Color_Step() override { return Dialog ? Dialog->Read_Color_Step() : 0; }
  bool Has_Changed(bool exact) override { return Dialog && Dialog->Has_Changed(exact); }
  void Apply() override {
    if (Dialog) Dialog->Apply();
  }
  void Focus() override {
    if (Dialog && Dialog->IsWindow()) Dialog->SetFocus();
  }

  Transform_Edit_Dialog* Dialog;
};

Transform_Edit_Panel_Maker Transform_Edit_Dialog::Maker() {
  return [](TWindow* parent, Transform_Edit_Window& editor, Transform_Manipulator& tool, const TRect& area,
            char* title) -> std::unique_ptr<Transform_Edit_Panel> {
    return std::make_unique<Panel>(new Transform_Edit_Dialog(parent, editor, tool, area, title));
  };
}

Transform_Edit_Dialog::Transform_Edit_Dialog(TWindow* parent, Transform_Edit_Window& owner,
                                             Transform_Manipulator& manipulator, const TRect& rect, char* title)
    : TWindow(parent), Owner(owner), Client_Rect(0, 0, rect.Width(), rect.Height()), Title_Buffer(title) {
  Attr.Style = WS_CHILD | WS_VISIBLE;
  Attr.Id = Window_Id;
  Attr.Set_Rect(rect);
  const int W = rect.Width(), H = rect.Height();
  const int s = Size(29), F = Size(30), T = Size(31);
  Label_Font = std::make_unique<TFont>("MS Sans Serif", F, FW_NORMAL);
  Field_Font = std::make_unique<TFont>("Times New Roman", T, FW_NORMAL);

  Title_Frame = TRect(s, F + 2 * s, W - s, F + 2 * s + 5 * T / 4);
  const TRect title_rect = Title_Frame.Inflated_By(-2, -2);
  Title_Field = new ExtEdit(this, Title_Id, title_rect, title ? title : "", Title_Length, false, nullptr, Ext_Key_F1, 0);

  const bool steps = Owner.Level_Has_Color_Steps && Owner.Level_Has_Color_Steps();
  const int step_area = steps ? 3 * T / 2 + F + 2 * s : 0;
  const int b = (W - 5 * s) / 2;
  const int folder_top = Title_Frame.bottom + F / 4;
  Folder = new Narrow_Folder(this, Folder_Id, TRect(s, folder_top, W - s, H - step_area - b - s),
                             (W - 2 * s) * 5 / 8);
  Folder->Add_Tab("Handles", 0);
  Folder->Add_Tab("Corners", 1);
  Folder->Add_Tab("Matrix", 2);
  const TRect page = Folder->Page_Rect;
  Handle_Page = new Transform_Handle_Dialog(Folder, this, manipulator, page, Label_Font.get(), Field_Font.get());
  Corner_Page = new Transform_Corner_Dialog(Folder, this, page, Label_Font.get(), Field_Font.get());
  Matrix_Page = new Transform_Matrix_Dialog(Folder, this, page, Label_Font.get(), Field_Font.get());

  Step_Label_Pos = TPoint(3 * s, H - 3 * T / 2 - F - s);
  TRect reset(2 * s, H - b, 2 * s + b, H);
  if (steps) {
    Step_Control = new Color_Step_Control(this, TRect(2 * s, H - 3 * T / 2, W, H));
    reset = reset.Offset_By(0, Step_Label_Pos.y - (s + b) - reset.top);
  }
  Reset_Button = new Round_Button(this, Reset_Id, reset);
  Apply_Button = new Round_Button(this, Apply_Id, reset.Offset_By(s + b, 0));
  Reset_Button->Attr.Style |= WS_TABSTOP;
  Apply_Button->Attr.Style |= WS_TABSTOP;
}

Transform_Edit_Dialog::~Transform_Edit_Dialog() {
  if (Link) Link->Dialog = nullptr;
  // The pages draw with the fonts: they go first.
  if (IsWindow()) Destroy();
}

void Transform_Edit_Dialog::SetupWindow() {
  TWindow::SetupWindow();
  Title_Field->SetFont(*Field_Font, false);
  Reset_Button->Set_Caption("Reset");
  Apply_Button->Set_Caption("Apply");
  Shown_Page = Handle_Page;
  Corner_Page->Hide_Page();
  Matrix_Page->Hide_Page();
  if (Step_Control) Step_Control->Select_Cell(-1);
  SetFocus();
}

// ---- The map

void Transform_Edit_Dialog::Set_Transform(const Affine_Transform_2D* map) {
  if (map) {
    Copy_Map(*map, Current_Copy);
    Current = &Current_Copy;
  } else {
    Current = nullptr;
  }
  if (Shown_Page) {
    Shown_Page->Set_Transform(Current);
    if (map) {
      // The reference is what the fields show, not the map: a value the
      // fields round is no change.
      Baseline = Current_Copy;
      Shown_Page->Get_Transform(Baseline);
    }
  }
  if (Step_Control) {
    Step_Control->Select_Cell(map ? map->Color_Step : -1);
    if (map) Baseline.Color_Step = map->Color_Step;
  }
}

void Transform_Edit_Dialog::Update_Transform(const Affine_Transform_2D& map) {
  if (!Current) return;
  Copy_Map(map, Current_Copy);
  if (Shown_Page) Shown_Page->Set_Transform(Current);
}

void Transform_Edit_Dialog::Read_Title() {
  if (!Title_Buffer) return;
  const std::string& text = Title_Field->GetText();
  const size_t n = std::min<size_t>(text.size(), Title_Length - 1);
  std::memcpy(Title_Buffer, text.data(), n);
  Title_Buffer[n] = '\0';
}

int32_t Transform_Edit_Dialog::Read_Color_Step() {
  if (Current && Step_Control) Current_Copy.Color_Step = Step_Control->Step();
  return Current_Copy.Color_Step;
}

void Transform_Edit_Dialog::Refuse(const char* text) {
  MessageBox(text, "Apply Changes", MB_OK);
  Owner.Apply_Refused = true;
}

void Transform_Edit_Dialog::Apply() {
  if (!Shown_Page || !Current) return;
  if (Shown_Page->Has_Out_Of_Range_Field()) {
    Refuse("A value you have entered is too large\nor is not a number.  Please revise.");
    return;
  }
  Affine_Transform_2D scratch = Current_Copy;
  Shown_Page->Get_Transform(scratch);
  if (!Usable_Map(scratch)) {
    Refuse("The values you have entered flatten the copy\nor are too large.  Please revise.");
    return;
  }
  if (!Owner.Apply_Dialog(scratch)) return;
  Copy_Map(scratch, Current_Copy);
  Copy_Map(scratch, Baseline);
  if (Shown_Page == Handle_Page) Handle_Page->Accept();
}

void Transform_Edit_Dialog::Reset() {
  if (Shown_Page && Current) Shown_Page->Set_Transform(Current);
}

bool Transform_Edit_Dialog::Has_Changed(bool exact) {
  if (!Current || !Shown_Page) return false;
  if (Shown_Page->Has_Out_Of_Range_Field()) return true;
  if (Shown_Page == Handle_Page) return Handle_Page->Has_Changed();
  Affine_Transform_2D shown = Current_Copy;
  Shown_Page->Get_Transform(shown);
  const auto now = Coefficients(shown);
  const auto before = Coefficients(Baseline);
  for (size_t i = 0; i < 6; ++i)
    if (exact ? *now[i] != *before[i] : !Float_Equal(*now[i], *before[i])) return true;
  return false;
}

void Transform_Edit_Dialog::Tab_Selected(uint32_t index) {
  Transform_Tab_Dialog* page = index == 1   ? static_cast<Transform_Tab_Dialog*>(Corner_Page)
                               : index == 2 ? static_cast<Transform_Tab_Dialog*>(Matrix_Page)
                                            : static_cast<Transform_Tab_Dialog*>(Handle_Page);
  if (page == Shown_Page) return;
  if (Current) {
    // Typed numbers go with the switch; what the new page shows of them is
    // its new reference.
    Affine_Transform_2D scratch = Current_Copy;
    if (Shown_Page) Shown_Page->Get_Transform(scratch);
    page->Set_Transform(&scratch);
    Baseline = scratch;
    page->Get_Transform(Baseline);
  } else {
    page->Set_Transform(nullptr);
  }
  if (Shown_Page) Shown_Page->Hide_Page();
  page->Show_Page();
  Shown_Page = page;
}

// ---- Messages

void Transform_Edit_Dialog::Help_Request() {
  if (Parent) Parent->PostMessage(Help_Request_Message);
}

bool Transform_Edit_Dialog::PreProcessMsg(MSG& msg) { return TDialog_Keys(*this, Apply_Id, 0).Handle(msg); }

void Transform_Edit_Dialog::EvKeyDown(UINT key, UINT repeat_count, UINT flags) {
  if (key == VK_F1) {
    Help_Request();
    return;
  }
  TWindow::EvKeyDown(key, repeat_count, flags);
}

LRESULT Transform_Edit_Dialog::EvCommand(UINT id, HWND control, UINT notify_code) {
  switch (id) {
    case Apply_Id: Apply(); return 0;
    case Reset_Id: Reset(); return 0;
    default: return TWindow::EvCommand(id, control, notify_code);
  }
}

void Transform_Edit_Dialog::EvCommandEnable(TCommandEnabler& enabler) {
  switch (enabler.GetId()) {
    case Apply_Id:
    case Reset_Id: enabler.Enable(Has_Changed(true)); return;
    default: TWindow::EvCommandEnable(enabler);
  }
}

LRESULT Transform_Edit_Dialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case Tab_Selected_Message: Tab_Selected(uint32_t(wp)); return 0;
    case Ext_Key_Message:
      if (wp == VK_F1) Help_Request();
      return 0;
    case Help_Request_Message: Help_Request(); return 0;
    default: return TWindow::WindowProc(msg, wp, lp);
  }
}

void Transform_Edit_Dialog::Paint(TDC& dc, bool, TRect&) {
  const int s = Size(29);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.FillRect(Client_Rect, *The_GUI_Colors->Scheme_Brush_0);
  dc.SelectObject(*Label_Font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(The_GUI_Colors->Scheme[1]);
  dc.SetTextAlign(TA_LEFT | TA_TOP);
  dc.TextOut(s, s, "Title:");
  if (Step_Control) dc.TextOut(Step_Label_Pos.x, Step_Label_Pos.y, "Color Step:");
  dc.RestoreObjects();
  if (The_Round_Border) The_Round_Border->Draw_Bevel_Inverse(dc, Title_Frame);
}

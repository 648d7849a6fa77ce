// The page set-up dialog of the printer: which printer, which paper, the
// orientation and the four margins in thousandths of an inch. OK hands back
// new print data (Result); Cancel changes nothing. The printers and their
// papers are asked of the printing service when the dialog is made.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "gallery/printer.h"
#include "platform/window/dialog.h"
#include "toolkit/number_edit.h"

class TStatic;

class Page_Setup_Dialog : public TDialog {
 public:
  enum : int {
    Printer_Back_Id = 1760,
    Printer_Next_Id,
    Paper_Back_Id,
    Paper_Next_Id,
    Portrait_Id,
    Landscape_Id,
    First_Margin_Id,  // left, top, right, bottom
  };
  static constexpr int32_t Largest_Margin = 20000;

  Page_Setup_Dialog(TWindow* owner, TPrint_Service& service, const Printer::Print_Data& data);

  void SetupWindow() override;
  void CmOk() override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;

  // The print data the user confirmed (valid after OK).
  const Printer::Print_Data& Result() const { return result; }

  // ---- Choices, for the buttons and for tests
  void Step_Printer(int step);
  void Step_Paper(int step);
  void Set_Orientation(int16_t orientation);
  const std::vector<std::string>& Printer_Names() const { return names; }
  const std::vector<TPrint_Media>& Papers() const { return papers; }
  Number_Edit<int32_t>* Margin_Field(int i) const { return margin_fields[size_t(i)]; }
  const TStatic* Printer_Field() const { return printer_text; }
  const TStatic* Paper_Field() const { return paper_text; }
  const TStatic* Orientation_Field() const { return orientation_text; }

  // Why the margins of data leave a drawing drawing_side pixels square not
  // whole on what the printer prints: the printout centres it between them
  // at its largest whole scale, and prints nothing on a page of nothing.
  // Empty when it lies whole within the printable area; the message says
  // how far a margin may go.
  static std::string No_Room_Refusal(const Printer::Print_Data& data, int32_t drawing_side);
  // The papers to offer of those a printer offers.
  static std::vector<TPrint_Media> Ordinary_Papers(const std::vector<TPrint_Media>& offered);

 protected:
  // The keyboard starts on OK, so that Return confirms what is shown; Tab
  // reaches the arrows.
  TWindow* First_Focus() override { return ChildWithId(IDOK); }

 private:
  void Load_Papers();
  // The index among the papers offered of wanted, or of a paper of its size;
  // -1 when there is none.
  int Paper_Like(const TPrint_Media& wanted) const;
  void Show_Choices();

  TPrint_Service& service;
  Printer::Print_Data result;
  std::vector<std::string> names;
  int printer = -1;
  std::vector<TPrint_Media> papers;
  int paper = -1;
  int16_t orientation;
  int value_w = 0;        // the width of the printer's and the paper's field
  int orientation_w = 0;  // the width of the orientation's field
  TStatic* printer_text = nullptr;
  TStatic* paper_text = nullptr;
  TStatic* orientation_text = nullptr;
  std::array<Number_Edit<int32_t>*, 4> margin_fields{};
};

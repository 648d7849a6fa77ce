#include "gallery/page_setup_dialog.h"

#include <gtest/gtest.h>

#include "platform/window/edit.h"
#include "tests/gallery/printer_fakes.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

// Runs step once the loop that is about to start (the dialog's) is running.
void Later(uint32_t ms, std::function<void()> step) {
  static std::vector<std::function<void()>> steps;
  steps.push_back(std::move(step));
  SetTimer(HWND(), 0, ms, [](HWND, UINT, UINT id, uint32_t) {
    KillTimer(HWND(), id);
    auto s = std::move(steps.front());
    steps.erase(steps.begin());
    s();
  });
}

class Page_Setup_Test : public testing::Test, public Widget_Stage {
 protected:
  Page_Setup_Test() : Widget_Stage(1024) {
    TPrint_Media letter{"na_letter_8.5x11in", "US Letter", 21590, 27940, 635, 635, 635, 635};
    TPrint_Media a4{"iso_a4_210x297mm", "A4", 21000, 29700, 423, 423, 423, 423};
    service.papers = {letter, a4};
    service.printer.media = letter;
    printer.Settle();
  }
  Page_Setup_Dialog* Dialog() { return dynamic_cast<Page_Setup_Dialog*>(TWindow::From_Handle(GetActiveWindow())); }

  Fake_Print_Service service;
  Message_Box_Catcher catcher;
  Printer printer{&service};
};

TEST_F(Page_Setup_Test, OkTakesPrinterPaperOrientationAndMarginsCancelChangesNothing) {
  Later(10, [&] {
    Page_Setup_Dialog* d = Dialog();
    ASSERT_NE(d, nullptr);
    session.Snapshot("page_setup_dialog", d->GetWindowRect());
    d->SendMessage(WM_COMMAND, Page_Setup_Dialog::Printer_Next_Id);
    d->SendMessage(WM_COMMAND, Page_Setup_Dialog::Paper_Next_Id);
    d->SendMessage(WM_COMMAND, Page_Setup_Dialog::Landscape_Id);
    d->Margin_Field(0)->SetText("1000");
    d->Margin_Field(3)->SetText("0");
    d->SendMessage(WM_COMMAND, IDOK);
  });
  printer.Setup(parent);
  const Printer::Print_Data& data = printer.Data();
  EXPECT_EQ(data.device.name, "Hall");
  EXPECT_EQ(data.device.media.name, "iso_a4_210x297mm");
  EXPECT_EQ(data.orientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(data.margins, TRect(1000, 1500, 1500, 0));
  EXPECT_EQ(data.minimum_margins, TRect(166, 166, 166, 166));  // 4.23 mm in thousandths of an inch
  EXPECT_EQ(data.paper_size, TSize(8267, 11692));

  Later(10, [&] {
    Page_Setup_Dialog* d = Dialog();
    ASSERT_NE(d, nullptr);
    d->SendMessage(WM_COMMAND, Page_Setup_Dialog::Printer_Next_Id);
    d->Margin_Field(1)->SetText("3");
    d->SendMessage(WM_COMMAND, IDCANCEL);
  });
  printer.Setup(parent);
  EXPECT_EQ(printer.Data().device.name, "Hall");
  EXPECT_EQ(printer.Data().margins, TRect(1000, 1500, 1500, 0));
}

TEST_F(Page_Setup_Test, MarginThatIsNoNumberIsRefusedWithAMessage) {
  Later(10, [&] {
    Page_Setup_Dialog* d = Dialog();
    ASSERT_NE(d, nullptr);
    d->Margin_Field(2)->SetText("lots");
    d->SendMessage(WM_COMMAND, IDOK);
    EXPECT_TRUE(d->IsModal());  // still open
    d->SendMessage(WM_COMMAND, IDCANCEL);
  });
  printer.Setup(parent);
  ASSERT_EQ(catcher.boxes.size(), 1u);
  EXPECT_EQ(catcher.boxes[0], "Page Setup: The Right margin must be a number from 0 to 20000.");
  EXPECT_EQ(printer.Data().margins, TRect(1500, 1500, 1500, 1500));
}

}  // namespace

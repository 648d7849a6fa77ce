// The keys every dialog shares: Tab and Shift+Tab among the controls,
// Enter for the focused or default button, Esc for Cancel, the control that
// asks for a key keeping it; and the keyboard coming back to the window that
// had it once a box closes.
#include <gtest/gtest.h>

#include "platform/window/button.h"
#include "platform/window/dialog.h"
#include "platform/window/edit.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "tests/platform/window/window_test_support.h"

namespace {

// A control that takes keys as it is told to.
class Keyed_Control : public Log_Window {
 public:
  Keyed_Control(TWindow* parent, std::vector<std::string>& log, TRect r) : Log_Window(parent, "control", log, r) {
    Attr.Style |= WS_CHILD | WS_TABSTOP;
  }
  UINT EvGetDlgCode(const MSG*) override { return code; }
  UINT code = DLGC_WANTCHARS;
};

// Not run modally: the keys go through the loop's pre-processing as in any
// dialog, and the buttons' commands are written down instead of ending it.
class Keys_Dialog : public TDialog {
 public:
  explicit Keys_Dialog(TWindow* parent, std::vector<std::string>& log) : TDialog(parent, "Keys") {
    Place(*this, {100, 100, 500, 300});
    first = new TEdit(this, 10, "one", 10, 10, 150, 22, 20);
    // A group that is no tab stop itself: its controls take part, a hidden
    // one does not.
    TWindow* group = new TWindow(this);
    group->Attr.Style |= WS_CHILD | WS_VISIBLE;
    Place(*group, {10, 40, 300, 100});
    second = new TEdit(group, 11, "two", 0, 0, 150, 22, 20);
    (new TEdit(group, 12, "hidden", 0, 30, 150, 22, 20))->Attr.Style &= ~WS_VISIBLE;
    control = new Keyed_Control(this, log, {10, 110, 150, 140});
    ok = new TButton(this, IDOK, "OK", 10, 150, 75, 23, true);
    cancel = new TButton(this, IDCANCEL, "Cancel", 100, 150, 75, 23);
  }
  LRESULT EvCommand(UINT id, HWND, UINT) override {
    commands.push_back(int(id));
    return 0;
  }
  TEdit* first;
  TEdit* second;
  Keyed_Control* control;
  TButton* ok;
  TButton* cancel;
  std::vector<int> commands;
};

class Dialog_Keys_Test : public Headless_Test {
 protected:
  void SetUp() override {
    frame = &Logged("frame", {0, 0, 1024, 768});
    dialog = std::make_unique<Keys_Dialog>(frame, log);
    ASSERT_TRUE(dialog->Create());
    Settle();
  }
  void TearDown() override {
    Set_Message_Box_Hook(nullptr);
    dialog.reset();
    Headless_Test::TearDown();
  }
  TWindow* Focused() { return TWindow::From_Handle(GetFocus()); }

  Log_Window* frame = nullptr;
  std::unique_ptr<Keys_Dialog> dialog;
};

}  // namespace

TEST_F(Dialog_Keys_Test, Tab_Enter_And_Esc_Move_Press_Or_Stay_With_The_Control_That_Asks) {
  Keys_Dialog& d = *dialog;
  struct Case {
    const char* name;
    TWindow* from;
    UINT key;
    bool shift;
    UINT control_code;
    TWindow* focus_after;
    std::vector<int> commands;
  };
  const Case cases[] = {
      {"tab into a group, past its hidden field", d.first, VK_TAB, false, DLGC_WANTCHARS, d.second, {}},
      {"tab out of a group", d.second, VK_TAB, false, DLGC_WANTCHARS, d.control, {}},
      {"tab from the last stop wraps", d.cancel, VK_TAB, false, DLGC_WANTCHARS, d.first, {}},
      {"shift+tab from the first wraps", d.first, VK_TAB, true, DLGC_WANTCHARS, d.cancel, {}},
      {"shift+tab back into a group", d.control, VK_TAB, true, DLGC_WANTCHARS, d.second, {}},
      {"tab from the dialog itself", &d, VK_TAB, false, DLGC_WANTCHARS, d.first, {}},
      {"a control that wants tab keeps it", d.control, VK_TAB, false, DLGC_WANTTAB, d.control, {}},
      {"a control that wants all keys passes tab on", d.control, VK_TAB, false, DLGC_WANTALLKEYS, d.ok, {}},
      {"enter in a field presses the default", d.first, VK_RETURN, false, DLGC_WANTCHARS, d.first, {IDOK}},
      {"enter on a button presses that button", d.cancel, VK_RETURN, false, DLGC_WANTCHARS, d.cancel, {IDCANCEL}},
      {"esc presses cancel", d.second, VK_ESCAPE, false, DLGC_WANTCHARS, d.second, {IDCANCEL}},
      {"a control that wants all keys keeps enter", d.control, VK_RETURN, false, DLGC_WANTALLKEYS, d.control, {}},
      {"a control that wants all keys keeps esc", d.control, VK_ESCAPE, false, DLGC_WANTALLKEYS, d.control, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    d.control->code = c.control_code;
    c.from->SetFocus();
    Settle();
    d.commands.clear();
    Keys({c.key}, c.shift ? uint32_t(VK_SHIFT) : 0u);
    Run_Until_Idle();
    EXPECT_EQ(Focused(), c.focus_after);
    EXPECT_EQ(d.commands, c.commands);
    // A key the dialog took never reaches the control as well.
    const bool kept = c.commands.empty() && c.focus_after == c.from;
    EXPECT_EQ(Only(log, "control:keydown " + std::to_string(c.key)).size(), kept && c.from == d.control ? 1u : 0u);
  }
}

TEST_F(Dialog_Keys_Test, A_Field_Reached_By_Tab_Is_Typed_Over_And_A_Button_Off_Or_Missing_Is_Not_Pressed) {
  Keys_Dialog& d = *dialog;
  d.first->SetFocus();
  Keys({VK_TAB, 'X'});
  Run_Until_Idle();
  EXPECT_EQ(d.second->GetText(), "x");
  // With OK disabled Enter presses nothing; with no Cancel, Esc goes to the
  // focused control like any key.
  d.ok->EnableWindow(false);
  d.cancel->Destroy();
  d.control->SetFocus();
  Settle();
  Keys({VK_RETURN, VK_ESCAPE});
  Run_Until_Idle();
  EXPECT_TRUE(d.commands.empty());
  EXPECT_EQ(Only(log, "control:keydown"), (std::vector<std::string>{"control:keydown 13", "control:keydown 27"}));
}

TEST_F(Dialog_Keys_Test, The_Keyboard_Goes_Back_To_Where_It_Was_When_A_Box_Closes) {
  // Each way of answering: the keys after the box reach the field that had
  // them before it.
  const UINT answers[] = {VK_RETURN, VK_ESCAPE, VK_SPACE};
  for (UINT answer : answers) {
    SCOPED_TRACE(answer);
    dialog->second->SetFocus();
    Settle();
    headless->Key(answer);
    MessageBox(dialog->second->GetHandle(), "Delete Bob?", "Confirmation", MB_OKCANCEL);
    Run_Until_Idle();
    EXPECT_EQ(GetActiveWindow(), dialog->GetHandle());
    EXPECT_EQ(Focused(), dialog->second);
  }
}

// The standard windows: message boxes, dialogs, popup menus, the edit
// control and the frame's caption bar and system menu. With
// QUENDAR_SNAPSHOTS set, each writes a picture of itself.
#include <gtest/gtest.h>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/png_writer.h"
#include "platform/window/button.h"
#include "platform/window/control_paint.h"
#include "platform/window/dialog.h"
#include "platform/window/edit.h"
#include "platform/window/frame_window.h"
#include "platform/window/menu.h"
#include "platform/window/menu_window.h"
#include "platform/window/message_box.h"
#include "platform/window/response_table.h"
#include "platform/window/screen.h"
#include "platform/window/static.h"
#include "platform/window/user.h"
#include "platform/window/validator.h"
#include "tests/platform/window/later.h"
#include "tests/platform/window/window_test_support.h"

namespace {

TWindow* Active() { return TWindow::From_Handle(GetActiveWindow()); }

TPoint Mid(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
TPoint Centre_Of(TWindow* w) { return Mid(w->GetWindowRect()); }

// The middle of a menu's item on the screen.
TPoint Item_Centre(TMenu_Window* menu, int item) {
  TPoint p = Mid(menu->Item_Rect(item));
  menu->ClientToScreen(p);
  return p;
}
TMenu_Window* Open_Menu() { return static_cast<TMenu_Window*>(TWindow::From_Handle(GetCapture())); }

}  // namespace

class Standard_Windows_Test : public Headless_Test {
 protected:
  void TearDown() override {
    Later_Steps().clear();
    Set_Message_Box_Hook(nullptr);
    Headless_Test::TearDown();
  }
};

TEST_F(Standard_Windows_Test, Message_Boxes_Stay_In_Front_On_The_Screen_And_Answer_Keys_Clicks_And_The_Hook) {
  TWindow owner(nullptr);  // covers the screen, and a box must still come above it
  Place(owner, {0, 0, 1024, 768});
  owner.Attr.ExStyle |= WS_EX_TOPMOST;
  ASSERT_TRUE(owner.Create());
  const std::string warning = "Volume (C:) has less than 10 MBytes free.\nSome program features may be unable to operate.";
  const std::string long_path = "Quendar can't save user data to /home/" + std::string(300, 'x') +
                                ".\nThe program will run but you will not be able to save drawings.";
  struct Case {
    const char* name;
    UINT type;
    bool owned;
    const std::string& text;
  };
  const Case cases[] = {{"message_box_ok_stop", MB_OK | MB_ICONSTOP, true, warning},
                        {"message_box_okcancel_exclamation", MB_OKCANCEL | MB_ICONEXCLAMATION, true, warning},
                        {"message_box_yesno_question", MB_YESNO | MB_ICONQUESTION, true, warning},
                        {"message_box_yesnocancel_question", MB_YESNOCANCEL | MB_ICONQUESTION, true, warning},
                        {"message_box_long", MB_ICONEXCLAMATION, false, long_path}};  // wraps to fit
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Later(10, [&] {
      TWindow* box = Active();
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(owner.IsWindowEnabled(), !c.owned);  // modal over its owner
      EXPECT_TRUE(TRect(0, 0, 1024, 768).Contains(box->GetWindowRect()));
      EXPECT_EQ(WindowFromPoint(Centre_Of(box)), box->GetHandle());
      session->Snapshot(c.name, box->GetWindowRect());
      headless->Key(VK_RETURN);
    });
    int answer = MessageBox(c.owned ? owner.GetHandle() : HWND(), c.text, "Warning", c.type);
    EXPECT_EQ(answer, (c.type & MB_TYPEMASK) >= MB_YESNOCANCEL ? IDYES : IDOK);
    EXPECT_TRUE(owner.IsWindowEnabled());
  }
  // Esc cancels where there is a Cancel, and does nothing in a Yes-No box.
  Later(10, [&] { headless->Key(VK_ESCAPE); });
  EXPECT_EQ(MessageBox(owner.GetHandle(), "Delete Ann?", "Confirmation", MB_YESNOCANCEL), IDCANCEL);
  Later(10, [&] {
    headless->Key(VK_ESCAPE);
    Later(10, [&] { headless->Click(Centre_Of(Active()->ChildWithId(IDNO))); });
  });
  EXPECT_EQ(MessageBox(owner.GetHandle(), "Delete Ann?", "Confirmation", MB_YESNO), IDNO);
  // A hook answers in place of the user and sees the whole request.
  std::vector<std::tuple<std::string, HWND, UINT>> asked;
  Set_Message_Box_Hook([&](const TMessage_Box_Request& r) {
    asked.emplace_back(r.caption, r.owner, r.type);
    return IDNO;
  });
  EXPECT_EQ(owner.MessageBox("Save changes?", "Program Exit", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(asked, (decltype(asked){{"Program Exit", owner.GetHandle(), MB_YESNOCANCEL | MB_ICONQUESTION}}));
}

namespace {

class Name_Dialog : public TDialog {
 public:
  explicit Name_Dialog(TWindow* parent) : TDialog(parent, 2900) {
    SetWindowText("Name and Level");
    Place(*this, {0, 0, 300, 150});
    new TStatic(this, -1, "Name:", 12, 14, 60, 16);
    edit = new TEdit(this, 3103, "Ann", 80, 10, 200, 22, 39);
    new TButton(this, IDOK, "OK", 60, 80, 75, 23, true);
    new TButton(this, IDCANCEL, "Cancel", 160, 80, 75, 23);
  }
  void SetupWindow() override {
    TDialog::SetupWindow();
    ++setups;
    if (focus_in_setup) ChildWithId(focus_in_setup)->SetFocus();
  }
  void CleanupWindow() override {
    text = edit->GetText();
    ++cleanups;
  }
  TEdit* edit;
  std::string text;
  int setups = 0, cleanups = 0, focus_in_setup = 0;
};

}  // namespace

// A window of the owner a box has disabled asks for the focus while the
// box is up (the title closing at start-up does): the keys stay with the box.
TEST_F(Standard_Windows_Test, A_Box_Keeps_The_Keys_When_Its_Disabled_Owner_Asks_For_The_Focus) {
  TWindow owner(nullptr);
  Place(owner, {0, 0, 1024, 768});
  ASSERT_TRUE(owner.Create());
  TWindow* child = new TWindow(&owner);
  Place(*child, {10, 10, 100, 100});
  child->Attr.Style |= WS_CHILD;
  ASSERT_TRUE(child->Create());
  HWND box_handle;
  bool needed_a_click = false;
  Later(10, [&] {
    TWindow* box = Active();
    ASSERT_NE(box, nullptr);
    box_handle = box->GetHandle();
    child->SetFocus();
    EXPECT_EQ(Active(), box);
    EXPECT_NE(GetFocus(), child->GetHandle());
    Later(10, [&] { headless->Key(VK_RETURN); });
    // Should Return not reach the box, a click ends it so the test ends.
    Later(30, [&] {
      if (TWindow* still = TWindow::From_Handle(box_handle)) {
        needed_a_click = true;
        headless->Click(Centre_Of(still->ChildWithId(IDOK)));
      }
    });
  });
  EXPECT_EQ(MessageBox(owner.GetHandle(), "Quendar can't save user data", "Warning", MB_OK), IDOK);
  EXPECT_FALSE(needed_a_click);
  // Once the box is gone the owner takes the focus again.
  child->SetFocus();
  EXPECT_EQ(GetFocus(), child->GetHandle());
}

TEST_F(Standard_Windows_Test, A_Dialog_Runs_Modally_Again_And_Again_While_Timers_Run_Until_A_Quit) {
  Log_Window& frame = Logged("frame", {0, 0, 1024, 768});
  frame.SetTimer(1, 100);
  Name_Dialog dialog(&frame);
  Later(350, [&] {
    EXPECT_FALSE(frame.IsWindowEnabled());
    EXPECT_EQ(GetFocus(), dialog.edit->GetHandle());
    session->Snapshot("dialog", dialog.GetWindowRect());
    Keys({VK_END, 'S', VK_RETURN});
  });
  EXPECT_EQ(dialog.Execute(), IDOK);
  EXPECT_EQ(dialog.text, "Anns");
  EXPECT_EQ(std::count(log.begin(), log.end(), "frame:timer 1"), 3);
  EXPECT_TRUE(frame.IsWindowEnabled());
  EXPECT_FALSE(dialog.IsWindow());
  Later(10, [&] { headless->Click(Centre_Of(dialog.ChildWithId(IDCANCEL))); });
  EXPECT_EQ(dialog.Execute(), IDCANCEL);
  EXPECT_EQ(std::pair(dialog.setups, dialog.cleanups), std::pair(2, 2));
  // A set-up that puts the keyboard somewhere keeps it there.
  dialog.focus_in_setup = IDCANCEL;
  Later(10, [&] {
    EXPECT_EQ(GetFocus(), dialog.ChildWithId(IDCANCEL)->GetHandle());
    dialog.EndDialog(IDOK);
  });
  EXPECT_EQ(dialog.Execute(), IDOK);
  dialog.focus_in_setup = 0;
  EXPECT_EQ(GetActiveWindow(), frame.GetHandle());
  // A quit during the dialog ends it and is kept for the outer loop.
  Later(10, [] { PostQuitMessage(1); });
  EXPECT_EQ(dialog.Execute(), IDCANCEL);
  EXPECT_TRUE(Desk().Quit_Pending());
  EXPECT_EQ(Desk().Take_Quit(), 1);
}

namespace {

class Menu_Owner : public Log_Window {
 public:
  using Log_Window::Log_Window;
  bool Find(TEventInfo& info) override { return Table.Dispatch(*this, info) || Log_Window::Find(info); }
  void Cm(WPARAM id) { Note("command " + std::to_string(id)); }
  void Ce_Paste(TCommandEnabler& ce) { ce.Enable(can_paste); }
  bool can_paste = false;
  static inline const TResponse_Table<Menu_Owner> Table = {
      EV_COMMAND_AND_ID<Menu_Owner>(3400, &Menu_Owner::Cm), EV_COMMAND_AND_ID<Menu_Owner>(3403, &Menu_Owner::Cm),
      EV_COMMAND_AND_ID<Menu_Owner>(3405, &Menu_Owner::Cm), EV_COMMAND_AND_ID<Menu_Owner>(3411, &Menu_Owner::Cm),
      EV_COMMAND_AND_ID<Menu_Owner>(3407, &Menu_Owner::Cm), EV_COMMAND_AND_ID<Menu_Owner>(3408, &Menu_Owner::Cm),
      EV_COMMAND_ENABLE<Menu_Owner>(3405, &Menu_Owner::Ce_Paste)};
};

}  // namespace

TEST_F(Standard_Windows_Test, Popup_Menus_And_Submenus_Ask_Enablers_And_Send_The_Choice_After_Closing) {
  Menu_Owner owner(nullptr, "owner", log, {0, 0, 600, 400});
  ASSERT_TRUE(owner.Create());
  // Opens `m`; the choice is posted, so its command arrives only after the menu closed.
  auto track = [&](TPopupMenu& m) {
    log.clear();
    bool chosen = m.TrackPopupMenu(TPM_RIGHTBUTTON, {100, 100}, owner);
    EXPECT_TRUE(Only(log, "command").empty());
    Run_Until_Idle();
    EXPECT_EQ(chosen, !Only(log, "command").empty());
    return Only(log, "command");
  };
  using Commands = std::vector<std::string>;
  TPopupMenu menu;
  for (auto [id, text] : {std::pair{3400u, "Cancel"}, {0u, ""}, {3403u, "Cut"}, {3405u, "Paste"}, {3411u, "Save Changes"}})
    menu.AppendMenu(id ? MF_STRING : MF_SEPARATOR, id, text);
  Later(10, [&] {
    session->Snapshot("popup_menu", TWindow::From_Handle(GetCapture())->GetWindowRect());
    // Down from nothing: Cancel, then Cut; Paste is greyed by its enabler,
    // and Save Changes (no handler, no enabler) stays as the menu says.
    Keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  });
  EXPECT_EQ(track(menu), Commands{"owner:command 3411"});
  // A click outside dismisses the menu: no command.
  Later(10, [&] { headless->Click({500, 350}); });
  EXPECT_EQ(track(menu), Commands{});
  // With the enabler saying yes, a right click on Paste chooses it.
  owner.can_paste = true;
  Later(10, [&] {
    EXPECT_TRUE(Open_Menu()->Item_Enabled(3));
    TPoint p = Item_Centre(Open_Menu(), 3);
    Drag(p, p, TInput_Event::Right);
  });
  EXPECT_EQ(track(menu), Commands{"owner:command 3405"});

  // A submenu opens beside its item, by keys or under the pointer.
  TPopupMenu move;
  move.AppendMenu(MF_STRING, 3407, "Left");
  move.AppendMenu(MF_STRING, 3408, "Right");
  TPopupMenu nested;
  nested.AppendMenu(MF_STRING, 3400, "Cancel");
  nested.AppendMenu(MF_POPUP, move, "Move");
  nested.AppendMenu(MF_STRING, 3403, "Cut");
  EXPECT_EQ(nested.GetMenuItemID(1), UINT(-1));
  ASSERT_NE(nested.GetSubMenu(1), nullptr);
  EXPECT_EQ(nested.GetSubMenu(1)->GetMenuItemID(1), 3408u);
  Later(10, [&] { Keys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN}); });  // Right opens Move
  EXPECT_EQ(track(nested), Commands{"owner:command 3408"});
  Later(10, [&] {
    TMenu_Window* top = Open_Menu();
    headless->Move_To(Item_Centre(top, 1));
    Later(10, [&, top] {
      TMenu_Window* sub = Open_Menu();
      ASSERT_NE(sub, top);
      session->Snapshot("popup_submenu", sub->GetWindowRect().Union(top->GetWindowRect()));
      headless->Click(Item_Centre(sub, 0));
    });
  });
  EXPECT_EQ(track(nested), Commands{"owner:command 3407"});
  EXPECT_EQ(GetCapture(), HWND());
}

namespace {

// Accepts digits only, and at most the value 500 as a whole.
class Digits : public TValidator {
 public:
  bool IsValidInput(std::string& s, bool) override { return s.find_first_not_of("0123456789") == std::string::npos; }
  bool IsValid(const std::string& s) override { return !s.empty() && s.size() < 4 && std::stoi(s) <= 500; }
};

class Edit_Host : public TWindow {
 public:
  Edit_Host() : TWindow(nullptr) {
    Place(*this, {0, 0, 400, 100});
    edit = new TEdit(this, 2709, "12", 10, 10, 200, 24, 5);
    other = new TEdit(this, 2710, "", 10, 50, 200, 24);
  }
  LRESULT EvCommand(UINT id, HWND control, UINT code) override {
    if (code == EN_CHANGE) ++changes;
    return TWindow::EvCommand(id, control, code);
  }
  bool EvEraseBkgnd(TDC& dc) override {
    TBrush face(TColor(192, 192, 192));
    dc.FillRect(GetClientRect(), face);
    return true;
  }
  const TBrush* EvCtlColor(TDC& dc, HWND, UINT) override {
    dc.SetTextColor(TColor(0, 0, 255));
    return &white;
  }
  TBrush white{TColor(255, 255, 255)};
  TEdit* edit;
  TEdit* other;
  int changes = 0;
};

}  // namespace

TEST_F(Standard_Windows_Test, The_Edit_Control_Keys_Mouse_Limit_Clipboard_And_Validator) {
  Edit_Host host;
  ASSERT_TRUE(host.Create());
  TEdit& e = *host.edit;
  e.SetFocus();
  e.SetSelection(0, -1);
  Keys({'4', '5', VK_HOME, '1', VK_END, VK_LEFT, VK_BACK});  // 45 replaces the selection; Back removes the 4
  Run_Until_Idle();
  EXPECT_EQ(e.GetText(), "15");
  Keys({VK_HOME}, VK_SHIFT);
  Run_Until_Idle();
  auto selection = [&] {
    int s, t;
    e.GetSelection(s, t);
    return std::pair(s, t);
  };
  EXPECT_EQ(selection(), std::pair(0, 1));
  Keys({'C'}, VK_CONTROL);
  Keys({VK_END});
  Keys({'V', 'V', 'V', 'V'}, VK_CONTROL);  // the limit of 5 refuses the fifth character... and this one
  Keys({VK_DELETE});
  Run_Until_Idle();
  EXPECT_EQ(e.GetText(), "15111");
  EXPECT_EQ(headless->Clipboard_Text(), "1");
  // Every change told the parent; SetText does too.
  int before = host.changes;
  e.SetText("7");
  EXPECT_EQ(host.changes, before + 1);
  e.SetText("Ann Smith");
  e.SetSelection(4, 9);
  Run_Until_Idle();
  session->Snapshot("edit_control", host.GetWindowRect());
  // A drag across the field selects the whole text and takes the focus.
  host.other->SetFocus();
  e.SetText("hello world");
  TRect field = e.GetWindowRect();
  Drag({field.left + 4, field.top + 10}, {field.right - 2, field.top + 10});
  Run_Until_Idle();
  EXPECT_EQ(GetFocus(), e.GetHandle());
  EXPECT_EQ(selection(), std::pair(0, 11));
  // A validator refuses keys, and a field failing its check keeps the focus.
  e.SetText("12");
  e.SetValidator(new Digits);
  Keys({VK_END, 'X', '9', '9'});  // the refused X leaves the text alone
  Run_Until_Idle();
  EXPECT_EQ(e.GetText(), "1299");
  EXPECT_FALSE(e.IsValid());
  host.other->SetFocus();
  EXPECT_EQ(GetFocus(), e.GetHandle());
  EXPECT_FALSE(host.CanClose());
  headless->Key(VK_BACK);
  Run_Until_Idle();
  EXPECT_TRUE(host.CanClose());
  host.other->SetFocus();
  EXPECT_EQ(GetFocus(), host.other->GetHandle());
}

namespace {

class Program_Frame : public TFrameWindow {
 public:
  Program_Frame() : TFrameWindow(nullptr, "Quendar"), client(new TWindow(this)) {
    Attr.Style &= ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
    Place(*this, {0, 0, 640, 480});
    SetClientWindow(client);
  }
  void SetupWindow() override {
    TFrameWindow::SetupWindow();
    // The program's own trimming of the system menu.
    TMenu* menu = GetSystemMenu();
    for (UINT command : {SC_MOVE, SC_SIZE, SC_MAXIMIZE}) menu->RemoveMenu(command, MF_BYCOMMAND);
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, 0x5000, "&Acknowledgements");
  }
  void EvSysCommand(UINT cmd, const TPoint& p) override {
    commands.push_back(cmd & 0xFFF0);
    if ((cmd & 0xFFF0) == 0x5000) return;
    TFrameWindow::EvSysCommand(cmd, p);
  }
  bool CanClose() override { return may_close && TFrameWindow::CanClose(); }
  TWindow* client;
  std::vector<UINT> commands;
  bool may_close = false;
};

}  // namespace

TEST_F(Standard_Windows_Test, The_Caption_Bar_The_System_Menu_And_Alt_Keys) {
  Program_Frame frame;
  ASSERT_TRUE(frame.Create());
  Desk().Set_Main_Window(frame.GetHandle());  // which a close destroys, not deletes
  Run_Until_Idle();
  int caption = GetSystemMetrics(SM_CYCAPTION);
  EXPECT_EQ(frame.Caption_Rect().Height(), caption);
  EXPECT_EQ(frame.client->GetWindowRect(), TRect(0, caption, 640, 480));
  EXPECT_EQ(frame.GetSystemMenu()->GetMenuItemCount(), 6);
  EXPECT_EQ(frame.GetSystemMenu()->GetMenuItemID(5), 0x5000u);
  EXPECT_EQ(frame.GetSystemMenu()->GetMenuString(1, MF_BYPOSITION), "Mi&nimize");
  session->Snapshot("caption_bar", frame.Caption_Rect());
  EXPECT_NE(Desk().Screen().Pixel(300, caption / 2), 0xFFFFFFu);

  // The system-menu box opens the menu; its last entry reaches the frame.
  Later(10, [&] {
    auto* menu = TWindow::From_Handle(GetCapture());
    ASSERT_NE(menu, nullptr);
    session->Snapshot("system_menu", menu->GetWindowRect());
    Keys({VK_UP, VK_RETURN});
  });
  headless->Click(Mid(frame.System_Box_Rect()));
  Run_Until_Idle();
  EXPECT_EQ(frame.commands, (std::vector<UINT>{0x5000}));
  // Alt+Space from the client opens it too.
  frame.client->SetFocus();
  bool menu_seen = false;
  Later(10, [&] {
    menu_seen = GetCapture() && GetCapture() != frame.GetHandle();
    headless->Key(VK_ESCAPE);
  });
  Keys({VK_SPACE}, VK_MENU);
  Run_Until_Idle();
  EXPECT_TRUE(menu_seen);

  // The minimise box, and a restore from the desktop outside.
  frame.commands.clear();
  headless->Click(Mid(frame.Minimise_Box_Rect()));
  Run_Until_Idle();
  auto state = [&] { return std::tuple(frame.Is_Minimised(), headless->Minimised(), headless->Screen_Saver_Held()); };
  EXPECT_EQ(state(), std::tuple(true, true, false));
  headless->Inject(Input(TInput_Event::Kind::Restore));
  Run_Until_Idle();
  EXPECT_EQ(state(), std::tuple(false, false, true));

  // The close box asks the frame; a refusal keeps it open. Alt+F4 asks too.
  headless->Click(Mid(frame.Close_Box_Rect()));
  Run_Until_Idle();
  EXPECT_TRUE(frame.IsWindow());
  EXPECT_EQ(frame.commands, (std::vector<UINT>{SC_MINIMIZE, SC_RESTORE, SC_CLOSE}));
  frame.may_close = true;
  Keys({VK_F4}, VK_MENU);
  Run_Until_Idle();
  EXPECT_FALSE(frame.IsWindow());
  EXPECT_TRUE(Desk().Quit_Pending());
  EXPECT_EQ(Desk().Take_Quit(), 0);
}

TEST_F(Standard_Windows_Test, The_Client_Can_Be_Switched_And_The_Title_Follows_The_Frame) {
  Program_Frame frame;
  TWindow* main = frame.client;
  auto* gallery = new TWindow(&frame);
  gallery->Attr.Style &= ~WS_VISIBLE;
  ASSERT_TRUE(frame.Create());
  Desk().Set_Main_Window(frame.GetHandle());
  frame.SetWindowText("Quendar - Ann at Level 3");
  EXPECT_EQ(headless->Title(), "Quendar - Ann at Level 3");
  TWindow* old = frame.SetClientWindow(gallery);
  EXPECT_EQ(old, main);
  gallery->ShowWindow(SW_SHOW);
  main->ShowWindow(SW_HIDE);
  main->EnableWindow(false);
  EXPECT_EQ(gallery->GetWindowRect(), main->GetWindowRect());
  EXPECT_EQ(WindowFromPoint({100, 100}), gallery->GetHandle());
  EXPECT_EQ(frame.Children().size(), 2u);  // the other client stays a hidden child
}

TEST_F(Standard_Windows_Test, Enter_And_Esc_Make_No_Answer_A_Dialog_Does_Not_Offer) {
  // A dialog with its own buttons (not OK and Cancel) and a field that wants
  // Enter and Esc itself.
  struct Own_Buttons : TDialog {
    explicit Own_Buttons(TWindow* parent) : TDialog(parent, 2900) {
      Place(*this, {0, 0, 300, 120});
      field = new Log_Window(this, "field", log, {10, 10, 200, 30});
      new TButton(this, 2901, "Apply", 10, 60, 75, 23);
      new TButton(this, 2902, "Close", 100, 60, 75, 23);
    }
    LRESULT EvCommand(UINT id, HWND control, UINT code) override {
      if (id == 2902) EndDialog(2902);
      return TDialog::EvCommand(id, control, code);
    }
    void CmCancel() override { EndDialog(2902); }  // the close box's way out
    std::vector<std::string> log;
    Log_Window* field;
  };
  TWindow frame(nullptr);
  ASSERT_TRUE(frame.Create());
  Own_Buttons dialog(&frame);
  Later(10, [&] {
    dialog.field->SetFocus();
    Keys({VK_RETURN, VK_ESCAPE});
    Later(10, [&] {
      EXPECT_TRUE(dialog.IsModal());  // neither key ended it
      headless->Click(Mid(dialog.Close_Box_Rect()) + dialog.GetWindowRect().TopLeft());
    });
  });
  EXPECT_EQ(dialog.Execute(), 2902);
  EXPECT_EQ(Only(dialog.log, "key"), (std::vector<std::string>{"field:keydown 13", "field:keyup 13", "field:keydown 27", "field:keyup 27"}));
}

namespace {

// A window that tries the input it gets while it is being built.
class Built_Window : public Log_Window {
 public:
  Built_Window(THeadless_Backend& input, std::vector<std::string>& log)
      : Log_Window(nullptr, "built", log, {0, 0, 200, 200}), input_(input) {}
  void SetupWindow() override {
    Log_Window::SetupWindow();
    ShowWindow(SW_SHOW);
    SetFocus();
    input_.Click({50, 50});
    input_.Key('A');
    TDesktop::Current().Pump_Waiting_Messages();
  }

 private:
  THeadless_Backend& input_;
};

}  // namespace

// While a box runs, whoever raised it, the windows behind it take no click,
// key or close; a window shown in front of it since still takes clicks.
TEST_F(Standard_Windows_Test, A_Box_Holds_The_Input_Of_Every_Window_Behind_It) {
  Log_Window& frame = Logged("frame", {0, 0, 1024, 768});
  frame.log_moves = false;
  Desk().Set_Main_Window(frame.GetHandle());
  Log_Window& front = Logged("front", {0, 0, 100, 100});
  front.log_moves = false;
  front.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  front.ShowWindow(SW_HIDE);
  Settle();
  Later(10, [&] {
    TWindow* box = Active();
    ASSERT_NE(box, nullptr);
    headless->Click({500, 700});                // on the frame, below the box
    Desk().Set_Key_Grab(frame.GetHandle());     // a menu of the frame's left open
    headless->Key('A');
    Run_Until_Idle();
    Desk().Set_Key_Grab(HWND());
    headless->Inject(Input(TInput_Event::Kind::Close));  // the desktop's close
    frame.SetFocus();
    Later(10, [&, box] {
      EXPECT_EQ(Active(), box) << "a window behind the box took the activation";
      EXPECT_TRUE(frame.IsWindow()) << "the close went past the box";
      front.ShowWindow(SW_SHOW);  // shown over the box, as help over a dialog
      front.BringWindowToTop();
      headless->Click({50, 50});
      headless->Click(Centre_Of(box->ChildWithId(IDOK)));
    });
  });
  EXPECT_EQ(MessageBox(HWND(), "The file is damaged", "WARNING", MB_OK | MB_ICONSTOP), IDOK);
  EXPECT_EQ(log, (std::vector<std::string>{"front:ldown 50,50", "front:lup 50,50"}));
  log.clear();
  headless->Click({500, 700});
  Run_Until_Idle();
  EXPECT_EQ(log, (std::vector<std::string>{"frame:ldown 500,700", "frame:lup 500,700"}));
}

// A box raised by a window that was just hidden (help closing as it follows
// a link) stands active over the window in front, answers its keys and its
// own buttons, and hands the activation to that window when it goes.
TEST_F(Standard_Windows_Test, A_Box_Of_A_Hidden_Owner_Takes_Keys_And_Its_Own_Clicks) {
  Log_Window& frame = Logged("frame", {0, 0, 1024, 768});
  Log_Window& help = Logged("help", {0, 0, 1024, 768});
  help.ShowWindow(SW_HIDE);
  help.EnableWindow(false);
  Settle();
  struct Case {
    const char* name;
    std::function<void(TWindow& box)> answer;
  };
  const Case cases[] = {
      {"return", [&](TWindow&) { headless->Key(VK_RETURN); }},
      {"escape", [&](TWindow&) { headless->Key(VK_ESCAPE); }},
      {"click", [&](TWindow& box) { headless->Click(Centre_Of(box.ChildWithId(IDOK))); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Later(10, [&] {
      TWindow* box = Active();
      ASSERT_NE(box, nullptr);
      ASSERT_NE(box, &frame);
      frame.SetFocus();  // the window in front takes its keyboard back, as help's close asks
      EXPECT_EQ(Active(), box);
      EXPECT_NE(GetFocus(), frame.GetHandle());
      TPoint caption = box->GetWindowRect().TopLeft() + TPoint(40, 5);
      Desk().Present();
      EXPECT_EQ(headless->Presented_Pixel(caption.x, caption.y), Control_Paint::Active_Caption.Xrgb());
      c.answer(*box);
    });
    EXPECT_EQ(help.MessageBox("Unable to locate default browser.\n", "Web Access", MB_OK | MB_ICONEXCLAMATION), IDOK);
    EXPECT_TRUE(Only(log, "frame:l").empty()) << "a click on the box reached the window under it";
    EXPECT_EQ(Active(), &frame);
    log.clear();
  }
}

namespace {

// Raises a box when pressed, as help's link does; it may hide first, as help
// does when it follows the link.
class Raising_Window : public Log_Window {
 public:
  using Log_Window::Log_Window;
  void EvLButtonDown(UINT keys, const TPoint& p) override {
    Log_Window::EvLButtonDown(keys, p);
    if (hide_first) ShowWindow(SW_HIDE);
    MessageBox("Unable to locate default browser.\n", "Web Access", MB_OK | MB_ICONEXCLAMATION);
  }
  bool hide_first = false;
};

}  // namespace

// However a box is raised and answered, the keys go back to the window the
// person was using, and the press that raised it ends for whoever follows
// the buttons, while nothing behind the box sees its release.
TEST_F(Standard_Windows_Test, After_A_Box_The_Keys_Go_Back_And_The_Press_That_Raised_It_Ends) {
  Log_Window& frame = Logged("frame", {0, 0, 1024, 768});
  frame.log_moves = false;
  auto* field = new Raising_Window(&frame, "field", log, {10, 10, 200, 60});
  field->Attr.Style |= WS_CHILD | WS_VISIBLE;
  field->log_moves = false;
  ASSERT_TRUE(field->Create());
  Raising_Window help(nullptr, "help", log, {0, 500, 1024, 768});
  help.Attr.ExStyle |= WS_EX_TOPMOST;
  help.log_moves = false;
  help.hide_first = true;
  ASSERT_TRUE(help.Create());
  // Follows the buttons as the application does, before the windows' own
  // pre-dispatch.
  int downs = 0, ups = 0;
  Desk().Pre_Dispatch_Hook = [&](MSG& m) {
    downs += m.message == WM_LBUTTONDOWN;
    ups += m.message == WM_LBUTTONUP;
    for (TWindow* w = TWindow::From_Handle(m.hwnd); w; w = w->Is_Child() ? w->Parent : nullptr)
      if (w->PreProcessMsg(m)) return true;
    return false;
  };
  enum class Raised { By_Hidden_Help, By_Focused_Field, For_The_Frame_Over_Help };
  struct Case {
    const char* name;
    Raised raised;
    UINT answer;  // a key, or 0: a click on OK
    TWindow* keys_after;
  };
  const Case cases[] = {
      {"hidden owner, return", Raised::By_Hidden_Help, VK_RETURN, field},
      {"hidden owner, escape", Raised::By_Hidden_Help, VK_ESCAPE, field},
      {"hidden owner, click", Raised::By_Hidden_Help, 0, field},
      {"focused owner, return", Raised::By_Focused_Field, VK_RETURN, field},
      {"focused owner, click", Raised::By_Focused_Field, 0, field},
      {"owner behind the keys, escape", Raised::For_The_Frame_Over_Help, VK_ESCAPE, &help},
      {"owner behind the keys, click", Raised::For_The_Frame_Over_Help, 0, &help},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    field->SetFocus();
    if (c.raised != Raised::By_Focused_Field) {
      help.ShowWindow(SW_SHOW);
      help.SetFocus();
    } else {
      help.ShowWindow(SW_HIDE);
    }
    Settle();
    downs = ups = 0;
    if (c.raised == Raised::For_The_Frame_Over_Help)
      Later(10, [&] { frame.MessageBox("Unable to print", "Printer Error", MB_OK | MB_ICONSTOP); });
    Later(20, [&] {
      TWindow* box = Active();
      ASSERT_NE(box, nullptr);
      if (c.answer) headless->Key(c.answer);
      else headless->Click(Centre_Of(box->ChildWithId(IDOK)));
    });
    if (c.raised == Raised::For_The_Frame_Over_Help) {
      Advance(10);
    } else {
      const TPoint at = c.raised == Raised::By_Hidden_Help ? TPoint(500, 600) : TPoint(50, 30);
      headless->Press(at);
      headless->Release(at);
    }
    Run_Until_Idle();
    EXPECT_EQ(GetFocus(), c.keys_after->GetHandle());
    EXPECT_EQ(ups, downs) << "a press went on after its release";
    EXPECT_TRUE(Only(log, "lup").empty()) << "a window behind the box saw a release";
  }
}

// A window whose set-up is under way is reached by no click and no key.
TEST_F(Standard_Windows_Test, A_Window_Being_Built_Takes_No_Input) {
  Built_Window built(*headless, log);
  ASSERT_TRUE(built.Create());
  EXPECT_TRUE(log.empty());
  headless->Click({50, 50});
  headless->Key('A');
  Run_Until_Idle();
  EXPECT_EQ(Only(log, "built:ldown").size(), 1u);
  EXPECT_EQ(Only(log, "built:keydown").size(), 1u);
}

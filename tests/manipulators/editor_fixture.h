// The manipulator editor on a headless screen of the 1024 column, on the
// stage's main window that keeps what the editor posts; scripted message
// boxes, and helpers that press, drag and click at unit points of the edit area.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "toolkit/program_messages.h"
#include "manipulators/transform_edit_window.h"
#include "platform/window/message_box.h"
#include "tests/toolkit/widget_fixture.h"

inline Affine_Transform_2D Unit_Map(float a, float b, float c, float d, float e, float f, int32_t step = 0) {
  Affine_Transform_2D m(a, b, e, c, d, f);
  m.Color_Step = step;
  return m;
}

inline Transform_Set_2D Set_Of(std::initializer_list<Affine_Transform_2D> maps) {
  Transform_Set_2D set;
  for (const auto& m : maps) set.Add_Map(m.Clone());
  return set;
}

class Editor_Test : public Widget_Test {
 protected:
  // main_layout: the editor where the main window puts it (right of the
  // shape palette), else at (400, 20).
  explicit Editor_Test(int width = 1024, bool main_layout = false) : Widget_Test(width), main_layout_(main_layout) {}

  void SetUp() override {
    Widget_Test::SetUp();
    const int side = Sizes(10) + 2 * Sizes(22);
    const TPoint at = main_layout_ ? TPoint(Sizes(28) + 3 * Sizes(6), 2 * Sizes(28)) : TPoint(400, 20);
    editor = new Transform_Edit_Window(host, TRect(at.x, at.y, at.x + side, at.y + side));
    ASSERT_TRUE(editor->Create());
    previous_hook = Set_Message_Box_Hook([this](const TMessage_Box_Request& r) {
      Boxes.push_back(r.caption + ": " + r.text);
      return Box_Answer;
    });
    Run_Until_Idle();
  }
  void TearDown() override {
    Set_Message_Box_Hook(previous_hook);
    Widget_Test::TearDown();
  }

  void Open(Transform_Set_2D& set) {
    editor->Open(&set, name, host);
    Run_Until_Idle();
  }
  TPoint At(float x, float y) { return editor->Screen_Point({x, y}); }
  // The centre of r (in w's client coordinates) on the screen.
  static TPoint Centre_On_Screen(const TWindow& w, const TRect& r) {
    TPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    w.ClientToScreen(p);
    return p;
  }
  TPoint Handle_Centre(int position) { return Centre_On_Screen(*editor, editor->Handle_Rects[size_t(position)]); }
  void Key(UINT vk) {
    headless->Key(vk);
    Run_Until_Idle();
  }
  void Shift_Click(TPoint p) {
    headless->Key_Down(VK_SHIFT);
    Run_Until_Idle();
    Click(p);
    headless->Key_Up(VK_SHIFT);
    Run_Until_Idle();
  }
  void Drag(TPoint from, TPoint to) {
    Press(from);
    Move(TPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
    Move(to);
    Release(to);
  }
  // Opens the palette on a ring position and chooses a code from it.
  void Choose(int position, int code) {
    Click(Handle_Centre(position));
    for (int i = 0; i < Palette().Shown_Count; ++i)
      if (Palette().Shown[size_t(i)]->Code == code) return Click(Centre_On_Screen(Palette(), Palette().Cells[size_t(i)]));
    ADD_FAILURE() << "code " << code << " not offered at " << position;
  }
  Handle_Palette& Palette() { return *editor->Palette; }
  const Affine_Transform_2D& Image(int i) { return *editor->Image(i); }
  std::vector<std::string> Take_Boxes() { return std::exchange(Boxes, {}); }
  // What the editor and its palette told the main window.
  std::vector<std::string> Take_Host_Log() {
    std::vector<std::string> log;
    for (const auto& [msg, wp, lp] : std::exchange(main->Posted, {})) {
      const std::string n = std::to_string(wp);
      if (msg == Editor_Active_Message) log.push_back("active " + n);
      if (msg == Manipulator_Edited_Message) log.push_back("edited " + n);
      if (msg == Handle_Chosen_Message) log.push_back("chosen " + n + (lp ? " handle" : ""));
      if (msg == Help_Request_Message) log.push_back("help");
    }
    return log;
  }

  Target_Window* host = main;
  Transform_Edit_Window* editor = nullptr;
  char name[80] = "Shear Horizontally";
  std::vector<std::string> Boxes;
  int Box_Answer = IDOK;
  TMessage_Box_Hook previous_hook;

 private:
  bool main_layout_;
};

// Writes a part of the screen to $QUENDAR_SNAPSHOTS/<name>.png when set.
inline void Snapshot_Screen(const std::string& name, const TRect& area) {
  Widget_Sheet sheet(area.Width() + 12, area.Height() + 20);
  sheet.Add_Screen(area, name);
  sheet.Save(name);
}

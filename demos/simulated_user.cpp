#include "demos/simulated_user.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/system/clock.h"
#include "platform/window/user.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/gui_sizes.h"
#include "users/caption_owner.h"
#include "users/user_database.h"

Simulated_User* The_Simulated_User = nullptr;

namespace {

constexpr int Fallback_Width = 800;

void Release_Hold_Of_Driver() {
  if (The_Simulated_User) The_Simulated_User->Release_Hold();
}

bool Game_Demo_Running() { return The_Simulated_User && The_Simulated_User->Mode() == Simulated_User::Game_Mode; }

void Solve_Target_Of_Driver(Shape_Target& target) { The_Simulated_User->Solve_Target(target); }

void Next_Game_Round_Of_Driver() { The_Simulated_User->Next_Game_Round(); }

}  // namespace

Simulated_User::Simulated_User(Shape_Palette* shape_palette, Color_Wheel* color_wheel, Drawing_Window* drawing_window,
                               Transform_Edit_Window* editor, Transform_Palette* manipulator_palette,
                               Safari_Controls* safari, Color_Cycle_Window* color_cycles, Round_Button* gallery_button,
                               Round_Button* name_button, Round_Button* help_button)
    : Shapes(shape_palette),
      Wheel(color_wheel),
      Drawing(drawing_window),
      Editor(editor),
      Manipulators(manipulator_palette),
      Safari(safari),
      Color_Cycles(color_cycles),
      Gallery_Button(gallery_button),
      Name_Button(name_button),
      Help_Button(help_button) {
  The_Simulated_User = this;
  Set_Demonstration_Hold_Release(&Release_Hold_Of_Driver);
  Set_Game_Demonstration(&Game_Demo_Running, &Solve_Target_Of_Driver, &Next_Game_Round_Of_Driver);
}

Simulated_User::~Simulated_User() {
  if (Hook) UnhookWindowsHookEx(Hook);
  Set_Demonstration_Running(false);
  Set_Demonstration_Hold_Release(nullptr);
  Set_Game_Demonstration(nullptr, nullptr, nullptr);
  if (The_Simulated_User == this) The_Simulated_User = nullptr;
}

// ---- Building the queue

void Simulated_User::Append(uint32_t kind, int32_t param, TPoint point) {
  Actions.push_back(User_Action{kind, point.x, point.y, param});
}

void Simulated_User::Left_Click(TPoint point, uint32_t pause_bits) {
  Glide(point);
  if (pause_bits & Pause_Before) Pause(250);
  Append(User_Action::Left_Down, -1, point);
  if (pause_bits & Pause_Pressed) Pause(500);
  Append(User_Action::Left_Up, -1, point);
  if (pause_bits & Pause_After) Pause(250);
}

void Simulated_User::Drag(TPoint from, TPoint to) {
  Glide(from);
  Append(User_Action::Left_Down, -1, from);
  Glide(to);
  Append(User_Action::Left_Up, -1, to);
}

void Simulated_User::Type_Text(const char* text) {
  for (const char* c = text; *c; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    const int32_t key = std::toupper(byte);
    // The keys alone type lower case: a capital is typed with Shift, so
    // that the names read as they are written.
    const bool shifted = std::isupper(byte) != 0;
    if (shifted) Append(User_Action::Key_Down, VK_SHIFT);
    Append(User_Action::Key_Down, key);
    Append(User_Action::Key_Up, key);
    if (shifted) Append(User_Action::Key_Up, VK_SHIFT);
    Pause(100);
  }
  Pause(250);
  Append(User_Action::Key_Down, VK_RETURN);
  Append(User_Action::Key_Up, VK_RETURN);
}

// ---- Playing

std::vector<int> Simulated_User::Build_Speed_Table(int width) {
  const int n = std::max(width, 2);
  std::vector<int> table(size_t(n), 0);
  const int floor_speed = n * 100 / 1500;
  for (int d = 1; d < n; ++d) {
    const int curve = int(std::sqrt(double(n) * d) * 1000.0 / 1500.0);
    table[size_t(d)] = std::max(curve, floor_speed);
  }
  return table;
}

void Simulated_User::Start_Playback() {
  if (Actions.empty()) return;
  if (Speeds.empty()) Speeds = Build_Speed_Table(The_GUI_Sizes ? (*The_GUI_Sizes)[GUI_Size_Index(0)] : Fallback_Width);
  Latest_Tick = Earlier_Tick = 0;
  Fetch_Next = true;
  if (!Hook) {
    // Nothing played yet: a hold or a trailing pause replays the pointer
    // where it stands, not at the screen's corner.
    TPoint pointer;
    GetCursorPos(pointer);
    Event.message = WM_MOUSEMOVE;
    Event.paramL = UINT(pointer.x);
    Event.paramH = UINT(pointer.y);
    Hook = SetWindowsHookEx(WH_JOURNALPLAYBACK, &Simulated_User::Playback_Hook);
  }
  // Another playback owns the input: nothing can be played.
  if (!Hook) Speeds.clear();
}

void Simulated_User::Release_Hold() {
  if (Head_Is_Hold()) Actions.pop_front();
}

LRESULT Simulated_User::Playback_Hook(int code, WPARAM wparam, LPARAM lparam) {
  if (!The_Simulated_User || code < 0) return CallNextHookEx(0, code, wparam, lparam);
  // HC_SKIP comes without a record.
  EVENTMSG unused;
  auto* record = reinterpret_cast<EVENTMSG*>(lparam);
  return The_Simulated_User->Hook_Procedure(code, record ? *record : unused);
}

LRESULT Simulated_User::Hook_Procedure(int code, EVENTMSG& record) {
  if (code == HC_SKIP) {
    Note_Delivered();
    if (!Actions.empty()) Fetch_Next = true;
    else Stop_Playing();
    return 0;
  }
  if (code != HC_GETNEXT) return 0;
  LRESULT answer = 0;
  if (Fetch_Next) {
    Next_Event();
    Fetch_Next = false;
    answer = LRESULT(Event_Delay);
  } else if (Event.message == WM_MOUSEMOVE && Head_Is_Hold()) {
    answer = LRESULT(Event_Delay);
  } else if (!Glide_Arrived) {
    Earlier_Tick = Latest_Tick;
    Latest_Tick = GetTickCount();
  }
  record.message = Event.message;
  record.paramL = Event.paramL;
  record.paramH = Event.paramH;
  record.time = GetTickCount();
  record.hwnd = HWND();
  return answer;
}

void Simulated_User::Note_Delivered() {
  const auto key = int32_t(Event.paramL);
  switch (Event.message) {
    case WM_LBUTTONDOWN: Left_Held = true; break;
    case WM_LBUTTONUP: Left_Held = false; break;
    case WM_RBUTTONDOWN: Right_Held = true; break;
    case WM_RBUTTONUP: Right_Held = false; break;
    case WM_KEYDOWN:
      if (std::find(Keys_Held.begin(), Keys_Held.end(), key) == Keys_Held.end()) Keys_Held.push_back(key);
      break;
    case WM_KEYUP: std::erase(Keys_Held, key); break;
    default: break;
  }
}

// A press the playback made and did not end stays down after a stop: a held
// corner would go on repeating and the next real click would be taken for
// something else. The releases are played where the pointer stands.
void Simulated_User::Release_Held_Input() {
  if (!Left_Held && !Right_Held && Keys_Held.empty()) return;
  TPoint at;
  GetCursorPos(at);
  for (auto key = Keys_Held.rbegin(); key != Keys_Held.rend(); ++key) Append(User_Action::Key_Up, *key);
  if (Left_Held) Append(User_Action::Left_Up, -1, at);
  if (Right_Held) Append(User_Action::Right_Up, -1, at);
  Left_Held = Right_Held = false;
  Keys_Held.clear();
  Start_Playback();
}

void Simulated_User::Stop_Playing() {
  if (Hook) UnhookWindowsHookEx(Hook);
  Hook = 0;
  Speeds.clear();
}

void Simulated_User::Next_Event() {
  Event_Delay = 0;
  while (!Actions.empty() && Actions.front().kind == User_Action::Pause) {
    Event_Delay += uint32_t(std::max(Actions.front().param, 0));
    Actions.pop_front();
  }
  // An empty queue plays the last event once more after the pauses.
  if (Actions.empty()) return;
  const User_Action head = Actions.front();
  switch (head.kind) {
    case User_Action::Left_Down:
    case User_Action::Left_Up:
    case User_Action::Right_Down:
    case User_Action::Right_Up: {
      static constexpr UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP};
      Event.message = messages[head.kind - User_Action::Left_Down];
      Event.paramL = UINT(head.x);
      Event.paramH = UINT(head.y);
      Actions.pop_front();
      return;
    }
    case User_Action::Key_Down:
    case User_Action::Key_Up:
      Event.message = head.kind == User_Action::Key_Down ? WM_KEYDOWN : WM_KEYUP;
      Event.paramL = Event.paramH = UINT(head.param);
      Actions.pop_front();
      return;
    case User_Action::Hold:
      Event.message = WM_MOUSEMOVE;
      Event_Delay += uint32_t(std::max(head.param, 0));
      if (Actions.size() > 1) Actions.pop_front();
      return;
    case User_Action::Glide:
      Glide_Step(head);
      return;
    default:
      // Never appended; dropped so that it cannot stall the queue.
      Actions.pop_front();
      Event.message = WM_MOUSEMOVE;
      return;
  }
}

void Simulated_User::Glide_Step(const User_Action& glide) {
  uint32_t elapsed = Latest_Tick && Earlier_Tick ? Latest_Tick - Earlier_Tick : Glide_Pace;
  // A clock that did not move still gives a step.
  elapsed = std::max<uint32_t>(elapsed, 1);
  TPoint now;
  GetCursorPos(now);
  const int last = int(Speeds.size()) - 1;
  auto step = [&](int d) -> int {
    if (d == 0) return 0;
    const int index = std::min(std::abs(d), std::max(last, 0));
    const int64_t speed = last >= 0 ? Speeds[size_t(index)] : 0;
    const int s = d <= 0 ? 1 : -1;
    int move = int(s * speed * int64_t(elapsed) / 1000);
    // Always at least a pixel towards the target.
    if (move == 0) move = s;
    const bool crossed = (d + move < 0) != (d < 0);
    return crossed ? -d : move;
  };
  const int dx = now.x - glide.x, dy = now.y - glide.y;
  TPoint next(now.x + step(dx), now.y + step(dy));
  Event.message = WM_MOUSEMOVE;
  Event_Delay += Glide_Pace;
  const int64_t ex = next.x - glide.x, ey = next.y - glide.y;
  if (ex * ex + ey * ey < Arrival_Radius * Arrival_Radius) {
    next = TPoint(glide.x, glide.y);
    Actions.pop_front();
    Latest_Tick = Earlier_Tick = 0;
    Glide_Arrived = true;
  } else {
    Glide_Arrived = false;
  }
  Event.paramL = UINT(next.x);
  Event.paramH = UINT(next.y);
}

// ---- Demonstrations

void Simulated_User::Set_Mode(uint32_t mode) {
  Demo_Mode = mode;
  Set_Demonstration_Running(mode != No_Demo);
  if (The_Caption_Owner) The_Caption_Owner->Update_Caption();
}

void Simulated_User::End_Demonstration() {
  Set_Mode(No_Demo);
  Pass_Pending = 0;
  Saved_User_Name.clear();
  if (The_User_Database) The_User_Database->person_away.reset();
  Put_Back_Safari_Setting();
}

void Simulated_User::Cancel() {
  // After the cancel chord the platform has removed the hook already (the
  // stale handle is refused); any other cancel leaves no playback behind.
  if (Hook) UnhookWindowsHookEx(Hook);
  Hook = 0;
  Actions.clear();
  Speeds.clear();
  Release_Held_Input();
  // While the mode still says a demonstration runs: the panels drop what
  // "Demo" changed without asking the person about it.
  Bring_Back_Person();
  End_Demonstration();
}

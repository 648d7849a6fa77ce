// The demonstration driver: one object, reached through The_Simulated_User,
// that plays a queue of user gestures (pointer glides, clicks, key strokes,
// pauses and holds) into the program as ordinary input through a journal
// playback hook, so that every panel reacts as it would to a person. Real
// input is ignored while it plays; Ctrl+Esc removes the hook and the
// application calls Cancel.
//
// The scripts (colour mixing, patterns, manipulators, the match game, the
// gallery) only append to the queue, asking the live panels for their
// screen points when they are built, and then start playback.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "demos/user_action.h"
#include "help/help_window.h"
#include "platform/gdi/geometry.h"
#include "platform/window/hooks.h"

class Color_Cycle_Window;
class Color_Wheel;
class Drawing_Window;
class Gallery_Window;
class Round_Button;
class Safari_Controls;
class Shape_Palette;
class Shape_Target;
class TWindow;
class Transform_Edit_Window;
class Transform_Palette;

// What the demonstration asks of the Name and Level dialog while it drives
// it (the dialog implements it; the driver sits below the application).
class Demo_User_Dialog {
 public:
  virtual ~Demo_User_Dialog() = default;
  virtual TPoint First_Row_Point() const = 0;
  // The row of the named user and the scroll steps to bring it into view
  // (negative: up).
  virtual TPoint User_Row_Point(const std::string& name, int& steps) const = 0;
  virtual TPoint Scroll_Up_Point() const = 0;
  virtual TPoint Scroll_Down_Point() const = 0;
  virtual TPoint Level_Column_Point(int level_index) const = 0;
  virtual TPoint OK_Button_Point() const = 0;
};

// What the driver asks of the program above it when a demonstration that
// plays as another user stops before its own end (the frame answers).
class Demo_Person_Host {
 public:
  virtual ~Demo_Person_Host() = default;
  // Closes a Name and Level dialog that a pass left open, changing nothing.
  virtual void Close_User_Dialog() = 0;
  // Makes the named user current again, as a change of users does.
  virtual void Return_To_User(const std::string& name) = 0;
};

class Simulated_User : public Demonstration_Starter {
 public:
  enum Mode : uint32_t { No_Demo = 0, Color_Mixing_Mode = 1, Pattern_Mode = 2, Game_Mode = 3, Manipulator_Mode = 4 };
  // Pause bits of Left_Click.
  enum : uint32_t { Pause_Before = 1, Pause_Pressed = 2, Pause_After = 4 };
  static constexpr uint32_t Glide_Pace = 33;  // ms between glide events
  static constexpr int Arrival_Radius = 5;

  // Becomes The_Simulated_User.
  Simulated_User(Shape_Palette* shape_palette, Color_Wheel* color_wheel, Drawing_Window* drawing_window,
                 Transform_Edit_Window* editor, Transform_Palette* manipulator_palette, Safari_Controls* safari,
                 Color_Cycle_Window* color_cycles, Round_Button* gallery_button, Round_Button* name_button,
                 Round_Button* help_button);
  ~Simulated_User() override;
  Simulated_User(const Simulated_User&) = delete;
  Simulated_User& operator=(const Simulated_User&) = delete;

  // ---- Building the queue
  void Left_Click(TPoint point, uint32_t pause_bits);
  void Drag(TPoint from, TPoint to);
  // Key strokes of the upper-cased characters (letters, digits, blanks),
  // a capital with Shift held around it, 100 ms after each, then 250 ms and
  // Enter.
  void Type_Text(const char* text);
  void Append(uint32_t kind, int32_t param, TPoint point = TPoint());
  void Pause(int32_t ms) { Append(User_Action::Pause, ms); }
  void Hold(int32_t ms) { Append(User_Action::Hold, ms); }
  void Glide(TPoint point) { Append(User_Action::Glide, -1, point); }

  // ---- Playing
  void Start_Playback();
  // Removes a hold at the queue's head (the drawing stopped iterating).
  void Release_Hold();
  static LRESULT Playback_Hook(int code, WPARAM wparam, LPARAM lparam);
  LRESULT Hook_Procedure(int code, EVENTMSG& record);
  bool Playing() const { return Hook != 0; }

  // ---- Demonstrations
  bool Running() const { return Demo_Mode != No_Demo; }
  uint32_t Mode() const { return Demo_Mode; }
  void End_Demonstration();
  // Stops whatever plays: the buttons and keys the playback holds down are
  // let go, and a person a pass cycle stood in for is current again.
  void Cancel();
  // The demonstrations the help pages' "Show" links start.
  void Color_Mixing_Demo() override;
  void Pattern_Demo() override;
  void Multi_Level_Pattern_Demo() override;
  void Manipulator_Demo() override;
  void Append_Color_Mixing_Script();
  void Append_Pattern_Script();
  void Append_Manipulator_Script();
  void Append_Gallery_Script();
  // The match game (needs the safari controls' screen points).
  void Start_Game_Demo(int32_t difficulty) override;
  void Solve_Target(Shape_Target& target);
  void Next_Game_Round();
  // The pass cycle as user "Demo".
  void Select_Demo_User(const Demo_User_Dialog& dialog);
  void Select_User_Row(const Demo_User_Dialog& dialog, const std::string& name);
  void Next_Demo_Pass();
  void Set_Gallery_Window(Gallery_Window* gallery) { The_Gallery = gallery; }
  void Set_Person_Host(Demo_Person_Host* host) { Person_Host = host; }

  const std::deque<User_Action>& Queue() const { return Actions; }
  const std::vector<int>& Speed_Table() const { return Speeds; }
  // The speed table for a design width: pixels per second by distance.
  static std::vector<int> Build_Speed_Table(int width);

  // The panels it drives, not owned.
  Shape_Palette* Shapes;
  Color_Wheel* Wheel;
  Drawing_Window* Drawing;
  Transform_Edit_Window* Editor;
  Transform_Palette* Manipulators;
  Safari_Controls* Safari;
  Color_Cycle_Window* Color_Cycles;
  Gallery_Window* The_Gallery = nullptr;
  Round_Button* Gallery_Button;
  Round_Button* Name_Button;
  Round_Button* Help_Button;

  uint32_t Gallery_Save_Count = 0;
  uint32_t Game_Step_Counter = 0;
  uint8_t Pass_Pending = 0;
  uint32_t Pass_Count = 0;
  std::string Saved_User_Name;
  TPoint Saved_Tab_Point;
  // The match game's setting (first visible step, step count) before the
  // game demonstration changed it; given back when the demonstration ends.
  std::optional<std::pair<int32_t, int32_t>> Saved_Safari_Setting;

 private:
  void Set_Mode(uint32_t mode);
  void Next_Event();
  void Glide_Step(const User_Action& glide);
  void Stop_Playing();
  bool Head_Is_Hold() const { return !Actions.empty() && Actions.front().kind == User_Action::Hold; }
  void Begin_Pass_Cycle(int32_t level_index);
  // Before a demonstration plays as another user: the person's unsaved
  // manipulators and colour cycles are offered for saving.
  void Offer_Saves();
  void Note_Delivered();
  void Release_Held_Input();
  void Bring_Back_Person();
  void Put_Back_Safari_Setting();
  TPoint Button_Point(const Round_Button* button) const;
  TPoint Shape_Button_Point(int index) const;
  TPoint Corner(int k) const;
  TPoint Slot(int32_t section, int32_t n, TPoint* tab = nullptr) const;
  void Click_Slot_With_Tab(int32_t section, int32_t n, uint32_t slot_bits);
  void Append_Level_Steps(int32_t level_index, TPoint glide_point);
  void Append_Pattern_Ending(int32_t level_index);
  void Append_Second_Drawing();

  std::deque<User_Action> Actions;
  uint32_t Demo_Mode = No_Demo;
  HHOOK Hook = 0;
  std::vector<int> Speeds;
  uint32_t Latest_Tick = 0, Earlier_Tick = 0;
  EVENTMSG Event;
  uint32_t Event_Delay = 0;
  bool Fetch_Next = false;
  bool Glide_Arrived = false;
  // What the delivered events hold down: left and right button, keys.
  bool Left_Held = false, Right_Held = false;
  std::vector<int32_t> Keys_Held;
  Demo_Person_Host* Person_Host = nullptr;
};

// The one driver, null while none exists.
extern Simulated_User* The_Simulated_User;

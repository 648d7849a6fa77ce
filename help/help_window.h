// The one help window. Made hidden at start-up, it lies over the whole
// screen while a section is shown: the picture of the screen as it was, a
// white page over the panel that asked for help, red arrows from the page's
// lines to the parts of the panel they explain, and the page buttons.
// Every panel lays out its section once, in its own set-up (Load_Section),
// and shows it from its Help button (Show_Section); the window tells the
// panel with Help_Closed_Message when it goes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "help/help_section.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/font.h"
#include "platform/gdi/geometry.h"
#include "platform/system/opener_watch.h"
#include "platform/window/window.h"

class Octagon;
class TModule;

// What starts the demonstrations that the help pages' "Show" links name;
// the demonstration driver, which lies above the help, gives it.
class Demonstration_Starter {
 public:
  virtual ~Demonstration_Starter() = default;
  virtual void Start_Game_Demo(int32_t difficulty) = 0;
  virtual void Color_Mixing_Demo() = 0;
  virtual void Pattern_Demo() = 0;
  virtual void Multi_Level_Pattern_Demo() = 0;
  virtual void Manipulator_Demo() = 0;
};

class Help_Window : public TWindow {
 public:
  static constexpr int Section_Count = 7;
  static constexpr uint32_t Script_Resource = 4407;
  // Sections with one centred button (the acknowledgements).
  static constexpr std::array<uint8_t, Section_Count> Single_Button_Table = {0, 0, 0, 0, 0, 1, 1};
  // From the opener's watch to this window: an opener ended with a failure
  // (wParam 0 when posted from the watch, 1 once it has waited its turn).
  static constexpr UINT Opener_Failed_Message = WM_USER + 0x110;

  // The page buttons, by number.
  enum Button : int32_t { No_Button = 0, Previous_Button, End_Button, Review_Button, Next_Button, OK_Button };

  // No parent, covering the screen; becomes The_Help_Window.
  explicit Help_Window(TModule* module = nullptr);
  ~Help_Window() override;

  // Finds the built-in script (or the one Use_Script gave) and its sections.
  void SetupWindow() override;
  // A script of the caller's instead of the built-in one; before Create.
  void Use_Script(const char* begin, const char* end);

  // The first call for a section lays its pages out over rect (screen
  // coordinates), round or not; later calls do nothing.
  void Load_Section(int section, const TRect& rect, int round);
  void Show_Section(int section, TWindow* owner);
  // Hides the window and tells the owner: Help_Closed_Message (section, flag).
  void Hide(int flag);
  // The section opens on its first page next time, with no history.
  void Reset_Section(int section);
  // Shows that page of the shown section, remembering the page left when
  // record is set; a page that does not exist is ignored.
  void Go_To_Page(int32_t page, bool record);
  void Start_Demonstration(int32_t number);
  // Opens the target in the default browser; true when it was started.
  // An opener that starts but then fails is told of later (Opener_Failed).
  bool Open_URL(const std::string& target);
  // The program comes back from behind the browser and says the page did
  // not open.
  void Opener_Failed();

  // Display.
  void Make_Fonts();
  void Delete_Fonts();
  void Save_Screen();
  bool Button_Enabled(int32_t button) const;
  int32_t Next_Focus(int32_t button) const;
  TRect Focus_Rect(int32_t button) const;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  void Draw_Stop_Sign(TDC& dc, const TRect& rect);
  void Draw_OK_Button(TDC& dc, const TRect& rect);

  // Input.
  void Click_Link(UINT keys, const TPoint& point);
  void Mouse_Move(UINT keys, const TPoint& point);
  void Key_Down(UINT key);

  const Help_Section& Section(int number) const { return sections[size_t(number)]; }
  const Help_Page* Current_Page() const;
  int32_t Current_Section() const { return current_section; }
  int32_t Focused() const { return focused; }
  int32_t Hover() const { return hover; }
  TWindow* Owner() const { return owner; }
  // How many full-page paints there were (a hover or a Tab draws no page).
  int Page_Paints = 0;

  // The rectangle arrow fractions are of: where the panels' layout stands.
  TRect Arrow_Frame;
  Demonstration_Starter* Demonstrations = nullptr;

 protected:
  void EvLButtonDown(UINT keys, const TPoint& point) override { Click_Link(keys, point); }
  void EvRButtonDown(UINT keys, const TPoint& point) override { Click_Link(keys, point); }
  void EvMouseMove(UINT keys, const TPoint& point) override { Mouse_Move(keys, point); }
  void EvKeyDown(UINT key, UINT repeat, UINT flags) override;
  UINT EvGetDlgCode(const MSG*) override { return 133; }
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvSysCommand(UINT cmd, const TPoint& point) override;
  bool PreProcessMsg(MSG&) override { return false; }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  Help_Layout_Context Layout_Context(int section);
  bool In_Page(const Help_Page& page, TPoint point) const;
  int32_t Button_At(TPoint point) const;
  void Clear_Pointer_State();
  void Draw_Focus(TDC& dc, int32_t button);
  void Paint_Buttons(TDC& dc);
  void Paint_Counter(TDC& dc);
  bool Single() const { return Single_Button_Table[size_t(current_section)] != 0; }
  Help_Section* Shown() { return current_section >= 0 ? &sections[size_t(current_section)] : nullptr; }
  const Help_Section* Shown() const { return current_section >= 0 ? &sections[size_t(current_section)] : nullptr; }

  const char* script_begin = nullptr;
  const char* script_end = nullptr;
  std::unique_ptr<TBitmap> saved_screen;
  int32_t button_width = 0, button_height = 0;
  int32_t show_width = 0, show_height = 0;
  std::array<Help_Section, Section_Count> sections;
  int32_t current_section = -1;
  std::array<std::unique_ptr<TFont>, 3> fonts;
  std::unique_ptr<TFont> stop_font;
  int32_t stop_font_height = 0;
  std::unique_ptr<Octagon> stop_sign;
  int32_t hover = No_Button;
  int32_t focused = End_Button;
  TWindow* owner = nullptr;
  std::unique_ptr<TOpener_Watch> opener_watch;
};

// Replays one left click at a point of the window (client coordinates) as
// machine input, so that a click outside the help page reaches what lies
// below: the press always, the release only when the real button is
// already up.
void Play_Click(TWindow* window, TPoint point);

// A rectangle in a window's client coordinates, in screen coordinates (the
// owner area a panel gives Load_Section).
TRect Screen_Rect(const TWindow& window, const TRect& client_rect);

extern Help_Window* The_Help_Window;

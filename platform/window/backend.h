// What the window system needs of the machine below it: a screen to present,
// real input, a wake-up and a clock. Two backends implement it (a real window
// through SDL2, and a headless one for tests); nothing above this interface
// knows which one runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/system/clipboard_service.h"

class TClock;
class TScreen;
struct TCursor_Image;

// One piece of real input, in screen coordinates.
struct TInput_Event {
  enum class Kind : uint8_t {
    Mouse_Move,
    Button_Down,
    Button_Up,
    Pointer_Left,  // the pointer left the screen (last position in `point`)
    Key_Down,
    Key_Up,
    Char,          // a typed character (`code` is a Unicode code point)
    Minimise,      // the desktop outside minimised or restored the program
    Restore,
    Close,         // the desktop asked the program to close
    Focus_Lost,    // the program's window lost or gained the desktop's focus
    Focus_Gained,
  };
  enum Button : uint8_t { Left = 0, Right = 1, Middle = 2 };

  Kind kind = Kind::Mouse_Move;
  TPoint point;
  uint8_t button = Left;
  uint32_t code = 0;       // virtual key (keys) or code point (Char)
  bool repeat = false;     // an auto-repeated key-down
  bool keypad = false;     // a key of the numeric keypad (digits follow NumLock)
  bool translate = true;   // make WM_CHAR from the key (false when the backend sends Char itself)
  int8_t num_lock = -1;    // NumLock state as the machine knows it; -1 unknown
  bool synthetic = false;  // played, not from the machine
  uint32_t time = 0;       // tick count; 0 = now
};

class TBackend {
 public:
  virtual ~TBackend() = default;

  virtual TSize Screen_Size() const = 0;
  // The clock of this backend (the real clock, or the headless virtual one).
  virtual TClock& Clock() = 0;

  // Moves real input that has arrived into `out` without waiting.
  virtual void Poll(std::vector<TInput_Event>& out) = 0;
  // Waits until input arrives, Wake is called, or `timeout_ms` of the clock
  // passed (UINT32_MAX: no limit). May return early.
  virtual void Wait(uint32_t timeout_ms) = 0;
  // Ends a Wait from any thread.
  virtual void Wake() = 0;

  // Shows the changed rectangles of the screen, with the cursor drawn over
  // them (never into the screen). Called on the user-interface thread.
  virtual void Present(const TScreen& screen, const std::vector<TRect>& changed,
                       const TCursor_Image* cursor, TPoint cursor_pos) = 0;
  // The shortest time between two presentations of drawing that other
  // threads did (the display's frame time); 0 presents only when the loop
  // has handled what was waiting.
  virtual uint32_t Frame_Interval_Ms() const { return 0; }
  // The cursor shape changed (nullptr: hidden). A backend that draws the
  // cursor with the machine's own pointer shows it at once, even while the
  // loop is busy; the others draw it at the next presentation.
  virtual void Set_Cursor(const TCursor_Image*) {}
  // The pointer was moved by the program (a warp).
  virtual void Warp_Pointer(TPoint) {}
  // A warp that takes place only while the pointer is still at from: a
  // hand that has moved on since keeps its place.
  virtual void Warp_Pointer_From(TPoint, TPoint to) { Warp_Pointer(to); }
  // The pointer is confined to a rectangle of the screen (empty: free).
  virtual void Confine_Pointer(const TRect&) {}
  virtual void Set_Title(const std::string&) {}
  // The program's icon: 0xAARRGGBB pixels, rows top first.
  virtual void Set_Icon(TSize, const std::vector<uint32_t>&) {}
  // One more size of the same icon, offered beside the one Set_Icon gave.
  virtual void Add_Icon(TSize, const std::vector<uint32_t>&) {}
  virtual void Set_Minimised(bool) {}
  // Holds the machine's screen saver off while the program is in front.
  virtual void Hold_Screen_Saver(bool) {}
  // Brings the program's window to the front with the machine's keyboard:
  // after a click in it, and when a second start hands over to it.
  virtual void Take_Keyboard() {}
  // Tells the person something through the system's own box, for a display
  // the program cannot draw on; false when there is no such box (then the
  // program's own box is used).
  virtual bool System_Alert(const std::string&, const std::string&) { return false; }
  // Moves text to and from the machine's clipboard (text only).
  virtual void Set_Clipboard_Text(const std::string& text) { clipboard_ = text; }
  virtual std::string Clipboard_Text() { return clipboard_; }
  // The desktop's clipboard for pictures; a display without one fails
  // every placement.
  virtual TClipboard_Service& Picture_Clipboard() { return TClipboard_Service::Failing(); }

 private:
  std::string clipboard_;
};

// The SDL2 backend: one window showing the virtual screen (borderless over
// the display's usable area, or a plain window of a size asked for), real
// mouse and keyboard turned into input events, the program's cursors as
// system cursors (so they are never in the screen), the clipboard, the
// screen saver and minimising through SDL.
#pragma once

#include <memory>
#include <optional>
#include <unordered_map>

#include "platform/window/backend.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

// The rectangles a presentation sends to the display: the changed ones
// within bounds, or their bounding box when they nearly fill it.
std::vector<TRect> Rects_To_Send(const std::vector<TRect>& changed, const TRect& bounds);

class TSDL_Backend : public TBackend {
 public:
  // Nothing when SDL has no display to open a window on.
  static std::unique_ptr<TSDL_Backend> Open(std::optional<TSize> size);
  // The exit code of a process whose X server went away under it.
  static constexpr int Display_Lost_Exit_Code = 1;
  ~TSDL_Backend() override;

  TSize Screen_Size() const override { return size_; }
  TClock& Clock() override;
  void Poll(std::vector<TInput_Event>& out) override;
  void Wait(uint32_t timeout_ms) override;
  void Wake() override;
  uint32_t Frame_Interval_Ms() const override { return frame_ms_; }
  void Present(const TScreen& screen, const std::vector<TRect>& changed, const TCursor_Image* cursor,
               TPoint cursor_pos) override;
  void Set_Cursor(const TCursor_Image* cursor) override { Show_Cursor(cursor); }
  void Warp_Pointer(TPoint p) override;
  void Warp_Pointer_From(TPoint from, TPoint to) override;
  void Confine_Pointer(const TRect& r) override;
  void Set_Title(const std::string& title) override;
  void Set_Icon(TSize size, const std::vector<uint32_t>& argb) override;
  void Set_Minimised(bool minimised) override;
  void Hold_Screen_Saver(bool hold) override;
  void Take_Keyboard() override;
  void Add_Icon(TSize size, const std::vector<uint32_t>& argb) override;
  bool System_Alert(const std::string& caption, const std::string& text) override;
  void Set_Clipboard_Text(const std::string& text) override;
  std::string Clipboard_Text() override;
  // On X11 the CLIPBOARD selection of the program's display, made when
  // first asked for.
  TClipboard_Service& Picture_Clipboard() override;

  int Present_Count() const { return present_count_; }
  // Waits until the display has handled everything sent to it so far (for
  // timing a presentation from start to end).
  void Wait_Until_Shown();
  // A pixel of what the window shows (0x00RRGGBB), for the smoke test.
  uint32_t Window_Pixel(int x, int y);

 private:
  TSDL_Backend(SDL_Window* window, TSize size);
  void Translate(const SDL_Event& e, std::vector<TInput_Event>& out);
  void Show_Cursor(const TCursor_Image* cursor);
  void Copy_To_Window(const TScreen& screen, const std::vector<TRect>& rects);

  SDL_Window* window_;
  TSize size_;
  uint32_t frame_ms_ = 16;
  uint32_t wake_event_ = 0;
  int buttons_down_ = 0;
  int present_count_ = 0;
  const TScreen* last_screen_ = nullptr;
  bool exposed_ = false;
  bool shown_ = false;
  bool cursor_hidden_ = false;
  // Machine cursors by image serial, the most recent last; a few are kept.
  std::vector<std::pair<uint64_t, SDL_Cursor*>> cursors_;
  uint64_t shown_serial_ = 0;
  std::unique_ptr<TClipboard_Service> picture_clipboard_;
};

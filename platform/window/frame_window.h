// TFrameWindow: a top-level window with our own caption bar (title, a
// system-menu box, minimise and close boxes; its height is the caption-height
// metric) over a client window that fills the rest and can be switched.
#pragma once

#include <memory>

#include "platform/window/window.h"

class TMenu;

// Shows a menu at a screen point in its own modal loop; the chosen command,
// or 0 when the menu was dismissed. Enablers of the owner are asked first.
UINT Track_Menu(TMenu& menu, TPoint screen, TWindow& owner, bool right_button);

class TFrameWindow : public TWindow {
 public:
  TFrameWindow(TWindow* parent, const char* title = nullptr, TWindow* client = nullptr,
               bool shrink_to_client = false, TModule* module = nullptr);
  ~TFrameWindow() override;

  // Puts another window in the client place; the old one is returned (still
  // a child, left as it is: the caller hides or deletes it).
  TWindow* SetClientWindow(TWindow* client);
  TWindow* GetClientWindow() const { return client_; }
  TRect Client_Area() const override;
  bool Is_Minimised() const { return (Attr.Style & WS_MINIMIZE) != 0; }

  // The window's icon (a resource of the module); the main window's icon is
  // the program's on the desktop.
  bool SetIcon(TModule* module, uint32_t id);
  // The small icon a task bar or title bar shows beside the large one.
  bool SetIconSm(TModule* module, uint32_t id);
  const class TIcon* GetIcon() const { return icon_; }
  // The machine's window takes this frame's title and icons: when the frame
  // becomes the main window, and again each time it is activated.
  void Show_On_Desktop();

  // The system menu (nullptr without WS_SYSMENU).
  TMenu* GetSystemMenu();
  // Caption-bar geometry in window coordinates.
  TRect Caption_Rect() const;
  TRect System_Box_Rect() const;
  TRect Minimise_Box_Rect() const;
  TRect Close_Box_Rect() const;
  // Draws the caption bar now.
  void Paint_Caption();

  void SetupWindow() override;
  bool IdleAction(long idle_count) override;
  void EvSize(UINT size_type, const TSize& size) override;
  void EvSysCommand(UINT cmd_type, const TPoint& point) override;
  void EvActivate(UINT active, bool minimized, HWND other) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 protected:
  void Layout_Client();
  virtual void Non_Client_Mouse(UINT msg, TPoint screen);
  virtual void Open_System_Menu();

 private:
  TWindow* client_ = nullptr;
  std::unique_ptr<TMenu> system_menu_;
  bool active_caption_ = false;
  const class TIcon* icon_ = nullptr;
  const class TIcon* small_icon_ = nullptr;
  void Show_Icon();
};

// TWindow: the framework's window object. A TWindow is built in two phases:
// the constructor fills its attributes (which can be read at once), Create
// makes the window (a handle, a place in the tree and on the screen) and then
// calls the virtual SetupWindow, which creates the children already attached.
// CleanupWindow runs before the window is destroyed.
//
// Children are kept in creation order (idle processing, close queries and
// creation walk them in that order); their z-order among siblings is kept
// apart, front first. A window without WS_CHILD is a top-level window; its
// parent, if any, is its owner (it keeps it in its child list, as the
// framework does, so dialogs share idle processing and close queries).
//
// Dispatch: WindowProc switches on the message and calls small virtual
// handlers (EvLButtonDown, EvTimer, EvPaint, ...); commands, command enablers
// and private messages go through the response table (Find), which each class
// extends and chains to its base; what nobody handles goes to DefWindowProc.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/window/messages.h"

class TCommandEnabler;
class TBrush;
class TCursor;
class TDC;
class TRegion;
class TModule;

struct TWindowAttr {
  uint32_t Style = WS_CHILD | WS_VISIBLE;
  uint32_t ExStyle = 0;
  int X = 0;
  int Y = 0;
  int W = 0;
  int H = 0;
  int Id = 0;

  // Where the window will stand in its parent once created.
  void Set_Rect(const TRect& r) { X = r.left, Y = r.top, W = r.Width(), H = r.Height(); }
};

// One lookup in a response table: the message, the command id it carries
// (0 for plain messages) and the result of the handler that took it.
struct TEventInfo {
  UINT Msg = 0;
  UINT Id = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
  // True when only the presence of a handler is asked (no call).
  bool Probe = false;
};

class TWindow {
 public:
  explicit TWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;
  virtual ~TWindow();

  TWindowAttr Attr;
  TWindow* Parent = nullptr;

  // ---- Life
  bool Create();
  void Destroy(int ret_val = 0);
  // Asks CanClose, then destroys the window.
  virtual void CloseWindow(int ret_val = 0);
  HWND GetHandle() const { return handle_; }
  class TApplication* GetApplication() const;
  bool IsWindow() const { return bool(handle_); }
  static TWindow* From_Handle(HWND hwnd);
  TWindow* GetParent() const { return Parent; }
  const std::vector<TWindow*>& Children() const { return children_; }
  TWindow* ChildWithId(int id) const;
  HWND GetDlgItem(int id) const {
    TWindow* c = ChildWithId(id);
    return c ? c->GetHandle() : HWND();
  }
  bool Has_Child(const TWindow* child) const;
  int GetId() const { return Attr.Id; }
  bool Is_Child() const { return (Attr.Style & WS_CHILD) != 0; }
  // The top-level window that holds this one (itself when top-level).
  TWindow* Top_Level();
  void SetParent(TWindow* new_parent);

  // ---- Text
  void SetWindowText(const std::string& text);
  const std::string& GetWindowText() const { return title_; }
  const std::string& Title() const { return title_; }

  // ---- Styles and states
  uint32_t GetStyle() const { return Attr.Style; }
  void SetStyle(uint32_t style);
  void ModifyStyle(uint32_t remove, uint32_t add) { SetStyle((Attr.Style & ~remove) | add); }
  bool ShowWindow(int cmd);
  // Visible with all its ancestors.
  bool IsWindowVisible() const;
  bool EnableWindow(bool enable);
  bool IsWindowEnabled() const { return !(Attr.Style & WS_DISABLED); }
  // Enabled with every ancestor up to its top-level window.
  bool Takes_Input() const;
  // True while this window or one it lies in runs its SetupWindow: a window
  // still being built takes no input (a box raised during its construction
  // runs a loop while its other parts are not there yet).
  bool Under_Construction() const;

  // ---- Geometry. The window rectangle is in the parent's client coordinates
  // for a child and in screen coordinates for a top-level window.
  void MoveWindow(int x, int y, int w, int h, bool repaint = true);
  void MoveWindow(const TRect& r, bool repaint = true) { MoveWindow(r.left, r.top, r.Width(), r.Height(), repaint); }
  bool SetWindowPos(HWND insert_after, int x, int y, int w, int h, UINT flags);
  void BringWindowToTop();
  TRect Window_Rect_In_Parent() const { return {Attr.X, Attr.Y, Attr.X + Attr.W, Attr.Y + Attr.H}; }
  // The window's rectangle on the screen.
  TRect GetWindowRect() const;
  TRect GetClientRect() const;
  // The client area inside the window rectangle, in window coordinates:
  // all of it, less a one-pixel frame with WS_BORDER, less the caption bar
  // of a frame.
  virtual TRect Client_Area() const;
  TPoint Client_Origin() const { return Client_Area().TopLeft(); }
  void ClientToScreen(TPoint& p) const;
  void ScreenToClient(TPoint& p) const;
  void MapWindowPoints(HWND to, TPoint* points, int count) const;
  TPoint Client_Screen_Origin() const;

  // ---- Window region (clips painting and hit-testing); nullptr removes it.
  void SetWindowRgn(const TRegion* region, bool redraw = true);
  const TRegion* GetWindowRgn() const { return window_region_.get(); }
  // Whether a point in window coordinates belongs to the window's shape.
  bool Shape_Contains(TPoint window_point) const;

  // ---- Painting
  void Invalidate(bool erase = true);
  void InvalidateRect(const TRect& client_rect, bool erase = true);
  void InvalidateRgn(const TRegion& client_region, bool erase = true);
  // Repaints an area and every child in it, whatever the clip styles say (an
  // area that was uncovered); nullptr: the whole window.
  void RedrawWindow(const TRegion* client_region, bool erase = true);
  void Validate();
  void ValidateRect(const TRect& client_rect);
  void UpdateWindow();
  // The update region's bounding box in client coordinates; false when empty.
  // Safe from other threads (a worker asking whether a repaint is pending).
  bool GetUpdateRect(TRect& rect) const;
  bool Has_Update() const;
  // BeginPaint: takes the update region (client coordinates) and whether
  // the background is to be erased, leaving the window valid.
  std::pair<TRegion, bool> Begin_Paint();
  // The window's shape on the screen: its rectangle cut by its region.
  TRegion Screen_Shape() const;
  // The same shape in the parent's client coordinates (a child's): what
  // the child paints itself, and what the parent must paint round it.
  TRegion Shape_In_Parent() const;
  // The window's rectangle placed at r, cut by its region.
  TRegion Shape_At(const TRect& r) const;
  const TRegion* Update_Region() const { return update_region_.get(); }
  // The part of the screen this window's client area shows (screen
  // coordinates): its client rectangle, clipped by its ancestors, their
  // regions, the windows above it and, with clip-children, its children.
  TRegion Visible_Region(bool client_only = true, bool exclude_children = false) const;

  // ---- Focus, capture, timers, cursor
  HWND SetFocus();
  static HWND GetFocus();
  HWND SetCapture();
  static void ReleaseCapture();
  static HWND GetCapture();
  UINT SetTimer(UINT id, UINT ms, TIMERPROC proc = nullptr);
  bool KillTimer(UINT id);
  // The window's own cursor, shown while the pointer is over it.
  void SetCursor(const TCursor* cursor) { cursor_ = cursor; }
  const TCursor* GetCursor() const { return cursor_; }

  // A message box owned by this window (message_box.h).
  int MessageBox(const std::string& text, const std::string& caption = "", UINT type = MB_OK);
  // WM_CTLCOLOR: a child control asks which colours to draw with; set them
  // in the DC and return a background brush, or nullptr for the default.
  virtual const TBrush* EvCtlColor(TDC& dc, HWND child, UINT ctl_type);

  // ---- Messages
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
  bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
  // The dispatcher: switches on the message, calls the handlers, and gives
  // what nobody took to DefWindowProc.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // Response-table lookup; a class with a table overrides it and calls its
  // base when its own table has no entry.
  virtual bool Find(TEventInfo& info);
  // Asked before a message for this window is dispatched; true swallows it.
  virtual bool PreProcessMsg(MSG& msg);

  // ---- Framework virtuals
  virtual void SetupWindow();
  virtual void CleanupWindow();
  virtual bool CanClose();
  // Called when the queue empties; the count rises with each idle call
  // without other messages between. Recurses into the children; true asks
  // for more idle calls.
  virtual bool IdleAction(long idle_count);
  virtual void Paint(TDC& dc, bool erase, TRect& rect);

  // ---- Handlers of the common messages (the defaults do the system's default)
  virtual void EvLButtonDown(UINT mod_keys, const TPoint& point);
  virtual void EvLButtonUp(UINT mod_keys, const TPoint& point);
  virtual void EvLButtonDblClk(UINT mod_keys, const TPoint& point);
  virtual void EvRButtonDown(UINT mod_keys, const TPoint& point);
  virtual void EvRButtonUp(UINT mod_keys, const TPoint& point);
  virtual void EvMouseMove(UINT mod_keys, const TPoint& point);
  virtual void EvKeyDown(UINT key, UINT repeat_count, UINT flags);
  virtual void EvKeyUp(UINT key, UINT repeat_count, UINT flags);
  virtual void EvChar(UINT key, UINT repeat_count, UINT flags);
  virtual void EvSysKeyDown(UINT key, UINT repeat_count, UINT flags);
  virtual void EvTimer(UINT timer_id);
  virtual void EvPaint();
  // True when the background counts as erased (the default fills it white).
  virtual bool EvEraseBkgnd(TDC& dc);
  virtual void EvSetFocus(HWND lost_focus);
  virtual void EvKillFocus(HWND gets_focus);
  virtual void EvActivate(UINT active, bool minimized, HWND other);
  virtual void EvShowWindow(bool show, UINT status);
  virtual void EvSize(UINT size_type, const TSize& size);
  virtual void EvMove(const TPoint& client_origin);
  virtual void EvClose();
  virtual void EvDestroy();
  virtual void EvSysCommand(UINT cmd_type, const TPoint& point);
  virtual void EvCaptureChanged(HWND new_capture);
  virtual UINT EvGetDlgCode(const MSG* msg);
  virtual bool EvSetCursor(HWND window, UINT hit_test, UINT mouse_msg);
  // WM_COMMAND: a command id, the control that sent it and its notification.
  virtual LRESULT EvCommand(UINT id, HWND control, UINT notify_code);
  // The command-enable request; the default enables a command that has a
  // handler and leaves the rest alone.
  virtual void EvCommandEnable(TCommandEnabler& enabler);

 private:
  friend class TDesktop;
  void Create_Children();
  void Destroy_Children();
  void Add_Child(TWindow* child);
  void Remove_Child(TWindow* child);
  void Add_Update(const TRegion& client_region, bool erase, bool all_children = false);
  bool Hit_Children_Front_To_Back(TPoint parent_client, TWindow*& hit) const;
  void Paint_Border();

  // A handle a worker may read (posting to the window) while the window's
  // thread clears it in Destroy.
  class TAtomic_Handle {
   public:
    TAtomic_Handle() = default;
    operator HWND() const { return HWND(value_.load(std::memory_order_acquire)); }
    explicit operator bool() const { return value_.load(std::memory_order_acquire) != 0; }
    TAtomic_Handle& operator=(HWND handle) {
      value_.store(handle.Value(), std::memory_order_release);
      return *this;
    }

   private:
    std::atomic<uint32_t> value_{0};
  };
  TAtomic_Handle handle_;
  std::string title_;
  std::vector<TWindow*> children_;  // creation order
  std::vector<TWindow*> z_order_;   // children, front first
  std::shared_ptr<TRegion> window_region_;
  std::shared_ptr<TRegion> update_region_;  // client coordinates
  bool erase_pending_ = false;
  bool in_destroy_ = false;
  bool in_setup_ = false;
  const TCursor* cursor_ = nullptr;
  // A top-level window's focused window when it was last deactivated: it
  // gets the keyboard back when the window is activated again (after a
  // modal box, for one).
  HWND focus_kept_;
};

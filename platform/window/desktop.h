// The window system's own state, one per process (the "operating system" the
// program runs on): the backend, the screen, the table of window handles,
// the z-order of top-level windows, focus, activation, capture, the pointer,
// the keyboard state, timers and the message queue with its retrieval order.
//
// Retrieval order, as the program's windows expect it:
//   1. sent messages (SendMessage calls the window at once on this thread);
//   2. posted messages, first in first out (PostMessage from any thread);
//   3. a quit request;
//   4. input (mouse and keyboard), routed when it is taken, so that it goes
//      to the window that is under the pointer or focused at that moment;
//      consecutive pointer moves are merged into the latest;
//   5. WM_PAINT for windows with a non-empty update region;
//   6. WM_TIMER for timers that are due, only when nothing else waits; a timer
//      is never queued twice (it is re-armed when its message is taken).
// Input sources: the backend's real input, or a playback source that feeds
// timed events while real input is blocked (except Ctrl+Esc, which ends the
// playback and posts WM_CANCELJOURNAL); a recording tap sees real input.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/window/backend.h"
#include "platform/window/messages.h"

class TClock;
class TDevice_Binding;
class TRegion;
class TCursor;
class TScreen;
class TWindow;
class TInput_Source;

class TDesktop {
 public:
  // Starts the window system on a backend; the calling thread becomes the
  // user-interface thread.
  static TDesktop& Start(std::unique_ptr<TBackend> backend);
  // Destroys every remaining window and stops the window system.
  static void Stop();
  static bool Running();
  static TDesktop& Current();

  TBackend& Backend() { return *backend_; }
  TScreen& Screen() { return *screen_; }
  TClock& Clock();
  uint32_t Now();
  bool On_UI_Thread() const { return std::this_thread::get_id() == ui_thread_; }

  // ---- Handles
  HWND Register(TWindow* window);
  void Unregister(HWND hwnd);
  TWindow* Window(HWND hwnd) const;

  // ---- Messages
  bool Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);  // any thread
  void Post_Quit(int exit_code);                         // any thread
  LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // Takes the next message in retrieval order; false when nothing waits.
  bool Peek(MSG& msg);
  // Whether anything at all waits (posted, quit, input, paint or a due timer).
  bool Has_Pending();
  // Blocks until something may be waiting (never spins).
  void Wait_For_Work();
  // Makes WM_CHAR from a key-down, as the loop does before dispatching.
  void Translate(const MSG& msg);
  LRESULT Dispatch(const MSG& msg);
  // Removes posted messages for which `match` is true (UI thread).
  void Purge_Posted(const std::function<bool(const MSG&)>& match);

  // ---- Loops. Every loop takes messages through Run_Loop: the application's
  // pre-dispatch hook sees every message, idle processing runs once each time
  // the queue empties, and a quit ends every nested loop on its way out.
  enum class TLoop_End { Done, Quit };
  TLoop_End Run_Loop(const std::function<bool()>& done);
  // Handles every waiting message, then idle processing; false after a quit
  // (which stays posted for the loop outside).
  bool Pump_Waiting_Messages();
  // Handles messages and idle processing until nothing waits (tests).
  bool Run_Until_Idle();
  // Takes the pending quit (the outermost loop's exit code).
  int Take_Quit();
  int Quit_Code() const { return quit_code_; }
  bool Quit_Pending() const;
  // ---- Ending at the system's request (a logout, `kill`). It is not input:
  // no box holds it. From the request on, every loop that waits for an end
  // of its own (a box, a dialog, a menu) ends as a quit ends it, waiting
  // messages are handled no more, and the main loop closes the main window
  // as the desktop's close would, once; the close queries see
  // System_Ending and decide without asking. Whatever they decide, the run
  // ends.
  void Request_End();  // any thread
  bool End_Requested() const { return end_requested_; }
  static bool System_Ending() { return Running() && Current().End_Requested(); }
  // Hooks of the application object (set by TApplication).
  std::function<bool(MSG&)> Pre_Dispatch_Hook;
  std::function<bool(long)> Idle_Hook;
  // Shows what changed on the screen.
  void Present();

  // ---- Timers (UI thread)
  UINT Set_Timer(HWND hwnd, UINT id, UINT ms, TIMERPROC proc);
  bool Kill_Timer(HWND hwnd, UINT id);
  void Kill_Timers_Of(HWND hwnd);

  // ---- Window tree and z-order of top-level windows (front first)
  const std::vector<TWindow*>& Top_Levels() const { return top_levels_; }
  void Add_Top_Level(TWindow* w);
  void Remove_Top_Level(TWindow* w);
  // Moves a top-level window to the front of its band (topmost or not).
  void Raise(TWindow* w);
  void Lower(TWindow* w);
  void Uncovered(TWindow* w, const TRegion& visible_before);
  void Set_Topmost(TWindow* w, bool topmost);
  // The deepest visible window under a screen point, honouring window regions;
  // disabled children are skipped (their parent gets the input).
  TWindow* Window_From_Point(TPoint screen) const;
  // Something moved, appeared or vanished: the pointer gets a fresh move.
  void Layout_Changed();
  // Paints now every window that waits for a paint (each once).
  void Update_Windows();
  // Paint scheduling: a window gained or lost a non-empty update region.
  void Paint_Pending(TWindow* w, bool pending);
  // The screen area a window left (hidden, moved, destroyed) is repainted by
  // what is now under it.
  void Expose(const TRect& screen_rect, const TWindow* leaving);
  // Deletes a window object once the message that closed it is handled.
  void Condemn(TWindow* w) { condemned_.push_back(w); }
  // Window device contexts on the screen: kept current while windows move,
  // and drawing nothing once their window is gone.
  enum class TDC_Kind { Window, Client, Screen };
  void Register_Binding(const std::shared_ptr<TDevice_Binding>& binding, TWindow* window, TDC_Kind kind,
                        bool clip_children);
  // The context is done: what it may have drawn is presented.
  void Release_Binding(const TDevice_Binding* binding, std::optional<TRect> limit = std::nullopt);
  void Refresh_Binding(TDevice_Binding& binding, TWindow* window, TDC_Kind kind, bool clip_children);
  // Held by whoever reads or changes the window tree's geometry from
  // another thread (a worker making a window device context).
  std::recursive_mutex& Tree_Lock() { return tree_lock_; }
  // Paints the desktop's own background where no window is.
  void Paint_Desktop(const TRegion& screen_region);
  // A window is going away: drop focus, capture, activation and timers.
  void Forget(TWindow* w);
  // Contexts of a window that is going away draw nothing from now on. Called
  // again under the tree lock once its handle is gone, for a context another
  // thread made while the window was being destroyed.
  void Drop_Bindings(const TWindow* w);
  // A window was hidden or disabled: focus and activation move away from it.
  void Hidden(TWindow* w);

  // ---- Focus, activation, capture
  HWND Focus() const { return focus_; }
  HWND Set_Focus(HWND hwnd);
  HWND Active() const { return active_; }
  void Activate(TWindow* top);
  HWND Capture() const { return capture_; }
  // Keys go to this window (an open menu) instead of the focus; none ends it.
  void Set_Key_Grab(HWND hwnd) { key_grab_ = hwnd; }
  HWND Key_Grab() const { return key_grab_; }
  HWND Set_Capture(HWND hwnd);
  void Release_Capture();
  // Routes a mouse message taken while a window held the mouse once more,
  // by its screen point (msg.pt), as if none held it: a holder that lets a
  // click go hands it to what lies under it. False when nothing takes it.
  bool Route_Again(MSG& msg);

  // ---- Modal boxes. A box running its own loop (a dialog, a message box)
  // holds the program's input until it is answered, whoever raised it and
  // whenever: the windows behind it take no click and no key, get neither
  // the focus nor the activation (a click there brings the box forward, a
  // key, and a button let go there, go to the box), and a close from outside
  // is dropped. When the box ends, the keyboard goes back to the window that
  // had it before (Give_Keys_Back). A box may be invisible (TInput_Hold). The box, the
  // windows it owns and windows shown in front of it since (help shown over
  // a dialog) go on taking input. Nested boxes: the innermost one rules.
  void Begin_Modal(TWindow* box);
  // By handle: the box may have been destroyed while it ran.
  void End_Modal(HWND box);
  // The innermost box still running, or null.
  TWindow* Modal_Box() const;
  // Whether the running box holds input meant for w.
  bool Held_By_Modal(const TWindow* w) const;
  // A box has ended: the window that had the keyboard before it has it
  // again, while it is shown, enabled and not held; false when it cannot.
  bool Give_Keys_Back(HWND had_keys);

  // The application's main window: system commands from the desktop outside
  // (minimise, restore, close) go to it.
  void Set_Main_Window(HWND hwnd) { main_window_ = hwnd; }
  HWND Main_Window() const { return main_window_; }

  // ---- Pointer and cursor
  TPoint Cursor_Pos() const { return cursor_pos_; }
  void Set_Cursor_Pos(TPoint p);  // a warp: the pointer's window gets a move
  // The same warp, made on the screen only while the pointer is still at
  // from: a program that has fallen behind the hand does not throw its
  // later moves away.
  void Set_Cursor_Pos_From(TPoint from, TPoint p);
  void Clip_Cursor(const TRect* rect);
  std::optional<TRect> Cursor_Clip() const { return cursor_clip_; }
  const TCursor* Set_Cursor(const TCursor* cursor);
  const TCursor* Cursor() const { return cursor_; }
  // A cursor is going away: nothing may show or keep it any more.
  void Forget_Cursor(const TCursor* cursor);
  int Show_Cursor(bool show);

  // ---- Keyboard
  bool Key_Down(UINT vk) const { return vk < 256 && keys_[vk]; }
  bool Num_Lock() const { return num_lock_; }
  void Set_Num_Lock(bool on) { num_lock_ = on; }

  // ---- Input
  // Feeds one event as if it came from the machine (the backend's input path;
  // blocked while a playback source runs, except the cancel chord).
  void Real_Input(const TInput_Event& event);
  // Feeds one event that bypasses the playback block (the playback source).
  void Synthetic_Input(const TInput_Event& event);
  void Set_Input_Source(TInput_Source* source);
  TInput_Source* Input_Source() const { return input_source_; }
  // A tap that sees every real input event as it passes (recording).
  void Set_Record_Tap(std::function<void(const TInput_Event&)> tap) { record_tap_ = std::move(tap); }
  // Told when the cancel chord removed every journal hook.
  void Set_Journal_Cancel_Hook(std::function<void()> hook) { journal_cancel_ = std::move(hook); }

  ~TDesktop();

 private:
  explicit TDesktop(std::unique_ptr<TBackend> backend);
  struct TTimer {
    HWND hwnd;
    UINT id;
    UINT interval;
    uint32_t due;
    TIMERPROC proc;
  };

  void Poll_Backend();
  void Dispatch_One(MSG& msg);
  void Close_For_The_System();
  bool Idle();
  bool Default_Pre_Dispatch(MSG& msg);
  bool Take_Input(MSG& msg);
  bool Route_Mouse(const TInput_Event& e, MSG& msg);
  bool Route_Key(const TInput_Event& e, MSG& msg);
  // A running box holds it, or it is still being built.
  bool Input_Held(const TWindow* w) const;
  bool Release_To_Box(UINT message, const TWindow* under, TPoint screen, MSG& msg);
  void Click_Focus(TWindow* clicked);
  TWindow* Take_Paint();
  bool Take_Timer(MSG& msg);
  std::optional<uint32_t> Next_Timer_Delay();
  void Enqueue_Input(const TInput_Event& e);
  TPoint Clamp_Pointer(TPoint p) const;
  // After a warp: the cursor is drawn anew and the window under it hears of it.
  void Follow_Warp();
  void Update_Cursor_Shape(TWindow* over, UINT mouse_msg);
  UINT Mouse_Key_Flags() const;
  uint32_t Translate_Keypad(uint32_t vk) const;

  std::unique_ptr<TBackend> backend_;
  std::unique_ptr<TScreen> screen_;
  std::thread::id ui_thread_;

  std::unordered_map<uint32_t, TWindow*> handles_;
  uint32_t next_handle_ = 0x100;

  mutable std::mutex posted_lock_;
  std::deque<MSG> posted_;
  bool quit_posted_ = false;
  int quit_code_ = 0;
  std::atomic<bool> end_requested_{false};
  bool closed_for_the_system_ = false;

  std::deque<TInput_Event> input_;
  std::vector<TInput_Event> polled_;
  bool synthetic_move_ = false;
  std::vector<TWindow*> paint_pending_;
  std::vector<TTimer> timers_;
  UINT next_timerless_id_ = 0x7000;
  long idle_count_ = 0;

  std::vector<TWindow*> top_levels_;
  std::vector<TWindow*> condemned_;
  int dispatch_depth_ = 0;  // messages being handled, nested loops included
  HWND focus_;
  HWND active_;
  HWND capture_;
  HWND focus_announced_;  // the window that was told it has the focus
  HWND main_window_;
  HWND key_grab_;
  std::vector<HWND> modal_boxes_;  // innermost last
  bool cursor_dirty_ = true;
  uint32_t last_present_ = 0;
  bool pointer_on_screen_ = true;

  TPoint cursor_pos_;
  std::optional<TRect> cursor_clip_;
  const TCursor* cursor_ = nullptr;
  int cursor_show_count_ = 0;
  bool keys_[256] = {};
  HWND key_pressed_in_[256];  // the window each key that is down went to
  bool num_lock_ = true;

  struct TLive_Binding {
    std::weak_ptr<TDevice_Binding> binding;
    TWindow* window;
    TDC_Kind kind;
    bool clip_children;
  };
  void Refresh_Bindings();
  std::mutex bindings_lock_;
  std::vector<TLive_Binding> bindings_;
  std::recursive_mutex tree_lock_;

  TInput_Source* input_source_ = nullptr;
  std::function<void(const TInput_Event&)> record_tap_;
  std::function<void()> journal_cancel_;
};

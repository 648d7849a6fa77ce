// TDialog: a modal dialog built in code. It is constructed once and may be
// executed many times: each Execute creates the window (SetupWindow runs),
// disables its owner (the parent's top-level window, nothing else), runs a
// nested loop until EndDialog, re-enables the owner, destroys the window
// (CleanupWindow runs) and returns the end code. The dialog keys work in
// every dialog (TDialog_Keys): Tab and Shift+Tab move among its controls,
// Enter presses the focused button or the default one (IDOK unless the
// dialog names another) and Esc the Cancel button (IDCANCEL unless named);
// a key the dialog has no button for goes to the focused window. The
// caption's close box calls CmCancel (a dialog with its own way out
// overrides it). When it ends, the keyboard goes back to the window that had
// it before, whoever owns the dialog. A quit arriving while it runs ends it
// with IDCANCEL and stays posted for the loop outside.
#pragma once

#include "platform/window/frame_window.h"

class TDialog : public TFrameWindow {
 public:
  explicit TDialog(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);
  TDialog(TWindow* parent, int resource_id, TModule* module = nullptr);

  virtual int Execute();
  virtual void EndDialog(int ret_value);
  void CloseWindow(int ret_value = IDOK) override;
  bool IsModal() const { return running_; }
  int Resource_Id() const { return resource_id_; }

  virtual void CmOk();
  virtual void CmCancel();

  void SetupWindow() override;
  bool PreProcessMsg(MSG& msg) override;
  void EvClose() override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  bool EvEraseBkgnd(TDC& dc) override;

 protected:
  // The window that takes the focus when the dialog opens: the first child
  // that takes input and is a tab stop, else the dialog.
  virtual TWindow* First_Focus();
  // The buttons that Enter and Esc press (0: none).
  virtual int Default_Button() const { return IDOK; }
  virtual int Cancel_Button() const { return IDCANCEL; }

 private:
  int resource_id_ = 0;
  bool running_ = false;
  bool ended_ = false;
  int result_ = IDCANCEL;
};

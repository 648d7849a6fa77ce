// The keys a dialog's controls share, for a modal dialog or a panel that
// works like one: Tab and Shift+Tab move the keyboard among the tab stops
// under the dialog (in creation order, through windows that are not tab
// stops themselves), Esc presses the dialog's Cancel button and Return the
// button that has the focus, else the dialog's default button. A focused
// control keeps a key it asks for through WM_GETDLGCODE: Tab with
// DLGC_WANTTAB, Return and Esc with DLGC_WANTALLKEYS. A button the dialog
// does not have, or that is hidden or disabled, is not pressed, and the key
// goes to the focused control as any other.
#pragma once

#include <vector>

#include "platform/window/messages.h"

class TWindow;

class TDialog_Keys {
 public:
  // default_id, cancel_id: ids of the dialog's buttons (0: none).
  TDialog_Keys(TWindow& dialog, int default_id, int cancel_id);

  // Acts on msg when it is one of the dialog's keys; true when it did.
  bool Handle(const MSG& msg);

  // The tab stops that can take the keyboard now, in order.
  std::vector<TWindow*> Tab_Stops() const;
  // The stop after (or before) the one that holds `from`; with no stop
  // holding it, the first (or last). Null when there is none.
  TWindow* Next_Tab_Stop(TWindow* from, bool back) const;
  // Gives a stop the keyboard; a text field's text is selected whole, so
  // that typing replaces it.
  static void Focus(TWindow& stop);

 private:
  bool Move(TWindow* from, bool back);
  bool Press(int id);

  TWindow& dialog_;
  int default_id_;
  int cancel_id_;
};

// The help window as the panels see it: made hidden at start-up, asked to
// lay out and show a section for an owner window. So far it has no pages:
// it loads nothing, and a section it is asked to show closes again at once,
// telling the owner with Help_Closed_Message as a closed help window does.
#pragma once

#include "platform/gdi/geometry.h"
#include "platform/window/window.h"

class TModule;

class Help_Window : public TWindow {
 public:
  // No parent; becomes The_Help_Window.
  explicit Help_Window(TModule* module = nullptr);
  ~Help_Window() override;

  void Load_Section(int section, const TRect& rect, int flag);
  void Reset_Section(int section);
  void Show_Section(int section, TWindow* owner);

  // The section shown last, and how many times one was asked for.
  int Last_Section = -1;
  int Shown_Count = 0;
};

extern Help_Window* The_Help_Window;

#include "help/help_window.h"

#include "toolkit/program_messages.h"

Help_Window* The_Help_Window = nullptr;

Help_Window::Help_Window(TModule* module) : TWindow(nullptr, "Help", module) {
  Attr.Style = WS_POPUP;  // hidden
  The_Help_Window = this;
}

Help_Window::~Help_Window() {
  if (The_Help_Window == this) The_Help_Window = nullptr;
}

void Help_Window::Load_Section(int, const TRect&, int) {}

void Help_Window::Reset_Section(int) {}

void Help_Window::Show_Section(int section, TWindow* owner) {
  Last_Section = section;
  ++Shown_Count;
  if (owner) owner->PostMessage(Help_Closed_Message, WPARAM(section));
}

#include "platform/window/command_enabler.h"

#include "platform/window/desktop.h"

TCommandEnabler::TCommandEnabler(UINT id, HWND receiver) : id_(id), receiver_(receiver) {}

TCommandEnabler::~TCommandEnabler() {
  if (!TDesktop::Running() || !TDesktop::Current().On_UI_Thread()) return;
  LPARAM self = reinterpret_cast<LPARAM>(this);
  TDesktop::Current().Purge_Posted(
      [self](const MSG& m) { return m.message == WM_COMMAND_ENABLE && m.lParam == self; });
}

void TCommandEnabler::Enable(bool enable) {
  enabled_ = enable;
  handled_ = true;
}

void TCommandEnabler::SetText(const std::string&) { handled_ = true; }
void TCommandEnabler::SetCheck(int) { handled_ = true; }

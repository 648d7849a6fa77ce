// The private messages between the manipulator windows and the main window.
#pragma once

#include "platform/window/messages.h"

// From the manipulator editor to the palette when editing ends: wParam 1
// keep the edited copy, 2 cancel.
inline constexpr UINT Manipulator_Edited_Message = WM_USER + 0x74;
// From the page window to the main window on every page change and
// selection: wParam 1 apply the selected manipulator now, 0 only make it
// current.
inline constexpr UINT Manipulator_Selected_Message = WM_USER + 0x76;

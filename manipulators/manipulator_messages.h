// The private window messages of the manipulator windows: the editor, its
// handle palette, the palette and its page window, and the main window.
#pragma once

#include "platform/window/messages.h"

// Asks the main window for help on the panel that posts it; no parameters.
inline constexpr UINT Help_Request_Message = WM_USER + 0x6A;
// The handle palette's choice: wParam the handle code (0 for none), lParam
// the chosen Edit_Handle (null for none).
inline constexpr UINT Handle_Chosen_Message = WM_USER + 0x6C;
// From the manipulator editor to the palette when editing ends: wParam 1
// keep the edited copy, 2 cancel.
inline constexpr UINT Manipulator_Edited_Message = WM_USER + 0x74;
// The editor opened (wParam 1) or closed (wParam 0); the main window hides
// or shows the drawing panels.
inline constexpr UINT Editor_Active_Message = WM_USER + 0x75;
// From the page window to the main window on every page change and
// selection: wParam 1 apply the selected manipulator now, 0 only make it
// current.
inline constexpr UINT Manipulator_Selected_Message = WM_USER + 0x76;

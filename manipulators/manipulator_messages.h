// The private window messages that the manipulator editor sends and takes,
// numbered from the window system's user message base.
#pragma once

#include "platform/window/messages.h"

// Asks the main window for help on the panel that posts it; no parameters.
inline constexpr UINT Help_Request_Message = WM_USER + 0x6A;
// The handle palette's choice: wParam the handle code (0 for none), lParam
// the chosen Edit_Handle (null for none).
inline constexpr UINT Handle_Chosen_Message = WM_USER + 0x6C;
// Editing of a manipulator ended: wParam 1 kept (OK), 2 cancelled.
inline constexpr UINT Manipulator_Edited_Message = WM_USER + 0x74;
// The editor opened (wParam 1) or closed (wParam 0); the main window hides
// or shows the drawing panels.
inline constexpr UINT Editor_Active_Message = WM_USER + 0x75;

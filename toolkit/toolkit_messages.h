// The private window messages of the toolkit's widgets, numbered from the
// window system's user message base.
#pragma once

#include "platform/window/messages.h"

// A notebook or folder tab was chosen: wParam names the tab, lParam carries
// the data given with it.
inline constexpr UINT Tab_Selected_Message = WM_USER + 0x67;
// An edit field hands a key to its parent: wParam the virtual key, lParam
// the field's control id; on key down and on key up.
inline constexpr UINT Ext_Key_Message = WM_USER + 0x6E;
inline constexpr UINT Ext_Key_Up_Message = WM_USER + 0x6F;
// An edit field was given characters it cannot hold (outside the code
// page): wParam the first one's code point, lParam the field's control id.
inline constexpr UINT Ext_Char_Refused_Message = WM_USER + 0x90;
// The window lost the mouse to another window; lParam is that window
// (a TWindow pointer) or null.
inline constexpr UINT Mouse_Lost_Message = WM_USER + 0x70;

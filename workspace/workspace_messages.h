// The private window messages that the drawing workspace posts or receives,
// numbered from the window system's user message base.
#pragma once

#include "platform/window/messages.h"

// The fireworks show over the drawing has ended (to the drawing window).
inline constexpr UINT Fireworks_Finished_Message = WM_USER + 0x65;
// The drawing window's review opened (wParam 1) or closed (wParam 0); to the
// drawing window's parent.
inline constexpr UINT Drawing_Busy_Message = WM_USER + 0x69;
// A panel asks its parent for help; no parameters.
inline constexpr UINT Help_Request_Message = WM_USER + 0x6A;
// The review window closed: wParam 1 with the chosen frame in lParam, or 2
// when nothing was chosen; to the drawing window.
inline constexpr UINT Review_Finished_Message = WM_USER + 0x71;
// The colour cycles window chose a cycle (its parent reads which); no
// parameters.
inline constexpr UINT Color_Cycle_Selected_Message = WM_USER + 0x66;
// The colour cycles window put a colour on the crayon: show it on the wheel;
// no parameters.
inline constexpr UINT Fill_Color_Message = WM_USER + 0x6B;

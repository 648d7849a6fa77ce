// Private messages that the user dialogs exchange with their parents.
#pragma once

#include "platform/window/messages.h"

// A panel, dialog or field asks for help (no parameters).
inline constexpr UINT Help_Request_Message = WM_USER + 0x6A;
// The help window has closed.
inline constexpr UINT Help_Closed_Message = WM_USER + 0x6D;
// The user list chose a user: wParam its index (-1 the default user),
// lParam the User.
inline constexpr UINT User_Selected_Message = WM_USER + 0x77;
// A level key 1-5 in the user list: wParam the level index 0-4.
inline constexpr UINT User_Level_Key_Message = WM_USER + 0x78;

// Every private window message of the program, numbered from the window
// system's user message base, so that no two collide. The panels post them
// to their parent (the main window) or to the window named beside them.
#pragma once

#include "toolkit/toolkit_messages.h"

// The fireworks worker to the drawing window: the show has ended.
inline constexpr UINT Fireworks_Finished_Message = WM_USER + 0x65;
// The colour-cycle window: a cycle was chosen (the main window reads it).
inline constexpr UINT Color_Cycle_Selected_Message = WM_USER + 0x66;
// A picture a worker made is ready.
inline constexpr UINT Picture_Ready_Message = WM_USER + 0x68;
// The drawing window: 1 when its review window opens, 0 when it closes.
inline constexpr UINT Drawing_Busy_Message = WM_USER + 0x69;
// F1 in a panel, dialog or field: asks the parent for help.
inline constexpr UINT Help_Request_Message = WM_USER + 0x6A;
// The colour-cycle window: show the paint pointer's colour on the wheel.
inline constexpr UINT Fill_Color_Message = WM_USER + 0x6B;
// The handle palette to the editor: a handle kind was chosen.
inline constexpr UINT Handle_Chosen_Message = WM_USER + 0x6C;
// The help window was hidden; wParam the section it showed.
inline constexpr UINT Help_Closed_Message = WM_USER + 0x6D;
// The review window to the drawing window: wParam 1 OK (lParam the
// position), 2 Cancel.
inline constexpr UINT Review_Finished_Message = WM_USER + 0x71;
// The shape palette: a shape button was clicked; lParam the Shape.
inline constexpr UINT Shape_Selected_Message = WM_USER + 0x72;
// The title window closed.
inline constexpr UINT Title_Finished_Message = WM_USER + 0x73;
// The editor to the manipulator palette: wParam 1 keep, 2 cancel.
inline constexpr UINT Manipulator_Edited_Message = WM_USER + 0x74;
// The editor: 1 when a manipulator is opened for editing, 0 when it ends.
inline constexpr UINT Editor_Active_Message = WM_USER + 0x75;
// The manipulator palette: a cell was chosen; wParam non-zero applies one
// step at once.
inline constexpr UINT Manipulator_Selected_Message = WM_USER + 0x76;
// The user list to the Name and Level dialog: a user was selected; lParam
// the User.
inline constexpr UINT User_Selected_Message = WM_USER + 0x77;
// The user list to the Name and Level dialog: a level key was pressed.
inline constexpr UINT User_Level_Key_Message = WM_USER + 0x78;
// The main window to itself, after its first paint.
inline constexpr UINT Main_Painted_Message = WM_USER + 0x79;

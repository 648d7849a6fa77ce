// Journal hooks in the classic form: a playback procedure that replaces the
// machine's input (only Ctrl+Esc still gets through, which removes every
// journal hook and posts WM_CANCELJOURNAL), and recording procedures that
// see the machine's input as it passes.
#pragma once

#include <cstdint>

#include "platform/window/journal_playback.h"

using HHOOK = uintptr_t;
enum : int { WH_JOURNALRECORD = 0, WH_JOURNALPLAYBACK = 1 };

// 0 when the kind is unknown or a playback hook is installed already.
HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, void* module = nullptr, uint32_t thread = 0);
bool UnhookWindowsHookEx(HHOOK hook);
// There is never another hook in the chain: answers 0.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wparam, LPARAM lparam);
// Whether a playback hook is installed (demonstrations running).
bool Journal_Playback_Installed();

// Chooses the backend at start: the headless one when asked for
// (QUENDAR_HEADLESS=1, as tests do) or when there is no display, the SDL one
// otherwise. QUENDAR_SCREEN=WxH sets the screen size for either (for SDL a
// plain window of that size instead of the whole usable display).
#pragma once

#include <memory>
#include <optional>

#include "platform/gdi/geometry.h"
#include "platform/window/backend.h"

// "640x480" → {640, 480}; nothing for anything else or absurd sizes.
std::optional<TSize> Parse_Screen_Size(const char* text);

std::unique_ptr<TBackend> Choose_Backend();

// Chooses a backend and starts the window system on it.
void Start_Window_System();

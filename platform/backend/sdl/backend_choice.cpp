#include "platform/backend/sdl/backend_choice.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend/headless/headless_backend.h"
#include "platform/backend/sdl/sdl_backend.h"
#include "platform/window/desktop.h"

std::optional<TSize> Parse_Screen_Size(const char* text) {
  if (!text || !*text) return std::nullopt;
  int w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(text, "%dx%d%c", &w, &h, &tail) != 2) return std::nullopt;
  if (w < 160 || h < 120 || w > 16384 || h > 16384) return std::nullopt;
  return TSize(w, h);
}

std::unique_ptr<TBackend> Choose_Backend() {
  std::optional<TSize> size = Parse_Screen_Size(std::getenv("QUENDAR_SCREEN"));
  const char* headless = std::getenv("QUENDAR_HEADLESS");
  if (!(headless && *headless && std::strcmp(headless, "0") != 0)) {
    if (auto sdl = TSDL_Backend::Open(size)) return sdl;
  }
  return std::make_unique<THeadless_Backend>(size.value_or(TSize(1024, 768)));
}

void Start_Window_System() { TDesktop::Start(Choose_Backend()); }

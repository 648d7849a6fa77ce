// One laid-out help page and the pieces it is made of. Every position is in
// the help window's client coordinates, which are screen coordinates since
// the window covers the screen from its corner. A page is laid out once,
// when its section is read; painting and hit testing only read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/geometry.h"

class TBitmap;

// Text alignments of a run: body text and labels, and the centred title.
inline constexpr int32_t Help_Align_Left_Top = 0;
inline constexpr int32_t Help_Align_Centre_Top = 6;

// Fonts of a run.
enum Help_Font : int32_t { Help_Title_Font = 0, Help_Text_Font = 1, Help_Link_Font = 2 };

// One run of text on one line: characters of the loaded script, never a copy.
struct Help_String {
  const char* text = nullptr;
  int32_t length = 0;
  int32_t x = 0;  // left end, or centre of a centred run
  int32_t y = 0;  // top
  int32_t alignment = Help_Align_Left_Top;
  int32_t font = Help_Text_Font;
};

// A picture on the page (the "Show" picture, owned by the picture store).
struct Help_Bitmap {
  const TBitmap* picture = nullptr;
  TRect rect;
};

// An arrow from a run of text, through an elbow at the panel's edge, to the
// spot it explains. Bit (level - 1) of the mask hides it at that level.
struct Help_Arrow {
  TPoint start;
  TPoint tip;
  TPoint elbow;
  uint32_t excluded_levels = 0;
};

// A clickable area: a page to go to (-1 none), a demonstration to start (-1
// none) or a web address or file to open. A link with none of them closes
// the help.
struct Help_Link {
  TRect rect;
  int32_t page = -1;
  int32_t demonstration = -1;
  std::optional<std::string> target;
};

struct Help_Page {
  int32_t number = 0;  // 0, 1, ... main pages; -2, -3, ... side pages
  TRect owner_area;
  bool round = false;
  std::vector<Help_String> strings;
  std::vector<Help_Bitmap> bitmaps;
  std::vector<Help_Arrow> arrows;
  std::vector<Help_Link> links;
};

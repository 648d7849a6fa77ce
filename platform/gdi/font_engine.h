// The text engine under TFont and the text calls of TDC: maps the face names
// the program asks for to installed fonts (fontconfig), renders glyphs
// monochrome (FreeType) and measures text. Strings are single-byte
// Windows-1252. Safe to use from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/gdi/geometry.h"

// What a logical font asks for. A positive height is a cell height (ascent +
// descent equals it); a negative height is an em height of -height pixels.
// A height of 0 asks for a default size (a 16-pixel cell). Heights beyond
// 2048 pixels are drawn at 2048. A weight of 600 or more is bold.
//
// Faces: "Arial" and "MS Sans Serif" are Liberation Sans, "Times New Roman"
// and "MS Serif" Liberation Serif, "Courier New" Liberation Mono, "Arial
// Rounded MT Bold" Liberation Sans Bold; another name is that installed
// family when there is one, otherwise DejaVu Sans. A style the family lacks
// is made by slanting or emboldening its regular face.
struct TFont_Spec {
  std::string face_name;  // "Arial", "Times New Roman", "MS Sans Serif", ...
  int height = 0;
  int weight = 400;       // 400 normal, 700 bold
  bool italic = false;
  bool underline = false;

  friend bool operator==(const TFont_Spec&, const TFont_Spec&) = default;
};

struct TText_Metrics {
  int height = 0;            // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internal_leading = 0;  // height minus the em size
  int external_leading = 0;
  int ave_char_width = 0;
  int max_char_width = 0;
  int weight = 400;
};

class TFont_Engine {
 public:
  static TFont_Engine& Instance();

  TText_Metrics Metrics(const TFont_Spec& font);
  // Advance width of the text and the cell height, as GetTextExtent answers:
  // the sum of each character's advance in whole pixels, without kerning.
  TSize Extent(const TFont_Spec& font, std::string_view text_1252);
  // Calls span(y, x0, x1) for every run of set pixels x0 <= x < x1 of the
  // rendered text, in coordinates relative to the top left of the text cell
  // (the baseline lies at y = ascent). Underline is included when asked for.
  // With a window (in the same coordinates) glyphs wholly outside it are
  // skipped and so are the rows outside it; spans may still reach past it.
  void Render(const TFont_Spec& font, std::string_view text_1252,
              const std::function<void(int y, int x0, int x1)>& span, const TRect* window = nullptr);

  // The file of the font that a face name resolves to (for tests and logs).
  std::string Resolved_File(const TFont_Spec& font);
  // How many glyphs Render has drawn so far, all texts together: a window
  // keeps a long text mostly outside it from costing a glyph per character
  // (for tests and logs).
  uint64_t Glyphs_Drawn() const;

 private:
  TFont_Engine();
  ~TFont_Engine();
  struct Impl;
  Impl* impl_;
};

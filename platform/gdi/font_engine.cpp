#include "platform/gdi/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/gdi/code_page_1252.h"

namespace {

// The size a height of 0 asks for, as a cell height.
constexpr int Default_Cell_Height = 16;
// Pixel sizes beyond this are drawn at this size: a mistaken height must not
// allocate glyph bitmaps of gigabytes.
constexpr int Max_Pixel_Size = 2048;
// Sized fonts kept at once; the least recently used one goes first.
constexpr size_t Max_Instances = 64;

// The Windows faces the program names, and the metric-compatible families
// installed in their place. A name not listed here is used as it stands if
// such a family is installed, otherwise the fallback family.
struct Face_Alias {
  const char* windows_name;  // lower case
  const char* family;
  bool always_bold;
};
constexpr Face_Alias Face_Aliases[] = {
    {"arial", "Liberation Sans", false},
    {"arial rounded mt bold", "Liberation Sans", true},
    {"times new roman", "Liberation Serif", false},
    {"courier new", "Liberation Mono", false},
    {"ms sans serif", "Liberation Sans", false},
    {"ms serif", "Liberation Serif", false},
};
constexpr const char* Fallback_Family = "DejaVu Sans";

std::string Lower(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

std::string Trimmed_Lower(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return Lower(text);
}

// a * b / c rounded half away from zero, in 64 bits.
long Scale(long a, long b, long c) {
  if (c == 0) return 0;
  long long p = static_cast<long long>(a) * b;
  long long half = c / 2;
  return static_cast<long>(p >= 0 ? (p + half) / c : -((-p + half) / c));
}

// One glyph as runs of set pixels per bitmap row, relative to the pen
// position; built once under the engine's lock and never changed after.
struct Glyph {
  struct Run {
    int16_t x0, x1;
  };
  int advance = 0;
  int top = 0;                         // cell row of the first bitmap row
  std::vector<uint32_t> row_start{0};  // rows + 1 offsets into runs
  std::vector<Run> runs;
  int ink_left = 0, ink_right = 0;  // the columns the runs cover, from the pen
  int Rows() const { return static_cast<int>(row_start.size()) - 1; }
};

// The installed font file chosen for a face name and style, and the styling
// that FreeType must add when the family lacks the style.
struct Face_Choice {
  std::string file;
  int index = 0;
  bool embolden = false;
  bool oblique = false;
};

// One face at one pixel size with its glyph cache.
struct Font_Instance {
  FT_Face face = nullptr;  // shared with other sizes, owned by the engine
  FT_Size size = nullptr;  // null once evicted: then no glyph may be added
  bool embolden = false;
  bool oblique = false;
  TText_Metrics metrics;
  int underline_top = 0;
  int underline_rows = 1;
  uint64_t last_use = 0;
  std::array<std::unique_ptr<const Glyph>, 256> glyphs;
};

}  // namespace

struct TFont_Engine::Impl {
  using Choice_Key = std::tuple<std::string, bool, bool>;        // face, bold, italic
  using Instance_Key = std::tuple<std::string, int, bool, bool>;  // face, height, bold, italic

  std::mutex mutex;
  bool started = false;
  FT_Library library = nullptr;
  FcConfig* config = nullptr;
  std::map<std::pair<std::string, int>, FT_Face> faces;
  std::map<Choice_Key, std::optional<Face_Choice>> choices;
  std::map<Instance_Key, std::shared_ptr<Font_Instance>> instances;
  uint64_t use_clock = 0;
  std::atomic<uint64_t> glyphs_drawn{0};

  ~Impl() {
    instances.clear();
    faces.clear();
    if (library) FT_Done_FreeType(library);  // frees every face and size
    if (config) FcConfigDestroy(config);
  }

  // FreeType and fontconfig are started on first use, not at program start.
  void Start() {
    if (started) return;
    started = true;
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
    config = FcInitLoadConfigAndFonts();
  }

  static bool Bold(const TFont_Spec& font_spec) { return font_spec.weight >= 600; }

  // The best installed font of the family with its style, and the family
  // names of that font.
  std::optional<Face_Choice> Match(const std::string& family, bool bold, bool italic,
                                   std::vector<std::string>* families) {
    if (!config) return std::nullopt;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return std::nullopt;
    std::optional<Face_Choice> choice;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
      choice.emplace();
      choice->file = reinterpret_cast<const char*>(file);
      int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
      if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) choice->index = index;
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(match, FC_SLANT, 0, &slant);
      choice->embolden = bold && weight < FC_WEIGHT_DEMIBOLD;
      choice->oblique = italic && slant == FC_SLANT_ROMAN;
      FcChar8* name = nullptr;
      for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        families->push_back(Lower(reinterpret_cast<const char*>(name)));
    }
    FcPatternDestroy(match);
    return choice;
  }

  std::optional<Face_Choice> Choose(const std::string& face, bool bold, bool italic) {
    Choice_Key key{face, bold, italic};
    auto found = choices.find(key);
    if (found != choices.end()) return found->second;

    std::string family = face;
    for (const Face_Alias& alias : Face_Aliases)
      if (face == alias.windows_name) {
        family = alias.family;
        bold = bold || alias.always_bold;
      }
    // fontconfig always answers with something; only a font of the family
    // asked for (or of the fallback family) is taken.
    std::optional<Face_Choice> choice;
    std::vector<std::string> families;
    if (!family.empty()) {
      choice = Match(family, bold, italic, &families);
      if (choice && std::find(families.begin(), families.end(), Lower(family)) == families.end())
        choice.reset();
    }
    if (!choice) {
      families.clear();
      choice = Match(Fallback_Family, bold, italic, &families);
    }
    choices.emplace(key, choice);
    return choice;
  }

  FT_Face Open_Face(const Face_Choice& choice) {
    if (!library) return nullptr;
    auto key = std::make_pair(choice.file, choice.index);
    auto found = faces.find(key);
    if (found != faces.end()) return found->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library, choice.file.c_str(), choice.index, &face) != 0) face = nullptr;
    if (face && !FT_IS_SCALABLE(face)) {
      FT_Done_Face(face);
      face = nullptr;
    }
    if (face) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    faces.emplace(key, face);
    return face;
  }

  // Sizes the instance so that a positive height is the cell height and a
  // negative one the em height, and fills in the Windows-style metrics:
  // ascent and descent from the OS/2 "win" values, which cover every glyph.
  void Size_Instance(Font_Instance& instance, int height) {
    FT_Face face = instance.face;
    long cell = height == 0 ? Default_Cell_Height : std::min<long>(std::abs(long{height}), Max_Pixel_Size);
    bool em_height = height < 0;
    long units = face ? face->units_per_EM : 0;
    const TT_OS2* os2 = face ? static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)) : nullptr;
    long win_ascent = 0, win_descent = 0;
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      win_ascent = os2->usWinAscent;
      win_descent = os2->usWinDescent;
    } else if (face) {
      win_ascent = face->ascender;
      win_descent = -face->descender;
    }
    if (units <= 0) units = 2048;
    if (win_ascent < 0 || win_descent < 0 || win_ascent + win_descent <= 0) {
      win_ascent = units * 4 / 5;
      win_descent = units - win_ascent;
    }
    long total = win_ascent + win_descent;

    TText_Metrics& m = instance.metrics;
    long pixels;
    if (em_height) {
      pixels = std::max(1L, cell);
      m.ascent = static_cast<int>(Scale(win_ascent, pixels, units));
      m.descent = static_cast<int>(Scale(win_descent, pixels, units));
      m.height = m.ascent + m.descent;
    } else {
      pixels = std::clamp(Scale(cell, units, total), 1L, long{Max_Pixel_Size});
      m.height = static_cast<int>(cell);
      m.ascent = static_cast<int>(std::clamp(Scale(win_ascent, pixels, units), 0L, cell));
      m.descent = m.height - m.ascent;
    }
    m.internal_leading = std::max(0, m.height - static_cast<int>(pixels));
    m.external_leading = 0;
    m.ave_char_width = std::max(1, static_cast<int>(pixels / 2));
    m.max_char_width = m.ave_char_width;
    instance.underline_rows = 1;
    instance.underline_top = std::min(m.ascent + 1, std::max(0, m.height - 1));
    if (!face) return;

    if (FT_New_Size(face, &instance.size) != 0) {
      instance.size = nullptr;
      return;
    }
    FT_Activate_Size(instance.size);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels));

    const TT_HoriHeader* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (hhea) {
      long line_gap = hhea->Line_Gap - (total - (hhea->Ascender - hhea->Descender));
      m.external_leading = static_cast<int>(std::max(0L, Scale(line_gap, pixels, units)));
    }
    if (os2 && os2->xAvgCharWidth > 0)
      m.ave_char_width = std::max(1, static_cast<int>(Scale(os2->xAvgCharWidth, pixels, units)));
    m.max_char_width = std::max(m.ave_char_width, static_cast<int>(Scale(face->max_advance_width, pixels, units)));

    instance.underline_rows = std::max(1, static_cast<int>(Scale(face->underline_thickness, pixels, units)));
    int below_baseline = static_cast<int>(Scale(-face->underline_position, pixels, units));
    int top = m.ascent + below_baseline - instance.underline_rows / 2;
    instance.underline_top = std::clamp(top, 0, std::max(0, m.height - instance.underline_rows));
  }

  std::shared_ptr<Font_Instance> Instance_For(const TFont_Spec& font_spec) {
    Start();
    std::string face_name = Trimmed_Lower(font_spec.face_name);
    bool bold = Bold(font_spec);
    Instance_Key key{face_name, font_spec.height, bold, font_spec.italic};
    auto found = instances.find(key);
    if (found != instances.end()) {
      found->second->last_use = ++use_clock;
      return found->second;
    }
    if (instances.size() >= Max_Instances) Evict_Oldest();

    auto instance = std::make_shared<Font_Instance>();
    if (std::optional<Face_Choice> choice = Choose(face_name, bold, font_spec.italic)) {
      instance->face = Open_Face(*choice);
      instance->embolden = choice->embolden;
      instance->oblique = choice->oblique;
      if (choice->embolden || bold) instance->metrics.weight = 700;
    }
    Size_Instance(*instance, font_spec.height);
    instance->last_use = ++use_clock;
    instances.emplace(key, instance);
    return instance;
  }

  // Glyph data stays with whoever still holds the instance; only its
  // FreeType size goes.
  void Evict_Oldest() {
    auto oldest = std::min_element(instances.begin(), instances.end(), [](const auto& a, const auto& b) {
      return a.second->last_use < b.second->last_use;
    });
    if (oldest->second->size) FT_Done_Size(oldest->second->size);
    oldest->second->size = nullptr;
    instances.erase(oldest);
  }

  std::unique_ptr<const Glyph> Build_Glyph(Font_Instance& instance, uint8_t byte) {
    auto glyph = std::make_unique<Glyph>();
    if (!instance.size) return glyph;
    FT_Face face = instance.face;
    FT_Activate_Size(instance.size);
    FT_UInt index = FT_Get_Char_Index(face, Unicode_From_1252(byte));
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) return glyph;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (instance.oblique) FT_GlyphSlot_Oblique(slot);
      if (instance.embolden) FT_GlyphSlot_Embolden(slot);
    }
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || !bitmap.buffer) return glyph;

    glyph->top = instance.metrics.ascent - slot->bitmap_top;
    const int rows = static_cast<int>(bitmap.rows), width = static_cast<int>(bitmap.width);
    const int pitch = bitmap.pitch;
    const int left = slot->bitmap_left;
    glyph->row_start.reserve(rows + 1);
    for (int r = 0; r < rows; ++r) {
      const uint8_t* row = bitmap.buffer + static_cast<long>(pitch >= 0 ? r : rows - 1 - r) * std::abs(pitch);
      int x = 0;
      while (x < width) {
        while (x < width && !(row[x >> 3] & (0x80 >> (x & 7)))) ++x;
        if (x == width) break;
        int start = x;
        while (x < width && (row[x >> 3] & (0x80 >> (x & 7)))) ++x;
        glyph->runs.push_back({static_cast<int16_t>(left + start), static_cast<int16_t>(left + x)});
        if (glyph->runs.size() == 1) glyph->ink_left = left + start, glyph->ink_right = left + x;
        glyph->ink_left = std::min(glyph->ink_left, left + start);
        glyph->ink_right = std::max(glyph->ink_right, left + x);
      }
      glyph->row_start.push_back(static_cast<uint32_t>(glyph->runs.size()));
    }
    return glyph;
  }

  // The instance of the font with a glyph for every byte of the text.
  std::shared_ptr<const Font_Instance> Prepare(const TFont_Spec& font_spec, std::string_view text) {
    std::lock_guard lock(mutex);
    std::shared_ptr<Font_Instance> instance = Instance_For(font_spec);
    for (char c : text) {
      auto byte = static_cast<uint8_t>(c);
      if (!instance->glyphs[byte]) instance->glyphs[byte] = Build_Glyph(*instance, byte);
    }
    return instance;
  }
};

// The engine lives as long as the process, and so does the font
// configuration it holds; fontconfig keeps some of its blocks only through
// offsets in its caches, which the leak checker cannot follow.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

TFont_Engine& TFont_Engine::Instance() {
  // Never destroyed: a worker may still be drawing text while the program
  // exits, after static objects are gone.
  static TFont_Engine* engine = new TFont_Engine;
  return *engine;
}

TFont_Engine::TFont_Engine() : impl_(new Impl) {}

TFont_Engine::~TFont_Engine() { delete impl_; }

TText_Metrics TFont_Engine::Metrics(const TFont_Spec& font) {
  std::shared_ptr<const Font_Instance> instance = impl_->Prepare(font, "");
  TText_Metrics metrics = instance->metrics;
  if (metrics.weight != 700) metrics.weight = font.weight > 0 ? font.weight : 400;
  return metrics;
}

TSize TFont_Engine::Extent(const TFont_Spec& font, std::string_view text_1252) {
  std::shared_ptr<const Font_Instance> instance = impl_->Prepare(font, text_1252);
  int width = 0;
  for (char c : text_1252) width += instance->glyphs[static_cast<uint8_t>(c)]->advance;
  return {width, instance->metrics.height};
}

void TFont_Engine::Render(const TFont_Spec& font, std::string_view text_1252,
                          const std::function<void(int y, int x0, int x1)>& span, const TRect* window) {
  std::shared_ptr<const Font_Instance> instance = impl_->Prepare(font, text_1252);
  // The glyphs asked for are complete and immutable now: draw without the lock.
  // Only glyphs with ink inside the window are looked at, so a long text
  // mostly outside it costs no more than its advances.
  std::vector<const Glyph*> glyphs;
  std::vector<int> pen;
  int x = 0;
  for (char c : text_1252) {
    const Glyph* glyph = instance->glyphs[static_cast<uint8_t>(c)].get();
    const bool inside = glyph->runs.size() > 0 &&
                        (!window || (x + glyph->ink_left < window->right && x + glyph->ink_right > window->left));
    if (inside) {
      glyphs.push_back(glyph);
      pen.push_back(x);
    }
    x += glyph->advance;
  }
  impl_->glyphs_drawn.fetch_add(glyphs.size(), std::memory_order_relaxed);
  const int width = x;
  const int height = instance->metrics.height;
  const bool underline = font.underline && width > 0;
  const int first_row = window ? std::max(0, window->top) : 0;
  const int end_row = window ? std::min(height, window->bottom) : height;

  std::vector<std::pair<int, int>> runs;
  for (int y = first_row; y < end_row; ++y) {
    runs.clear();
    for (size_t i = 0; i < glyphs.size(); ++i) {
      const Glyph& glyph = *glyphs[i];
      int r = y - glyph.top;
      if (r < 0 || r >= glyph.Rows()) continue;
      for (uint32_t k = glyph.row_start[r]; k < glyph.row_start[r + 1]; ++k)
        runs.emplace_back(pen[i] + glyph.runs[k].x0, pen[i] + glyph.runs[k].x1);
    }
    if (underline && y >= instance->underline_top && y < instance->underline_top + instance->underline_rows)
      runs.emplace_back(0, width);
    if (runs.empty()) continue;
    // Neighbouring glyphs may overlap (italics, negative bearings): each
    // pixel is reported once.
    if (!std::is_sorted(runs.begin(), runs.end())) std::sort(runs.begin(), runs.end());
    int x0 = runs[0].first, x1 = runs[0].second;
    for (size_t k = 1; k < runs.size(); ++k) {
      if (runs[k].first <= x1) {
        x1 = std::max(x1, runs[k].second);
      } else {
        span(y, x0, x1);
        x0 = runs[k].first;
        x1 = runs[k].second;
      }
    }
    span(y, x0, x1);
  }
}

uint64_t TFont_Engine::Glyphs_Drawn() const { return impl_->glyphs_drawn.load(std::memory_order_relaxed); }

std::string TFont_Engine::Resolved_File(const TFont_Spec& font) {
  std::lock_guard lock(impl_->mutex);
  impl_->Start();
  std::optional<Face_Choice> choice =
      impl_->Choose(Trimmed_Lower(font.face_name), Impl::Bold(font), font.italic);
  return choice ? choice->file : std::string();
}

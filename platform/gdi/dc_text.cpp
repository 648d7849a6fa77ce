// TDC: text through the text engine. Glyphs are monochrome spans in the text
// colour; an opaque background fills the text cell with the background
// colour first. Text ignores the mix mode.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dc_painter.h"

namespace {

// Removes the '&' marks of menu-style prefixes ("&&" stands for '&').
std::string Strip_Prefixes(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    else if (text[i] == '&') continue;
    out += text[i];
  }
  return out;
}

std::string_view Leading(std::string_view text, int count) {
  return count < 0 ? text : text.substr(0, std::min<size_t>(size_t(count), text.size()));
}

// The lines DrawText draws: one for DT_SINGLELINE (line breaks dropped),
// else one per '\n' (a '\r' before it dropped), and with DT_WORDBREAK a break
// between words wherever a line would pass width; a word wider than width
// stands on a line of its own.
template <class Measure>
std::vector<std::string> Break_Lines(const std::string& text, unsigned format, int width, Measure&& measure) {
  std::vector<std::string> lines;
  if (format & DT_SINGLELINE) {
    std::string line;
    for (char c : text)
      if (c != '\n' && c != '\r') line += c;
    return {line};
  }
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string paragraph = text.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    if (!(format & DT_WORDBREAK)) {
      lines.push_back(paragraph);
    } else {
      std::string line;
      for (size_t i = 0; i < paragraph.size();) {
        size_t word_end = paragraph.find(' ', i);
        if (word_end == std::string::npos) word_end = paragraph.size();
        const std::string word = paragraph.substr(i, word_end - i);
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && measure(candidate) > width) {
          lines.push_back(line);
          line = word;
        } else {
          line = candidate;
        }
        i = word_end + 1;
      }
      lines.push_back(line);
    }
    if (end == text.size()) return lines;
    start = end + 1;
  }
}

}  // namespace

TFont_Spec TDC::Device_Font() const {
  TFont_Spec font_spec = *state_.font;
  if (state_.map_mode == MM_ANISOTROPIC && font_spec.height != 0) {
    // Worked in 64 bits from 64-bit magnitudes: the extents and the height
    // may each be as far as INT_MIN, whose magnitude no int holds. The
    // engine draws nothing beyond 2048 pixels, so a larger height is kept
    // at a bound that still says "huge".
    const int64_t h = std::abs(int64_t(font_spec.height)) * std::abs(int64_t(state_.viewport_ext.cy));
    const int64_t e = std::abs(int64_t(state_.window_ext.cy));
    const int scaled = int(std::clamp<int64_t>((h + e / 2) / e, 1, int64_t(1) << 16));
    font_spec.height = font_spec.height < 0 ? -scaled : scaled;
  }
  return font_spec;
}

bool TDC::Draw_Text_Line(TPoint point, unsigned align, std::string_view text, const TRect* clip_rect,
                         const TRect* opaque_rect) {
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  TSurface& surface = scope.Surface();
  const TClip_Bands& clip = scope.Clip();
  const TDC_Painter painter(*this, surface);
  const uint8_t copy = Rop3_Table(PATCOPY);

  if (opaque_rect) {
    const TFill_Pattern back = painter.Solid(state_.bk_color, copy);
    TSpan_Filler(surface, clip, back).Fill_Rect(To_Surface_Box(*opaque_rect));
  }
  if (text.empty()) return true;

  TFont_Engine& engine = TFont_Engine::Instance();
  const TFont_Spec font = Device_Font();
  const TSize extent = engine.Extent(font, text);
  const TText_Metrics metrics = engine.Metrics(font);
  const TPoint p = To_Surface(point);
  int x = p.x, y = p.y;
  if ((align & TA_CENTER) == TA_CENTER) x -= extent.cx / 2;
  else if (align & TA_RIGHT) x -= extent.cx;
  if ((align & TA_BASELINE) == TA_BASELINE) y -= metrics.ascent;
  else if (align & TA_BOTTOM) y -= extent.cy;

  TRect limit(INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2);
  if (clip_rect) limit = To_Surface_Box(*clip_rect);
  if (state_.bk_mode == OPAQUE && !opaque_rect) {
    const TFill_Pattern back = painter.Solid(state_.bk_color, copy);
    TSpan_Filler(surface, clip, back).Fill_Rect(TRect(x, y, x + extent.cx, y + extent.cy).Intersection(limit));
  }
  const TFill_Pattern ink = painter.Solid(state_.text_color, copy);
  const TSpan_Filler filler(surface, clip, ink);
  // What can show, in the text cell's coordinates.
  TRect visible = clip.Bounds().Intersection(limit);
  visible = visible.Offset_By(-x, -y);
  engine.Render(
      font, text,
      [&](int gy, int x0, int x1) {
        const int yy = y + gy;
        if (yy < limit.top || yy >= limit.bottom) return;
        const int a = std::max(x + x0, limit.left), b = std::min(x + x1, limit.right);
        if (a < b) filler.Fill(yy, a, b);
      },
      &visible);
  return true;
}

bool TDC::TextOut(TPoint point, std::string_view text, int count) {
  text = Leading(text, count);
  if (state_.text_align & TA_UPDATECP) {
    const TPoint at = state_.position;
    const TSize extent = GetTextExtent(text);
    const unsigned horizontal = state_.text_align & TA_CENTER;
    // The current position moves past the text for left and right alignment.
    if (horizontal == TA_LEFT) state_.position.x += extent.cx;
    else if (horizontal == TA_RIGHT) state_.position.x -= extent.cx;
    return Draw_Text_Line(at, state_.text_align, text, nullptr, nullptr);
  }
  return Draw_Text_Line(point, state_.text_align, text, nullptr, nullptr);
}

bool TDC::ExtTextOut(TPoint point, unsigned options, const TRect* rect, std::string_view text, int count) {
  text = Leading(text, count);
  const TRect* clip = (options & ETO_CLIPPED) && rect ? rect : nullptr;
  const TRect* opaque = (options & ETO_OPAQUE) && rect ? rect : nullptr;
  return Draw_Text_Line(point, state_.text_align, text, clip, opaque);
}

TSize TDC::GetTextExtent(std::string_view text, int count) const {
  text = Leading(text, count);
  const TSize device = TFont_Engine::Instance().Extent(Device_Font(), text);
  if (state_.map_mode == MM_TEXT) return device;
  const TPoint zero = To_Logical(TPoint(0, 0)), far = To_Logical(TPoint(device.cx, device.cy));
  return {std::abs(far.x - zero.x), std::abs(far.y - zero.y)};
}

bool TDC::GetTextMetrics(TText_Metrics& metrics) const {
  metrics = TFont_Engine::Instance().Metrics(Device_Font());
  return true;
}

// Lines as Break_Lines makes them, each placed by DT_LEFT, DT_CENTER or
// DT_RIGHT; DT_SINGLELINE alone honours DT_VCENTER and DT_BOTTOM.
int TDC::DrawText(std::string_view text_in, int count, TRect& rect_in, unsigned format) {
  // Layout works on a copy kept well inside the int range.
  static constexpr int Limit = 1 << 28;
  auto clamp = [](int v) { return std::clamp(v, -Limit, Limit); };
  TRect rect(clamp(rect_in.left), clamp(rect_in.top), clamp(rect_in.right), clamp(rect_in.bottom));
  const std::string text = (format & DT_NOPREFIX) ? std::string(Leading(text_in, count))
                                                  : Strip_Prefixes(Leading(text_in, count));
  const int line_height = std::max(1, GetTextExtent("X").cy);
  const int width = rect.Width();
  const std::vector<std::string> lines =
      Break_Lines(text, format, width, [this](const std::string& line) { return GetTextExtent(line).cx; });

  const int total_height = int(std::min<int64_t>(int64_t(line_height) * int64_t(lines.size()), Limit));
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const auto& line : lines) widest = std::max(widest, GetTextExtent(line).cx);
    rect_in.right = rect.left + widest;
    rect_in.bottom = rect.top + total_height;
    return total_height;
  }
  int y = rect.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect.top + (rect.Height() - line_height) / 2;
    else if (format & DT_BOTTOM) y = rect.bottom - line_height;
  }
  const TRect* clip = (format & DT_NOCLIP) ? nullptr : &rect;
  for (const auto& line : lines) {
    const int w = GetTextExtent(line).cx;
    int x = rect.left;
    if (format & DT_CENTER) x = rect.left + (width - w) / 2;
    else if (format & DT_RIGHT) x = rect.right - w;
    Draw_Text_Line(TPoint(x, y), TA_LEFT | TA_TOP, line, clip, nullptr);
    y += line_height;
    if (y > Limit) break;
  }
  return total_height;
}

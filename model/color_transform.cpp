#include "model/color_transform.h"

#include "model/gui_colors.h"
#include "platform/gdi/dib.h"

Color_Transform Selected_Color_Cycle;

Color_Transform::Color_Transform(const Color_Transform& other) { *this = other; }

Color_Transform& Color_Transform::operator=(const Color_Transform& other) {
  count = other.count;
  for (int i = 0; i < count && i < Max_Colors; ++i) colors[i] = other.colors[i];
  return *this;
}

bool Color_Transform::operator==(const Color_Transform& other) const {
  if (count != other.count) return false;
  for (int i = 0; i < count && i < Max_Colors; ++i)
    if (colors[i] != other.colors[i]) return false;
  return true;
}

namespace {

TColor As_RGB(TColor c) {
  if (c.Is_Rgb() || !The_GUI_Colors) return c;
  return Palette_Color_To_RGB(c, *The_GUI_Colors->Palette);
}

// The first colour-table entry of that RGB, or 255 when the table lacks it.
uint8_t Table_Index(const TDib& picture, TColor c) {
  const int index = picture.FindColor(As_RGB(c));
  return index < 0 ? 255 : uint8_t(index);
}

}  // namespace

bool Color_Transform::Contains(TColor color) const {
  const TColor wanted = As_RGB(color);
  for (int i = 0; i < count && i < Max_Colors; ++i)
    if (As_RGB(colors[i]) == wanted) return true;
  return false;
}

bool Color_Transform::Has_Duplicates() const {
  for (int i = 0; i < count && i < Max_Colors; ++i)
    for (int j = i + 1; j < count && j < Max_Colors; ++j)
      if (colors[i] == colors[j]) return true;
  return false;
}

std::array<uint8_t, 256> Color_Transform::Make_Index_Map(int32_t step, const TDib& picture,
                                                         TColor background) const {
  std::array<uint8_t, 256> table;
  for (int i = 0; i < 256; ++i) table[i] = uint8_t(i);
  const int n = count < 0 ? 0 : count > Max_Colors ? Max_Colors : count;
  if (n == 0) return table;
  uint8_t idx[Max_Colors];
  for (int k = 0; k < n; ++k) idx[k] = Table_Index(picture, colors[k]);
  const uint8_t bg = Table_Index(picture, background);
  int j = step % n;
  if (j < 0) j += n;
  for (int k = 0; k < n; ++k, j = (j + 1) % n) {
    const uint8_t src = idx[k];
    if (src == bg || table[src] != src) continue;
    if (idx[j] != bg) {
      table[src] = idx[j];
      continue;
    }
    // The step lands on the background: take the next cycle colour that is
    // not the background, if any.
    for (int m = (j + 1) % n; m != j; m = (m + 1) % n) {
      if (idx[m] != bg) {
        table[src] = idx[m];
        break;
      }
    }
  }
  return table;
}

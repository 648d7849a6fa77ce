#include "platform/gdi/device_caps.h"

#include <atomic>

namespace {

std::atomic<bool> palette_device{false};
std::atomic<int> screen_bits{0};
std::atomic<int> display_bits{0};

}  // namespace

void TDevice_Caps::Set_Palette_Device_For_Tests(bool value) { palette_device = value; }

bool TDevice_Caps::Is_Palette_Device() { return palette_device; }

void TDevice_Caps::Set_Screen_Bits_For_Tests(int bits) { screen_bits = bits; }
void TDevice_Caps::Set_Display_Bits(int bits) { display_bits = bits; }

int TDevice_Caps::Get(int index, int width, int height, int bits_per_pixel, bool screen) {
  const bool palette = screen ? bool(palette_device) : bits_per_pixel <= 8;
  const int forced = !screen ? 0 : screen_bits ? int(screen_bits) : int(display_bits);
  const int bits = forced ? forced : screen && palette_device ? 8 : bits_per_pixel;
  constexpr int common = RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_FLOODFILL | RC_STRETCHDIB;
  switch (index) {
    case HORZRES: return width;
    case VERTRES: return height;
    case BITSPIXEL: return bits;
    case PLANES: return 1;
    case NUMCOLORS: return bits > 8 ? -1 : (screen ? 20 : 1 << bits);
    case RASTERCAPS: return common | ((screen && palette) ? RC_PALETTE : 0);
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE: return (screen && palette) ? 256 : 0;
    case NUMRESERVED: return (screen && palette) ? 20 : 0;
    case COLORRES: return 24;
    default: return 0;
  }
}

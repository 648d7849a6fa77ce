// What a device context reports about its device (GetDeviceCaps). The
// screen is true-colour: 32 bits per pixel and no palette capability, so the
// program takes its true-colour paths. Tests of the palette-device paths
// switch the report to an 8-bit palette device; the switch is process-wide,
// like the display it stands for.
#pragma once

constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int NUMRESERVED = 106;
constexpr int COLORRES = 108;

constexpr int RC_BITBLT = 0x0001;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_DI_BITMAP = 0x0080;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_FLOODFILL = 0x1000;
constexpr int RC_STRETCHDIB = 0x2000;

class TDevice_Caps {
 public:
  // The fewest bits per pixel the program's true-colour drawing shows on.
  static constexpr int True_Color_Bits = 15;

  // Reports a palette device (8 bits, 20 reserved colours, a 256-entry
  // palette) instead of the true-colour screen. For tests only.
  static void Set_Palette_Device_For_Tests(bool palette_device);
  static bool Is_Palette_Device();
  // Reports the display with this many bits per pixel (a 4-bit screen the
  // program refuses to run on); 0 goes back to the real report. For tests.
  static void Set_Screen_Bits_For_Tests(int bits);
  // The real display's depth as the backend found it (0: not known, taken
  // as true colour). The test switch above wins over it.
  static void Set_Display_Bits(int bits);

  // The value of a capability for a device width x height pixels of
  // bits_per_pixel; screen says whether it is the display (whose depth the
  // test switch governs) rather than a bitmap.
  static int Get(int index, int width, int height, int bits_per_pixel, bool screen);
};

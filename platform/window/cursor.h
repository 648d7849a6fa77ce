// Cursors: the standard arrow and wait cursors, cursors made from AND/XOR
// masks, and cursors read from resource data. The cursor is drawn over the
// screen when it is presented, never into it, so screen reads never see it.
// Mask rules per pixel: AND 0 XOR 0 black; AND 0 XOR 1 white; AND 1 XOR 0
// transparent; AND 1 XOR 1 inverts the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/geometry.h"

struct TCursor_Image {
  int width = 0;
  int height = 0;
  TPoint hotspot;
  // One bit per pixel, rows top first, each row (width + 7) / 8 bytes, the
  // first pixel in the most significant bit.
  std::vector<uint8_t> and_mask;
  std::vector<uint8_t> xor_mask;
  // A colour cursor: 0xAARRGGBB pixels (rows top first); empty for masks.
  std::vector<uint32_t> colour;
  // Tells images apart for backends that keep machine cursors made from
  // them (an address may be reused by a later cursor).
  uint64_t serial = 0;

  bool And_Bit(int x, int y) const;
  bool Xor_Bit(int x, int y) const;
  // Draws the cursor with its hotspot at `at` onto 0x00RRGGBB pixels.
  void Draw_Over(uint32_t* pixels, int width, int height, long stride_pixels, TPoint at) const;
};

class TCursor {
 public:
  explicit TCursor(TCursor_Image image);
  TCursor(const TCursor&) = delete;
  TCursor& operator=(const TCursor&) = delete;
  // A cursor that goes while in use is replaced by the arrow, and windows
  // that had it as their own forget it.
  ~TCursor();
  // CreateCursor: masks with rows of ((width + 15) / 16) * 2 bytes, top first.
  TCursor(TPoint hotspot, int width, int height, const void* and_bits, const void* xor_bits);
  // A cursor from a .cur resource (the first image); nullptr when the data
  // is not a cursor we can read.
  static std::unique_ptr<TCursor> From_Resource(const uint8_t* data, size_t size);

  static const TCursor& Arrow();
  static const TCursor& Wait();

  const TCursor_Image& Image() const { return image_; }

 private:
  TCursor_Image image_;
};

// CreateCursor and DestroyCursor: masks of 1 bit per pixel, rows of
// ((width + 15) / 16) * 2 bytes, top first.
TCursor* CreateCursor(void* module, int hot_x, int hot_y, int width, int height, const void* and_bits,
                      const void* xor_bits);
bool DestroyCursor(TCursor* cursor);

// The standard cursor ids of LoadCursor(nullptr, id).
enum : uintptr_t { IDC_ARROW = 32512, IDC_WAIT = 32514, IDC_SIZEWE = 32644 };
const TCursor* LoadCursor(std::nullptr_t, uintptr_t id);
// A cursor resource of the program (cached for the run); nullptr when missing.
class TModule;
const TCursor* LoadCursor(TModule* module, uintptr_t id);

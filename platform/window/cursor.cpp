#include "platform/window/cursor.h"

#include <cstring>

#include "platform/window/desktop.h"
#include "platform/window/icon.h"

#include <atomic>

namespace {

int Mask_Row_Bytes(int width) { return (width + 7) / 8; }

bool Bit(const std::vector<uint8_t>& mask, int width, int x, int y) {
  size_t i = size_t(y) * Mask_Row_Bytes(width) + size_t(x / 8);
  return i < mask.size() && (mask[i] >> (7 - x % 8)) & 1;
}

// Cursor pictures drawn as text: '.' transparent, 'X' black, 'o' white.
TCursor_Image From_Picture(const char* const* rows, int height, TPoint hotspot) {
  TCursor_Image image;
  image.width = int(std::strlen(rows[0]));
  image.height = height;
  image.hotspot = hotspot;
  int rb = Mask_Row_Bytes(image.width);
  image.and_mask.assign(size_t(rb) * height, 0xFF);
  image.xor_mask.assign(size_t(rb) * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      char c = rows[y][x];
      if (c == '.') continue;
      uint8_t bit = uint8_t(0x80 >> (x % 8));
      image.and_mask[size_t(y) * rb + x / 8] &= uint8_t(~bit);
      if (c == 'o') image.xor_mask[size_t(y) * rb + x / 8] |= bit;
    }
  }
  return image;
}

const char* const Arrow_Rows[] = {
    "X...........",
    "XX..........",
    "XoX.........",
    "XooX........",
    "XoooX.......",
    "XooooX......",
    "XoooooX.....",
    "XooooooX....",
    "XoooooooX...",
    "XooooooooX..",
    "XoooooooooX.",
    "XooooooXXXXX",
    "XoooXooX....",
    "XooXXooX....",
    "XoX..XooX...",
    "XX...XooX...",
    "X.....XooX..",
    "......XooX..",
    ".......XX...",
};

const char* const Wait_Rows[] = {
    "XXXXXXXXXXX",
    "XoooooooooX",
    ".XoooooooX.",
    ".XoXoXoXoX.",
    "..XoXoXoX..",
    "...XoXoX...",
    "....XoX....",
    "....XoX....",
    "...XoooX...",
    "..XoooooX..",
    ".XoooXoooX.",
    ".XooXoXooX.",
    "XoXoXoXoXoX",
    "XXXXXXXXXXX",
};

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) { return uint32_t(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24)); }

}  // namespace

bool TCursor_Image::And_Bit(int x, int y) const { return Bit(and_mask, width, x, y); }
bool TCursor_Image::Xor_Bit(int x, int y) const { return Bit(xor_mask, width, x, y); }

void TCursor_Image::Draw_Over(uint32_t* pixels, int w, int h, long stride, TPoint at) const {
  for (int y = 0; y < height; ++y) {
    int sy = at.y - hotspot.y + y;
    if (sy < 0 || sy >= h) continue;
    uint32_t* row = pixels + long(sy) * stride;
    for (int x = 0; x < width; ++x) {
      int sx = at.x - hotspot.x + x;
      if (sx < 0 || sx >= w) continue;
      if (!colour.empty()) {
        uint32_t c = colour[size_t(y) * width + x];
        if (c >> 24) row[sx] = c & 0xFFFFFF;
        continue;
      }
      bool a = And_Bit(x, y), o = Xor_Bit(x, y);
      if (!a) row[sx] = o ? 0xFFFFFF : 0x000000;
      else if (o) row[sx] ^= 0xFFFFFF;
    }
  }
}

namespace {

std::atomic<uint64_t> next_serial{1};

}  // namespace

TCursor::TCursor(TCursor_Image image) : image_(std::move(image)) { image_.serial = next_serial++; }

TCursor::~TCursor() {
  if (TDesktop::Running()) TDesktop::Current().Forget_Cursor(this);
}

TCursor* CreateCursor(void*, int hot_x, int hot_y, int width, int height, const void* and_bits, const void* xor_bits) {
  if (width <= 0 || height <= 0 || width > 256 || height > 256) return nullptr;
  return new TCursor(TPoint(hot_x, hot_y), width, height, and_bits, xor_bits);
}

bool DestroyCursor(TCursor* cursor) {
  delete cursor;
  return cursor != nullptr;
}

TCursor::TCursor(TPoint hotspot, int width, int height, const void* and_bits, const void* xor_bits) {
  image_.serial = next_serial++;
  image_.width = width;
  image_.height = height;
  image_.hotspot = hotspot;
  int rb = Mask_Row_Bytes(width);
  int src_rb = ((width + 15) / 16) * 2;
  image_.and_mask.assign(size_t(rb) * height, 0xFF);
  image_.xor_mask.assign(size_t(rb) * height, 0);
  auto a = static_cast<const uint8_t*>(and_bits);
  auto o = static_cast<const uint8_t*>(xor_bits);
  for (int y = 0; y < height; ++y) {
    if (a) std::memcpy(&image_.and_mask[size_t(y) * rb], a + size_t(y) * src_rb, rb);
    if (o) std::memcpy(&image_.xor_mask[size_t(y) * rb], o + size_t(y) * src_rb, rb);
  }
}

// A .cur file: a 6-byte header (0, type 2, count), 16-byte directory entries
// (width, height, colours, 0, hotspot x, hotspot y, size, offset), and per
// image a bitmap header, a colour table, the XOR bits and the AND bits (both
// bottom-up, rows rounded to 32 bits), the height counting both masks.
std::unique_ptr<TCursor> TCursor::From_Resource(const uint8_t* data, size_t size) {
  if (!data || size < 6 + 16 || Read16(data) != 0 || Read16(data + 2) != 2 || Read16(data + 4) < 1)
    return nullptr;
  const uint8_t* entry = data + 6;
  TPoint hotspot{Read16(entry + 4), Read16(entry + 6)};
  uint32_t bytes = Read32(entry + 8), offset = Read32(entry + 12);
  if (offset > size || bytes > size - offset || bytes < 40) return nullptr;
  const uint8_t* bmp = data + offset;
  uint32_t header = Read32(bmp);
  int32_t width = int32_t(Read32(bmp + 4));
  int32_t height2 = int32_t(Read32(bmp + 8));
  uint16_t bits = Read16(bmp + 14);
  if (header < 40 || header > bytes || bits != 1 || width <= 0 || width > 256 || height2 <= 0 ||
      height2 > 512 || height2 % 2)
    return nullptr;
  int height = height2 / 2;
  size_t stride = size_t((width + 31) / 32) * 4;
  size_t table = 2 * 4;
  size_t need = header + table + 2 * stride * height;
  if (need > bytes) return nullptr;
  const uint8_t* xor_bits = bmp + header + table;
  const uint8_t* and_bits = xor_bits + stride * height;
  TCursor_Image image;
  image.width = width;
  image.height = height;
  image.hotspot = hotspot;
  int rb = Mask_Row_Bytes(width);
  image.and_mask.resize(size_t(rb) * height);
  image.xor_mask.resize(size_t(rb) * height);
  for (int y = 0; y < height; ++y) {
    size_t src = size_t(height - 1 - y) * stride;
    std::memcpy(&image.and_mask[size_t(y) * rb], and_bits + src, rb);
    std::memcpy(&image.xor_mask[size_t(y) * rb], xor_bits + src, rb);
  }
  return std::make_unique<TCursor>(std::move(image));
}

const TCursor& TCursor::Arrow() {
  static const TCursor arrow(From_Picture(Arrow_Rows, int(std::size(Arrow_Rows)), {0, 0}));
  return arrow;
}

const TCursor& TCursor::Wait() {
  static const TCursor wait(From_Picture(Wait_Rows, int(std::size(Wait_Rows)), {5, 7}));
  return wait;
}

const TCursor* LoadCursor(std::nullptr_t, uintptr_t id) {
  switch (id) {
    case IDC_ARROW:
      return &TCursor::Arrow();
    case IDC_WAIT:
      return &TCursor::Wait();
    default:
      return &TCursor::Arrow();
  }
}

const TCursor* LoadCursor(TModule* module, uintptr_t id) {
  return (module ? module : TModule::Program())->LoadCursor(uint32_t(id));
}

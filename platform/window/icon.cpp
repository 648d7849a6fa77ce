#include "platform/window/icon.h"

#include <map>
#include <mutex>

#include "platform/system/resource.h"
#include "platform/window/cursor.h"

namespace {

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24)); }

// One image of the file: a bitmap header, a colour table, the colour bits
// and the AND mask, both bottom-up, the height counting both.
std::unique_ptr<TIcon> Decode(const uint8_t* bmp, size_t bytes) {
  if (bytes < 40) return nullptr;
  uint32_t header = U32(bmp);
  int32_t w = int32_t(U32(bmp + 4)), h2 = int32_t(U32(bmp + 8));
  uint16_t bits = U16(bmp + 14);
  uint32_t used = U32(bmp + 32);
  if (header < 40 || header > bytes || w <= 0 || w > 256 || h2 <= 0 || h2 > 512 || h2 % 2) return nullptr;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return nullptr;
  int h = h2 / 2;
  size_t colours = bits <= 8 ? (used && used <= (1u << bits) ? used : (1u << bits)) : 0;
  size_t stride = (size_t(w) * bits + 31) / 32 * 4;
  size_t mask_stride = (size_t(w) + 31) / 32 * 4;
  size_t need = header + colours * 4 + stride * h + mask_stride * h;
  if (need > bytes) return nullptr;
  const uint8_t* table = bmp + header;
  const uint8_t* pixels = table + colours * 4;
  const uint8_t* mask = pixels + stride * h;
  std::vector<uint32_t> argb(size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = pixels + stride * size_t(h - 1 - y);
    const uint8_t* mrow = mask + mask_stride * size_t(h - 1 - y);
    for (int x = 0; x < w; ++x) {
      uint32_t c = 0, alpha = 0xFF;
      if (bits <= 8) {
        unsigned index = bits == 8 ? row[x] : bits == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF : (row[x / 8] >> (7 - x % 8)) & 1;
        if (index < colours) c = U32(table + index * 4) & 0xFFFFFF;
      } else if (bits == 24) {
        const uint8_t* p = row + x * 3;
        c = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
      } else {
        uint32_t v = U32(row + x * 4);
        c = v & 0xFFFFFF;
        alpha = v >> 24;
      }
      bool transparent = (mrow[x / 8] >> (7 - x % 8)) & 1;
      if (bits != 32 || alpha == 0) alpha = transparent ? 0 : 0xFF;
      argb[size_t(y) * w + x] = (alpha << 24) | c;
    }
  }
  return std::make_unique<TIcon>(TSize(w, h), std::move(argb));
}

}  // namespace

std::unique_ptr<TIcon> TIcon::From_Resource(const uint8_t* data, size_t size) {
  if (!data || size < 6 || U16(data) != 0 || U16(data + 2) != 1) return nullptr;
  size_t count = U16(data + 4);
  if (count == 0 || 6 + 16 * count > size) return nullptr;
  // The image closest to 32 pixels wide.
  size_t best = 0;
  int best_d = 1 << 30;
  for (size_t i = 0; i < count; ++i) {
    int w = data[6 + 16 * i] ? data[6 + 16 * i] : 256;
    int d = std::abs(w - 32);
    if (d < best_d) best = i, best_d = d;
  }
  const uint8_t* entry = data + 6 + 16 * best;
  uint32_t bytes = U32(entry + 8), offset = U32(entry + 12);
  if (offset > size || bytes > size - offset) return nullptr;
  return Decode(data + offset, bytes);
}

TModule* TModule::Program() {
  static TModule program;
  return &program;
}

namespace {

std::mutex cache_lock;
std::map<uint32_t, std::unique_ptr<TCursor>> cursors;
std::map<uint32_t, std::unique_ptr<TIcon>> icons;

}  // namespace

const TCursor* TModule::LoadCursor(uint32_t id) {
  std::lock_guard guard(cache_lock);
  auto it = cursors.find(id);
  if (it != cursors.end()) return it->second.get();
  TResource r = Find_Resource(RT_CURSOR, id);
  auto made = r ? TCursor::From_Resource(r.data, r.size) : nullptr;
  return (cursors[id] = std::move(made)).get();
}

const TIcon* TModule::LoadIcon(uint32_t id) {
  std::lock_guard guard(cache_lock);
  auto it = icons.find(id);
  if (it != icons.end()) return it->second.get();
  TResource r = Find_Resource(RT_ICON, id);
  auto made = r ? TIcon::From_Resource(r.data, r.size) : nullptr;
  return (icons[id] = std::move(made)).get();
}

// TIcon: a picture for the program's window (the desktop shows it in its
// task bar), read from an icon resource: the .ico layout, the image nearest
// to 32 pixels, 1, 4, 8, 24 or 32 bits per pixel with its transparency mask.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/geometry.h"

class TModule;

class TIcon {
 public:
  TIcon(TSize size, std::vector<uint32_t> argb) : size_(size), argb_(std::move(argb)) {}
  // Nothing when the data is not an icon we can read (every length is checked).
  static std::unique_ptr<TIcon> From_Resource(const uint8_t* data, size_t size);
  TSize Size() const { return size_; }
  // 0xAARRGGBB, rows top first; alpha 0 is transparent.
  const std::vector<uint32_t>& Argb() const { return argb_; }

 private:
  TSize size_;
  std::vector<uint32_t> argb_;
};

// The program's resources, as the framework's module object names them.
class TModule {
 public:
  static TModule* Program();
  // Cursors and icons made from resources live for the whole run; nullptr
  // when the resource is missing or unreadable.
  const class TCursor* LoadCursor(uint32_t id);
  const TIcon* LoadIcon(uint32_t id);
};

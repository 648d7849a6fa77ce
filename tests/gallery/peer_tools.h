// What the tests that talk to real peers (a PDF reader, a print server, the
// X11 clipboard) share: a private temporary folder, running a tool with a
// time limit, and reading the PNGs the tools leave.
#pragma once

#include <png.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/shape_drawing.h"

struct Temp_Folder {
  Temp_Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quendar-peer-XXXXXX").string();
    path = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~Temp_Folder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

// Runs a shell command line under a time limit of seconds; its exit code
// (124 on time-out, -1 when it could not run).
inline int Run_Tool(const std::string& command, int seconds = 30) {
  const int status = std::system(("timeout " + std::to_string(seconds) + " " + command).c_str());
  return status == -1 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline bool Tool_Exists(const std::string& name) { return Run_Tool("sh -c 'command -v " + name + " >/dev/null'", 5) == 0; }

struct Rgb_Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> xrgb;  // top row first
  uint32_t At(int x, int y) const { return xrgb[size_t(y) * size_t(width) + size_t(x)]; }
};

inline Rgb_Image Decode_Png(const std::vector<uint8_t>& bytes) {
  Rgb_Image image;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) return image;
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr)) return image;
  image.width = int(png.width);
  image.height = int(png.height);
  image.xrgb.resize(size_t(image.width) * size_t(image.height));
  for (size_t i = 0; i < image.xrgb.size(); ++i)
    image.xrgb[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
  return image;
}

inline std::vector<uint8_t> Read_File(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline Rgb_Image Read_Png(const std::string& path) { return Decode_Png(Read_File(path)); }

// The drawing's pixels as the colours they show.
inline Rgb_Image Colours_Of(const Shape_Drawing& drawing) {
  Rgb_Image image;
  image.width = drawing.Width();
  image.height = drawing.Height();
  const TSurface& surface = *drawing.Bitmap->Surface();
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) image.xrgb.push_back(surface.Pixel_Xrgb(x, y));
  return image;
}

// The box of the pixels of image that are not white.
inline TRect Ink_Box(const Rgb_Image& image) {
  TRect box(image.width, image.height, 0, 0);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.At(x, y) != 0xFFFFFF)
        box = TRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1));
  return box.left < box.right ? box : TRect();
}

// How many pixels of b differ from the middle of their blocks in a, where b
// was printed enlarged onto box; every pixel when box is no whole multiple
// of b.
inline long Printed_Differences(const Rgb_Image& a, const TRect& box, const Rgb_Image& b) {
  if (b.width == 0 || box.Width() % b.width || box.Height() % b.height) return long(b.width) * b.height + 1;
  const int kx = box.Width() / b.width, ky = box.Height() / b.height;
  long wrong = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x)
      if (a.At(box.left + x * kx + kx / 2, box.top + y * ky + ky / 2) != b.At(x, y)) ++wrong;
  return wrong;
}

// How many pixels of a differ from b scaled by factor and placed at (left,
// top) of a; every pixel when the sizes do not fit.
inline long Differences(const Rgb_Image& a, const Rgb_Image& b, int factor = 1, int left = 0, int top = 0) {
  if (left + b.width * factor > a.width || top + b.height * factor > a.height || b.width == 0)
    return long(b.width) * b.height * factor * factor + 1;
  long wrong = 0;
  for (int y = 0; y < b.height * factor; ++y)
    for (int x = 0; x < b.width * factor; ++x)
      if (a.At(left + x, top + y) != b.At(x / factor, y / factor)) ++wrong;
  return wrong;
}

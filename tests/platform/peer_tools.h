// What the tests that talk to real peers (a PDF reader, a print server, the
// X11 clipboard) share: a private temporary folder, running a tool with a
// time limit, running a test again on a virtual X server of its own, and
// reading the PNGs the tools leave.
#pragma once

#include <gtest/gtest.h>
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

#include "tests/platform/own_x_server.h"

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

// The test binary, for running one of its tests again as a child.
inline std::string Self_Path() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

// Runs the current test again on an X server of its own, with
// child_variable set; the child's exit code (-1 when no server started). The
// limit is above the two minutes the child's own waits give a busy machine,
// so that those say what they waited for.
inline int Run_Under_Xvfb(const std::string& child_variable, int seconds = 600) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string filter = std::string(test->test_suite_name()) + "." + test->name();
  Own_X_Server server("640x480x24");
  if (!server.Running()) return -1;
  return Run_Tool(server.Command_Prefix() + child_variable + "=1 '" + Self_Path() + "' --gtest_filter=" + filter,
                  seconds);
}

inline bool Tool_Exists(const std::string& name) { return Run_Tool("sh -c 'command -v " + name + " >/dev/null'", 30) == 0; }

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


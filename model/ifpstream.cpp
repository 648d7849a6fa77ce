#include "model/ifpstream.h"

#include <cstdio>
#include <memory>

ifpstream::ifpstream(const std::string& path) { Open(path); }

void ifpstream::Open(const std::string& path) {
  if (is_open) {
    Set_State(failbit);
    return;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (file == nullptr) {
    Set_State(badbit);
    return;
  }
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
    bytes.insert(bytes.end(), block, block + got);
  }
  if (std::ferror(file.get())) {
    Set_State(badbit);
    return;
  }
  contents = std::move(bytes);
  is_open = true;
  Reset(contents);
  Clear();
}

void ifpstream::Close() {
  if (!is_open) {
    Set_State(failbit);
    return;
  }
  is_open = false;
  contents.clear();
  Reset({});
  Clear();
}

// quendar_make_blocks NAME OUTPUT: writes the built-in block NAME to OUTPUT.
// quendar_make_blocks --list: the names it knows.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "tools/blocks/block_maker.h"

namespace {

std::map<std::string, Block_Make>& Makers() {
  static std::map<std::string, Block_Make> makers;
  return makers;
}

bool Write(const char* path, const Block_Bytes& bytes) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

Block_Registration::Block_Registration(const char* name, Block_Make make) {
  Makers()[name] = make;
}

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const auto& [name, make] : Makers()) std::printf("%s\n", name.c_str());
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: quendar_make_blocks NAME OUTPUT | --list\n");
    return 2;
  }
  auto found = Makers().find(argv[1]);
  if (found == Makers().end()) {
    std::fprintf(stderr, "quendar_make_blocks: no block named %s\n", argv[1]);
    return 1;
  }
  Block_Bytes bytes = found->second();
  if (bytes.empty() || !Write(argv[2], bytes)) {
    std::fprintf(stderr, "quendar_make_blocks: could not write %s\n", argv[2]);
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}

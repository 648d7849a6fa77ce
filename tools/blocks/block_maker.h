// Built-in data blocks that the build writes itself, through the program's
// own stream writer, from the readable tables kept beside this file. Each
// family of blocks registers its makers by name; the manifest lists a block
// as built/NAME.
#pragma once

#include <cstdint>
#include <vector>

using Block_Bytes = std::vector<uint8_t>;
using Block_Make = Block_Bytes (*)();

// Registers one maker; used at namespace scope:
//   static Block_Registration title_4301("title_4301.bin", &Make_Title_4301);
struct Block_Registration {
  Block_Registration(const char* name, Block_Make make);
};

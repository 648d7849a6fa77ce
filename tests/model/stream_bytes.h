// Helpers for stream tests: byte strings written as hex and text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class Bytes {
 public:
  Bytes& Hex(std::string_view hex) {
    for (size_t i = 0; i < hex.size(); i += hex[i] == ' ' ? 1 : 2)
      if (hex[i] != ' ') data.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return *this;
  }
  Bytes& Text(std::string_view text) {
    data.insert(data.end(), text.begin(), text.end());
    return *this;
  }
  // A 32-bit little-endian word.
  Bytes& Word(uint32_t w) {
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(w >> (8 * i)));
    return *this;
  }
  // A class name as stored in a current stream.
  Bytes& Name(std::string_view name) {
    Word(static_cast<uint32_t>(name.size()));
    return Text(name);
  }
  std::vector<uint8_t> data;
};

inline std::vector<uint8_t> Header() { return Bytes().Hex("3A 01 01 00 00").data; }

// A current stream's header followed by the given bytes.
inline Bytes Current(std::string_view hex = "") { return Bytes().Hex("3A 01 01 00 00").Hex(hex); }

// A framed identity map with the given colour step.
inline Bytes& Identity_Map(Bytes& b, uint32_t step = 0) {
  return b.Hex("5B").Name("Affine_Transform_2D").Word(1)
      .Hex("0000803F 00000000 00000000 0000803F 00000000 00000000")
      .Word(step)
      .Hex("5D");
}

// RIFF wave images built in memory for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Wave_Images {

inline void Put_U16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
inline void Put_U32(std::vector<uint8_t>& v, uint32_t x) {
  Put_U16(v, x & 0xFFFF);
  Put_U16(v, x >> 16);
}

inline std::vector<uint8_t> Chunk(const std::string& id, const std::vector<uint8_t>& body, bool pad = true) {
  std::vector<uint8_t> v(id.begin(), id.end());
  Put_U32(v, uint32_t(body.size()));
  v.insert(v.end(), body.begin(), body.end());
  if (pad && body.size() % 2) v.push_back(0);
  return v;
}

inline std::vector<uint8_t> Format(uint16_t bits, uint16_t tag = 1, bool with_extra = false, uint16_t channels = 1,
                                   uint32_t rate = 22050) {
  std::vector<uint8_t> f;
  uint16_t align = uint16_t(channels * bits / 8);
  Put_U16(f, tag);
  Put_U16(f, channels);
  Put_U32(f, rate);
  Put_U32(f, rate * align);
  Put_U16(f, align);
  Put_U16(f, bits);
  if (with_extra) Put_U16(f, 0x1234);
  return f;
}

inline std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> body{'W', 'A', 'V', 'E'};
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  std::vector<uint8_t> v{'R', 'I', 'F', 'F'};
  Put_U32(v, uint32_t(body.size()));
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

// A plain clip: format chunk then data chunk.
inline std::vector<uint8_t> Clip(uint16_t bits, const std::vector<uint8_t>& samples) {
  return Riff({Chunk("fmt ", Format(bits)), Chunk("data", samples)});
}

}  // namespace Wave_Images

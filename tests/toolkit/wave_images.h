// RIFF wave images built in memory for tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Wave_Images {

// Appends x as that many little-endian bytes.
inline void Put(std::vector<uint8_t>& v, uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(uint8_t(x >> 8 * i));
}

inline std::vector<uint8_t> Chunk(const std::string& id, const std::vector<uint8_t>& body, bool pad = true) {
  std::vector<uint8_t> v(id.begin(), id.end());
  Put(v, uint32_t(body.size()), 4);
  v.insert(v.end(), body.begin(), body.end());
  if (pad && body.size() % 2) v.push_back(0);
  return v;
}

inline std::vector<uint8_t> Format(uint16_t bits, uint16_t tag = 1, bool with_extra = false, uint16_t channels = 1,
                                   uint32_t rate = 22050) {
  std::vector<uint8_t> f;
  const uint32_t align = channels * bits / 8u;
  for (auto [x, n] : {std::pair<uint32_t, int>{tag, 2}, {channels, 2}, {rate, 4}, {rate * align, 4}, {align, 2}, {bits, 2}})
    Put(f, x, n);
  if (with_extra) Put(f, 0x1234, 2);
  return f;
}

inline std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> body{'W', 'A', 'V', 'E'};
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body, false);
}

// A plain clip: format chunk then data chunk.
inline std::vector<uint8_t> Clip(uint16_t bits, const std::vector<uint8_t>& samples) {
  return Riff({Chunk("fmt ", Format(bits)), Chunk("data", samples)});
}

}  // namespace Wave_Images

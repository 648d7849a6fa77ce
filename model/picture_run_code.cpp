#include "model/picture_run_code.h"

#include <algorithm>
#include <cstring>

uint32_t Encode_Run_Code(const uint8_t* b, uint32_t n, uint8_t* out) {
  uint32_t i = 0;
  uint32_t o = 0;
  bool literal = false;
  uint32_t count_at = 0;
  uint32_t count = 0;
  while (i < n && o < n) {
    if (!literal && i + 4 < n) {
      if (b[i] != b[i + 1] && b[i + 1] != b[i + 2] && !(b[i + 2] == b[i + 3] && b[i + 3] == b[i + 4])) {
        out[o++] = 0;
        count_at = o++;
        out[o++] = b[i];
        out[o++] = b[i + 1];
        count = 2;
        out[count_at] = 2;
        i += 2;
        literal = true;
      }
    } else if (literal && i + 3 < n) {
      if (b[i] == b[i + 1] && b[i + 1] == b[i + 2] && b[i + 2] == b[i + 3]) literal = false;
    }
    if (!literal) {
      const uint8_t v = b[i];
      const uint32_t limit = std::min<uint32_t>(255, n - i);
      uint32_t c = 1;
      while (c < limit && b[i + c] == v) ++c;
      out[o++] = static_cast<uint8_t>(c);
      out[o++] = v;
      i += c;
    } else {
      out[o++] = b[i++];
      out[count_at] = static_cast<uint8_t>(++count);
      if (count == 255) literal = false;
    }
  }
  return o;
}

namespace {

// Walks the code; writes pixels when given. Returns true when the code is
// whole and describes exactly n pixels.
bool Walk_Run_Code(const uint8_t* packed, uint32_t packed_size, uint8_t* pixels, uint32_t n) {
  uint32_t j = 0;
  uint32_t k = 0;
  while (j < packed_size) {
    const uint32_t c = packed[j++];
    if (j >= packed_size) return false;  // a count with nothing after it
    if (c > 0) {
      const uint8_t v = packed[j++];
      const uint32_t take = std::min(c, n - k);
      if (pixels) std::memset(pixels + k, v, take);
      k += take;
      if (take < c) return false;
    } else {
      const uint32_t m = packed[j++];
      const uint32_t take = std::min({m, n - k, packed_size - j});
      if (pixels) std::memcpy(pixels + k, packed + j, take);
      k += take;
      j += take;
      if (take < m) return false;
    }
  }
  return k == n;
}

}  // namespace

bool Decode_Run_Code(const uint8_t* packed, uint32_t packed_size, uint8_t* pixels, uint32_t n) {
  return Walk_Run_Code(packed, packed_size, pixels, n);
}

bool Run_Code_Is_Valid(const uint8_t* packed, uint32_t packed_size, uint32_t n) {
  return Walk_Run_Code(packed, packed_size, nullptr, n);
}

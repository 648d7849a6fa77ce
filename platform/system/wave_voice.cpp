#include "platform/system/wave_voice.h"

#include <algorithm>

bool TWave_Voice::Add(const Buffer& buffer) {
  if (queue_.size() >= Most_Queued) return false;
  queue_.push_back(buffer);
  return true;
}

void TWave_Voice::Clear() {
  queue_.clear();
  finished_.clear();
}

void TWave_Voice::Play(int16_t* mix, uint32_t frames) {
  while (!queue_.empty()) {
    Buffer& buffer = queue_.front();
    const uint32_t align = buffer.bits / 8;
    const uint32_t left = (buffer.bytes - buffer.offset) / align;
    if (left == 0) {
      uint32_t tag = buffer.tag;
      queue_.pop_front();
      finished_.insert(tag);
      if (done_) done_(tag);
      continue;
    }
    if (frames == 0) return;
    const uint32_t count = std::min(frames, left);
    if (mix) {
      const uint8_t* p = buffer.data + buffer.offset;
      for (uint32_t i = 0; i < count; ++i) {
        int32_t sample = buffer.bits == 8 ? (p[i] - 128) * 256 : static_cast<int16_t>(p[2 * i] | p[2 * i + 1] << 8);
        mix[i] = static_cast<int16_t>(std::clamp<int32_t>(mix[i] + sample, -32768, 32767));
      }
      mix += count;
    }
    buffer.offset += count * align;
    frames -= count;
  }
}

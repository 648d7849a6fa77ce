// One stream of the wave output: a buffer playing and at most one waiting,
// each tagged, played out frame by frame by a wave device. Every member is
// used with the device's lock held.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <set>

class TWave_Voice {
 public:
  struct Buffer {
    const uint8_t* data;
    uint32_t bytes;  // a whole number of frames
    uint16_t bits;   // 8 (unsigned) or 16 (signed, little-endian)
    uint32_t tag;
    uint32_t offset = 0;
  };

  static constexpr size_t Most_Queued = 2;

  explicit TWave_Voice(std::function<void(uint32_t tag)> done) : done_(std::move(done)) {}

  bool Add(const Buffer& buffer);
  // Drops every buffer and every finished tag not yet taken; nobody is told.
  void Clear();
  bool Busy() const { return !queue_.empty(); }
  size_t Queued() const { return queue_.size(); }
  // True once for each tag that finished since the last Clear.
  bool Take_Finished(uint32_t tag) { return finished_.erase(tag) > 0; }

  // Plays frames: adds the samples to mix (when given), and finishes each
  // buffer that runs out, in order, telling the done hook. Buffers with
  // nothing left finish even when frames is 0.
  void Play(int16_t* mix, uint32_t frames);

  // Bookkeeping of a device that plays in clock time.
  uint32_t clock_tick = 0;
  uint32_t clock_remainder = 0;

 private:
  std::function<void(uint32_t tag)> done_;
  std::deque<Buffer> queue_;
  std::set<uint32_t> finished_;
};

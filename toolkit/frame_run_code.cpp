#include "toolkit/frame_run_code.h"

#include <algorithm>
#include <cstring>

namespace Frame_Run_Code {

namespace {

// Writes codes into a buffer of known capacity; a write that would not fit
// marks the whole packing as failed.
class Code_Writer {
 public:
  Code_Writer(uint8_t* out, size_t capacity) : out_(out), capacity_(capacity), used_(4) {
    if (capacity_ < 4) failed_ = true;
  }

  void Skip(uint32_t count) {
    while (count > Max_Skip) {
      Long_Skip(Max_Skip);
      count -= Max_Skip;
    }
    if (count == 0) return;
    if (count <= Max_Short_Skip) {
      if (!Room(1)) return;
      out_[used_++] = uint8_t(count << 2);
    } else {
      Long_Skip(count);
    }
  }

  void Literal(const uint8_t* pixels, uint32_t count) {
    if (!Room(1 + size_t(count))) return;
    out_[used_++] = uint8_t(count << 1 | 1);
    std::memcpy(out_ + used_, pixels, count);
    used_ += count;
  }

  size_t Finish() {
    if (failed_) return 0;
    uint32_t total = uint32_t(used_);
    for (int i = 0; i < 4; ++i) out_[i] = uint8_t(total >> (8 * i));
    return used_;
  }

 private:
  void Long_Skip(uint32_t count) {
    if (!Room(2)) return;
    uint32_t w = count << 2 | 2;
    out_[used_++] = uint8_t(w & 0xFF);
    out_[used_++] = uint8_t(w >> 8);
  }
  bool Room(size_t bytes) {
    if (failed_ || capacity_ - used_ < bytes) {
      failed_ = true;
      return false;
    }
    return true;
  }

  uint8_t* out_;
  size_t capacity_;
  size_t used_;
  bool failed_ = false;
};

// How many pixels from p on (at most limit) equal the key; eight at a time
// over long runs.
size_t Key_Run(const uint8_t* p, size_t limit, uint8_t key) {
  size_t n = 0;
  const uint64_t pattern = 0x0101010101010101ull * key;
  while (n + 8 <= limit) {
    uint64_t word;
    std::memcpy(&word, p + n, 8);
    if (word != pattern) break;
    n += 8;
  }
  while (n < limit && p[n] == key) ++n;
  return n;
}

// How many pixels from p on (at least one, at most limit) differ from the key.
// Short runs (sparkles, dithered edges) end within a few pixels; long ones
// are searched with memchr.
size_t Literal_Run(const uint8_t* p, size_t limit, uint8_t key) {
  size_t n = 1;
  const size_t near = std::min<size_t>(limit, 8);
  while (n < near && p[n] != key) ++n;
  if (n < near || n == limit) return n;
  const void* found = std::memchr(p + n, key, limit - n);
  return found ? size_t(static_cast<const uint8_t*>(found) - p) : limit;
}

}  // namespace

size_t Max_Packed_Size(size_t pixels, size_t rows) {
  return 4 + (3 * pixels + 1) / 2 + 3 * rows + 2 * (pixels / Max_Skip + 1) + 16;
}

uint32_t Packed_Length(const uint8_t* packed) {
  return uint32_t(packed[0]) | uint32_t(packed[1]) << 8 | uint32_t(packed[2]) << 16 | uint32_t(packed[3]) << 24;
}

size_t Pack(const uint8_t* pixels, int width, int height, uint8_t key, uint8_t* out, size_t capacity,
            size_t stride) {
  // Padded rows go row by row, which the rectangle's packing does.
  if (stride != 0 && stride != size_t(width) && width > 0 && height > 0)
    return Pack_Rect(pixels, width, height, TRect(0, 0, width, height), key, out, capacity, stride);
  Code_Writer writer(out, capacity);
  const size_t end = width > 0 && height > 0 ? size_t(width) * size_t(height) : 0;
  size_t i = 0;
  while (i < end) {
    if (pixels[i] != key) {
      size_t n = Literal_Run(pixels + i, std::min<size_t>(Max_Literal, end - i), key);
      writer.Literal(pixels + i, uint32_t(n));
      i += n;
    } else {
      size_t n = Key_Run(pixels + i, std::min<size_t>(Max_Skip, end - i), key);
      writer.Skip(uint32_t(n));
      i += n;
    }
  }
  return writer.Finish();
}

size_t Pack_Rect(const uint8_t* pixels, int width, int height, const TRect& rect, uint8_t key, uint8_t* out,
                 size_t capacity, size_t stride) {
  Code_Writer writer(out, capacity);
  const int left = std::max(rect.left, 0);
  const int top = std::max(rect.top, 0);
  const int right = std::min(rect.right, width);
  const int bottom = std::min(rect.bottom, height);
  if (left >= right || top >= bottom) return writer.Finish();

  // Skips count the frame's pixels (w a row); p walks the picture's bytes
  // (row_bytes a row).
  const size_t w = size_t(width);
  const size_t row_bytes = stride != 0 ? stride : w;
  const size_t span = size_t(right - left);
  size_t p = size_t(height - bottom) * row_bytes + size_t(left);
  // The skip up to the rectangle's first pixel: whole long skips first, the
  // rest carried into the first code of the first row.
  size_t s = size_t(height - bottom) * w + size_t(left);
  while (s >= Max_Skip) {
    writer.Skip(Max_Skip);
    s -= Max_Skip;
  }
  for (int row = top; row < bottom; ++row) {
    const size_t row_start = p;
    const size_t stop = p + span;
    while (p < stop) {
      if (s != 0 || pixels[p] == key) {
        // A pending skip may exceed one code after a wide gap; whole codes
        // go out first, so the run below never passes the limit.
        while (s > Max_Skip) {
          writer.Skip(Max_Skip);
          s -= Max_Skip;
        }
        size_t n = Key_Run(pixels + p, std::min(Max_Skip - s, stop - p), key);
        s += n;
        p += n;
        writer.Skip(uint32_t(s));
        s = 0;
      } else {
        size_t n = Literal_Run(pixels + p, std::min<size_t>(Max_Literal, stop - p), key);
        writer.Literal(pixels + p, uint32_t(n));
        p += n;
      }
    }
    s += w - span;
    p = row_start + row_bytes;
  }
  return writer.Finish();
}

bool Unpack(const uint8_t* packed, size_t packed_size, uint8_t* pixels, size_t pixel_count) {
  return For_Each_Literal(packed, packed_size, pixel_count,
                          [&](size_t p, const uint8_t* from, uint32_t n) { std::memcpy(pixels + p, from, n); });
}

bool Unpack(const uint8_t* packed, size_t packed_size, uint8_t* pixels, int width, int height, size_t stride) {
  if (width <= 0 || height <= 0) return Unpack(packed, packed_size, pixels, 0);
  const size_t w = size_t(width);
  if (stride < w) return false;
  if (stride == w) return Unpack(packed, packed_size, pixels, w * size_t(height));
  // A literal may run on from the end of one row into the next.
  return For_Each_Literal(packed, packed_size, w * size_t(height), [&](size_t p, const uint8_t* from, uint32_t count) {
    for (size_t n = count; n > 0;) {
      const size_t column = p % w, chunk = std::min(n, w - column);
      std::memcpy(pixels + (p / w) * stride + column, from, chunk);
      p += chunk, from += chunk, n -= chunk;
    }
  });
}

namespace {

// Gathers the box (top-down coordinates) of the runs of drawn pixels of a
// width x height picture, given in memory order as For_Each_Literal gives
// them.
class Run_Box {
 public:
  Run_Box(int width, int height) : width_(size_t(width)), height_(height), left_(size_t(width)) {}
  void Add(size_t at, uint32_t count) {
    // The rows (as stored, bottom first) are followed along rather than
    // divided out: a frame has many short runs.
    while (at >= row_end_) row_start_ = row_end_, row_end_ += width_, ++row_;
    if (low_row_ == SIZE_MAX) low_row_ = row_;
    const size_t end = at + count;
    if (end <= row_end_) {
      left_ = std::min(left_, at - row_start_);
      right_ = std::max(right_, end - row_start_);
      high_row_ = row_;
    } else {
      // A run that goes on into the next rows reaches both edges.
      left_ = 0;
      right_ = width_;
      high_row_ = row_ + (end - row_start_ - 1) / width_;
    }
  }
  TRect Box() const {
    if (low_row_ == SIZE_MAX) return {};
    return TRect(int(left_), height_ - 1 - int(high_row_), int(right_), height_ - int(low_row_));
  }

 private:
  size_t width_;
  int height_;
  size_t row_ = SIZE_MAX, row_start_ = 0, row_end_ = 0;
  size_t low_row_ = SIZE_MAX, high_row_ = 0, left_, right_ = 0;
};

}  // namespace

TRect Drawn_Box(const uint8_t* packed, size_t packed_size, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  Run_Box box(width, height);
  const bool whole = For_Each_Literal(packed, packed_size, size_t(width) * size_t(height),
                                      [&](size_t at, const uint8_t*, uint32_t count) { box.Add(at, count); });
  return whole ? box.Box() : TRect();
}

}  // namespace Frame_Run_Code

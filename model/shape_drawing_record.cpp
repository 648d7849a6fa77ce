// Packed pictures and the picture record: a 16-byte little-endian header
// (width, height, background, packed size or 0), then the packed bytes or
// the raw rows.
#include <algorithm>
#include <cstring>

#include "model/dib_allocator.h"
#include "model/picture_run_code.h"
#include "model/shape_drawing.h"

namespace {

uint32_t Read_U32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Write_U32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

uint64_t Row_Length(uint32_t width) { return (uint64_t(width) + 3) & ~uint64_t(3); }

}  // namespace

void Shape_Drawing::Pack(bool keep_bitmap, bool compress) {
  if (!Packed && Bitmap) {
    const uint32_t n = Buffer_Size();
    const uint8_t* bits = Bitmap->GetBits();
    if (compress) {
      auto code = std::make_unique<uint8_t[]>(size_t(n) + Run_Code_Slack);
      const uint32_t length = Encode_Run_Code(bits, n, code.get());
      if (length < n) {
        Packed = std::make_unique<uint8_t[]>(length);
        std::memcpy(Packed.get(), code.get(), length);
        Packed_Size = length;
      }
    }
    if (!Packed) {
      Packed = std::make_unique<uint8_t[]>(n);
      std::memcpy(Packed.get(), bits, n);
      Packed_Size = n;
    }
  }
  if (!keep_bitmap && Bitmap) Release_Bitmap();
}

void Shape_Drawing::Unpack(bool keep_packed, TDiBitmap* bitmap) {
  if (!Packed) return;
  if (!Bitmap) {
    if (bitmap) {
      Bitmap = bitmap;
      Owns_Bitmap = false;
    } else {
      Bitmap = The_DIB_Allocator->Get(Rect.Width(), Rect.Height());
      Owns_Bitmap = true;
    }
  }
  const uint32_t n = Buffer_Size();
  if (Packed_Size == n)
    std::memcpy(Bitmap->GetBits(), Packed.get(), n);
  else
    Decode_Run_Code(Packed.get(), Packed_Size, Bitmap->GetBits(), n);
  Bitmap_Stale = false;
  if (!keep_packed) Drop_Packed();
}

uint32_t Shape_Drawing::Stored_Size() const {
  if (Packed) return uint32_t(Record_Header_Size) + Packed_Size;
  return uint32_t(Record_Header_Size + Row_Length(uint32_t(Rect.Width())) * uint32_t(Rect.Height()));
}

void Shape_Drawing::Write(uint8_t* destination) const {
  Write_U32(destination, uint32_t(Rect.Width()));
  Write_U32(destination + 4, uint32_t(Rect.Height()));
  Write_U32(destination + 8, Background.Value());
  uint8_t* body = destination + Record_Header_Size;
  if (Packed) {
    Write_U32(destination + 12, Packed_Size);
    std::memcpy(body, Packed.get(), Packed_Size);
    return;
  }
  Write_U32(destination + 12, 0);
  const size_t r = Row_Length(uint32_t(Rect.Width()));
  const size_t stride = Bitmap ? size_t(Bitmap->Pitch()) : 0;
  for (int32_t y = 0; y < Rect.Height(); ++y) {
    uint8_t* row = body + r * y;
    if (Bitmap && y < Bitmap->Height()) {
      const size_t copied = std::min(r, stride);
      std::memcpy(row, Bitmap->GetBits() + stride * y, copied);
      std::memset(row + copied, 0, r - copied);
    } else {
      std::memset(row, 0, r);
    }
  }
}

bool Shape_Drawing::Record_Is_Valid(const uint8_t* record, size_t available) {
  if (!record || available < Record_Header_Size) return false;
  const uint32_t width = Read_U32(record), height = Read_U32(record + 4), p = Read_U32(record + 12);
  if (width == 0 || height == 0 || width > Max_Record_Side || height > Max_Record_Side) return false;
  const uint64_t raw = Row_Length(width) * height;
  const uint64_t body = available - Record_Header_Size;
  if (p == 0) return raw <= body;
  if (p > body) return false;
  return p == raw || Run_Code_Is_Valid(record + Record_Header_Size, p, uint32_t(raw));
}

bool Shape_Drawing::Read(const uint8_t* record, size_t available, bool unpack) {
  if (!Record_Is_Valid(record, available)) return false;
  const uint32_t width = Read_U32(record), height = Read_U32(record + 4);
  if (width != uint32_t(Rect.Width()) || height != uint32_t(Rect.Height())) return false;
  const uint32_t p = Read_U32(record + 12);
  const uint8_t* body = record + Record_Header_Size;
  if (p == 0 || unpack) {
    if (!Bitmap) {
      Bitmap = The_DIB_Allocator->Get(Rect.Width(), Rect.Height());
      Owns_Bitmap = true;
    }
    // A bitmap of another row length than the record's cannot take it.
    if (uint64_t(Bitmap->Pitch()) != Row_Length(width) || Bitmap->Height() != int(height)) return false;
  }
  Set_Background(TColor(Read_U32(record + 8)));
  Blank = false;
  Drop_Packed();
  const uint32_t n = uint32_t(Row_Length(width) * height);
  if (p == 0) {
    std::memcpy(Bitmap->GetBits(), body, n);
    Bitmap_Stale = false;
  } else if (unpack) {
    if (p == n)
      std::memcpy(Bitmap->GetBits(), body, n);
    else
      Decode_Run_Code(body, p, Bitmap->GetBits(), n);
    Bitmap_Stale = false;
  } else {
    Packed = std::make_unique<uint8_t[]>(p);
    std::memcpy(Packed.get(), body, p);
    Packed_Size = p;
    // The bitmap's pixels are stale until the next unpack.
    Bitmap_Stale = Bitmap != nullptr;
  }
  return true;
}

Shape_Drawing::Shape_Drawing(const uint8_t* record, size_t available, bool unpack) {
  if (!Record_Is_Valid(record, available)) {
    Blank = true;
    return;
  }
  Rect = TRect(0, 0, int32_t(Read_U32(record)), int32_t(Read_U32(record + 4)));
  Bitmap = The_DIB_Allocator->Get(Rect.Width(), Rect.Height());
  Owns_Bitmap = true;
  Read(record, available, unpack);
}

#include "toolkit/animation_sequence.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "toolkit/frame_run_code.h"

namespace {

size_t Frame_Bound(int32_t width, int32_t height) {
  return Frame_Run_Code::Max_Packed_Size(size_t(width) * size_t(height), size_t(height));
}

}  // namespace

Animation_Sequence::Animation_Sequence(TSize size, int32_t interval, int32_t duration)
    : Interval(interval), Width(std::max(size.cx, 0)), Height(std::max(size.cy, 0)) {
  int64_t expected = interval > 0 ? duration / interval : 0;
  // Room for the frames expected, each at the most it can pack to.
  size_t reserve = size_t(std::max<int64_t>(2, expected)) * Frame_Bound(Width, Height);
  size_t commit = std::max(2 * size_t(Width) * size_t(Height), reserve >> 4);
  Frame_Memory.Reserve(reserve, std::min(commit, reserve));
}

bool Animation_Sequence::Fits(const TDib& picture) const {
  // Pictures from the pool are as wide as their rows, padded to four
  // pixels: the frame is the first Width pixels of each row.
  const int32_t padded = (Width + 3) & ~3;
  return picture.BitsPixel() == 8 && picture.Width() >= Width && picture.Width() <= padded &&
         picture.Height() == Height && picture.Pitch() >= Width && Width > 0 && Height > 0;
}

uint8_t Animation_Sequence::Key_Index(const TDib& picture, TColor key) const {
  TColor rgb = key;
  if (The_GUI_Colors && The_GUI_Colors->Palette) rgb = Palette_Color_To_RGB(key, *The_GUI_Colors->Palette);
  int index = picture.FindColor(rgb);
  return index >= 0 && index < 256 ? uint8_t(index) : 255;
}

bool Animation_Sequence::Add_Frame(const TDib& picture, const TRect* rect, TColor key) {
  if (!Fits(picture) || !Frame_Memory.Base()) return false;
  // Commit for the worst the frame can pack to before packing, never less.
  const size_t bound = Frame_Bound(Width, Height);
  if (Frame_Memory.Top() < Used_Bytes + bound) {
    size_t grown = std::max(Frame_Memory.Top() + size_t(Width) * size_t(Height), Used_Bytes + bound);
    grown = std::min(grown, Frame_Memory.Reserved_Size());
    if (grown < Used_Bytes + bound || !Frame_Memory.Set_Top(grown)) return false;
  }
  uint8_t* out = Frame_Memory.Base() + Used_Bytes;
  const size_t room = Frame_Memory.Top() - Used_Bytes;
  const uint8_t key_index = Key_Index(picture, key);
  const size_t stride = size_t(picture.Pitch());
  const size_t packed =
      rect ? Frame_Run_Code::Pack_Rect(picture.GetBits(), Width, Height, *rect, key_index, out, room, stride)
           : Frame_Run_Code::Pack(picture.GetBits(), Width, Height, key_index, out, room, stride);
  if (packed == 0) return false;
  Used_Bytes += packed;
  ++Frames;
  return true;
}

bool Animation_Sequence::Next_Frame(TDib& picture) {
  if (Read_Frames >= Frames || !Fits(picture)) return false;
  const uint8_t* packed = Frame_Memory.Base() + Read_Offset;
  const size_t available = Used_Bytes - Read_Offset;
  Frame_Run_Code::Unpack(packed, available, picture.GetBits(), Width, Height, size_t(picture.Pitch()));
  Frame_Read();
  return true;
}

void Animation_Sequence::Frame_Read() {
  const size_t start = Read_Offset;
  const uint8_t* packed = Frame_Memory.Base() + Read_Offset;
  const size_t available = Used_Bytes - Read_Offset;
  size_t length = available >= 4 ? Frame_Run_Code::Packed_Length(packed) : available;
  Read_Offset += available >= 4 ? std::clamp<size_t>(length, 4, available) : available;
  ++Read_Frames;
  // The frame just read stays: a player may still draw from its runs.
  Frame_Memory.Set_Bottom(start);
}

TRect Animation_Sequence::Next_Frame_Box() const {
  if (Read_Frames >= Frames) return {};
  return Frame_Run_Code::Drawn_Box(Frame_Memory.Base() + Read_Offset, Used_Bytes - Read_Offset, Width, Height);
}

void Animation_Sequence::Finish() {
  Frame_Memory.Set_Top(Used_Bytes);
  Sound.Mix();
}

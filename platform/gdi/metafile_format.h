// The byte layout of Windows metafiles in memory form, shared by the reader
// and the recorder: an 18-byte header, then records of a 32-bit size in
// 16-bit words (the 6 bytes of size and function included), a 16-bit
// function number and 16-bit parameters, ending with an end record.
// Everything is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

namespace metafile {

constexpr int Header_Bytes = 18;
constexpr uint16_t Header_Words = 9;
constexpr uint16_t Memory_Type = 1;
constexpr uint16_t Disk_Type = 2;
constexpr uint16_t Version_300 = 0x0300;
constexpr uint16_t Version_100 = 0x0100;
constexpr int Record_Header_Bytes = 6;

// Function numbers: the low byte is the function, the high byte the usual
// count of parameter words.
enum Function : uint16_t {
  End_Of_File = 0x0000,
  Set_Bk_Color = 0x0201,
  Set_Bk_Mode = 0x0102,
  Set_Map_Mode = 0x0103,
  Set_Poly_Fill_Mode = 0x0106,
  Set_Text_Color = 0x0209,
  Set_Window_Org = 0x020B,
  Set_Window_Ext = 0x020C,
  Set_Text_Align = 0x012E,
  Ellipse = 0x0418,
  Rectangle = 0x041B,
  Polygon = 0x0324,
  Polyline = 0x0325,
  Poly_Polygon = 0x0538,
  Text_Out = 0x0521,
  Ext_Text_Out = 0x0A32,
  Select_Object = 0x012D,
  Delete_Object = 0x01F0,
  Create_Pen_Indirect = 0x02FA,
  Create_Font_Indirect = 0x02FB,
  Create_Brush_Indirect = 0x02FC,
  Set_DIB_To_Device = 0x0D33,
};

// Options of Ext_Text_Out.
constexpr uint16_t Eto_Opaque = 0x0002;
constexpr uint16_t Eto_Clipped = 0x0004;

// A LOGFONT record: nine words of numbers, then up to 32 bytes of face name.
constexpr int Font_Fixed_Bytes = 18;
constexpr int Font_Face_Bytes = 32;

// The object table of a metafile: a created object takes the lowest free
// slot, deleting it frees the slot. Indexes are 16-bit.
class Object_Table {
 public:
  static constexpr size_t Max_Slots = 0xFFFF;

  // The slot of a new object, or -1 when the table is full.
  int Take() {
    if (!free_.empty()) {
      int slot = free_.top();
      free_.pop();
      used_[slot] = true;
      return slot;
    }
    if (used_.size() >= Max_Slots) return -1;
    used_.push_back(true);
    return static_cast<int>(used_.size() - 1);
  }
  bool In_Use(int slot) const { return slot >= 0 && static_cast<size_t>(slot) < used_.size() && used_[slot]; }
  void Free(int slot) {
    if (!In_Use(slot)) return;
    used_[slot] = false;
    free_.push(slot);
  }
  // Slots ever used: the table size a player needs.
  int Size() const { return static_cast<int>(used_.size()); }

 private:
  std::vector<bool> used_;
  std::priority_queue<int, std::vector<int>, std::greater<int>> free_;
};

}  // namespace metafile

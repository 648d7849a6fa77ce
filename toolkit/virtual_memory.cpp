#include "toolkit/virtual_memory.h"

bool Virtual_Memory::Reserve(size_t size, size_t commit) {
  Release();
  if (!Range.Reserve(size)) return false;
  Reserved = size;
  if (commit == Commit_All) commit = size;
  if (commit != 0) Top_Offset = Range.Commit(0, commit) ? commit : 0;
  return true;
}

void Virtual_Memory::Release() {
  if (!Range.Base()) return;
  if (Top_Offset > Bottom_Offset) Range.Decommit(Bottom_Offset, Top_Offset - Bottom_Offset);
  Range.Release();
  Reserved = 0;
  Bottom_Offset = 0;
  Top_Offset = 0;
}

bool Virtual_Memory::Set_Top(size_t new_top) {
  if (!Range.Base()) return false;
  if (new_top > Top_Offset) {
    if (new_top > Reserved || !Range.Commit(Top_Offset, new_top - Top_Offset)) return false;
    Top_Offset = new_top;
  } else if (new_top < Top_Offset) {
    size_t page = Page_Size();
    size_t rounded = (new_top + page - 1) / page * page;
    if (rounded < Top_Offset) {
      Range.Decommit(rounded, Top_Offset - rounded);
      Top_Offset = rounded;
    }
  }
  return true;
}

bool Virtual_Memory::Set_Bottom(size_t new_bottom) {
  if (!Range.Base()) return false;
  if (new_bottom < Bottom_Offset) {
    if (!Range.Commit(new_bottom, Bottom_Offset - new_bottom)) return false;
    Bottom_Offset = new_bottom;
  } else if (new_bottom > Bottom_Offset) {
    size_t page = Page_Size();
    size_t rounded = new_bottom / page * page;
    if (rounded > Bottom_Offset) {
      Range.Decommit(Bottom_Offset, rounded - Bottom_Offset);
      Bottom_Offset = rounded;
    }
  }
  return true;
}

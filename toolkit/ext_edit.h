// A one-line edit field that hands chosen navigation and command keys to
// its parent (Ext_Key_Message on key down, Ext_Key_Up_Message on key up)
// instead of acting on them, so a panel can move through a list, confirm,
// cancel or ask for help while the focus stays in the text.
#pragma once

#include <cstdint>

#include "platform/window/edit.h"
#include "toolkit/toolkit_messages.h"

class TModule;

// Key bits of the two masks.
enum Ext_Key_Bit : uint32_t {
  Ext_Key_Left = 0x0001,
  Ext_Key_Right = 0x0002,
  Ext_Key_Up = 0x0004,
  Ext_Key_Down = 0x0008,
  Ext_Key_Page_Up = 0x0010,
  Ext_Key_Page_Down = 0x0020,
  Ext_Key_Home = 0x0040,
  Ext_Key_End = 0x0080,
  Ext_Key_Insert = 0x0100,
  Ext_Key_Delete = 0x0200,
  Ext_Key_Enter = 0x0400,
  Ext_Key_Tab = 0x0800,
  Ext_Key_Esc = 0x1000,
  // F1 goes with either bit: a mask of 0x2004 hands over F1 and Up.
  Ext_Key_F1 = 0x2004,
};

class ExtEdit : public TEdit {
 public:
  ExtEdit(TWindow* parent, int id, const TRect& rect, const char* text, unsigned text_limit, bool multi_line,
          TModule* module, uint32_t key_down_mask, uint32_t key_up_mask);
  // Attached to the control of that id in a code-built dialog.
  ExtEdit(TWindow* parent, int resource_id, unsigned text_limit, TModule* module, uint32_t key_down_mask,
          uint32_t key_up_mask);

  // Whether a mask hands the key over (F1 with bit 0x2000 or 0x0004).
  static bool Forwards(uint32_t mask, UINT key);

  void Key_Down(UINT key, UINT repeat_count, UINT flags);
  void Key_Up(UINT key, UINT repeat_count, UINT flags);
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override { Key_Down(key, repeat_count, flags); }
  void EvKeyUp(UINT key, UINT repeat_count, UINT flags) override { Key_Up(key, repeat_count, flags); }

  // Characters outside the code page go to the parent as
  // Ext_Char_Refused_Message, once for those that come in one go (until a
  // key goes down or a character is taken).
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // A key the masks hand over is the parent's: a dialog's Tab, Enter or Esc
  // leaves it to the field.
  UINT EvGetDlgCode(const MSG* msg) override;

  uint32_t Key_Down_Mask;
  uint32_t Key_Up_Mask;

 private:
  // Keys handed over when they went down: their release is not handed over
  // again, so a key in both masks moves the parent once per press.
  bool Sent_On_Down[256] = {};
  bool refusal_pending = false;
};

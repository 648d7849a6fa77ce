#include "toolkit/ext_edit.h"

namespace {

uint32_t Key_Bit(UINT key) {
  switch (key) {
    case VK_LEFT: return Ext_Key_Left;
    case VK_RIGHT: return Ext_Key_Right;
    case VK_UP: return Ext_Key_Up;
    case VK_DOWN: return Ext_Key_Down;
    case VK_PRIOR: return Ext_Key_Page_Up;
    case VK_NEXT: return Ext_Key_Page_Down;
    case VK_HOME: return Ext_Key_Home;
    case VK_END: return Ext_Key_End;
    case VK_INSERT: return Ext_Key_Insert;
    case VK_DELETE: return Ext_Key_Delete;
    case VK_RETURN: return Ext_Key_Enter;
    case VK_TAB: return Ext_Key_Tab;
    case VK_ESCAPE: return Ext_Key_Esc;
    case VK_F1: return Ext_Key_F1;
    default: return 0;
  }
}

}  // namespace

ExtEdit::ExtEdit(TWindow* parent, int id, const TRect& rect, const char* text, unsigned text_limit, bool,
                 TModule*, uint32_t key_down_mask, uint32_t key_up_mask)
    : TEdit(parent, id, text, rect.left, rect.top, rect.Width(), rect.Height(), text_limit),
      Key_Down_Mask(key_down_mask),
      Key_Up_Mask(key_up_mask) {}

ExtEdit::ExtEdit(TWindow* parent, int resource_id, unsigned text_limit, TModule*, uint32_t key_down_mask,
                 uint32_t key_up_mask)
    : TEdit(parent, resource_id, text_limit), Key_Down_Mask(key_down_mask), Key_Up_Mask(key_up_mask) {}

bool ExtEdit::Forwards(uint32_t mask, UINT key) { return (mask & Key_Bit(key)) != 0; }

UINT ExtEdit::EvGetDlgCode(const MSG* msg) {
  UINT code = TEdit::EvGetDlgCode(msg);
  if (!msg || msg->message != WM_KEYDOWN) return code;
  const UINT key = UINT(msg->wParam);
  if (!Forwards(Key_Down_Mask, key) && !Forwards(Key_Up_Mask, key)) return code;
  return code | (key == VK_TAB ? DLGC_WANTTAB : DLGC_WANTALLKEYS);
}

void ExtEdit::Key_Down(UINT key, UINT repeat_count, UINT flags) {
  if (!Forwards(Key_Down_Mask, key)) {
    TEdit::EvKeyDown(key, repeat_count, flags);
    return;
  }
  if (key < 256) Sent_On_Down[key] = true;
  if (Parent) Parent->PostMessage(Ext_Key_Message, key, GetId());
}

LRESULT ExtEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_UNICHAR) {
    if (msg == WM_CHAR || msg == WM_KEYDOWN) refusal_pending = false;
    return TEdit::WindowProc(msg, wp, lp);
  }
  if (!refusal_pending && Parent) {
    refusal_pending = true;
    Parent->PostMessage(Ext_Char_Refused_Message, wp, GetId());
  }
  return 0;
}

void ExtEdit::Key_Up(UINT key, UINT repeat_count, UINT flags) {
  const bool sent_on_down = key < 256 && Sent_On_Down[key];
  if (key < 256) Sent_On_Down[key] = false;
  if (!Forwards(Key_Up_Mask, key)) {
    TEdit::EvKeyUp(key, repeat_count, flags);
    return;
  }
  if (!sent_on_down && Parent) Parent->PostMessage(Ext_Key_Up_Message, key, GetId());
}

// Message boxes: a caption, text (line feeds break lines), a stop,
// exclamation or question icon, and OK, OK-Cancel, Yes-No or Yes-No-Cancel
// buttons; Enter picks the first button, Esc cancels where a Cancel (or a
// lone OK) exists. The box is modal over its owner and stays above every
// other window. A hook lets tests (and scripted runs) answer in its place.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window/dialog.h"

struct TMessage_Box_Request {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type = MB_OK;
};

// Returns the answer (IDOK, IDYES ...), or 0 to let the box show.
using TMessage_Box_Hook = std::function<int(const TMessage_Box_Request&)>;
TMessage_Box_Hook Set_Message_Box_Hook(TMessage_Box_Hook hook);

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type = MB_OK);

// A box's text as its lines: line feeds break it, carriage returns go.
std::vector<std::string> Message_Lines(const std::string& text);

class TMessage_Box : public TDialog {
 public:
  TMessage_Box(TWindow* owner, const TMessage_Box_Request& request);

  void Paint(TDC& dc, bool erase, TRect& rect) override;
  LRESULT EvCommand(UINT id, HWND control, UINT notify_code) override;
  bool PreProcessMsg(MSG& msg) override;
  void CmCancel() override;
  TRect Icon_Rect() const;

 private:
  void Draw_Icon(TDC& dc, const TRect& r) const;
  TMessage_Box_Request request_;
  std::vector<std::string> lines_;
  int cancel_id_ = 0;  // what Esc answers; 0 when it does nothing
  int text_left_ = 0;
  int text_top_ = 0;
};

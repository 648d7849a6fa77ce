#include "platform/window/message_box.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"
#include "platform/window/button.h"
#include "platform/window/control_paint.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"

namespace {

TMessage_Box_Hook the_hook;

constexpr int Margin = 12;
constexpr int Icon_Size = 32;
constexpr int Button_W = 75;
constexpr int Button_H = 23;
constexpr int Button_Gap = 8;
constexpr int Line_Height = 16;

// Lines no wider than max_width, broken at blanks, and inside words that
// are wider than that on their own (a long path).
std::vector<std::string> Wrapped(const std::vector<std::string>& lines, int max_width) {
  std::vector<std::string> out;
  const TFont& font = Control_Paint::Ui_Font();
  for (const std::string& line : lines) {
    if (Control_Paint::Text_Extent(font, line).cx <= max_width) {
      out.push_back(line);
      continue;
    }
    std::string current;
    size_t pos = 0;
    while (pos < line.size()) {
      size_t blank = line.find(' ', pos);
      std::string word = line.substr(pos, blank == std::string::npos ? std::string::npos : blank - pos + 1);
      pos = blank == std::string::npos ? line.size() : blank + 1;
      if (!current.empty() && Control_Paint::Text_Extent(font, current + word).cx > max_width) {
        out.push_back(current);
        current.clear();
      }
      for (char c : word) {
        if (!current.empty() && Control_Paint::Text_Extent(font, current + c).cx > max_width) {
          out.push_back(current);
          current.clear();
        }
        current += c;
      }
    }
    out.push_back(current);
  }
  return out;
}

struct TButton_Spec {
  int id;
  const char* text;
};

std::vector<TButton_Spec> Buttons_For(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    default: return {{IDOK, "OK"}};
  }
}

}  // namespace

TMessage_Box_Hook Set_Message_Box_Hook(TMessage_Box_Hook hook) {
  TMessage_Box_Hook old = std::move(the_hook);
  the_hook = std::move(hook);
  return old;
}

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  TMessage_Box_Request request{owner, text, caption, type};
  if (the_hook)
    if (int answer = the_hook(request)) return answer;
  if (!TDesktop::Running()) return IDCANCEL;
  // A box always takes the mouse: a window that held it (a drag, a button
  // waiting for its release) lets it go, or the box's buttons would never
  // see a click.
  TDesktop::Current().Release_Capture();
  TMessage_Box box(TWindow::From_Handle(owner), request);
  return box.Execute();
}

int TWindow::MessageBox(const std::string& text, const std::string& caption, UINT type) {
  return ::MessageBox(GetHandle(), text, caption, type);
}

void TMessage_Box::CmCancel() {
  if (cancel_id_) EndDialog(cancel_id_);
}

TMessage_Box::TMessage_Box(TWindow* owner, const TMessage_Box_Request& request)
    : TDialog(owner, request.caption.c_str()), request_(request) {
  Attr.ExStyle |= WS_EX_TOPMOST;
  UINT kind = request.type & MB_TYPEMASK;
  cancel_id_ = kind == MB_OK ? IDOK : (kind == MB_OKCANCEL || kind == MB_YESNOCANCEL) ? IDCANCEL : 0;
  // Yes-No has no way out but its two answers: no close box.
  if (!cancel_id_) Attr.Style &= ~WS_SYSMENU;

  TSize screen = TDesktop::Running() ? TDesktop::Current().Screen().Size() : TSize(1024, 768);
  // Long lines (a long path in a message) wrap to stay on the screen.
  lines_ = Wrapped(Message_Lines(request.text), std::max(200, screen.cx * 2 / 3));
  const std::vector<std::string>& lines = lines_;
  int text_w = 0;
  for (const std::string& l : lines) text_w = std::max(text_w, Control_Paint::Text_Extent(Control_Paint::Ui_Font(), l).cx);
  bool icon = (request.type & MB_ICONMASK) != 0;
  text_left_ = Margin + (icon ? Icon_Size + Margin : 0);
  text_top_ = Margin;
  int text_h = int(lines.size()) * Line_Height;
  auto buttons = Buttons_For(request.type);
  int buttons_w = int(buttons.size()) * Button_W + int(buttons.size() - 1) * Button_Gap;
  int client_w = std::max(text_left_ + text_w + Margin, buttons_w + 2 * Margin);
  client_w = std::max(client_w, 160);
  int body_h = std::max(text_h, icon ? Icon_Size : 0);
  int client_h = Margin + body_h + Margin + Button_H + Margin;
  Attr.W = client_w;
  Attr.H = client_h + GetSystemMetrics(SM_CYCAPTION);
  Attr.X = std::max(0, (screen.cx - Attr.W) / 2);
  Attr.Y = std::max(0, (screen.cy - Attr.H) / 2);
  int x = (client_w - buttons_w) / 2, y = client_h - Margin - Button_H;
  for (size_t i = 0; i < buttons.size(); ++i) {
    new TButton(this, buttons[i].id, buttons[i].text, x, y, Button_W, Button_H, i == 0);
    x += Button_W + Button_Gap;
  }
}

TRect TMessage_Box::Icon_Rect() const {
  if (!(request_.type & MB_ICONMASK)) return {};
  return {Margin, Margin, Margin + Icon_Size, Margin + Icon_Size};
}

void TMessage_Box::Draw_Icon(TDC& dc, const TRect& r) const {
  UINT icon = request_.type & MB_ICONMASK;
  TPen outline(TColor(0, 0, 0));
  dc.SelectObject(outline);
  if (icon == MB_ICONSTOP) {
    TBrush red(TColor(255, 0, 0));
    dc.SelectObject(red);
    dc.Ellipse(r);
    TPen white(TColor(255, 255, 255), 3);
    dc.SelectObject(white);
    dc.MoveTo(r.left + 10, r.top + 10);
    dc.LineTo(r.right - 10, r.bottom - 10);
    dc.MoveTo(r.right - 10, r.top + 10);
    dc.LineTo(r.left + 10, r.bottom - 10);
  } else if (icon == MB_ICONEXCLAMATION) {
    TBrush yellow(TColor(255, 255, 0));
    dc.SelectObject(yellow);
    TPoint tri[3] = {{(r.left + r.right) / 2, r.top + 1}, {r.right - 1, r.bottom - 2}, {r.left, r.bottom - 2}};
    dc.Polygon(tri, 3);
    Control_Paint::Fill(dc, {r.left + 15, r.top + 10, r.left + 18, r.top + 22}, TColor(0, 0, 0));
    Control_Paint::Fill(dc, {r.left + 15, r.top + 24, r.left + 18, r.top + 27}, TColor(0, 0, 0));
  } else {
    TBrush white(TColor(255, 255, 255));
    dc.SelectObject(white);
    dc.Ellipse(r);
    Control_Paint::Centred_Text(dc, r, icon == MB_ICONQUESTION ? "?" : "i", TColor(0, 0, 255),
                                Control_Paint::Bold_Ui_Font());
  }
  dc.RestoreObjects();
}

void TMessage_Box::Paint(TDC& dc, bool, TRect&) {
  TRect icon = Icon_Rect();
  if (!icon.IsEmpty()) Draw_Icon(dc, icon);
  dc.SelectObject(Control_Paint::Ui_Font());
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(Control_Paint::Text);
  int y = text_top_;
  for (const std::string& line : lines_) {
    dc.TextOut(text_left_, y, line);
    y += Line_Height;
  }
  dc.RestoreFont();
}

LRESULT TMessage_Box::EvCommand(UINT id, HWND, UINT notify_code) {
  if (notify_code == BN_CLICKED || notify_code == 0) {
    if (id == IDCANCEL && !cancel_id_) return 0;
    for (TWindow* c : Children())
      if (c->GetId() == int(id)) {
        EndDialog(int(id));
        return 0;
      }
    if (id == IDCANCEL && cancel_id_) EndDialog(cancel_id_);
  }
  return 0;
}

bool TMessage_Box::PreProcessMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_ESCAPE) {
    if (cancel_id_) EndDialog(cancel_id_);
    return true;
  }
  if (msg.wParam == VK_RETURN) {
    // Enter answers with the focused button, else the first one.
    TWindow* focus = TWindow::From_Handle(GetFocus());
    if (focus && focus->Parent == this) EndDialog(focus->GetId());
    else if (!Children().empty()) EndDialog(Children().front()->GetId());
    return true;
  }
  // Tab moves among the answers.
  return TDialog::PreProcessMsg(msg);
}

std::vector<std::string> Message_Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n') lines.emplace_back();
    else if (c != '\r') lines.back() += c;
  }
  return lines;
}

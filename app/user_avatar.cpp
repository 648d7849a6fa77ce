#include "app/user_avatar.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_sizes.h"
#include "users/user.h"

User_Avatar::User_Avatar(int body_width_, int longest_name_width_)
    : body_width(body_width_), longest_name_width(longest_name_width_) {}

void User_Avatar::Set_User(const User& user, const TFont& list_font) {
  font = std::make_unique<TFont>(user.font ? *user.font : list_font);
  color = user.color;
  const int s = (*The_GUI_Sizes)[35];
  if (user.name.empty()) {
    shown_name.clear();
    name_width = name_height = s;
    return;
  }
  TMemoryDC dc;
  dc.SelectObject(*font);
  const std::string& name = user.name;
  size_t length = name.size();
  while (length > 1 && dc.GetTextExtent(std::string_view(name).substr(0, length)).cx > longest_name_width)
    --length;
  if (length < name.size()) {
    const size_t blank = name.rfind(' ', length);
    if (blank != std::string::npos && blank > 0) length = blank;
  }
  shown_name = name.substr(0, length);
  const TSize size = dc.GetTextExtent(shown_name);
  name_width = size.cx + (*The_GUI_Sizes)[29] + 1;
  name_height = size.cy;
}

TRect User_Avatar::Box_At(TPoint foot) const {
  const int width = std::max(body_width, name_width);
  return TRect(foot.x - width, foot.y - name_height, foot.x, foot.y);
}

TRect User_Avatar::Body_At(TPoint foot) const {
  TRect box = Box_At(foot);
  const int extra = box.Width() - body_width;
  if (extra > 0) {
    box.left += extra / 2;
    box.right = box.left + body_width;
  }
  return box;
}

void User_Avatar::Draw(TDC& dc, const TRect& rect) {
  const TPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  if (shown_name.empty()) {
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_6);
    dc.SelectStockObject(NULL_PEN);
    const int r = name_height / 2;
    dc.Ellipse(centre.x - r, centre.y - r, centre.x - r + name_height, centre.y - r + name_height);
    return;
  }
  dc.SelectObject(*font);
  dc.SetTextColor(color);
  dc.SetBkMode(TRANSPARENT);
  const TSize size = dc.GetTextExtent(shown_name);
  dc.TextOut(centre.x - size.cx / 2, centre.y - name_height / 2, shown_name);
}

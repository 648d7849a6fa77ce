#include "platform/window/menu.h"

#include <algorithm>
#include <cstring>

int TMenu::Index(UINT item, UINT flags) const {
  if (flags & MF_BYPOSITION) return item < items_.size() ? int(item) : -1;
  for (size_t i = 0; i < items_.size(); ++i)
    if (!(items_[i].flags & (MF_SEPARATOR | MF_POPUP)) && items_[i].id == item) return int(i);
  return -1;
}

bool TMenu::AppendMenu(UINT flags, UINT id, const std::string& text) {
  items_.push_back({(flags & MF_SEPARATOR) ? 0 : id, flags & ~MF_BYPOSITION, (flags & MF_SEPARATOR) ? "" : text, nullptr});
  return true;
}

bool TMenu::AppendMenu(UINT flags, const TMenu& popup, const std::string& text) {
  TItem item{0, (flags | MF_POPUP) & ~MF_BYPOSITION, text, std::make_shared<TMenu>(popup)};
  items_.push_back(std::move(item));
  return true;
}

TMenu* TMenu::GetSubMenu(int pos) const {
  if (pos < 0 || size_t(pos) >= items_.size()) return nullptr;
  return items_[size_t(pos)].popup.get();
}

bool TMenu::InsertMenu(UINT item, UINT flags, UINT id, const std::string& text) {
  int i = Index(item, flags);
  TItem it{(flags & MF_SEPARATOR) ? 0 : id, flags & ~MF_BYPOSITION, (flags & MF_SEPARATOR) ? "" : text, nullptr};
  if (i < 0) items_.push_back(it);
  else items_.insert(items_.begin() + i, it);
  return true;
}

bool TMenu::ModifyMenu(UINT item, UINT flags, UINT id, const std::string& text) {
  int i = Index(item, flags);
  if (i < 0) return false;
  // A submenu stays with its item.
  TItem& it = items_[size_t(i)];
  it = {(flags & MF_SEPARATOR) ? 0 : id, (flags & ~MF_BYPOSITION) | (it.popup ? UINT(MF_POPUP) : 0u), text, it.popup};
  return true;
}

bool TMenu::RemoveMenu(UINT item, UINT flags) {
  int i = Index(item, flags);
  if (i < 0) return false;
  items_.erase(items_.begin() + i);
  return true;
}

int TMenu::EnableMenuItem(UINT item, UINT flags) {
  int i = Index(item, flags);
  if (i < 0) return -1;
  UINT& f = items_[size_t(i)].flags;
  int old = int(f & (MF_GRAYED | MF_DISABLED));
  f = (f & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return old;
}

int TMenu::CheckMenuItem(UINT item, UINT flags) {
  int i = Index(item, flags);
  if (i < 0) return -1;
  UINT& f = items_[size_t(i)].flags;
  int old = int(f & MF_CHECKED);
  f = (f & ~MF_CHECKED) | (flags & MF_CHECKED);
  return old;
}

UINT TMenu::GetMenuItemID(int pos) const {
  if (pos < 0 || size_t(pos) >= items_.size() || (items_[size_t(pos)].flags & (MF_SEPARATOR | MF_POPUP)))
    return UINT(-1);
  return items_[size_t(pos)].id;
}

int TMenu::GetMenuString(UINT item, char* text, int max_count, UINT flags) const {
  int i = Index(item, flags);
  if (!text || max_count <= 0) return 0;
  text[0] = 0;
  if (i < 0) return 0;
  const std::string& s = items_[size_t(i)].text;
  int n = std::min(int(s.size()), max_count - 1);
  std::memcpy(text, s.data(), size_t(n));
  text[n] = 0;
  return n;
}

std::string TMenu::GetMenuString(UINT item, UINT flags) const {
  int i = Index(item, flags);
  return i < 0 ? std::string() : items_[size_t(i)].text;
}

UINT TMenu::GetMenuState(UINT item, UINT flags) const {
  int i = Index(item, flags);
  return i < 0 ? UINT(-1) : items_[size_t(i)].flags;
}

int TMenu::Mnemonic_Position(const std::string& text) {
  int shown = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i, ++shown) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;  // "&&" shows one '&'
      continue;
    }
    return shown;
  }
  return -1;
}

char TMenu::Mnemonic(const std::string& text) {
  const int at = Mnemonic_Position(text);
  if (at < 0) return 0;
  const char c = Display_Text(text)[size_t(at)];
  return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

std::string TMenu::Display_Text(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

// TMenu: a list of menu items (command id, text, flags) for popup menus and
// the frames' system menus; items are reached by command or by position.
// TrackPopupMenu shows one in its own modal loop and sends the chosen
// command to its owner after the menu has closed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/window/messages.h"

class TWindow;

class TMenu {
 public:
  struct TItem {
    UINT id = 0;
    UINT flags = 0;
    std::string text;
    std::shared_ptr<TMenu> popup;  // MF_POPUP: the submenu it opens
  };

  TMenu() = default;

  bool AppendMenu(UINT flags, UINT id = 0, const std::string& text = "");
  // A submenu (a copy; reach it again with GetSubMenu).
  bool AppendMenu(UINT flags, const TMenu& popup, const std::string& text);
  TMenu* GetSubMenu(int pos) const;
  bool InsertMenu(UINT item, UINT flags, UINT id, const std::string& text);
  bool ModifyMenu(UINT item, UINT flags, UINT id, const std::string& text);
  bool RemoveMenu(UINT item, UINT flags);
  bool DeleteMenu(UINT item, UINT flags) { return RemoveMenu(item, flags); }
  // The previous state (MF_GRAYED / MF_DISABLED bits), or -1 without such an item.
  int EnableMenuItem(UINT item, UINT flags);
  int CheckMenuItem(UINT item, UINT flags);
  int GetMenuItemCount() const { return int(items_.size()); }
  // The id at a position; -1 for a separator or a position past the end
  // (UINT(-1), as the system answers).
  UINT GetMenuItemID(int pos) const;
  // Copies at most max_count - 1 characters of the item's text; returns the
  // number copied.
  int GetMenuString(UINT item, char* text, int max_count, UINT flags) const;
  std::string GetMenuString(UINT item, UINT flags) const;
  UINT GetMenuState(UINT item, UINT flags) const;

  const std::vector<TItem>& Items() const { return items_; }
  // Text of an item with the '&' accelerator marks removed.
  static std::string Display_Text(const std::string& text);
  // The letter after a single '&' (its access key) in upper case, or 0.
  static char Mnemonic(const std::string& text);
  // Where that letter stands in Display_Text, or -1.
  static int Mnemonic_Position(const std::string& text);

 private:
  int Index(UINT item, UINT flags) const;
  std::vector<TItem> items_;
};

// A menu shown at a point. The owner's command enablers decide which items
// are available when it opens; the chosen command reaches the owner as
// WM_COMMAND after the menu has closed; dismissing it sends nothing.
class TPopupMenu : public TMenu {
 public:
  TPopupMenu() = default;
  // 0 when the menu was dismissed; with TPM_RETURNCMD the chosen command is
  // returned instead of sent.
  int TrackPopupMenu(UINT flags, const TPoint& screen, TWindow& owner);
};

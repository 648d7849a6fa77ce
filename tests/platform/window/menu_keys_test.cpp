// An open menu's access keys, and the screen under a menu painted again
// before its choice is acted on.
#include <gtest/gtest.h>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/window/frame_window.h"
#include "platform/window/control_paint.h"
#include "platform/window/menu.h"
#include "platform/window/menu_window.h"
#include "platform/window/screen.h"
#include "tests/platform/window/window_test_support.h"

namespace {

constexpr uint32_t Red = 0xFF0000;

class Red_Window : public TWindow {
 public:
  using TWindow::TWindow;
  void Paint(TDC& dc, bool, TRect&) override { dc.FillRect(GetClientRect(), TBrush{TColor::From_Xrgb(Red)}); }
};

class Menu_Keys_Test : public Headless_Test {
 protected:
  void SetUp() override {
    Place(owner, {0, 0, 600, 400});
    ASSERT_TRUE(owner.Create());
    Run_Until_Idle();
    for (auto [id, text] : {std::pair{1u, "&Restore"}, {2u, "&Move"}, {0u, ""}, {3u, "&Acknowledgements"},
                            {4u, "&About"}, {5u, "Sa&ve && Close"}, {6u, "No && key"}})
      menu.AppendMenu(id ? MF_STRING : MF_SEPARATOR, id, text);
  }
  // Opens the menu with the keys already typed; the command chosen.
  UINT Track_With(std::initializer_list<uint32_t> keys) {
    Keys(keys);
    return Track_Menu(menu, {100, 100}, owner, false);
  }

  Red_Window owner{nullptr};
  TMenu menu;
};

}  // namespace

TEST_F(Menu_Keys_Test, The_Letter_After_The_Ampersand_Chooses_Its_Item) {
  const struct {
    const char* name;
    std::initializer_list<uint32_t> keys;
    UINT chosen;
  } cases[] = {
      {"a key of one item", {'M'}, 2},
      {"a key after a doubled ampersand is still the item's", {'V'}, 5},
      {"a key two items share lights the first", {'A', VK_RETURN}, 3},
      {"and pressed again the next", {'A', 'A', VK_RETURN}, 4},
      {"and again the first", {'A', 'A', 'A', VK_RETURN}, 3},
      {"a key no item has does nothing", {'X', VK_ESCAPE}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Track_With(c.keys), c.chosen);
    Run_Until_Idle();
  }
  EXPECT_EQ(TMenu::Mnemonic("Sa&ve && Close"), 'V');
  EXPECT_EQ(TMenu::Mnemonic("No && key"), 0);
}

TEST_F(Menu_Keys_Test, What_The_Menu_Covered_Is_Painted_Again_Before_The_Choice_Returns) {
  ASSERT_EQ(TDesktop::Current().Screen().Pixel(120, 120), Red);
  // The key comes once the menu is on the screen.
  static THeadless_Backend* backend;
  backend = headless;
  SetTimer(HWND(), 0, 10, [](HWND, UINT, UINT id, uint32_t) {
    KillTimer(HWND(), id);
    EXPECT_NE(TDesktop::Current().Screen().Pixel(120, 120), Red);
    backend->Key('M');
  });
  EXPECT_EQ(Track_Menu(menu, {100, 100}, owner, false), 2u);
  // No message has been handled since the menu closed.
  EXPECT_EQ(TDesktop::Current().Screen().Pixel(120, 120), Red);
}

// The letter an item answers to is underlined, so that a person can see
// which key to press: a line under the whole width of that letter, which no
// letter's own strokes make.
TEST_F(Menu_Keys_Test, The_Access_Letter_Is_Underlined) {
  static TMenu_Window* open;
  static THeadless_Backend* backend;
  TMenu_Window window(menu, owner, false);
  open = &window;
  backend = headless;
  SetTimer(HWND(), 0, 10, [](HWND, UINT, UINT id, uint32_t) {
    KillTimer(HWND(), id);
    const TPoint origin = open->GetWindowRect().TopLeft();
    const struct {
      int item;
      const char* shown;
      size_t letter;
      bool underlined;
    } cases[] = {
        {0, "Restore", 0, true},
        {5, "Save & Close", 2, true},
        {6, "No & key", 0, false},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.shown);
      const TRect item = open->Item_Rect(c.item);
      // The text starts 20 pixels into the item.
      auto x_after = [&](size_t letters) {
        return origin.x + item.left + 20 +
               Control_Paint::Text_Extent(Control_Paint::Ui_Font(), std::string(c.shown, letters)).cx;
      };
      const int left = x_after(c.letter), right = x_after(c.letter + 1);
      bool line = false;
      for (int y = origin.y + item.top; y < origin.y + item.bottom && !line; ++y) {
        bool whole = true;
        for (int x = left; x < right && whole; ++x) whole = TDesktop::Current().Screen().Pixel(x, y) == 0;
        line = whole;
      }
      EXPECT_EQ(line, c.underlined);
    }
    backend->Key(VK_ESCAPE);
  });
  EXPECT_EQ(window.Track({100, 100}), 0u);
}

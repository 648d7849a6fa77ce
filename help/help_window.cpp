#include "help/help_window.h"

#include <strings.h>
#include <unistd.h>

#include "model/shape_catalogue.h"
#include "platform/gdi/memory_dc.h"
#include "platform/system/browser.h"
#include "platform/system/resource.h"
#include "platform/system/settings.h"
#include "platform/window/application.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/program_messages.h"

Help_Window* The_Help_Window = nullptr;

namespace {

constexpr GUI_Picture_Id Show_Picture = 35;

int32_t Unit() { return The_GUI_Sizes ? (*The_GUI_Sizes)[30] : 16; }

// The folder the program runs from, for links below it.
std::string Program_Folder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string folder(path, size_t(n));
  const size_t slash = folder.rfind('/');
  return slash == 0 ? "/" : slash == std::string::npos ? "." : folder.substr(0, slash);
}

// Paints, parents first, every shown window that waits for a paint, so that
// the screen holds what the windows show and nothing a closed popup (a
// menu) left on it.
void Paint_What_Waits(TWindow& window) {
  if (!window.IsWindow() || !window.IsWindowVisible()) return;
  window.UpdateWindow();
  for (TWindow* child : std::vector<TWindow*>(window.Children()))
    if (child->Is_Child()) Paint_What_Waits(*child);
}

}  // namespace

Help_Window::Help_Window(TModule* module) : TWindow(nullptr, "Quendar Help", module) {
  Attr.X = 0;
  Attr.Y = 0;
  Attr.W = GetSystemMetrics(SM_CXSCREEN);
  Attr.H = GetSystemMetrics(SM_CYSCREEN);
  Attr.Style = WS_POPUP | WS_DISABLED;
  const int32_t u = Unit();
  button_width = button_height = 3 * u;
  show_width = 4 * u;
  show_height = 2 * u;
  // The panels stand in the layout the sizes were chosen for, below the
  // frame's caption; arrows point into it on every screen.
  Arrow_Frame = TRect(0, 0, Attr.W, Attr.H);
  if (The_GUI_Sizes) {
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const TPoint origin = The_GUI_Sizes->Origin_On_Screen();
    Arrow_Frame = TRect(origin.x, origin.y + caption, origin.x + (*The_GUI_Sizes)[0],
                        origin.y + caption + (*The_GUI_Sizes)[1]);
  }
  stop_sign = std::make_unique<Octagon>();
  // Called on the watch's thread: it only posts.
  opener_watch = std::make_unique<TOpener_Watch>([this] { PostMessage(Opener_Failed_Message, 0); });
  The_Help_Window = this;
}

Help_Window::~Help_Window() {
  // No opener's end is told to a window on its way out.
  opener_watch.reset();
  Delete_Fonts();
  if (The_Help_Window == this) The_Help_Window = nullptr;
}

void Help_Window::Use_Script(const char* begin, const char* end) {
  script_begin = begin;
  script_end = end;
}

void Help_Window::SetupWindow() {
  TWindow::SetupWindow();
  if (!script_begin) {
    const TResource script = Find_Resource(RT_RCDATA, Script_Resource);
    script_begin = reinterpret_cast<const char*>(script.data);
    script_end = script_begin ? script_begin + script.size : nullptr;
  }
  if (script_begin) Help_Section::Scan(script_begin, script_end, sections.data(), Section_Count);
  Make_Fonts();
  if (The_GUI_Bitmaps) The_GUI_Bitmaps->Get(Show_Picture, TSize(show_width, show_height));
}

Help_Layout_Context Help_Window::Layout_Context(int section) {
  Help_Layout_Context context;
  context.u = Unit();
  context.L = The_GUI_Sizes ? (*The_GUI_Sizes)[32] : context.u;
  context.arrow_frame = Arrow_Frame;
  if (The_GUI_Bitmaps) context.show_picture = The_GUI_Bitmaps->Pictures[size_t(Show_Picture)].get();
  context.single_button = Single_Button_Table[size_t(section)] != 0;
  context.setting = [](const std::string& name) -> std::optional<std::string> {
    char buffer[256];
    if (TSettings::Read(name, buffer, sizeof buffer) > 0) return std::string(buffer);
    if (strcasecmp(name.c_str(), "ProgPath") == 0) return Program_Folder();
    return std::nullopt;
  };
  return context;
}

void Help_Window::Load_Section(int section, const TRect& rect, int round) {
  if (section < 0 || section >= Section_Count || sections[size_t(section)].loaded) return;
  Make_Fonts();
  Help_Layout_Context context = Layout_Context(section);
  // Every run is measured in the text font, links included.
  TMemoryDC measurer;
  measurer.SelectObject(*fonts[Help_Text_Font]);
  context.measure = [&measurer](const char* text, int32_t length) {
    return measurer.GetTextExtent(std::string_view(text, size_t(length)));
  };
  TPoint origin(rect.left, rect.top);
  if (IsWindow()) ScreenToClient(origin);
  const TRect area(origin.x, origin.y, origin.x + rect.Width(), origin.y + rect.Height());
  sections[size_t(section)].Load(context, area, round != 0);
}

void Help_Window::Show_Section(int section, TWindow* new_owner) {
  if (section < 0 || section >= Section_Count) return;
  current_section = section;
  owner = new_owner;
  // The page covers the screen: no panel keeps the pointer under it.
  if (The_Mouse)
    The_Mouse->Release(nullptr);
  else
    ReleaseCapture();
  hover = No_Button;
  focused = Single() ? OK_Button : End_Button;
  Make_Fonts();
  for (TWindow* top : std::vector<TWindow*>(TDesktop::Current().Top_Levels()))
    if (top != this) Paint_What_Waits(*top);
  Save_Screen();
  // Made before the frame, the window would lie below it.
  BringWindowToTop();
  ShowWindow(SW_SHOW);
  EnableWindow(true);
  SetFocus();
}

void Help_Window::Hide(int flag) {
  ShowWindow(SW_HIDE);
  EnableWindow(false);
  Delete_Fonts();
  saved_screen.reset();
  TWindow* told = owner;
  owner = nullptr;
  if (told) told->PostMessage(Help_Closed_Message, WPARAM(current_section), LPARAM(flag));
}

void Help_Window::Reset_Section(int section) {
  if (section < 0 || section >= Section_Count) return;
  sections[size_t(section)].current_page = 0;
  sections[size_t(section)].history.clear();
}

const Help_Page* Help_Window::Current_Page() const {
  const Help_Section* section = Shown();
  return section ? section->Current() : nullptr;
}

void Help_Window::Go_To_Page(int32_t page, bool record) {
  Help_Section* section = Shown();
  if (!section || !section->Page(page)) return;
  const Help_Page* leaving = section->Current();
  if (Single() && leaving && leaving->number < 0) focused = End_Button;
  if (leaving && !leaving->arrows.empty() && saved_screen && IsWindowVisible()) {
    // The old arrows go: the screen as it was, everywhere but the page.
    TClientDC dc(*this);
    const TRegion area = leaving->round ? TRegion::Ellipse(leaving->owner_area) : TRegion(leaving->owner_area);
    dc.SelectClipRgn(TRegion(GetClientRect()) - area);
    TMemoryDC saved(*saved_screen);
    dc.BitBlt(GetClientRect(), saved, TPoint(0, 0));
    dc.RemoveClipRgn();
  }
  if (record && section->current_page != -1) {
    section->history.push_back(section->current_page);
    if (section->history.size() > Help_Section::History_Limit) section->history.pop_front();
  }
  section->current_page = page;
  if (Single() && page < 0) focused = Review_Button;
  if (!Button_Enabled(focused)) focused = Next_Focus(focused);
  if (IsWindowVisible()) {
    TClientDC dc(*this);
    TRect none;
    Paint(dc, false, none);
  }
}

void Help_Window::Start_Demonstration(int32_t number) {
  if (number < 0 || number > 5) return;
  if (GetApplication()) GetApplication()->PumpWaitingMessages();
  if (!Demonstrations) return;
  switch (number) {
    case 0:
    case 1: Demonstrations->Start_Game_Demo(number); break;
    case 2: Demonstrations->Color_Mixing_Demo(); break;
    case 3: Demonstrations->Pattern_Demo(); break;
    case 4: Demonstrations->Multi_Level_Pattern_Demo(); break;
    default: Demonstrations->Manipulator_Demo(); break;
  }
}

bool Help_Window::Open_URL(const std::string& target) {
  switch (Open_In_Browser(target, opener_watch.get())) {
    case Browser_Result::Started: return true;
    case Browser_Result::Not_Found:
      MessageBox("Unable to locate default browser.\n", "Web Access", MB_OK | MB_ICONEXCLAMATION);
      return false;
    default:
      MessageBox("Unable to launch default browser.\n", "Web Access", MB_OK | MB_ICONEXCLAMATION);
      return false;
  }
}

void Help_Window::Opener_Failed() {
  TWindow* main = GetApplication() ? GetApplication()->GetMainWindow() : nullptr;
  if (main && main->IsWindow()) main->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  MessageBox("The default browser could not open the page.\n", "Web Access", MB_OK | MB_ICONEXCLAMATION);
}

LRESULT Help_Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != Opener_Failed_Message) return TWindow::WindowProc(msg, wp, lp);
  // The program steps out of the browser's way with a message posted right
  // after the opener started; a failure posted before it waits behind it,
  // so that the program is not minimised under the box.
  if (wp == 0)
    PostMessage(Opener_Failed_Message, 1);
  else
    Opener_Failed();
  return 0;
}

TRect Screen_Rect(const TWindow& window, const TRect& client_rect) {
  TPoint corner = client_rect.TopLeft();
  window.ClientToScreen(corner);
  return TRect(corner.x, corner.y, corner.x + client_rect.Width(), corner.y + client_rect.Height());
}

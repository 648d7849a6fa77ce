#include "app/title_window.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "model/ipstream.h"
#include "platform/gdi/dib_file.h"
#include "platform/gdi/memory_dc.h"
#include "platform/system/clock.h"
#include "platform/system/resource.h"
#include "platform/window/cursor.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/program_messages.h"

Title_Window* The_Title_Window = nullptr;

namespace {

// The stepper's close message goes through the queue, never sent from the
// worker; the interface thread closes by sending it.
void Post_Close(TWindow& window) { window.PostMessage(WM_CLOSE); }

std::unique_ptr<TDiBitmap> Load_Picture(uint32_t id) {
  const TResource found = Find_Resource(RT_BITMAP, id);
  if (!found) return nullptr;
  std::optional<TDib> dib = TDib_File::Read(found.data, found.size);
  if (!dib || dib->BitsPixel() != 8) return nullptr;
  return std::make_unique<TDiBitmap>(*dib);
}

std::unique_ptr<TPalette> Palette_Of(const TDib& dib) {
  std::vector<TPalette_Entry> entries(size_t(dib.NumColors()));
  for (size_t i = 0; i < entries.size(); ++i) {
    const uint32_t xrgb = dib.GetColors()[i];
    entries[i] = {uint8_t(xrgb >> 16), uint8_t(xrgb >> 8), uint8_t(xrgb), 0};
  }
  return std::make_unique<TPalette>(entries.data(), int(entries.size()));
}

// A layout block read through the object stream; false when the block is
// missing or damaged.
bool Read_Layout(uint32_t id, Title_Data& layout) {
  const TResource found = Find_Resource(RT_RCDATA, id);
  if (!found) return false;
  ipstream in(found.data, found.size);
  in.Read_Version();
  in.Read_Object(layout);
  return !in.Fail();
}

}  // namespace

// ---- Choices

Title_Window::Picture_Set Title_Window::Set_For_Height(int32_t screen_height) {
  switch (screen_height) {
    case 600:
    case 1200: return {4106, 4302, 600};
    case 768:
    case 1536: return {4107, 4303, 768};
    default: return {4105, 4301, 480};
  }
}

uint32_t Title_Window::Step_Interval(uint32_t elapsed_ms) {
  return uint32_t(std::clamp<uint64_t>(2 * uint64_t(elapsed_ms), 250, 2000));
}

TRect Title_Window::Place_On_Screen(const TRect& base_window, const Title_Data& layout, int32_t base_height,
                                    int32_t layout_height) {
  const TRect scaled = layout.Window_Rect();
  if (layout_height == base_height || base_height == 0) return scaled;
  // The stored top counts the frame's caption, which keeps its height on
  // every screen: only the rest grows with the layout, so that the disc
  // still lies over the drawing circle below the caption.
  const int32_t caption = GetSystemMetrics(SM_CYCAPTION);
  const int32_t below_caption = int32_t(int64_t(base_window.top - caption) * layout_height / base_height);
  return scaled.Offset_By(0, caption + below_caption - scaled.top);
}

// ---- Life

Title_Window::Title_Window(TWindow* parent, TModule* module)
    : TWindow(parent, "Quendar Startup", module), Construction_Ticks(GetTickCount()) {
  // The title is laid out like the panels it covers: for the layout's
  // height, in the layout's place on the screen.
  const int32_t screen_width = GetSystemMetrics(SM_CXSCREEN), full_height = GetSystemMetrics(SM_CYSCREEN);
  const int32_t screen_height = GUI_Sizes::Layout_Size(screen_width, full_height).cy;
  const TPoint origin = GUI_Sizes::Layout_Origin(screen_width, full_height);
  const Picture_Set set = Set_For_Height(screen_height);
  Title_Bitmap = Load_Picture(set.bitmap_id);
  if (Title_Bitmap) {
    Title_Palette = Palette_Of(*Title_Bitmap);
    Bitmap_Rect = TRect(0, 0, Title_Bitmap->Width(), Title_Bitmap->Height());
  }
  // A layout that cannot be read leaves an empty window that still closes
  // as usual.
  if (!Read_Layout(set.layout_id, Base_Layout)) Base_Layout = Title_Data();
  if (screen_height != set.base_height) {
    Scaled_Layout = Title_Data::Scaled_Copy(Base_Layout, set.base_height, screen_height);
    Current_Layout = Scaled_Layout.get();
  }
  const TRect place = Place_On_Screen(Base_Layout.Window_Rect(), *Current_Layout, set.base_height, screen_height)
                          .Offset_By(origin.x, origin.y);
  Client_Rect = TRect(0, 0, place.Width(), place.Height());
  Attr.Style = WS_POPUP | WS_VISIBLE;
  Attr.Set_Rect(place);
  The_Title_Window = this;
}

Title_Window::~Title_Window() {
  // The stepper goes first, so that nothing draws or posts for a window on
  // its way out; its wait ends as soon as it is told to stop.
  Stop_Stepper();
  if (The_Title_Window == this) The_Title_Window = nullptr;
  Destroy();
}

void Title_Window::Stop_Stepper() {
  if (!Stepper) return;
  if (Stepper->GetStatus() != TThread::Finished) Stepper->TerminateAndWait();
  Stepper.reset();
}

void Title_Window::SetupWindow() {
  TWindow::SetupWindow();
  const TRegion round = TRegion::Ellipse(Client_Rect);
  SetWindowRgn(&round);
  SetCursor(&TCursor::Wait());
  SetCapture();
}

void Title_Window::CleanupWindow() {
  if (Window_To_Notify) ::PostMessage(Window_To_Notify, Title_Finished_Message, 0, 0);
  ::SetCursor(&TCursor::Arrow());
  if (GetCapture() == GetHandle()) ReleaseCapture();
  TWindow::CleanupWindow();
}

// ---- Start-up's calls

void Title_Window::Use_Program_Palette() {
  Program_Palette_In_Use = true;
  TClientDC dc(*this);
  Draw_Picture(dc);
}

void Title_Window::Start_Stepper() {
  if (Stepper) return;
  const uint32_t interval = Step_Interval(GetTickCount() - Construction_Ticks);
  Stepper = std::make_unique<Stepper_Thread>(*this, interval);
  if (!Stepper->Start()) {
    // Without a worker nothing would ever be uncovered and the title would
    // never close: show the whole picture instead.
    Covered = -1;
    Invalidate();
    return;
  }
  Stepper->SetPriority(1);
}

void Title_Window::Finish(TWindow* notify) {
  Finish_Requested = true;
  Window_To_Notify = notify ? notify->GetHandle() : HWND();
  SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW);
  if (!Mouse_Held) {
    Close_Timer_Running = true;
    SetTimer(Close_Timer, Close_Delay_Ms);
  }
}

// ---- Drawing

void Title_Window::Select_Palette(TDC& dc) const {
  if (Program_Palette_In_Use && The_GUI_Colors && The_GUI_Colors->Palette)
    dc.SelectPalette(*The_GUI_Colors->Palette);
  else if (Title_Palette)
    dc.SelectPalette(*Title_Palette);
  dc.RealizePalette();
}

void Title_Window::Paint(TDC& dc, bool, TRect&) { Draw_Picture(dc); }

void Title_Window::Draw_Picture(TDC& dc) {
  if (!Title_Bitmap) return;
  Select_Palette(dc);
  TDiBitmap copy(*Title_Bitmap);
  TMemoryDC memory(copy);
  Select_Palette(memory);
  // The top-left pixel has the covering colour.
  const TColor corner = memory.GetPixel(0, 0);
  memory.SelectObject(TBrush(TColor::Palette_Rgb(corner.Red(), corner.Green(), corner.Blue())));
  memory.SelectStockObject(NULL_PEN);
  const int32_t covered = std::min<int32_t>(Covered, Title_Data::Area_Count);
  for (int32_t i = 0; i < covered; ++i) memory.Ellipse(Base_Layout.Area(i).Inflated_By(1, 1));
  dc.StretchBlt(Client_Rect, memory, Bitmap_Rect);
}

void Title_Window::Step() {
  const int32_t covered = --Covered;
  if (covered < 0) {
    if (Finish_Requested && !Close_Timer_Running && !Mouse_Held) Post_Close(*this);
    return;
  }
  if (!Title_Bitmap) return;
  TClientDC dc(*this);
  TRect pending;
  if (GetUpdateRect(pending)) {
    Draw_Picture(dc);
    return;
  }
  Select_Palette(dc);
  const TRect& to = Current_Layout->Area(covered);
  dc.SelectClipRgn(TRegion::Ellipse(to));
  // The bitmap's rows are stored bottom-up and counted from the bottom, the
  // layout's areas from the top.
  const TRect& area = Base_Layout.Area(covered);
  const int32_t height = Title_Bitmap->Height();
  dc.StretchDIBits(to, TRect(area.left, height - area.bottom, area.right, height - area.top), *Title_Bitmap);
}

// ---- Input and timer

void Title_Window::EvLButtonDown(UINT, const TPoint& point) {
  if (!TRegion::Ellipse(Client_Rect).Contains(point)) return;
  Mouse_Held = true;
  if (Close_Timer_Running) {
    KillTimer(Close_Timer);
    Close_Timer_Running = false;
  }
}

void Title_Window::EvLButtonUp(UINT, const TPoint&) {
  if (!Mouse_Held) return;
  Mouse_Held = false;
  if (Finish_Requested) SendMessage(WM_CLOSE);
}

void Title_Window::EvTimer(UINT timer_id) {
  if (timer_id != Close_Timer) return;
  KillTimer(Close_Timer);
  Close_Timer_Running = false;
  // Not all uncovered yet: the stepper closes the window after its last step.
  if (Covered < 0) SendMessage(WM_CLOSE);
}

void Title_Window::EvSysCommand(UINT cmd_type, const TPoint& point) {
  if ((cmd_type & 0xFFF0) == SC_SCREENSAVE) return;
  TWindow::EvSysCommand(cmd_type, point);
}

// ---- The stepper

Title_Window::Stepper_Thread::Stepper_Thread(Title_Window& window, uint32_t interval_ms)
    : window_(window), interval_(interval_ms) {}

Title_Window::Stepper_Thread::~Stepper_Thread() {
  // The base waits for the body; make sure it is not asleep meanwhile.
  Terminate();
  WaitForExit();
}

void Title_Window::Stepper_Thread::Terminate() {
  TThread::Terminate();
  wake_.Set();
}

int32_t Title_Window::Stepper_Thread::Run() {
  while (!ShouldTerminate() && window_.Covered >= 0) {
    window_.Step();
    if (window_.Covered >= 0) wake_.Wait(interval_);
  }
  return 0;
}

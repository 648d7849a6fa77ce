#include "gallery/printer_io.h"

#include <algorithm>

#include "gallery/drawing_collection.h"
#include "gallery/gallery_window.h"
#include "gallery/printer.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "platform/system/clock.h"
#include "platform/window/command_enabler.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/icon.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "platform/window/window_dc.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/mouse.h"
#include "toolkit/rectangular_button.h"
#include "toolkit/tip_window.h"

namespace {

constexpr Drawing_Place Printer_Slot{Drawing_Place::Slot, Drawing_Place::Printer_Slot, 0};

int Size(int index) { return The_GUI_Sizes ? (*The_GUI_Sizes)[index] : 0; }

}  // namespace

const TResponse_Table<Printer_IO> Printer_IO::Table = {
    EV_COMMAND<Printer_IO>(Printer_IO::Setup_Id, &Printer_IO::Cm_Setup),
    EV_COMMAND<Printer_IO>(Printer_IO::Abort_Id, &Printer_IO::Cm_Abort),
    EV_COMMAND_ENABLE<Printer_IO>(Printer_IO::Setup_Id, &Printer_IO::Ce_Setup),
    EV_COMMAND_ENABLE<Printer_IO>(Printer_IO::Abort_Id, &Printer_IO::Ce_Abort),
};

Printer_IO::Printer_IO(Gallery_Window* gallery, const TRect& rect)
    : Gallery_IO_Point(gallery, "Printer Window", Printer_Id, rect, "Printer"), printout(this) {
  const int width = area.Width();
  const int s = Size(10) / 6, g = Size(29);
  paper_area = TRect((width - s) / 2, 0, (width - s) / 2 + s, s);
  const int h = width * 3 / 5;
  const int top = paper_area.bottom - (h * 3) / 4;
  printer_area = TRect(g, top, width - g, top + h);
  const int bh = (h * 4) / 10, bw = (width - 3 * g) / 2;
  const int t = bh / 3 + printer_area.bottom;
  setup_rect = TRect(g, t, g + bw, t + bh);
  abort_rect = setup_rect.Offset_By(g + bw, 0);
  setup_button = new Rectangular_Button(this, Setup_Id, setup_rect, 0, this);
  abort_button = new Rectangular_Button(this, Abort_Id, abort_rect, 0, this);
  region = TRegion(printer_area);
  drop_area = TRect(paper_area.left, paper_area.top, paper_area.right, printer_area.bottom).Offset_By(rect.left, rect.top);
}

Printer_IO::~Printer_IO() {
  // The printout lives in this point: the job's thread must be done with it.
  if (The_Printer) The_Printer->Forget_Client(this);
  if (The_Tip_Window && !tip.empty()) The_Tip_Window->Forget(tip.c_str());
}

bool Printer_IO::Printer_Undefined() { return !The_Printer || !The_Printer->Defined(); }

bool Printer_IO::Slot_Holds_Drawing() const {
  Drawing_Collection* store = Store();
  return store && store->State(Printer_Slot) != 0;
}

Drawing_Place Printer_IO::My_Place() const { return Printer_Slot; }

bool Printer_IO::Find(TEventInfo& info) { return Table.Dispatch(*this, info) || Gallery_IO_Point::Find(info); }

void Printer_IO::Make_Tip() {
  shows_undefined = Printer_Undefined();
  // The tip may still show the old text: it forgets it before it goes.
  if (The_Tip_Window && !tip.empty()) The_Tip_Window->Forget(tip.c_str());
  tip = "Printer: " + (The_Printer ? The_Printer->Device_Name() : std::string("Undefined"));
  tip_text = tip.c_str();
}

void Printer_IO::SetupWindow() {
  Gallery_IO_Point::SetupWindow();
  Make_Tip();
  if (The_GUI_Metafiles) {
    The_GUI_Metafiles->Ensure(Printer_Picture);
    if (auto dc = Backdrop_DC()) The_GUI_Metafiles->Play(Printer_Picture, *dc, printer_area);
    The_GUI_Metafiles->Release(Printer_Picture);
  }
  setup_button->Set_Caption("Setup");
  abort_button->Set_Caption("Abort");
}

void Printer_IO::Paint(TDC& dc, bool, TRect&) {
  if (The_GUI_Colors) {
    dc.SelectPalette(*The_GUI_Colors->Palette, false);
    dc.RealizePalette();
  }
  const TRegion clip = TRegion(area) - TRegion(setup_rect) - TRegion(abort_rect);
  dc.SelectClipRgn(&clip);
  if (backdrop) {
    TMemoryDC source(*backdrop);
    dc.BitBlt(area, source, TPoint(0, 0));
  }
  Drawing_Collection* store = Store();
  if (shown && miniature && store && store->State(Printer_Slot) == 3) {
    const TRegion disc = TRegion::Ellipse(paper_area);
    dc.SelectClipRgn(&disc);
    miniature->Paint(dc, paper_area);
  }
  if (Printer_Undefined()) {
    dc.SelectClipRgn(&clip);
    const int pw = std::max(2, printer_area.Height() / 25);
    dc.SelectObject(TPen(TColor::Black, pw, PS_GEOMETRIC | PS_SOLID));
    dc.SelectObject(TBrush(TColor::Black));
    const TRect& r = printer_area;
    dc.MoveTo(r.left + pw, r.bottom);
    dc.LineTo(r.right - pw, r.top);
    dc.MoveTo(r.right - pw, r.bottom);
    dc.LineTo(r.left + pw, r.top);
  }
  dc.SelectClipRgn(nullptr);
}

void Printer_IO::EvMouseMove(UINT keys, const TPoint& point) {
  if (!Slot_Holds_Drawing()) Gallery_IO_Point::EvMouseMove(keys, point);
}

void Printer_IO::Accept_Drop(const Drawing_Place& source) {
  Drawing_Collection* store = Store();
  if (!store || Printer_Undefined() || store->State(Printer_Slot) != 0) return;
  if (!(The_Printer->Device_Caps(RASTERCAPS) & RC_BITBLT)) {
    ::MessageBox(GetHandle(), The_Printer->Device_Name() + " cannot print bitmaps, try a different printer.",
                 "Printer Error", MB_OK | MB_ICONHAND);
    return;
  }
  store->Move(Printer_Slot, source);
  Shape_Drawing* full = store->Picture(Printer_Slot, Full_Picture_Size, 0, HWND());
  if (!full) {
    // Nothing to print: the slot must not stay filled without a job.
    store->Forget_Place(Printer_Slot);
    Redraw();
    return;
  }
  if (The_Tip_Window && tip_text) The_Tip_Window->Press_Item(tip_text);
  auto copy = std::make_unique<Shape_Drawing>(*full, true);
  Shape_Drawing* small = store->Picture(Printer_Slot, Sixth_Picture_Size, 0, HWND());
  miniature = small ? std::make_unique<Shape_Drawing>(*small, true) : nullptr;
  shown = 1;
  Redraw();
  printout.Set_Drawing(std::move(copy));
  if (!The_Printer->Submit(&printout, this)) {
    store->Forget_Place(Printer_Slot);
    printout.Set_Drawing(nullptr);
    Redraw();
    return;
  }
  abort_button->SetCapture();
  ::SetCursor(LoadCursor(TModule::Program(), Print_Cursor_Id));
  busy = 1;
  started = GetTickCount();
}

bool Printer_IO::IdleAction(long idle_count) {
  // The printer's server may come or go at any time: the cross and the
  // tip follow it.
  if (IsWindow() && Printer_Undefined() != shows_undefined) {
    Make_Tip();
    Redraw();
  }
  return Gallery_IO_Point::IdleAction(idle_count);
}

bool Printer_IO::PreProcessMsg(MSG& msg) {
  // While the print cursor waits for Abort, a press anywhere else ends the
  // wait and goes to what it hits, as if the mouse had never been held.
  const bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN || msg.message == WM_MBUTTONDOWN;
  if (!busy || !press || msg.hwnd != abort_button->GetHandle() || GetCapture() != msg.hwnd)
    return Gallery_IO_Point::PreProcessMsg(msg);
  if (abort_button->On_Button(POINT_FROM_LPARAM(msg.lParam))) return false;
  Restore_Cursor();
  MSG again = msg;
  if (TDesktop::Current().Route_Again(again)) ::PostMessage(again.hwnd, again.message, again.wParam, again.lParam);
  return true;
}

void Printer_IO::Restore_Cursor() {
  if (!busy) return;
  ::SetCursor(&TCursor::Arrow());
  busy = 0;
  if (!The_Mouse || !The_Mouse->Holder()) TWindow::ReleaseCapture();
}

void Printer_IO::Job_Printing(Printout*) {
  Restore_Cursor();
  SetTimer(Blink_Timer, Shown_Ms);
}

void Printer_IO::Empty_Slot() {
  if (Drawing_Collection* store = Store()) store->Forget_Place(Printer_Slot);
  miniature.reset();
  Redraw();
}

void Printer_IO::Job_Ended(Printout*) {
  Restore_Cursor();
  if (!Slot_Holds_Drawing()) return;
  KillTimer(Blink_Timer);
  Empty_Slot();
}

void Printer_IO::EvTimer(UINT) {
  KillTimer(Blink_Timer);
  if (!Slot_Holds_Drawing()) return;
  if (uint32_t(GetTickCount() - started) > Give_Up_Ms) {
    Empty_Slot();
    if (The_Printer) The_Printer->Cancel_Job();
    return;
  }
  shown = !shown;
  Redraw();
  if (The_Tip_Window && The_Tip_Window->Shown) The_Tip_Window->Redraw();
  SetTimer(Blink_Timer, shown ? Shown_Ms : Hidden_Ms);
}

void Printer_IO::Cm_Setup() {
  if (The_Printer) The_Printer->Setup(this);
  Make_Tip();
}

void Printer_IO::Cm_Abort() {
  if (!Slot_Holds_Drawing()) return;
  Restore_Cursor();
  if (The_Printer) The_Printer->Cancel_Job();
}

void Printer_IO::Ce_Setup(TCommandEnabler& enabler) { enabler.Enable(!Slot_Holds_Drawing()); }

void Printer_IO::Ce_Abort(TCommandEnabler& enabler) { enabler.Enable(Slot_Holds_Drawing()); }

#include "gallery/printer.h"

#include "gallery/page_setup_dialog.h"
#include "platform/gdi/pdf_page_writer.h"
#include "platform/gdi/print_dc.h"
#include "platform/system/clock.h"
#include "platform/window/application.h"
#include "platform/window/message_box.h"

Printer* The_Printer = nullptr;

namespace {

constexpr uint32_t Short_Poll_Ms = 500;
constexpr uint32_t Long_Poll_Ms = 5000;
// A five-second look counts as on time when it comes this soon after the job
// was first seen.
constexpr uint32_t On_Time_Ms = 5050;

int32_t Hmm_To_Pixels(int32_t hmm, int32_t dpi) { return int32_t(int64_t(hmm) * dpi / 2540); }
double Hmm_To_Points(int32_t hmm) { return hmm * 72.0 / 2540.0; }

// The paper as it lies: landscape turns the sheet and its margins.
TPrint_Media Lying(const TPrint_Media& media, int16_t orientation) {
  if (orientation != DMORIENT_LANDSCAPE) return media;
  TPrint_Media turned = media;
  turned.width = media.length;
  turned.length = media.width;
  turned.left = media.top;
  turned.top = media.right;
  turned.right = media.bottom;
  turned.bottom = media.left;
  return turned;
}

}  // namespace

Printer::Printer(TPrint_Service* service)
    : service(service ? service : &TPrint_Service::Current()), thread(this) {
  The_Printer = this;
  Find_Default_Printer();
}

Printer::~Printer() {
  // Nobody may be told of a job any more, but the job's thread must not
  // outlive the printer it reads.
  abort = true;
  thread.WaitForExit();
  if (printout && status == 0 && submitted > 0) {
    job_id = submitted;
    if (!Job_Done()) service->Cancel(data.device.name, job_id);
  }
  poll_timer.Stop();
  if (The_Printer == this) The_Printer = nullptr;
}

void Printer::Find_Default_Printer() {
  data.flags = PD_RETURNDC;
  if (!service->Default_Printer(data.device)) {
    data.error = PDERR_NODEFAULTPRN;
    data.device = TPrinter_Description();
    return;
  }
  data.margins = TRect(1500, 1500, 1500, 1500);
  data.page_setup = true;
  data.page_setup_flags |= PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
}

std::string Printer::Device_Name() const { return Defined() ? data.device.name : std::string("Undefined"); }

void Printer::Setup(TWindow* owner) {
  if (printout) return;  // the print data stay as they are while a job runs
  Page_Setup_Dialog dialog(owner, *service, data);
  if (dialog.Execute() != IDOK) return;
  data = dialog.Result();
}

void Printer::Set_Margins(const TRect& margins) {
  data.margins = margins;
  if (!Defined()) return;
  data.page_setup = true;
  data.page_setup_flags |= PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
}

void Printer::Set_Orientation(int16_t orientation) {
  if (!Defined()) return;
  data.orientation = orientation;
  Set_Margins(data.margins);
}

TSize Printer::Printable_Size() const {
  const TPrint_Media media = Lying(data.device.media, data.orientation);
  const int32_t dpi_x = data.device.dpi_x, dpi_y = data.device.dpi_y;
  return TSize(Hmm_To_Pixels(media.width - media.left - media.right, dpi_x),
               Hmm_To_Pixels(media.length - media.top - media.bottom, dpi_y));
}

int Printer::Device_Caps(int index) const {
  if (!Defined()) return 0;
  const bool landscape = data.orientation == DMORIENT_LANDSCAPE;
  switch (index) {
    case HORZRES: return Printable_Size().cx;
    case VERTRES: return Printable_Size().cy;
    case LOGPIXELSX: return landscape ? data.device.dpi_y : data.device.dpi_x;
    case LOGPIXELSY: return landscape ? data.device.dpi_x : data.device.dpi_y;
    // A page of kept pictures prints bitmaps and never needs bands.
    case RASTERCAPS: return RC_BITBLT | RC_DI_BITMAP | RC_STRETCHBLT | RC_STRETCHDIB;
    default: return 0;
  }
}

bool Printer::Submit(Printout* job, Printer_Client* job_client) {
  if (printout) return false;
  printout = job;
  client = job_client;
  status = 0;
  submitted = 0;
  abort = false;
  watched = true;
  // Without a printer there is nothing to watch: the job's end is the end
  // of its thread.
  open = Defined();
  if (!open) watched = false;
  if (!thread.Start()) {
    // No thread: the job failed before it began.
    status = SP_ERROR;
  }
  Start_Polling(Short_Poll_Ms);
  return true;
}

bool Printer::Abort_Proc(int code) const { return !abort && (code == 0 || code == SP_OUTOFDISK); }

bool Printer::Thread_Running() {
  const TThread::TStatus state = thread.GetStatus();
  return state == TThread::Running || state == TThread::Suspended;
}

TRect Printer::Page_Rectangle(int width, int height, int dpi_x, int dpi_y) const {
  TRect page(0, 0, width, height);
  const TRect& m = data.margins;
  const TRect& minimum = data.minimum_margins;
  auto inset = [](int32_t margin, int32_t least, int32_t dpi) { return int32_t(int64_t(margin - least) * dpi / 1000); };
  if (m.left) page.left += inset(m.left, minimum.left, dpi_x);
  if (m.right) page.right -= inset(m.right, minimum.right, dpi_x);
  if (m.top) page.top += inset(m.top, minimum.top, dpi_y);
  if (m.bottom) page.bottom -= inset(m.bottom, minimum.bottom, dpi_y);
  return page;
}

int32_t Printer::Submit_Thread::Run() {
  printer->Print_Job();
  return 0;
}

// The job's thread: reads the print data and the printout, writes only
// status and submitted.
void Printer::Print_Job() {
  // Starting the document: without a printer it cannot start.
  if (!open) {
    status = SP_ERROR;
    return;
  }
  const int width = Device_Caps(HORZRES), height = Device_Caps(VERTRES);
  const int dpi_x = Device_Caps(LOGPIXELSX), dpi_y = Device_Caps(LOGPIXELSY);
  TPrintDC dc(width, height, dpi_x, dpi_y, TPrintDC::TKind::Kept);
  const TRect page = Page_Rectangle(width, height, dpi_x, dpi_y);
  status = 0;
  printout->Begin_Printing(page, TPoint(dpi_x, dpi_y));
  if (Abort_Proc(0)) {
    dc.SaveDC();
    printout->Print_Page(dc, page);
    dc.RestoreDC(-1);
  }
  if (Abort_Proc(0)) {
    const TPrint_Media media = Lying(data.device.media, data.orientation);
    TPdf_Page_Geometry geometry;
    geometry.width_pt = Hmm_To_Points(media.width);
    geometry.height_pt = Hmm_To_Points(media.length);
    geometry.origin_x_pt = Hmm_To_Points(media.left);
    geometry.origin_y_pt = Hmm_To_Points(media.top);
    geometry.dpi_x = dpi_x;
    geometry.dpi_y = dpi_y;
    const std::vector<uint8_t> pdf = TPdf_Page_Writer::Write(geometry, dc.Pictures());
    // The last chance to stop: nothing has reached the printer yet.
    if (pdf.empty()) status = SP_ERROR;
    else if (Abort_Proc(0)) {
      submitted = service->Submit(data.device.name, printout->title, data.device.media.name, pdf);
      if (submitted <= 0) status = SP_ERROR;
    }
  }
  printout->End_Printing();
}

void Printer::Start_Polling(uint32_t interval) {
  poll_interval = interval;
  poll_timer.Start(interval, true, this);
}

bool Printer::Find_Job() {
  if (!open || submitted <= 0) return false;
  job_id = submitted;
  return true;
}

bool Printer::Job_Done() {
  if (!open || status != 0) return true;
  if (job_id <= 0 && !Find_Job()) return true;
  switch (service->Job_State(data.device.name, job_id)) {
    case TPrint_Job_State::Waiting:
    case TPrint_Job_State::Printing: return false;
    case TPrint_Job_State::Failed:
      // The printer gave the job up: the user hears of it.
      status = SP_ERROR;
      return true;
    default: return true;
  }
}

void Printer::Timer_Tick() {
  if (!printout) return;
  if (Thread_Running()) return;
  // A job whose thread failed is reported at once, watched or not; a job
  // that never reached the printer (aborted) has nothing to look for.
  if (status == 0 && watched && job_id <= 0) {
    if (Find_Job()) {
      just_seen = true;
      stamp = GetTickCount();
      Start_Polling(Long_Poll_Ms);
      return;
    }
  } else if (status == 0 && watched && !Job_Done()) {
    if (just_seen) {
      const uint32_t now = GetTickCount();
      if (uint32_t(now - stamp) < On_Time_Ms) {
        just_seen = false;
        if (client) client->Job_Printing(printout);
        Start_Polling(Short_Poll_Ms);
      }
      stamp = now;
    }
    return;
  }
  poll_timer.Stop();
  poll_interval = 0;
  if (status & SP_NOTREPORTED) {
    TWindow* main = TApplication::Current() ? TApplication::Current()->GetMainWindow() : nullptr;
    ::MessageBox(main ? main->GetHandle() : HWND(), "Unable to print " + printout->title, "Printer Error",
                 MB_OK | MB_ICONHAND);
  }
  End_Job();
}

void Printer::End_Job() {
  Printer_Client* told = client;
  Printout* done = printout;
  client = nullptr;
  printout = nullptr;
  open = false;
  job_id = -1;
  just_seen = false;
  if (told) told->Job_Ended(done);
}

bool Printer::Cancel_Job() {
  if (!printout) return false;
  abort = true;
  thread.WaitForExit();
  if (job_id > 0 && !Job_Done()) {
    service->Cancel(data.device.name, job_id);
    return true;
  }
  // Not seen yet, but a job the printer has already taken would still
  // print: it is withdrawn there too.
  if (job_id <= 0 && submitted > 0 && status == 0) service->Cancel(data.device.name, submitted);
  poll_timer.Stop();
  poll_interval = 0;
  End_Job();
  return true;
}

void Printer::Forget_Client(Printer_Client* gone) {
  if (!printout || client != gone) return;
  abort = true;
  thread.WaitForExit();
  const int32_t id = job_id > 0 ? job_id : submitted;
  if (id > 0 && status == 0) {
    job_id = id;
    if (!Job_Done()) service->Cancel(data.device.name, id);
  }
  client = nullptr;
  poll_timer.Stop();
  poll_interval = 0;
  End_Job();
}

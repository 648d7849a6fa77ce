#include "gallery/printer.h"

#include <chrono>
#include <memory>
#include <system_error>
#include <thread>

#include "gallery/page_setup_dialog.h"
#include "gallery/print_catalogue.h"
#include "platform/gdi/pdf_page_writer.h"
#include "platform/gdi/print_dc.h"
#include "platform/system/clock.h"
#include "platform/window/application.h"
#include "platform/window/input_hold.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "platform/window/message_box.h"

Printer* The_Printer = nullptr;

namespace {

constexpr uint32_t Short_Poll_Ms = 500;
constexpr uint32_t Long_Poll_Ms = 5000;
// A five-second look counts as on time when it comes this soon after the job
// was first seen.
constexpr uint32_t On_Time_Ms = 5050;
// Looks in a row that the server leaves unanswered before it counts as gone.
constexpr int Lost_After_Looks = 3;

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
    : service(service ? service : &TPrint_Service::Current()), thread(this), line([] {
        if (TDesktop::Running()) ::PostMessage(HWND(), WM_TIMER, 0, LPARAM(&Printer::Answers_Arrived));
      }) {
  The_Printer = this;
  // Until the server names it there is no printer to print on.
  data.error = PDERR_NODEFAULTPRN;
  Ask_For_Printer();
  Start_Polling(Short_Poll_Ms);
}

Printer::~Printer() {
  // Nobody may be told of a job any more, but the job's thread must not
  // outlive the printer it reads. What the line has not started is
  // dropped; a job the server may still print is withdrawn there.
  line.Clear();
  Stop_Job_Thread();
  Withdraw(printout && status == 0 && !Known_Done() ? submitted : 0);
  line.Finish();
  poll_timer.Stop();
  if (The_Printer == this) The_Printer = nullptr;
}

// A posted window-less timer message runs this on the user-interface thread
// (the printer itself may be gone by then, or another made).
void Printer::Answers_Arrived(HWND, UINT, UINT, uint32_t) {
  if (The_Printer) The_Printer->Take_Answers();
}

void Printer::Ask_For_Printer() {
  asking_printer = true;
  // Once known, the printer the user chose is asked after, not the default.
  const std::string name = printer_known ? data.device.name : std::string();
  line.Post([this, name] {
    Printer_Answer answer;
    answer.found = name.empty() ? service->Default_Printer(answer.device) : service->Describe(name, answer.device);
    std::lock_guard lock(answers_lock);
    printer_answer = answer;
  });
}

void Printer::Settle() {
  line.Wait_Idle();
  Take_Answers();
}

void Printer::Take_Answers() {
  std::optional<Printer_Answer> about_printer;
  std::optional<Look_Answer> about_job;
  {
    std::lock_guard lock(answers_lock);
    about_printer.swap(printer_answer);
    about_job.swap(look_answer);
  }
  if (about_printer) Printer_Answered(*about_printer);
  if (about_job) {
    looking = false;
    if (printout && !ending && about_job->job == job_id) Job_Looked_At(about_job->state);
  }
}

void Printer::Printer_Answered(const Printer_Answer& answer) {
  asking_printer = false;
  if (!printer_known) {
    printer_known = true;
    Take_Default_Printer(answer);
  } else if (answer.found && lost) {
    // The server answers again: drops are taken again.
    lost = false;
  }
  if (!printout && !lost) Stop_Polling();
}

void Printer::Take_Default_Printer(const Printer_Answer& answer) {
  data.flags = PD_RETURNDC;
  if (!answer.found) {
    data.error = PDERR_NODEFAULTPRN;
    data.device = TPrinter_Description();
    return;
  }
  data.error = 0;
  data.device = answer.device;
  data.margins = TRect(1500, 1500, 1500, 1500);
  data.page_setup = true;
  data.page_setup_flags |= PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
}

std::string Printer::Device_Name() const {
  return data.error != PDERR_NODEFAULTPRN ? data.device.name : std::string("Undefined");
}

void Printer::Setup(TWindow* owner) {
  if (printout) return;  // the print data stay as they are while a job runs
  // The printers and their papers are asked on the line; the interface
  // goes on painting meanwhile, taking no input.
  auto catalogue = std::make_shared<Print_Catalogue>();
  auto filled = std::make_shared<std::atomic<bool>>(false);
  line.Post([this, catalogue, filled] {
    catalogue->Fill(*service);
    *filled = true;
  });
  const HWND asked_by = owner ? owner->GetHandle() : HWND();
  if (!Wait_Holding(*filled)) return;
  // The window that asked went while the printers were asked after (its
  // gallery closed): there is nothing left to set up for.
  if (owner && (!TDesktop::Current().Window(asked_by) || !owner->IsWindowVisible())) return;
  if (catalogue->Printer_Names().empty()) {
    ::MessageBox(asked_by, "No printer answers, so the page cannot be set up now.", "Page Setup",
                 MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  Page_Setup_Dialog dialog(owner, *catalogue, data);
  if (dialog.Execute() != IDOK) return;
  data = dialog.Result();
}

bool Printer::Wait_Holding(const std::atomic<bool>& done) {
  // The program is held as under a box, for a server that is slow to answer
  // may take many seconds: a click meanwhile (the gallery's Cancel) would
  // leave the answer nobody to go to.
  TInput_Hold hold;
  while (!done) {
    if (!TDesktop::Current().Pump_Waiting_Messages()) return false;
    if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
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

TSize Printer::Printable_Size(const Print_Data& data) {
  const TPrint_Media media = Lying(data.device.media, data.orientation);
  const TPoint ppi = Pixels_Per_Inch(data);
  return TSize(Hmm_To_Pixels(media.width - media.left - media.right, ppi.x),
               Hmm_To_Pixels(media.length - media.top - media.bottom, ppi.y));
}

TPoint Printer::Pixels_Per_Inch(const Print_Data& data) {
  const bool landscape = data.orientation == DMORIENT_LANDSCAPE;
  return landscape ? TPoint(data.device.dpi_y, data.device.dpi_x) : TPoint(data.device.dpi_x, data.device.dpi_y);
}

int Printer::Device_Caps(int index) const {
  if (!Defined()) return 0;
  switch (index) {
    case HORZRES: return Printable_Size(data).cx;
    case VERTRES: return Printable_Size(data).cy;
    case LOGPIXELSX: return Pixels_Per_Inch(data).x;
    case LOGPIXELSY: return Pixels_Per_Inch(data).y;
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
  unreachable = false;
  hand_over = std::make_shared<Hand_Over>();
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

TRect Printer::Page_Of(const Print_Data& data) {
  const TSize printable = Printable_Size(data);
  const TPoint ppi = Pixels_Per_Inch(data);
  TRect page(0, 0, printable.cx, printable.cy);
  const TRect& m = data.margins;
  const TRect minimum = Own_Margins(data);
  auto inset = [](int32_t margin, int32_t least, int32_t dpi) { return int32_t(int64_t(margin - least) * dpi / 1000); };
  if (m.left) page.left += inset(m.left, minimum.left, ppi.x);
  if (m.right) page.right -= inset(m.right, minimum.right, ppi.x);
  if (m.top) page.top += inset(m.top, minimum.top, ppi.y);
  if (m.bottom) page.bottom -= inset(m.bottom, minimum.bottom, ppi.y);
  return page;
}

TRect Printer::Own_Margins(const Print_Data& data) {
  // They turn with the sheet, as its printable area does (see Lying).
  const TRect& own = data.minimum_margins;
  return data.orientation == DMORIENT_LANDSCAPE ? TRect(own.top, own.right, own.bottom, own.left) : own;
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
  const TRect page = Page_Of(data);
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
      submitted = Hand_To_Server(pdf);
      unreachable = submitted == TPrint_Service::Unreachable_Server;
      if (submitted <= 0) status = SP_ERROR, submitted = 0;
    }
  }
  printout->End_Printing();
}

int32_t Printer::Hand_To_Server(std::vector<uint8_t> pdf) {
  // The sender keeps what it needs of its own: the printer may be gone
  // before the server answers.
  std::shared_ptr<Hand_Over> share = hand_over;
  TPrint_Service* to = service;
  auto send = [share, to, name = data.device.name, title = printout->title, paper = data.device.media.name,
               pdf = std::move(pdf)] {
    const int32_t job = to->Submit(name, title, paper, pdf);
    bool let_go = false;
    {
      std::lock_guard lock(share->lock);
      share->answered = true;
      share->job = job;
      let_go = share->let_go;
      share->changed.notify_all();
    }
    // Taken after all by a job that was let go: nobody else knows of it.
    if (let_go && job > 0) to->Cancel(name, job);
  };
  try {
    std::thread(std::move(send)).detach();
  } catch (const std::system_error&) {
    return 0;  // no thread to send it: the job fails
  }
  std::unique_lock lock(share->lock);
  share->changed.wait(lock, [&] { return share->answered || share->let_go; });
  return share->answered ? share->job : 0;
}

bool Printer::Find_Job() {
  if (!open || submitted <= 0) return false;
  job_id = submitted;
  return true;
}

void Printer::Look_At_Job() {
  looking = true;
  look_time = GetTickCount();
  const int32_t id = job_id;
  const std::string name = data.device.name;
  line.Post([this, id, name] {
    const TPrint_Job_State state = service->Job_State(name, id);
    std::lock_guard lock(answers_lock);
    look_answer = Look_Answer{id, state};
  });
}

bool Printer::Known_Done() const {
  switch (last_state) {
    case TPrint_Job_State::Waiting:
    case TPrint_Job_State::Printing:
    case TPrint_Job_State::Unreachable: return false;
    default: return true;
  }
}

void Printer::Timer_Tick() {
  Take_Answers();
  if (ending) return;
  if (!printout) {
    if (lost && !asking_printer) Ask_For_Printer();
    return;
  }
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
  } else if (status == 0 && watched) {
    // The answer is taken when it comes; a look still on its way is not
    // asked again.
    if (!looking) Look_At_Job();
    return;
  }
  if (unreachable) Lose_Server();
  else Finish_Job();
}

void Printer::Job_Looked_At(TPrint_Job_State state) {
  last_state = state;
  switch (state) {
    case TPrint_Job_State::Waiting:
    case TPrint_Job_State::Printing:
      unanswered = 0;
      if (just_seen) {
        if (uint32_t(look_time - stamp) < On_Time_Ms) {
          just_seen = false;
          if (client) client->Job_Printing(printout);
          Start_Polling(Short_Poll_Ms);
        }
        stamp = look_time;
      }
      return;
    case TPrint_Job_State::Unreachable:
      // One look may fail on a busy machine; several in a row mean the
      // server is gone.
      if (++unanswered >= Lost_After_Looks) Lose_Server();
      return;
    case TPrint_Job_State::Failed:
      // The printer gave the job up: the user hears of it.
      status = SP_ERROR;
      Finish_Job();
      return;
    default: Finish_Job(); return;
  }
}

void Printer::Finish_Job() {
  Stop_Polling();
  ending = true;
  if (status & SP_NOTREPORTED) {
    TWindow* main = TApplication::Current() ? TApplication::Current()->GetMainWindow() : nullptr;
    ::MessageBox(main ? main->GetHandle() : HWND(), "Unable to print " + printout->title, "Printer Error",
                 MB_OK | MB_ICONHAND);
  }
  ending = false;
  End_Job();
}

void Printer::Lose_Server() {
  Stop_Polling();
  lost = true;
  ending = true;
  TWindow* main = TApplication::Current() ? TApplication::Current()->GetMainWindow() : nullptr;
  ::MessageBox(main ? main->GetHandle() : HWND(),
               "Unable to print " + printout->title + ".\nThe printer " + data.device.name + " cannot be reached.",
               "Printer Error", MB_OK | MB_ICONHAND);
  ending = false;
  End_Job();
  // Asks after the printer until its server answers again.
  if (lost) Start_Polling(Long_Poll_Ms);
}

void Printer::End_Job() {
  Printer_Client* told = client;
  Printout* done = printout;
  client = nullptr;
  printout = nullptr;
  open = false;
  job_id = -1;
  just_seen = false;
  looking = false;
  unanswered = 0;
  last_state = TPrint_Job_State::Waiting;
  if (told) told->Job_Ended(done);
}

void Printer::Stop_Job_Thread() {
  abort = true;
  // A document on its way to the server stops there; the line's call under
  // way, if any, fails too, and so does every call until Withdraw's.
  service->Interrupt();
  // The job's thread stops waiting for the server at once; what it has left
  // to do is the page's own drawing, which waits for nothing.
  if (hand_over) {
    std::lock_guard lock(hand_over->lock);
    hand_over->let_go = true;
    hand_over->changed.notify_all();
  }
  thread.WaitForExit();
}

void Printer::Withdraw(int32_t id) {
  line.Post([this, id, name = data.device.name] {
    service->Resume();
    if (id > 0) service->Cancel(name, id);
  });
}

bool Printer::Cancel_Job() {
  if (!printout) return false;
  if (job_id > 0 && !Known_Done()) {
    // The server is told; the ticks end the job once it shows it gone.
    Stop_Job_Thread();
    Withdraw(job_id);
    return true;
  }
  // Not seen yet, but a job the printer has already taken would still
  // print: it is withdrawn there too (the job's thread has ended by then).
  Stop_Job_Thread();
  Withdraw(job_id <= 0 && status == 0 ? submitted : 0);
  Stop_Polling();
  End_Job();
  return true;
}

void Printer::Forget_Client(Printer_Client* gone) {
  if (!printout || client != gone) return;
  Stop_Job_Thread();
  const int32_t id = job_id > 0 ? job_id : submitted;
  Withdraw(status == 0 && !Known_Done() ? id : 0);
  client = nullptr;
  Stop_Polling();
  End_Job();
}

void Printer::Start_Polling(uint32_t interval) {
  poll_interval = interval;
  poll_timer.Start(interval, true, this);
}

void Printer::Stop_Polling() {
  poll_timer.Stop();
  poll_interval = 0;
}

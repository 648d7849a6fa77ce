// The printer: the one process-wide printing service of the program. It
// holds the print settings of the default printer, runs one job at a time on
// its own thread, watches the job at the printer from a coarse timer on the
// user-interface thread, reports a failed job ("Printer Error") and tells the
// Printer_Client that asked when the job is under way and when it ended.
//
// A job: the thread draws the Printout on a page that keeps pictures whole,
// writes the page as a PDF and hands it to the printing service, which gives
// the job's id; the ticks then read the job's state by that id: 500 ms
// ticks, one 5000 ms look after the job first shows, 500 ms again until it
// ends.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "gallery/printer_client.h"
#include "gallery/printout.h"
#include "platform/gdi/geometry.h"
#include "platform/system/print_service.h"
#include "toolkit/coarse_timer.h"
#include "toolkit/timer_client.h"
#include "toolkit/tthread.h"

class TWindow;

// The common dialogs' "no default printer" error.
constexpr uint32_t PDERR_NODEFAULTPRN = 4104;
constexpr uint32_t PD_RETURNDC = 0x100;
constexpr uint32_t PSD_MARGINS = 0x2;
constexpr uint32_t PSD_INTHOUSANDTHSOFINCHES = 0x4;
constexpr int16_t DMORIENT_PORTRAIT = 1;
constexpr int16_t DMORIENT_LANDSCAPE = 2;
// A spooler failure code: negative, with the "not yet reported" bit.
constexpr int32_t SP_ERROR = -1;
constexpr int32_t SP_OUTOFDISK = -4;
constexpr int32_t SP_NOTREPORTED = 0x4000;
constexpr int RC_BANDING = 0x0002;

class Printer : public Timer_Client {
 public:
  // The print settings: the printer, its paper, the orientation and the
  // margins in thousandths of an inch.
  struct Print_Data {
    uint32_t flags = PD_RETURNDC;
    uint32_t error = 0;  // PDERR_NODEFAULTPRN when there is no default printer
    bool page_setup = false;
    uint32_t page_setup_flags = 0;
    TRect margins;          // left, top, right, bottom
    TRect minimum_margins;  // the printer's own, once the page set-up gave them
    TSize paper_size;       // thousandths of an inch, once the page set-up gave it
    int16_t orientation = DMORIENT_PORTRAIT;
    TPrinter_Description device;  // name, paper and resolution
  };

  // service: the printing service (null: the one in use). Becomes The_Printer.
  explicit Printer(TPrint_Service* service = nullptr);
  ~Printer() override;
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  bool Defined() const { return data.error != PDERR_NODEFAULTPRN; }
  // The printer's name, or "Undefined".
  std::string Device_Name() const;

  // The page set-up dialog over the print data, owned by owner; what the
  // user confirms replaces the print data, Cancel changes nothing.
  void Setup(TWindow* owner);
  // Margins in thousandths of an inch.
  void Set_Margins(const TRect& margins);
  void Set_Orientation(int16_t orientation);
  // A capability of the page the printer prints (HORZRES, VERTRES,
  // LOGPIXELSX, LOGPIXELSY, RASTERCAPS); 0 without a printer.
  int Device_Caps(int index) const;

  // Starts a job; false when one is already under way.
  bool Submit(Printout* printout, Printer_Client* client);
  // Cancels the job under way; false when there is none.
  bool Cancel_Job();
  // The client is going away: the job under way is cancelled, waited for
  // and ended without a word to it.
  void Forget_Client(Printer_Client* client);
  void Timer_Tick() override;
  // Whether the job may go on: the abort flag is clear and the code is 0 or
  // SP_OUTOFDISK.
  bool Abort_Proc(int code) const;

  // ---- State, readable by tests
  const Print_Data& Data() const { return data; }
  Print_Data& Data_For_Setup() { return data; }
  bool Busy() const { return printout != nullptr; }
  int32_t Job_Id() const { return job_id; }
  int32_t Status() const { return status; }
  bool Thread_Running();
  // Waits for the job's thread to end (tests).
  void Wait_For_Thread() { thread.WaitForExit(); }
  uint32_t Poll_Interval() const { return poll_interval; }

 private:
  class Submit_Thread : public TThread {
   public:
    explicit Submit_Thread(Printer* printer) : printer(printer) {}

   protected:
    int32_t Run() override;

   private:
    Printer* printer;
  };

  void Print_Job();
  void Find_Default_Printer();
  bool Find_Job();
  bool Job_Done();
  void End_Job();
  void Start_Polling(uint32_t interval);
  TRect Page_Rectangle(int width, int height, int dpi_x, int dpi_y) const;
  // The printable area of the page as it lies, in device pixels.
  TSize Printable_Size() const;

  TPrint_Service* service;
  Print_Data data;
  Printer_Client* client = nullptr;
  Printout* printout = nullptr;
  bool open = false;  // the printer is known to the service for this job
  int32_t job_id = -1;
  int32_t status = 0;     // written by the job's thread
  int32_t submitted = 0;  // the service's id of the job, written by the job's thread
  bool watched = false;
  std::atomic<bool> abort{false};
  bool just_seen = false;
  uint32_t stamp = 0;
  uint32_t poll_interval = 0;
  Coarse_Timer poll_timer;
  Submit_Thread thread;
};

extern Printer* The_Printer;

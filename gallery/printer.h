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
//
// The user-interface thread never calls the print server: the default
// printer, the looks at a job and the cancels go through the printer's line
// (a thread of its own), whose answers the printer takes when they come. A
// server that stops answering during a job is reported once; the job ends,
// the printer counts as undefined and asks every five seconds until the
// server answers again. Nor does it wait for the server: Abort and the
// printer's end cut off the calls under way, and the job's thread stops
// waiting for the document it is handing over.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gallery/print_server_line.h"
#include "gallery/printer_client.h"
#include "gallery/printout.h"
#include "platform/gdi/geometry.h"
#include "platform/system/print_service.h"
#include "platform/window/messages.h"
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

  // There is a default printer and its server answers.
  bool Defined() const { return data.error != PDERR_NODEFAULTPRN && !lost; }
  // The printer's server stopped answering during a job.
  bool Lost() const { return lost; }
  // The printer's name, or "Undefined" when there is no default printer.
  std::string Device_Name() const;

  // The page set-up dialog over the print data, owned by owner; what the
  // user confirms replaces the print data, Cancel changes nothing. While the
  // printers are asked after, no window takes input; when none answers, the
  // person is told so and no dialog is shown, nor when owner has gone or
  // been hidden meanwhile.
  void Setup(TWindow* owner);
  // Margins in thousandths of an inch.
  void Set_Margins(const TRect& margins);
  void Set_Orientation(int16_t orientation);
  // A capability of the page the printer prints (HORZRES, VERTRES,
  // LOGPIXELSX, LOGPIXELSY, RASTERCAPS); 0 without a printer.
  int Device_Caps(int index) const;
  // The page inside the margins of data that a job draws on, in the
  // printer's pixels from the top left of the printable area, and the
  // pixels per inch (x, y) of the paper as it lies.
  static TRect Page_Of(const Print_Data& data);
  // The printer's own margins of data as the paper lies, in thousandths of
  // an inch: landscape turns them with the sheet.
  static TRect Own_Margins(const Print_Data& data);
  static TPoint Pixels_Per_Inch(const Print_Data& data);

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
  // Waits until the line has answered what was asked and takes the answers
  // (tests).
  void Settle();
  // Takes the answers the line has given (on the user-interface thread).
  void Take_Answers();
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

  // An answer of the line about the printer or about the job.
  struct Printer_Answer {
    bool found = false;
    TPrinter_Description device;
  };
  struct Look_Answer {
    int32_t job = -1;
    TPrint_Job_State state = TPrint_Job_State::Waiting;
  };

  // What the job's thread and the sender that hands its document to the
  // server share. The job's thread waits for the sender's answer only until
  // the job is let go (Abort, or the printer or its client going away): a
  // server that holds the sender up then holds up neither the job's thread
  // nor the interface thread that waits for it.
  struct Hand_Over {
    std::mutex lock;
    std::condition_variable changed;
    bool answered = false;
    bool let_go = false;
    int32_t job = 0;
  };

  // Lets the interface run until done, taking no input meanwhile and
  // showing the watch; false after a quit.
  bool Wait_Holding(const std::atomic<bool>& done);
  void Print_Job();
  // The service's id of the job (see TPrint_Service::Submit), 0 when the job
  // was let go first.
  int32_t Hand_To_Server(std::vector<uint8_t> pdf);
  void Ask_For_Printer();
  void Printer_Answered(const Printer_Answer& answer);
  void Take_Default_Printer(const Printer_Answer& answer);
  bool Find_Job();
  void Look_At_Job();
  void Job_Looked_At(TPrint_Job_State state);
  bool Known_Done() const;
  void Finish_Job();
  void Lose_Server();
  void End_Job();
  // Cuts off the calls to the server under way and waits for the job's
  // thread; the server is not called again until Withdraw.
  void Stop_Job_Thread();
  // Cancels job id (0: none) at the server, on the line.
  void Withdraw(int32_t id);
  void Start_Polling(uint32_t interval);
  void Stop_Polling();
  // The line's answers came: the user-interface thread takes them.
  static void Answers_Arrived(HWND, UINT, UINT, uint32_t);
  // The printable area of the page as it lies, in device pixels.
  static TSize Printable_Size(const Print_Data& data);

  TPrint_Service* service;
  Print_Data data;
  Printer_Client* client = nullptr;
  Printout* printout = nullptr;
  bool open = false;  // the printer is known to the service for this job
  int32_t job_id = -1;
  int32_t status = 0;     // written by the job's thread
  int32_t submitted = 0;  // the service's id of the job, written by the job's thread
  bool unreachable = false;  // the server did not answer the job's thread
  std::shared_ptr<Hand_Over> hand_over;  // the job's, made by Submit
  bool watched = false;
  std::atomic<bool> abort{false};
  bool just_seen = false;
  uint32_t stamp = 0;
  uint32_t poll_interval = 0;
  Coarse_Timer poll_timer;
  Submit_Thread thread;

  // What the user-interface thread knows of the line.
  bool printer_known = false;  // the first answer about the default printer came
  bool asking_printer = false;
  bool looking = false;     // a look at the job is on its way
  uint32_t look_time = 0;   // the tick count of the tick that asked for it
  TPrint_Job_State last_state = TPrint_Job_State::Waiting;
  int unanswered = 0;       // looks in a row that the server did not answer
  bool lost = false;
  bool ending = false;      // a job's end is being reported

  // The line's answers, written on its thread.
  std::mutex answers_lock;
  std::optional<Printer_Answer> printer_answer;
  std::optional<Look_Answer> look_answer;
  Print_Server_Line line;
};

extern Printer* The_Printer;

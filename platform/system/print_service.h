// The printing service: the machine's printers and the jobs sent to them.
// The program sees printers through this small interface; the CUPS service
// is the real one (cups_print_service.h) and tests put a fake in its place.
//
// Sizes are in hundredths of a millimetre, as CUPS gives them. Every call
// may wait for the server, up to a deadline of its own: the program makes
// them on the printer's threads, never on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A paper size and the printable area on it.
struct TPrint_Media {
  std::string name;   // the printer's name for it ("iso_a4_210x297mm")
  std::string label;  // for people ("A4"); empty when the printer gives none
  int32_t width = 21590;  // the sheet, portrait
  int32_t length = 27940;
  int32_t left = 0;  // unprintable margins
  int32_t bottom = 0;
  int32_t right = 0;
  int32_t top = 0;
};

struct TPrinter_Description {
  std::string name;
  TPrint_Media media;
  int32_t dpi_x = 300;
  int32_t dpi_y = 300;
};

enum class TPrint_Job_State {
  Waiting,    // queued, held or stopped
  Printing,   // being processed
  Completed,  // printed
  Cancelled,  // removed by someone
  Failed,     // aborted by the system
  Gone,       // not known to the server (any more)
  Unreachable,  // the server did not answer
};

class TPrint_Service {
 public:
  static constexpr int32_t Unreachable_Server = -1;

  virtual ~TPrint_Service() = default;

  // The default printer with its default paper; false when there is none.
  virtual bool Default_Printer(TPrinter_Description& printer) = 0;
  // The printer of that name with its default paper.
  virtual bool Describe(const std::string& name, TPrinter_Description& printer) = 0;
  virtual std::vector<std::string> Printer_Names() = 0;
  // The paper sizes the printer offers.
  virtual std::vector<TPrint_Media> Media(const std::string& name) = 0;
  // Sends one PDF document as a job titled title, to be printed on paper
  // as it is (no scaling); the job's id (above 0), 0 when the printer did
  // not take it, Unreachable_Server when the server did not answer.
  virtual int32_t Submit(const std::string& printer, const std::string& title, const std::string& paper,
                         const std::vector<uint8_t>& pdf) = 0;
  virtual TPrint_Job_State Job_State(const std::string& printer, int32_t job) = 0;
  virtual bool Cancel(const std::string& printer, int32_t job) = 0;
  // Cuts off the calls under way on other threads, and fails every call
  // from now on at once, until Resume. Any thread.
  virtual void Interrupt() {}
  virtual void Resume() {}

  // The service in use: the CUPS one unless a test installed another.
  static TPrint_Service& Current();
  // Installs a service (not owned); nullptr goes back to CUPS.
  static void Install(TPrint_Service* service);
};

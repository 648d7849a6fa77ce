// Printing through CUPS (libcups): the default destination, its default
// media and printable margins, jobs created with their own id, their state
// read with Get-Job-Attributes, cancelled through the server. Every call
// opens its own connection and has an overall deadline: a server that
// stays silent, or sends a byte now and then and never a whole answer, is
// cut off when the deadline passes, so the call fails instead of hanging.
// The calls may come from different threads. The server is the one CUPS
// clients use (CUPS_SERVER, then the client configuration), read afresh for
// every connection, or the one given to the constructor.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/system/print_service.h"

class TCall_Guard;

class TCups_Print_Service : public TPrint_Service {
 public:
  // server: a host name, "host:port" or the path of a local socket; empty:
  // the one CUPS clients use.
  explicit TCups_Print_Service(std::string server = "");
  ~TCups_Print_Service() override;

  bool Default_Printer(TPrinter_Description& printer) override;
  bool Describe(const std::string& name, TPrinter_Description& printer) override;
  std::vector<std::string> Printer_Names() override;
  std::vector<TPrint_Media> Media(const std::string& name) override;
  int32_t Submit(const std::string& printer, const std::string& title, const std::string& paper,
                 const std::vector<uint8_t>& pdf) override;
  TPrint_Job_State Job_State(const std::string& printer, int32_t job) override;
  bool Cancel(const std::string& printer, int32_t job) override;
  void Interrupt() override;
  void Resume() override;

  // How long a connection may take to open.
  static constexpr int Connect_Timeout_Ms = 3000;
  // How long a call may take in all, connection included: a question about
  // the printers, a look at a job's state, a cancel, and sending a job.
  static constexpr int Question_Deadline_Ms = 5000;
  static constexpr int Look_Deadline_Ms = 1000;
  static constexpr int Cancel_Deadline_Ms = 1000;
  static constexpr int Submit_Deadline_Ms = 20000;

  // ---- For the connection guards: false when interrupted.
  bool Enlist(TCall_Guard* guard);
  void Dismiss(TCall_Guard* guard);

 private:
  class TConnection;
  TConnection Connect(int deadline_ms);

  std::string server;
  std::mutex guards_lock;
  std::vector<TCall_Guard*> guards;  // the calls under way
  std::vector<int*> connecting;      // the cancel flags of connections being opened
  bool interrupted = false;
};

// Printing through CUPS (libcups): the default destination, its default
// media and printable margins, jobs created with their own id, their state
// read with Get-Job-Attributes, cancelled through the server. Every call
// opens its own connection with a bounded connect and read time-out, so
// the calls may come from different threads and a silent server only makes
// them fail. The server is the one CUPS clients use (CUPS_SERVER, then the
// client configuration).
#pragma once

#include "platform/system/print_service.h"

class TCups_Print_Service : public TPrint_Service {
 public:
  bool Default_Printer(TPrinter_Description& printer) override;
  bool Describe(const std::string& name, TPrinter_Description& printer) override;
  std::vector<std::string> Printer_Names() override;
  std::vector<TPrint_Media> Media(const std::string& name) override;
  int32_t Submit(const std::string& printer, const std::string& title, const std::string& paper,
                 const std::vector<uint8_t>& pdf) override;
  TPrint_Job_State Job_State(const std::string& printer, int32_t job) override;
  bool Cancel(const std::string& printer, int32_t job) override;

  // How long a connection or an answer may take.
  static constexpr int Connect_Timeout_Ms = 3000;
  static constexpr double Answer_Timeout_S = 10.0;
  // The same for a look at a job's state.
  static constexpr int Look_Timeout_Ms = 1000;
};

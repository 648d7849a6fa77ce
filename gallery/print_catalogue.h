// What the printing service said of its printers at one moment: their
// names, descriptions and papers, asked on the printer's line and then read
// by the page set-up dialog on the interface thread without waiting for
// the server. It answers from memory; it sends no jobs.
#pragma once

#include <string>
#include <vector>

#include "platform/system/print_service.h"

class Print_Catalogue : public TPrint_Service {
 public:
  // At most this many printers are asked after.
  static constexpr size_t Most_Printers = 16;

  // Asks service (on the line's thread); a server that stops answering
  // leaves the rest unasked.
  void Fill(TPrint_Service& service);

  bool Default_Printer(TPrinter_Description&) override { return false; }
  bool Describe(const std::string& name, TPrinter_Description& printer) override;
  std::vector<std::string> Printer_Names() override;
  std::vector<TPrint_Media> Media(const std::string& name) override;
  int32_t Submit(const std::string&, const std::string&, const std::string&, const std::vector<uint8_t>&) override {
    return Unreachable_Server;
  }
  TPrint_Job_State Job_State(const std::string&, int32_t) override { return TPrint_Job_State::Unreachable; }
  bool Cancel(const std::string&, int32_t) override { return false; }

 private:
  struct Entry {
    std::string name;
    bool described = false;
    TPrinter_Description description;
    std::vector<TPrint_Media> media;
  };
  const Entry* Find(const std::string& name) const;

  std::vector<Entry> entries;
};

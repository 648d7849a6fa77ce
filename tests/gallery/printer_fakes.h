// A printing service, a printout and a client that record what the printer
// does with them, for the printer's and the printer drop point's tests. The
// service counts the calls it gets on the thread that made it (the
// user-interface thread), which the printer must never make: the server
// may keep it waiting.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gallery/printer.h"
#include "platform/gdi/dc.h"
#include "platform/window/message_box.h"
#include "platform/window/user.h"
#include "tests/platform/window/later.h"

struct Fake_Print_Service : TPrint_Service {
  Fake_Print_Service() {
    printer.name = "Office";
    printer.media.name = "na_letter_8.5x11in";
    printer.dpi_x = printer.dpi_y = 600;
  }
  bool Default_Printer(TPrinter_Description& out) override {
    Note_Thread();
    if (!has_default || !reachable) return false;
    out = printer;
    return true;
  }
  bool Describe(const std::string& name, TPrinter_Description& out) override {
    Note_Thread();
    if (!reachable) return false;
    for (const std::string& n : names)
      if (n == name) {
        out = printer;
        out.name = name;
        return true;
      }
    return false;
  }
  std::vector<std::string> Printer_Names() override {
    Note_Thread();
    ++names_entered;
    Hold_While(hold_names);
    return names;
  }
  std::vector<TPrint_Media> Media(const std::string&) override {
    Note_Thread();
    return papers;
  }
  int32_t Submit(const std::string& name, const std::string& title, const std::string&,
                 const std::vector<uint8_t>& pdf) override {
    Note_Thread();
    ++submits_entered;
    Hold_While(hold_submits);
    ++submits_let_go;
    std::unique_lock<std::mutex> lock(mutex);
    submitted_to.push_back(name);
    titles.push_back(title);
    documents.push_back(pdf);
    if (!reachable) return Unreachable_Server;
    return refuse ? 0 : next_job++;
  }
  TPrint_Job_State Job_State(const std::string&, int32_t) override {
    Note_Thread();
    ++looks_entered;
    Hold_While(hold_looks);
    return state;
  }
  bool Cancel(const std::string&, int32_t job) override {
    Note_Thread();
    std::unique_lock<std::mutex> lock(mutex);
    cancelled.push_back(job);
    ++cancels;
    return true;
  }

  void Note_Thread() {
    if (std::this_thread::get_id() == interface_thread) ++calls_on_interface_thread;
  }
  // A server that keeps a call waiting, deaf to Interrupt; never for more
  // than a minute, so that a test of a printer that waits for it ends, yet
  // long enough that a busy machine does not see it let go early.
  static void Hold_While(const std::atomic<bool>& held) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (held && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // Waits until count reaches at least n; the bound is generous, as the
  // printer's thread may be starved on a busy machine.
  static bool Reached(const std::atomic<int>& count, int n) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (count < n && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return count >= n;
  }

  bool has_default = true;
  std::atomic<bool> reachable{true};
  const std::thread::id interface_thread = std::this_thread::get_id();
  std::atomic<int> calls_on_interface_thread{0};
  TPrinter_Description printer;
  std::vector<std::string> names{"Office", "Hall"};
  std::vector<TPrint_Media> papers;
  bool refuse = false;
  int32_t next_job = 7;
  std::atomic<TPrint_Job_State> state{TPrint_Job_State::Waiting};
  std::atomic<bool> hold_submits{false}, hold_looks{false}, hold_names{false};
  std::atomic<int> submits_entered{0}, submits_let_go{0}, looks_entered{0}, names_entered{0};
  std::mutex mutex;
  std::vector<std::string> submitted_to, titles;
  std::vector<std::vector<uint8_t>> documents;
  std::vector<int32_t> cancelled;
  std::atomic<int> cancels{0};
};

// A printout that draws nothing and notes the calls it gets; Print_Page can
// be told to wait until the job is aborted.
struct Recording_Printout : Printout {
  Recording_Printout() : Printout("Test Page", false) {}
  void Begin_Printing(const TRect& page_, const TPoint& ppi_) override {
    page = page_;
    ppi = ppi_;
    ++begun;
  }
  void Print_Page(TDC&, const TRect&) override {
    ++printed;
    while (hold_until_abort && The_Printer && The_Printer->Abort_Proc(0)) std::this_thread::yield();
  }
  void End_Printing() override { ++ended; }
  TRect page;
  TPoint ppi;
  std::atomic<int> begun{0}, printed{0}, ended{0};
  std::atomic<bool> hold_until_abort{false};
};

struct Counting_Client : Printer_Client {
  void Job_Printing(Printout* p) override {
    ++printing;
    last = p;
  }
  void Job_Ended(Printout* p) override {
    ++ended;
    last = p;
  }
  int printing = 0, ended = 0;
  Printout* last = nullptr;
};

// Answers every message box with OK and keeps its text.
struct Message_Box_Catcher {
  Message_Box_Catcher() {
    previous = Set_Message_Box_Hook([this](const TMessage_Box_Request& request) {
      boxes.push_back(request.caption + ": " + request.text);
      return IDOK;
    });
  }
  ~Message_Box_Catcher() { Set_Message_Box_Hook(previous); }
  std::vector<std::string> boxes;
  TMessage_Box_Hook previous;
};

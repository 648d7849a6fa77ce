// The printer's line to the print server: one thread that makes the calls
// to the printing service, one at a time in the order they were asked for,
// so that the user-interface thread never waits for the server. Each
// request stores its own answer; the line tells its owner after each one.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class Print_Server_Line {
 public:
  // answered: called on the line's thread after each request has run.
  explicit Print_Server_Line(std::function<void()> answered);
  // Drops what has not started and waits for what has.
  ~Print_Server_Line();
  Print_Server_Line(const Print_Server_Line&) = delete;
  Print_Server_Line& operator=(const Print_Server_Line&) = delete;

  void Post(std::function<void()> request);
  // Drops the requests that have not started.
  void Clear();
  // Waits until every request asked for so far has run.
  void Wait_Idle();
  // Runs what is asked for, then ends the thread; nothing runs after it.
  void Finish();

 private:
  void Run();

  std::function<void()> answered;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<void()>> requests;
  bool running_one = false;
  bool finishing = false;
  std::thread thread;
};

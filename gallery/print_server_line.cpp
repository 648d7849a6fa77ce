#include "gallery/print_server_line.h"

Print_Server_Line::Print_Server_Line(std::function<void()> answered_) : answered(std::move(answered_)) {
  thread = std::thread([this] { Run(); });
}

Print_Server_Line::~Print_Server_Line() {
  Clear();
  Finish();
}

void Print_Server_Line::Post(std::function<void()> request) {
  {
    std::lock_guard lock(mutex);
    if (finishing) return;
    requests.push_back(std::move(request));
  }
  changed.notify_all();
}

void Print_Server_Line::Clear() {
  std::lock_guard lock(mutex);
  requests.clear();
}

void Print_Server_Line::Wait_Idle() {
  std::unique_lock lock(mutex);
  changed.wait(lock, [this] { return requests.empty() && !running_one; });
}

void Print_Server_Line::Finish() {
  {
    std::lock_guard lock(mutex);
    finishing = true;
  }
  changed.notify_all();
  if (thread.joinable()) thread.join();
}

void Print_Server_Line::Run() {
  std::unique_lock lock(mutex);
  for (;;) {
    changed.wait(lock, [this] { return finishing || !requests.empty(); });
    if (requests.empty()) return;  // finishing, and nothing left
    std::function<void()> request = std::move(requests.front());
    requests.pop_front();
    running_one = true;
    lock.unlock();
    request();
    if (answered) answered();
    lock.lock();
    running_one = false;
    changed.notify_all();
  }
}

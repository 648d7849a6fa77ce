// A print server that never answers, for the tests of what a silent or a
// slow server does to the program: it listens on a socket of its own in a
// fresh folder and takes every connection, then either stays silent or
// drips one byte of an endless answer now and then (a client's time-outs
// that count only silence never fire). It counts the connections it took,
// those it let go because the client ended them, and the bytes it was sent.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

class Stand_In_Print_Server {
 public:
  enum class Manner { Silent, Dripping };

  explicit Stand_In_Print_Server(Manner manner) : manner(manner) {
    char pattern[] = "/tmp/quendar-print-server-XXXXXX";
    if (mkdtemp(pattern)) folder = pattern;
    path = folder + "/server.sock";
    listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0)
      return;
    serving = std::thread([this] { Serve(); });
  }
  ~Stand_In_Print_Server() {
    stop = true;
    if (serving.joinable()) serving.join();
    for (const Client& c : clients) close(c.fd);
    if (listener >= 0) close(listener);
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }

  bool Listening() const { return serving.joinable(); }
  // Where clients reach it (a CUPS server name).
  const std::string& Path() const { return path; }
  int Connections() const { return taken; }
  int Ended() const { return ended; }
  // Bytes of requests read so far, from every client.
  size_t Received() const { return received; }

 private:
  struct Client {
    int fd;
    size_t dripped;
  };

  void Serve() {
    static const char answer[] = "HTTP/1.1 200 OK\r\nX-Endless: ";
    while (!stop) {
      std::vector<pollfd> waiting{{listener, POLLIN, 0}};
      for (const Client& c : clients) waiting.push_back({c.fd, POLLIN, 0});
      poll(waiting.data(), waiting.size(), 100);
      if (waiting[0].revents & POLLIN) {
        const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) clients.push_back({fd, 0}), ++taken;
      }
      // What the clients ask is read and forgotten; a client that left is
      // let go.
      for (size_t i = 1; i < waiting.size(); ++i) {
        if (!(waiting[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char sink[4096];
        const ssize_t n = recv(waiting[i].fd, sink, sizeof sink, MSG_DONTWAIT);
        if (n > 0) received += size_t(n);
        if (n == 0) Let_Go(waiting[i].fd);
      }
      if (manner != Manner::Dripping) continue;
      for (Client& c : clients) {
        const char byte = c.dripped < sizeof answer - 1 ? answer[c.dripped] : 'x';
        ++c.dripped;
        (void)!send(c.fd, &byte, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  void Let_Go(int fd) {
    for (size_t i = 0; i < clients.size(); ++i)
      if (clients[i].fd == fd) {
        close(fd);
        clients.erase(clients.begin() + long(i));
        ++ended;
        return;
      }
  }

  const Manner manner;
  std::string folder, path;
  int listener = -1;
  std::vector<Client> clients;
  std::atomic<int> taken{0};
  std::atomic<int> ended{0};
  std::atomic<size_t> received{0};
  std::atomic<bool> stop{false};
  std::thread serving;
};

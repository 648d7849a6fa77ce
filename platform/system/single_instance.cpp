#include "platform/system/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

const char Request[] = "forward\n";
const char Answer[] = "ok\n";

bool Make_Address(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Reads up to a newline (or size bytes) before the deadline of poll waits.
std::string Read_Line(int fd, size_t size, int wait_ms) {
  std::string line;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  while (line.size() < size && (line.empty() || line.back() != '\n')) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd wait = {fd, POLLIN, 0};
    int ready = poll(&wait, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char c;
    ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    line += c;
  }
  return line;
}

bool Send(int fd, const char* text) {
  size_t size = std::strlen(text);
  return send(fd, text, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

}  // namespace

TSingle_Instance::TSingle_Instance(std::string class_name, uint32_t wait_ms)
    : class_name_(std::move(class_name)), wait_ms_(wait_ms) {}

TSingle_Instance::~TSingle_Instance() {
  Stop_Listening();
  if (lock_ >= 0) close(lock_);
}

void TSingle_Instance::Stop_Listening() {
  {
    std::lock_guard<std::mutex> lock(serving_);
    stopping_ = true;
  }
  if (thread_.joinable()) {
    char stop = 1;
    ssize_t ignored = write(stop_[1], &stop, 1);
    (void)ignored;
    thread_.join();
  }
  // A start that connected but was never accepted sees the connection close
  // unanswered and goes on waiting for the lock.
  if (listener_ >= 0) {
    close(listener_);
    listener_ = -1;
    unlink(socket_path_.c_str());
  }
  for (int& fd : stop_) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

std::string TSingle_Instance::Runtime_Directory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info;
  if (runtime && runtime[0] == '/' && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode) &&
      info.st_uid == getuid())
    return runtime;
  // A private directory of ours; one that someone else made or opened up is
  // not used.
  std::string dir = "/tmp/quendar-" + std::to_string(getuid());
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
  if (lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
      (info.st_mode & 077) != 0)
    return {};
  return dir;
}

TSingle_Instance::Start TSingle_Instance::Claim(std::function<void()> come_forward) {
  const std::string dir = Runtime_Directory();
  if (dir.empty()) return Start::First;
  socket_path_ = dir + "/" + class_name_ + ".socket";
  const std::string lock_path = dir + "/" + class_name_ + ".lock";
  lock_ = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_ < 0) return Start::First;
  // The lock lives as long as this process holds it open: it is what tells
  // a live first instance from a crashed one.
  if (flock(lock_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) {
      close(lock_);
      lock_ = -1;
      return Start::First;
    }
    const Start start = Ask_First();
    if (start != Start::First) {
      close(lock_);
      lock_ = -1;
      return start;
    }
    // Ask_First took the lock: the instance it asked ended meanwhile.
  }

  sockaddr_un address;
  if (!Make_Address(socket_path_, address)) return Start::First;
  unlink(socket_path_.c_str());  // left by an instance that crashed
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return Start::First;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      pipe2(stop_, O_CLOEXEC) != 0) {
    close(fd);
    return Start::First;
  }
  listener_ = fd;
  come_forward_ = std::move(come_forward);
  thread_ = std::thread([this] { Listen(); });
  return Start::First;
}

// The first instance may hold the lock a moment before it listens, or after
// it stopped listening as it ends, so a refused or unanswered request is
// tried again until the wait runs out. First when the lock came free
// meanwhile (lock_ is then held).
TSingle_Instance::Start TSingle_Instance::Ask_First() {
  sockaddr_un address;
  if (!Make_Address(socket_path_, address)) return Start::Unreachable;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms_);
  for (;;) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Start::Unreachable;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      bool answered = Send(fd, Request) && Read_Line(fd, 8, std::max<int>(100, static_cast<int>(left.count()))) == Answer;
      close(fd);
      if (answered) return Start::Handed_Over;
    } else {
      close(fd);
    }
    // Nobody listens or answers: the first instance may be starting, or
    // ending, in which case its lock comes free and this start is the first.
    if (flock(lock_, LOCK_EX | LOCK_NB) == 0) return Start::First;
    if (std::chrono::steady_clock::now() >= deadline) {
      // The lock may have come free during the last look.
      return flock(lock_, LOCK_EX | LOCK_NB) == 0 ? Start::First : Start::Unreachable;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void TSingle_Instance::Listen() {
  for (;;) {
    pollfd waits[2] = {{listener_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    int ready = poll(waits, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (waits[1].revents) return;
    if (waits[0].revents & POLLIN) {
      int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection >= 0) {
        Serve(connection);
        close(connection);
      }
    }
  }
}

void TSingle_Instance::Serve(int connection) {
  // Only this user's own later starts are obeyed.
  ucred peer;
  socklen_t size = sizeof peer;
  if (getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != getuid()) return;
  if (Read_Line(connection, 16, 1000) != Request) return;
  // Answered whole or not at all once the program began to end, so a start
  // that is told "ok" always has a first instance that comes forward.
  std::lock_guard<std::mutex> lock(serving_);
  if (stopping_) return;
  if (come_forward_) come_forward_();
  Send(connection, Answer);
}

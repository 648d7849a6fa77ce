#include "model/ifpstream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

ifpstream::ifpstream(const std::string& path) { Open(path); }

void ifpstream::Open(const std::string& path) {
  if (is_open) {
    Set_State(failbit);
    return;
  }
  // Not blocking on open, so a FIFO at the path is refused, not waited on.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    Fail_With("The file cannot be opened", badbit);
    return;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    Fail_With("Not a plain file", badbit);
    return;
  }
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  ssize_t got = 0;
  while ((got = read(fd, block, sizeof block)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    bytes.insert(bytes.end(), block, block + got);
  }
  close(fd);
  if (got < 0) {
    Fail_With("The file cannot be read", badbit);
    return;
  }
  contents = std::move(bytes);
  is_open = true;
  Reset(contents);
  Clear();
}

void ifpstream::Close() {
  if (!is_open) {
    Set_State(failbit);
    return;
  }
  is_open = false;
  contents.clear();
  Reset({});
  Clear();
}

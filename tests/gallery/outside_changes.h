// What other programs do to a gallery file while the program has it open:
// write it in place as a copy does, with or without its time stamps put
// back, and make it unchangeable.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Writes bytes over the file in place (cut to nothing first, as cp does),
// keeping its inode; with keep_times its access and modification times are
// put back. False when it could not be done.
inline bool Write_In_Place(const std::string& path, const std::vector<uint8_t>& bytes, bool keep_times = false) {
  struct stat before;
  if (stat(path.c_str(), &before) != 0) return false;
  const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  bool done = true;
  for (size_t at = 0; done && at < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
    done = n > 0;
    at += done ? size_t(n) : 0;
  }
  const timespec times[2] = {before.st_atim, before.st_mtim};
  if (done && keep_times) done = futimens(fd, times) == 0;
  return close(fd) == 0 && done;
}

// Renames another program's file over the gallery, as sync tools and
// editors save: a copy of it with bytes of its own behind its end (a copy
// with the very same bytes is the gallery itself). False when it could not
// be done.
inline bool Rename_Other_Copy_Over(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string copy = path + ".other";
  std::ofstream(copy, std::ios::binary) << bytes << "more";
  return in.good() || in.eof() ? std::rename(copy.c_str(), path.c_str()) == 0 : false;
}

// Changes bytes at an offset in place, the rest of the file and its time
// stamps left as they were.
inline bool Change_In_Place(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes) {
  struct stat before;
  if (stat(path.c_str(), &before) != 0) return false;
  const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const timespec times[2] = {before.st_atim, before.st_mtim};
  const bool done = pwrite(fd, bytes.data(), bytes.size(), off_t(offset)) == ssize_t(bytes.size()) &&
                    futimens(fd, times) == 0;
  return close(fd) == 0 && done;
}

// Why a test run by anyone else leaves out its cases that make a file
// unchangeable (it says so once it has run the others).
constexpr const char* Unchangeable_Needs_Root = "only the administrator may make a file unchangeable";

// Makes the file unchangeable, or changeable again (the administrator
// only). False when the file system or the user does not allow it.
inline bool Set_Unchangeable(const std::string& path, bool unchangeable) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = unchangeable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return done;
}

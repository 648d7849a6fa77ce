#include "platform/system/mapped_file_handle.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/system/file_system.h"

std::unique_ptr<TMapped_File_Handle> TMapped_File_Handle::Open(const std::string& name, uint32_t access,
                                                               uint32_t disposition) {
  if (!Path_Fits(name) || !(access & GENERIC_READ)) return nullptr;
  if (disposition != OPEN_EXISTING && disposition != OPEN_ALWAYS) return nullptr;
  const bool writable = (access & GENERIC_WRITE) != 0;
  int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  if (disposition == OPEN_ALWAYS) flags |= O_CREAT;
  int fd = open(name.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  struct stat info;
  // flock locks belong to the open file description, so two opens in one
  // process exclude each other as two processes do.
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<TMapped_File_Handle>(new TMapped_File_Handle(fd, writable));
}

std::unique_ptr<TMapped_File_Handle> TMapped_File_Handle::Open_Unlocked(const std::string& name) {
  if (!Path_Fits(name)) return nullptr;
  int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<TMapped_File_Handle>(new TMapped_File_Handle(fd, false));
}

TMapped_File_Handle::~TMapped_File_Handle() { close(fd_); }

uint64_t TMapped_File_Handle::Size() const {
  struct stat info;
  return fstat(fd_, &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

bool TMapped_File_Handle::Set_Size(uint64_t size) {
  if (!writable_ || size > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) return false;
  const uint64_t old_size = Size();
  if (size <= old_size) return ftruncate(fd_, static_cast<off_t>(size)) == 0;
  int error = posix_fallocate(fd_, 0, static_cast<off_t>(size));
  if (error == 0) return true;
  // A failed reservation may have moved the end of the file; put it back.
  if (Size() != old_size) {
    int ignored = ftruncate(fd_, static_cast<off_t>(old_size));
    (void)ignored;
  }
  // Why, for the caller to tell (the result carries it, not errno).
  errno = error;
  return false;
}

bool TMapped_File_Handle::Reserve(uint64_t offset, uint64_t length) {
  const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<off_t>::max());
  if (!writable_ || offset > limit || length > limit - offset) return false;
  if (length == 0) return true;
  // Within the file's length this never moves its end.
  // The error comes back as the result, not in errno; the caller tells why.
  const int error = posix_fallocate(fd_, static_cast<off_t>(offset), static_cast<off_t>(length));
  if (error != 0) errno = error;
  return error == 0;
}

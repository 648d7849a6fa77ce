#include "platform/system/atomic_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/system/file_system.h"

namespace {

// Bytes left before the injected fault; negative when none is armed.
std::atomic<int64_t> fault_budget{-1};
// The errno an injected failure of the directory sync gives; 0 for none.
std::atomic<int> directory_sync_fault{0};

// Writes as much as the injected fault allows; false when it strikes.
bool Write_All(int fd, const uint8_t* data, size_t size) {
  if (fault_budget.load() == 0) {
    errno = ENOSPC;
    return false;
  }
  while (size > 0) {
    size_t chunk = size;
    int64_t budget = fault_budget.load();
    if (budget >= 0) {
      if (budget == 0) {
        errno = ENOSPC;
        return false;
      }
      if (static_cast<uint64_t>(budget) < chunk) chunk = static_cast<size_t>(budget);
    }
    ssize_t done = write(fd, data, chunk);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (budget >= 0) fault_budget.fetch_sub(done);
    data += done;
    size -= static_cast<size_t>(done);
  }
  return true;
}

std::string Directory_Of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The permission bits a new file gets: the old file's, else the usual ones
// narrowed by the process's mask (mkstemp would give 0600).
mode_t Mode_For(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The file a chain of symbolic links ends at, so a save replaces the file
// the link names and the link stays a link; the path itself when it is no
// link. Empty for a loop of links.
std::string Final_Target(const std::string& path) {
  std::string resolved = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return resolved;
    std::string target(MAX_PATH, '\0');
    const ssize_t size = readlink(resolved.c_str(), target.data(), target.size());
    if (size <= 0 || size_t(size) >= target.size()) return std::string();
    target.resize(size_t(size));
    resolved = target[0] == '/' ? target : Directory_Of(resolved) + "/" + target;
  }
  return std::string();
}

// A file that exists but that this user may not open for reading: nobody
// knows what it holds, so it is never replaced.
bool Closed_To_Us(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0) {
    close(fd);
    return false;
  }
  return errno == EACCES || errno == EPERM;
}

// A failure with errno set to why, whatever was called since.
bool Fail_With(int error) {
  errno = error;
  return false;
}

}  // namespace

void Fail_Atomic_Write_After(int64_t bytes) { fault_budget.store(bytes < 0 ? -1 : bytes); }

void Fail_Atomic_Directory_Sync(int error) { directory_sync_fault.store(error); }

bool Write_File_Atomically(const std::string& link_or_path, std::span<const uint8_t> bytes) {
  if (!Path_Fits(link_or_path) || link_or_path.back() == '/') return Fail_With(ENAMETOOLONG);
  const std::string path = Final_Target(link_or_path);
  if (!Path_Fits(path)) return Fail_With(path.empty() ? ELOOP : ENAMETOOLONG);
  struct stat info;
  // Only a regular file is ever replaced: a directory, FIFO or device at the
  // path is left alone, and so is a file this user may not read.
  if (stat(path.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return Fail_With(S_ISDIR(info.st_mode) ? EISDIR : ENXIO);
    if (Closed_To_Us(path)) return Fail_With(EACCES);
  }
  return Write_New_File_Beside(path, bytes, [&path](const std::string& temporary) {
    return rename(temporary.c_str(), path.c_str()) == 0;
  });
}

bool Write_New_File_Beside(const std::string& path, std::span<const uint8_t> bytes,
                           const std::function<bool(const std::string& temporary)>& place) {
  return Write_New_File_Beside(path, bytes,
                               [&place](const std::string& temporary, int) { return place(temporary); });
}

bool Write_New_File_Beside(const std::string& path, std::span<const uint8_t> bytes,
                           const std::function<bool(const std::string& temporary, int written)>& place) {
  std::string temporary = path + ".XXXXXX";
  if (!Path_Fits(temporary)) return Fail_With(ENAMETOOLONG);
  int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = Write_All(fd, bytes.data(), bytes.size()) && fchmod(fd, Mode_For(path)) == 0 && fsync(fd) == 0;
  int error = errno;
  // Kept open through the placing: the caller knows the file it wrote by
  // it, whatever its name leads to by then.
  const int written = ok ? fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1;
  if (ok && written < 0) error = errno;
  ok = ok && written >= 0;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && !place(temporary, written)) {
    ok = false;
    error = errno;
  }
  if (written >= 0) close(written);
  if (!ok) {
    unlink(temporary.c_str());
    return Fail_With(error);
  }
  // The rename is durable only once the directory entry is on disk; the new
  // file is in place by now, but the caller learns it may not last.
  int dir = open(Directory_Of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return false;
  bool synced = fsync(dir) == 0;
  error = errno;
  if (directory_sync_fault.load() != 0) {
    synced = false;
    error = directory_sync_fault.load();
  }
  close(dir);
  return synced || Fail_With(error);
}

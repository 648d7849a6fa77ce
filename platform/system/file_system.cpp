#include "platform/system/file_system.h"

#include "platform/system/user_file.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

bool Write_All(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t done = write(fd, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += done;
    size -= static_cast<size_t>(done);
  }
  return true;
}

TFile_System_Faults faults;

// Copies length bytes from the current offsets; false on a failed read or
// write, and when in ends sooner (it shrank while copied): a copy padded out
// to the old size would pass for the file, and a move would then delete it.
bool Copy_Range(int in, int out, uint64_t length) {
  std::vector<char> buffer(1 << 16);
  while (length > 0) {
    const ssize_t got = read(in, buffer.data(), static_cast<size_t>(std::min<uint64_t>(buffer.size(), length)));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return false;
    if (!Write_All(out, buffer.data(), static_cast<size_t>(got))) return false;
    length -= static_cast<uint64_t>(got);
  }
  return true;
}

// Copies size bytes of in to out with the holes left as holes: only the
// ranges that hold data are read and written, and the length is set at the
// end. A file system that cannot tell holes has the whole file copied.
bool Copy_Data(int in, int out, uint64_t size) {
  uint64_t at = 0;
  while (at < size) {
    off_t data = lseek(in, static_cast<off_t>(at), SEEK_DATA);
    if (data < 0 && errno == ENXIO) break;  // a hole to the end
    if (data < 0) data = static_cast<off_t>(at);
    off_t hole = lseek(in, data, SEEK_HOLE);
    if (hole <= data || static_cast<uint64_t>(hole) > size) hole = static_cast<off_t>(size);
    if (lseek(in, data, SEEK_SET) != data || lseek(out, data, SEEK_SET) != data) return false;
    if (!Copy_Range(in, out, static_cast<uint64_t>(hole - data))) return false;
    at = static_cast<uint64_t>(hole);
  }
  return ftruncate(out, static_cast<off_t>(size)) == 0;
}

int Rename_No_Replace(const std::string& from, const std::string& to) {
  if (faults.no_replace_rename) {
    errno = EINVAL;
    return -1;
  }
  return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
}

int Delete_Original(const std::string& path) {
  if (faults.original_stays) {
    errno = EPERM;
    return -1;
  }
  return unlink(path.c_str());
}

// A file system without the no-replace rename: the target name is claimed
// first by an exclusive create (an empty directory for a directory), which
// fails when it exists, and the item is then renamed over that placeholder.
bool Rename_Over_Own_Placeholder(const std::string& from, const std::string& to, const struct stat& item) {
  if (S_ISDIR(item.st_mode)) {
    if (mkdir(to.c_str(), 0700) != 0) return false;
    if (rename(from.c_str(), to.c_str()) == 0) return true;
    rmdir(to.c_str());
    return false;
  }
  int fd = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  close(fd);
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  unlink(to.c_str());
  return false;
}

}  // namespace

bool Path_Fits(const std::string& path) {
  return !path.empty() && path.size() < MAX_PATH && path.find('\0') == std::string::npos;
}

uint32_t Get_File_Attributes(const std::string& path) {
  struct stat info;
  if (!Path_Fits(path) || stat(path.c_str(), &info) != 0) return INVALID_FILE_ATTRIBUTES;
  uint32_t attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (access(path.c_str(), W_OK) != 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool File_Exists(const std::string& path) { return Get_File_Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool Copy_New_File(const std::string& from, const std::string& to) {
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat info;
  if (fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(in);
    return false;
  }
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = Copy_Data(in, out, static_cast<uint64_t>(info.st_size));
  if (ok) ok = fsync(out) == 0;
  ok = close(out) == 0 && ok;
  close(in);
  if (!ok) unlink(to.c_str());
  return ok;
}

bool Is_Unchangeable(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  const bool unchangeable = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
  close(fd);
  return unchangeable;
}

bool Move_File(const std::string& from, const std::string& to) {
  if (!Path_Fits(from) || !Path_Fits(to)) return false;
  if (Rename_No_Replace(from, to) == 0) return true;
  int error = errno;
  struct stat info;
  if (lstat(from.c_str(), &info) != 0) return false;
  if (error == EINVAL) return Rename_Over_Own_Placeholder(from, to, info);
  if (error != EXDEV || !S_ISREG(info.st_mode)) return false;
  if (!Copy_New_File(from, to)) return false;
  // Two copies would be a move reported as failed, one lost a move reported
  // as done: the copy goes when the original stays.
  if (Delete_Original(from) != 0) {
    unlink(to.c_str());
    return false;
  }
  return true;
}

bool Link_File(const std::string& from, const std::string& to) {
  if (faults.no_hard_links) {
    errno = EPERM;
    return false;
  }
  return Path_Fits(from) && Path_Fits(to) && link(from.c_str(), to.c_str()) == 0;
}

void Set_File_System_Faults(TFile_System_Faults injected) { faults = injected; }

std::string Folder_Of(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool Sync_Directory(const std::string& directory) {
  if (!Path_Fits(directory)) return false;
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = fsync(fd) == 0;
  int error = errno;
  if (faults.sync_error != 0 && faults.sync_passes-- <= 0) {
    synced = false;
    error = faults.sync_error;
    if (faults.sync_failures != 0 && --faults.sync_failures == 0) faults.sync_error = 0;
  }
  close(fd);
  errno = error;
  return synced;
}

bool Delete_File(const std::string& path) {
  struct stat info;
  if (!Path_Fits(path) || lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return unlink(path.c_str()) == 0;
}

std::optional<TFree_Space> Get_Free_Space(const std::string& path) {
  struct statvfs volume;
  if (!Path_Fits(path) || statvfs(path.c_str(), &volume) != 0) return std::nullopt;
  uint64_t unit = volume.f_frsize ? volume.f_frsize : volume.f_bsize;
  if (unit == 0 || unit > 0xFFFFFFFFu) return std::nullopt;
  // A file system that counts no inodes at all makes them as needed.
  const bool no_file_left = volume.f_files != 0 && volume.f_favail == 0;
  return TFree_Space{no_file_left ? 0 : static_cast<uint64_t>(volume.f_bavail), static_cast<uint32_t>(unit)};
}

bool Directory_Writable(const std::string& directory, int* error) {
  std::string pattern = directory;
  if (!pattern.empty() && pattern.back() != '/') pattern += '/';
  pattern += "TSTXXXXXX";
  if (error) *error = ENAMETOOLONG;
  if (!Path_Fits(pattern)) return false;
  int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (error) *error = fd < 0 ? errno : 0;
  if (fd < 0) return false;
  close(fd);
  unlink(pattern.c_str());
  return true;
}

std::optional<std::vector<uint8_t>> Read_Regular_File(const std::string& path, size_t largest) {
  return Read_User_File(path, largest).bytes;
}

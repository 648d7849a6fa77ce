// Files the system refuses to move, for as long as the guard lives: a file
// made immutable (no rename, no deletion, no write), or a file another is
// mounted on. Only the administrator may make either; a guard that could
// not says so through made.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <string>

class Unmovable_File {
 public:
  enum Kind { Immutable, Mount_Point };
  static constexpr const char* Why_Skipped = "only the administrator may make a file immutable or mount on it";

  Unmovable_File(const std::string& path_, Kind kind_) : path(path_), kind(kind_) {
    if (geteuid() != 0) return;
    if (kind == Immutable) {
      made = Set_Flag(true);
    } else {
      // The file is mounted on itself: the same file, held in place.
      made = mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0;
    }
  }
  ~Unmovable_File() { Release(); }
  Unmovable_File(const Unmovable_File&) = delete;
  Unmovable_File& operator=(const Unmovable_File&) = delete;

  // The file may move again (wherever it is now: give its path).
  void Release(const std::string& now_at = "") {
    if (!made) return;
    if (!now_at.empty()) path = now_at;
    if (kind == Immutable) Set_Flag(false);
    else umount2(path.c_str(), MNT_DETACH);
    made = false;
  }

  static bool Root() { return geteuid() == 0; }

  std::string path;
  Kind kind;
  bool made = false;

 private:
  bool Set_Flag(bool on) const {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
      flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
      ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return ok;
  }
};

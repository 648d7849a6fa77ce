// A small file system in memory, mounted for the test's life (only the
// administrator may mount one), that a test can fill to the last block.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

class Small_Disk {
 public:
  Small_Disk(const std::string& where, const std::string& size) : path(where) {
    std::filesystem::create_directories(path);
    if (geteuid() != 0) return;
    mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    if (!mounted) error = std::strerror(errno);
  }
  // The mount point goes with the disk when it is empty.
  ~Small_Disk() {
    if (mounted) umount2(path.c_str(), MNT_DETACH);
    rmdir(path.c_str());
  }
  Small_Disk(const Small_Disk&) = delete;
  Small_Disk& operator=(const Small_Disk&) = delete;

  // Writes a file until the disk has no block left.
  void Fill() const {
    const int fd = open(Filler().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const std::vector<char> block(4096, 'x');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    close(fd);
  }
  // Gives the space back.
  void Empty() const { unlink(Filler().c_str()); }

  // For a test that found the disk not mounted, before it returns: skipped
  // where only the administrator may mount, failed where the mount failed
  // all the same.
  //   if (!disk.mounted) return disk.Not_Mounted();
  void Not_Mounted() const {
    if (geteuid() != 0) GTEST_SKIP() << Why_Skipped;
    ADD_FAILURE() << "the small file system could not be mounted on " << path << ": " << error;
  }

  static constexpr const char* Why_Skipped = "mounting a small file system needs the administrator";
  std::string path;
  bool mounted = false;
  std::string error;

 private:
  std::string Filler() const { return path + "/filler"; }
};

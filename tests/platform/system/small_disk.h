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
  // inodes, when given, is how many files and folders the disk can hold.
  Small_Disk(const std::string& where, const std::string& size, int inodes = 0) : path(where) {
    std::filesystem::create_directories(path);
    if (geteuid() != 0) return;
    const std::string options = "size=" + size + (inodes ? ",nr_inodes=" + std::to_string(inodes) : "");
    mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
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
  // Makes empty files until no more can be made; how many were made.
  int Fill_Inodes() const {
    int made = 0;
    for (;;) {
      const int fd = open((path + "/inode-" + std::to_string(made)).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd < 0) return made;
      close(fd);
      ++made;
    }
  }

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

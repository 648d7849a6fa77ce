// A small file system in memory, mounted for the test's life (only the
// administrator may mount one), that a test can fill to the last block.
#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

class Small_Disk {
 public:
  Small_Disk(const std::string& where, const std::string& size) : path(where) {
    std::filesystem::create_directories(path);
    mounted = geteuid() == 0 && mount("tmpfs", path.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
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

  static constexpr const char* Why_Skipped = "mounting a small file system needs the administrator";
  std::string path;
  bool mounted = false;

 private:
  std::string Filler() const { return path + "/filler"; }
};

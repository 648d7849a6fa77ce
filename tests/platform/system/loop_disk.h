// A small ext4 file system in an image file, attached to two loop devices
// and mounted through one at a time: the same files, with the same inodes,
// under two device numbers, as a disk found again under another name. Only
// the administrator may attach and mount; a disk that could not be made
// says why.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

class Loop_Disk {
 public:
  Loop_Disk(const std::string& image_, const std::string& where) : image(image_), path(where) {
    std::filesystem::create_directories(path);
    if (geteuid() != 0) return;
    if (!Make_Image()) return;
    for (std::string& device : devices)
      if (!Attach(device)) return;
    mounted = Mount(0);
  }
  ~Loop_Disk() {
    Unmount();
    for (const std::string& device : devices) Detach(device);
    unlink(image.c_str());
    rmdir(path.c_str());
  }
  Loop_Disk(const Loop_Disk&) = delete;
  Loop_Disk& operator=(const Loop_Disk&) = delete;

  // The same file system mounted again through the other loop device.
  bool Mount_Under_Other_Device() {
    Unmount();
    mounted = Mount(1 - current);
    return mounted;
  }

  // For a test whose disk was not made: skipped where only the administrator
  // may make one, failed where making it failed all the same.
  void Not_Mounted() const {
    if (geteuid() != 0) GTEST_SKIP() << Why_Skipped;
    ADD_FAILURE() << "the loop disk could not be made on " << path << ": " << error;
  }

  static constexpr const char* Why_Skipped = "attaching and mounting a loop device needs the administrator";
  std::string image, path;
  bool mounted = false;
  std::string error;

 private:
  bool Fail(const std::string& what) {
    error = what + ": " + std::strerror(errno);
    return false;
  }

  bool Make_Image() {
    const int fd = open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ftruncate(fd, 32 << 20) != 0) return Fail("image " + image);
    close(fd);
    const std::string make = "mkfs.ext4 -q -F " + image + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return Fail("mkfs.ext4 " + image);
    return true;
  }

  // A free loop device for the image; another program may take the one
  // offered first, so a few are tried.
  bool Attach(std::string& device) {
    const int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0) return Fail("/dev/loop-control");
    const int file = open(image.c_str(), O_RDWR | O_CLOEXEC);
    bool attached = false;
    for (int tries = 0; tries < 8 && file >= 0 && !attached; ++tries) {
      const int number = ioctl(control, LOOP_CTL_GET_FREE);
      if (number < 0) break;
      device = "/dev/loop" + std::to_string(number);
      const int loop = open(device.c_str(), O_RDWR | O_CLOEXEC);
      attached = loop >= 0 && ioctl(loop, LOOP_SET_FD, file) == 0;
      if (loop >= 0) close(loop);
    }
    if (!attached) Fail("attaching " + image);
    if (file >= 0) close(file);
    close(control);
    if (!attached) device.clear();
    return attached;
  }

  void Detach(const std::string& device) {
    if (device.empty()) return;
    const int loop = open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (loop < 0) return;
    ioctl(loop, LOOP_CLR_FD, 0);
    close(loop);
  }

  bool Mount(int which) {
    current = which;
    if (mount(devices[which].c_str(), path.c_str(), "ext4", 0, nullptr) != 0) return Fail("mounting " + devices[which]);
    return true;
  }

  void Unmount() {
    if (!mounted) return;
    if (umount2(path.c_str(), 0) != 0) umount2(path.c_str(), MNT_DETACH);
    mounted = false;
  }

  std::string devices[2];
  int current = 0;
};

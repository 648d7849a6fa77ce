// A small ext4 file system in an image file, attached to two loop devices
// and mounted through one at a time: the same files, with the same inodes,
// under two device numbers, as a disk found again under another name. Only
// the administrator may attach and mount; a disk that could not be made
// says why.
//
// Other programs open loop devices too (a device prober, a desktop's disk
// service). A block device someone holds open keeps the blocks it cached
// across an unmount, so the device about to be mounted could show the disk
// as it was before the other device wrote to it: each device's cached
// blocks are written out and dropped before it is mounted, the disk is
// never unmounted lazily, and a remount that does not show the files as
// they were written says so instead of letting the test blame the program.
//
// Programs also make mount namespaces (a service started with a private
// /tmp, a sandbox, a container), and each takes a copy of every mount there
// is at that moment: a copy of the disk's mount would keep its file system
// alive after the test unmounts it, and mounting the same device again
// would hand back that live file system as it was. So the disk is mounted
// in a mount namespace of the test's own, private all the way down, and a
// device is mounted only while no file system of it is alive anywhere.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Loop_Disk {
 public:
  Loop_Disk(const std::string& image_, const std::string& where) : image(image_), path(where) {
    std::filesystem::create_directories(path);
    if (geteuid() != 0) return;
    if (!Mount_Privately() || !Make_Image()) return;
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

  // The same file system mounted again through the other loop device,
  // showing every file as it was written; false, with error saying why,
  // when the test disk could not be remounted so.
  bool Mount_Under_Other_Device() {
    const std::map<std::string, uintmax_t> written = Listing();
    if (!Unmount()) return false;
    mounted = Mount(1 - current);
    if (mounted && Listing() != written) {
      error = "the test disk could not be remounted: through " + devices[current] +
              " it does not show the files as they were written";
      return false;
    }
    return mounted;
  }

  // For a test whose disk was not made: skipped where only the administrator
  // may make one, failed where making it failed all the same.
  void Not_Mounted() const {
    if (geteuid() != 0) GTEST_SKIP() << Why_Skipped;
    ADD_FAILURE() << "the loop disk could not be made on " << path << ": " << error;
  }

  std::vector<std::string> Devices() const { return {devices[0], devices[1]}; }

  static constexpr const char* Why_Skipped = "attaching and mounting a loop device needs the administrator";
  std::string image, path;
  bool mounted = false;
  std::string error;

 private:
  bool Fail(const std::string& what) {
    error = what + ": " + std::strerror(errno);
    return false;
  }

  // From here on this thread's mounts live in a namespace of its own that
  // no mount propagates into or out of; a namespace another program makes
  // later copies the machine's mounts, not this one's.
  bool Mount_Privately() {
    if (unshare(CLONE_NEWNS) != 0) return Fail("a mount namespace of the test's own");
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return Fail("making the test's mounts private");
    return true;
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
    for (const std::string& device : devices)
      if (!No_File_System_Alive(device)) return false;
    if (!Drop_Cached_Blocks(devices[which])) return false;
    if (mount(devices[which].c_str(), path.c_str(), "ext4", 0, nullptr) != 0) return Fail("mounting " + devices[which]);
    return true;
  }

  // Writes out what the device holds in memory and drops its clean blocks,
  // so that the next reads through it come from the image as it is now.
  bool Drop_Cached_Blocks(const std::string& device) {
    const int loop = open(device.c_str(), O_RDONLY | O_CLOEXEC);
    if (loop < 0) return Fail("the test disk could not be remounted: opening " + device);
    const bool dropped = ioctl(loop, BLKFLSBUF, 0) == 0;
    close(loop);
    return dropped || Fail("the test disk could not be remounted: dropping the cached blocks of " + device);
  }

  // A mounted file system holds its device exclusively, in whatever
  // namespace the mount is, so an exclusive open of the device succeeds only
  // while none is alive. Nothing else here opens the devices exclusively;
  // a few tries pass over one that does so for a moment.
  bool No_File_System_Alive(const std::string& device) {
    for (int tries = 0; tries < 10; ++tries) {
      const int loop = open(device.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC);
      if (loop >= 0) {
        close(loop);
        return true;
      }
      if (errno != EBUSY) return Fail("the test disk could not be remounted: opening " + device + " alone");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error = "the test disk could not be remounted: a file system of " + device +
            " is still alive after its unmount (another mount namespace holds a copy of its mount)";
    return false;
  }

  // Every name under the mount point with its size (0 for a folder).
  std::map<std::string, uintmax_t> Listing() const {
    std::map<std::string, uintmax_t> names;
    std::error_code failed;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, failed)) {
      const bool regular = entry.is_regular_file(failed);
      names[entry.path().string()] = regular ? entry.file_size(failed) : 0;
    }
    return names;
  }

  // Never a lazy unmount: a disk still mounted somewhere would keep writing
  // to the image behind the other device's back. A mount kept busy for a
  // moment (a file another program has open there) is tried again.
  bool Unmount() {
    if (!mounted) return true;
    for (int tries = 0; tries < 100; ++tries) {
      if (umount2(path.c_str(), 0) == 0) {
        mounted = false;
        return Drop_Cached_Blocks(devices[current]);
      }
      if (errno != EBUSY) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return Fail("the test disk could not be remounted: unmounting " + path);
  }

  std::string devices[2];
  int current = 0;
};

// Another program reading loop devices now and then, as a device prober or a
// desktop's disk service does: it holds each open for a while, so that the
// blocks it read stay cached while the disk is unmounted and mounted again.
class Loop_Device_Reader {
 public:
  explicit Loop_Device_Reader(std::vector<std::string> devices_) : devices(std::move(devices_)), reader([this] { Read(); }) {}
  ~Loop_Device_Reader() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      stop = true;
    }
    woken.notify_all();
    reader.join();
  }
  Loop_Device_Reader(const Loop_Device_Reader&) = delete;
  Loop_Device_Reader& operator=(const Loop_Device_Reader&) = delete;

 private:
  void Read() {
    std::unique_lock<std::mutex> lock(mutex);
    while (!stop) {
      std::vector<int> open_devices;
      for (const std::string& device : devices) {
        const int fd = open(device.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        char block[4096];
        if (pread(fd, block, sizeof block, 1024) < 0) {}
        open_devices.push_back(fd);
      }
      woken.wait_for(lock, std::chrono::milliseconds(300), [this] { return stop; });
      for (const int fd : open_devices) close(fd);
    }
  }

  std::vector<std::string> devices;
  std::mutex mutex;
  std::condition_variable woken;
  bool stop = false;
  std::thread reader;
};

// Another program making mount namespaces from the machine's own namespace,
// as a service with a private /tmp or a sandbox does: a new one every
// quarter of a second, each kept three seconds, each a copy of every mount
// the machine has when it is made. Made before the test disk, so that it
// stays outside the test's own namespace (a child forked later would copy
// the test's namespace, disk and all).
class Mount_Namespace_Maker {
 public:
  Mount_Namespace_Maker() : maker(fork()) {
    if (maker != 0) return;
    setpgid(0, 0);
    execl("/bin/sh", "sh", "-c", "while :; do unshare -m sleep 3 & sleep 0.25; done", static_cast<char*>(nullptr));
    _exit(127);
  }
  ~Mount_Namespace_Maker() {
    if (maker <= 0) return;
    kill(-maker, SIGKILL);
    kill(maker, SIGKILL);
    waitpid(maker, nullptr, 0);
  }
  Mount_Namespace_Maker(const Mount_Namespace_Maker&) = delete;
  Mount_Namespace_Maker& operator=(const Mount_Namespace_Maker&) = delete;

  // Still making namespaces: it started, and it has not stopped.
  bool Making() const { return maker > 0 && waitpid(maker, nullptr, WNOHANG) == 0; }

 private:
  pid_t maker;
};

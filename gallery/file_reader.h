#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

// A descriptor of the gallery store's file for reading: the one it holds
// open, or, without one (-1), the file under its name when that is the
// file of the given device and inode; closed with the object when it
// opened it itself.
class File_Reader {
 public:
  File_Reader(int open_descriptor, const std::string& path, dev_t device, ino_t inode) : descriptor(open_descriptor) {
    if (descriptor >= 0 || path.empty()) return;
    descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    owned = descriptor >= 0;
    struct stat info;
    if (owned && (fstat(descriptor, &info) != 0 || info.st_dev != device || info.st_ino != inode)) {
      close(descriptor);
      descriptor = -1;
      owned = false;
    }
  }
  ~File_Reader() {
    if (owned) close(descriptor);
  }
  File_Reader(const File_Reader&) = delete;
  File_Reader& operator=(const File_Reader&) = delete;
  int Descriptor() const { return descriptor; }

 private:
  int descriptor = -1;
  bool owned = false;
};

// The primitives of mapped files: a file opened for exclusive use, and views
// of it mapped into memory. Opening takes an exclusive lock on the open file
// itself, so a second opener is refused, whether it is another process or
// this one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

constexpr uint32_t GENERIC_READ = 0x80000000;
constexpr uint32_t GENERIC_WRITE = 0x40000000;
constexpr uint32_t OPEN_EXISTING = 3;
constexpr uint32_t OPEN_ALWAYS = 4;

class TMapped_File_Handle {
 public:
  // Opens name with GENERIC_READ, optionally with GENERIC_WRITE, and
  // disposition OPEN_EXISTING or OPEN_ALWAYS (created empty when missing).
  // Null when the file cannot be opened, is not a plain file, or is in use.
  static std::unique_ptr<TMapped_File_Handle> Open(const std::string& name, uint32_t access, uint32_t disposition);
  // Opens an existing plain file for reading without the lock, for a file
  // another program holds: it may change or shrink under any view of it.
  static std::unique_ptr<TMapped_File_Handle> Open_Unlocked(const std::string& name);
  ~TMapped_File_Handle();
  TMapped_File_Handle(const TMapped_File_Handle&) = delete;
  TMapped_File_Handle& operator=(const TMapped_File_Handle&) = delete;

  bool Writable() const { return writable_; }
  uint64_t Size() const;
  // Sets the file's length. Growth reserves the disk space first, so a full
  // disk is a false result here rather than a fault when the mapping is
  // written; on failure the length is unchanged. Unmap views first: pages of
  // a view beyond a new, shorter end may no longer be touched.
  bool Set_Size(uint64_t size);
  // Makes sure the disk holds blocks for length bytes from offset inside
  // the file: a file with a hole there (a sparse copy, a restored backup)
  // would otherwise take them only when a mapped page is first written, and
  // a full disk would then be a fault instead of a false result here.
  bool Reserve(uint64_t offset, uint64_t length);
  int Descriptor() const { return fd_; }

 private:
  TMapped_File_Handle(int fd, bool writable) : fd_(fd), writable_(writable) {}
  int fd_;
  bool writable_;
};

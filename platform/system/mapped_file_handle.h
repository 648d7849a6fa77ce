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
  ~TMapped_File_Handle();
  TMapped_File_Handle(const TMapped_File_Handle&) = delete;
  TMapped_File_Handle& operator=(const TMapped_File_Handle&) = delete;

  bool Writable() const { return writable_; }
  uint64_t Size() const;
  // Sets the file's length. Growth reserves the disk space first, so a full
  // disk is a false result here rather than a fault when the mapping is
  // written; on failure the length is unchanged.
  bool Set_Size(uint64_t size);
  int Descriptor() const { return fd_; }

 private:
  TMapped_File_Handle(int fd, bool writable) : fd_(fd), writable_(writable) {}
  int fd_;
  bool writable_;
};

// A view of a whole file from offset 0, writable when the file is.
class TMapped_File_View {
 public:
  // size 0 maps the file as it is (an empty file cannot be mapped); a larger
  // size grows a writable file to it first and is refused for a read-only
  // one. Null on failure.
  static std::unique_ptr<TMapped_File_View> Map(TMapped_File_Handle& file, uint64_t size);
  ~TMapped_File_View();
  TMapped_File_View(const TMapped_File_View&) = delete;
  TMapped_File_View& operator=(const TMapped_File_View&) = delete;

  uint8_t* Data() const { return data_; }
  uint64_t Size() const { return size_; }
  bool Writable() const { return writable_; }
  // Writes changed pages to the file and waits for them.
  bool Flush();

 private:
  TMapped_File_View(uint8_t* data, uint64_t size, bool writable) : data_(data), size_(size), writable_(writable) {}
  uint8_t* data_;
  uint64_t size_;
  bool writable_;
};

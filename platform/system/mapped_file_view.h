// A view of a mapped file in memory (see mapped_file_handle.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/system/mapped_file_handle.h"

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
  // Copies size bytes from offset out of the view; false when they lie
  // outside it or the file no longer holds them (cut short by another
  // program): a read that never faults, whatever the file's length now.
  bool Read(uint64_t offset, void* out, size_t size) const;
  // Writes changed pages to the file and waits for them.
  bool Flush();

 private:
  TMapped_File_View(uint8_t* data, uint64_t size, bool writable) : data_(data), size_(size), writable_(writable) {}
  uint8_t* data_;
  uint64_t size_;
  bool writable_;
};

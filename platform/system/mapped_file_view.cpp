#include "platform/system/mapped_file_view.h"

#include <sys/mman.h>

#include <limits>

#include "platform/system/mapped_bytes.h"

std::unique_ptr<TMapped_File_View> TMapped_File_View::Map(TMapped_File_Handle& file, uint64_t size) {
  const uint64_t current = file.Size();
  if (size == 0) size = current;
  if (size == 0 || size > std::numeric_limits<size_t>::max()) return nullptr;
  if (size > current && !file.Set_Size(size)) return nullptr;
  const bool writable = file.Writable();
  void* data = mmap(nullptr, static_cast<size_t>(size), writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                    file.Descriptor(), 0);
  if (data == MAP_FAILED) return nullptr;
  return std::unique_ptr<TMapped_File_View>(new TMapped_File_View(static_cast<uint8_t*>(data), size, writable));
}

TMapped_File_View::~TMapped_File_View() { munmap(data_, static_cast<size_t>(size_)); }

bool TMapped_File_View::Flush() { return msync(data_, static_cast<size_t>(size_), MS_SYNC) == 0; }

bool TMapped_File_View::Read(uint64_t offset, void* out, size_t size) const {
  if (offset > size_ || size > size_ - offset) return false;
  return TMapped_Bytes::Copy(out, data_ + offset, size);
}

#include "platform/system/address_range.h"

#include <sys/mman.h>
#include <unistd.h>

size_t TAddress_Range::Page_Size() {
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

bool TAddress_Range::Reserve(size_t size) {
  Release();
  const size_t page = Page_Size();
  if (size == 0 || size > SIZE_MAX - page) return false;
  size = (size + page - 1) / page * page;
  // Inaccessible pages are address space only: no memory is charged for them.
  void* base = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return false;
  base_ = static_cast<uint8_t*>(base);
  size_ = size;
  return true;
}

bool TAddress_Range::Page_Span(size_t offset, size_t size, size_t& first, size_t& length) const {
  if (!base_ || offset > size_ || size > size_ - offset) return false;
  const size_t page = Page_Size();
  first = offset / page * page;
  size_t end = (offset + size + page - 1) / page * page;
  length = end - first;
  return true;
}

bool TAddress_Range::Commit(size_t offset, size_t size) {
  size_t first, length;
  if (!Page_Span(offset, size, first, length)) return false;
  if (length == 0) return true;
  return mprotect(base_ + first, length, PROT_READ | PROT_WRITE) == 0;
}

bool TAddress_Range::Decommit(size_t offset, size_t size) {
  size_t first, length;
  if (!Page_Span(offset, size, first, length)) return false;
  if (length == 0) return true;
  // Mapping fresh inaccessible pages over the range frees the old ones and
  // their charge at once, and makes a later commit read zeros.
  void* pages = mmap(base_ + first, length, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
  return pages != MAP_FAILED;
}

void TAddress_Range::Release() {
  if (base_) munmap(base_, size_);
  base_ = nullptr;
  size_ = 0;
}

// Reserved address space with committed pages inside it: a range reserved
// once, whose pages are made usable and given back in whole pages, so that a
// buffer grows and shrinks at either end without moving.
#pragma once

#include <cstddef>
#include <cstdint>

class TAddress_Range {
 public:
  TAddress_Range() = default;
  ~TAddress_Range() { Release(); }
  TAddress_Range(const TAddress_Range&) = delete;
  TAddress_Range& operator=(const TAddress_Range&) = delete;

  static size_t Page_Size();

  // Reserves size bytes (rounded up to whole pages), none committed; any
  // earlier range is released first.
  bool Reserve(size_t size);
  // Commits every page that [offset, offset + size) touches; the pages read
  // as zero until written. False beyond the reserved range or when memory is
  // short; already committed pages keep their contents.
  bool Commit(size_t offset, size_t size);
  // Decommits every page that [offset, offset + size) touches: the contents
  // are dropped and the pages may not be touched until committed again.
  bool Decommit(size_t offset, size_t size);
  void Release();

  uint8_t* Base() const { return base_; }
  size_t Size() const { return size_; }

 private:
  bool Page_Span(size_t offset, size_t size, size_t& first, size_t& length) const;

  uint8_t* base_ = nullptr;
  size_t size_ = 0;
};

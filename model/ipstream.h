// The object-stream reader over a block of bytes (a file read whole, or
// built-in data). It trusts nothing it reads: every length, count, tag and
// object number is checked against what exists, and anything wrong sets the
// fail bit, after which every read gives 0, nothing or no object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/pstream.h"
#include "model/tstreamablebase.h"

class TStreamer;

class ipstream : public pstream {
 public:
  // Reads the bytes in place; they must outlive the stream.
  explicit ipstream(std::span<const uint8_t> data);
  ipstream(const uint8_t* data, size_t size) : ipstream(std::span<const uint8_t>(data, size)) {}
  // The bytes are not copied, so a temporary buffer would not do.
  explicit ipstream(std::vector<uint8_t>&&) = delete;

  // Every reader calls this first. A leading ':' is taken with the 32-bit
  // version after it; any other first byte means a version-0 stream and is
  // left in place; no data at all sets eof and gives 0.
  uint32_t Read_Version();
  uint32_t Version() const { return version; }

  uint8_t Read_Byte();
  // Fills p with n bytes, or with zeros and fails when fewer are left.
  void Read_Bytes(void* p, size_t n);
  // 16 bits (zero-extended) in a version-0 stream, otherwise 32 bits.
  uint32_t Read_Word();
  uint32_t Read_Word32();
  // No value for a null string; the text may be empty.
  std::optional<std::string> Read_String();

  // Reads a framed object into existing, whose class must be the stored one.
  // A read that fails leaves existing as it was.
  void Read_Object(TStreamableBase& existing);
  // The same, but a read that fails part way leaves in existing what its
  // reader took before the failure: for a collection that keeps the whole
  // entries read from a damaged file (the user database).
  void Read_Object_Keeping_What_Was_Read(TStreamableBase& existing);
  // Tells whether an object read through a pointer is of the class the
  // caller expects.
  using Object_Check = bool (*)(const TStreamableBase& object);

  // A null pointer, an object read before (by number), or a new object the
  // caller then owns; built_new tells which of the last two it was. A failed
  // read gives null and leaves no object behind; so does an object that
  // fails the check, which also fails the stream.
  TStreamableBase* Read_Object_Pointer(Object_Check check = nullptr, bool* built_new = nullptr);
  // A base class's part inside a streamer's Read: its 32-bit version (none
  // in a version-0 stream), then its fields through the base's streamer.
  void Read_Base_Object(TStreamer& base);

  size_t Bytes_Left() const { return data.size() - position; }

 protected:
  ipstream() = default;
  // Starts over on new bytes: position 0, version 0, no objects read.
  void Reset(std::span<const uint8_t> new_data);

 private:
  // Reads a framed object; with existing, into it, otherwise into a new one.
  TStreamableBase* Read_Framed(TStreamableBase* existing, Object_Check check, bool* built_new);
  std::optional<std::string> Read_Class_Name();
  uint32_t Read_String_Length(bool* is_null);
  bool Take(void* p, size_t n);

  std::span<const uint8_t> data;
  size_t position = 0;
  uint32_t version = 0;
  int depth = 0;
  // Object number -> object; entry 0 is the null object.
  std::vector<TStreamableBase*> objects{nullptr};
};

// Reads a pointer to a T; an object of another class fails the stream and
// gives null.
template <class T>
T* Read_Typed_Pointer(ipstream& is, bool* built_new = nullptr) {
  auto is_t = [](const TStreamableBase& object) {
    return dynamic_cast<const T*>(&object) != nullptr;
  };
  return dynamic_cast<T*>(is.Read_Object_Pointer(is_t, built_new));
}

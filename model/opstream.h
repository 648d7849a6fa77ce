// The object-stream writer. Words are 32 bits little-endian, nothing is
// padded or aligned. Once the stream has failed nothing more is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "model/pstream.h"
#include "model/tstreamablebase.h"

class TStreamer;

class opstream : public pstream {
 public:
  // Appends to sink, starting with the header ':' and version 0x101.
  explicit opstream(std::vector<uint8_t>& sink);

  void Write_Byte(uint8_t b);
  void Write_Word(uint32_t w);
  // The bytes as they are in memory (floats go as their 4 IEEE bytes).
  void Write_Bytes(const void* p, size_t n);
  // A 32-bit length and the bytes; a null text is the length 0xFFFFFFFF.
  void Write_String(const char* s);
  void Write_String(std::string_view s);
  // '[', the class name, the class version, the fields, ']'. The object's
  // class must be registered under its Streamable_Name; otherwise the stream
  // fails.
  void Write_Object(const TStreamableBase& object);
  // 0 for null; 1 and the number of an object already written; otherwise 2
  // and the object in full.
  void Write_Object_Pointer(const TStreamableBase* object);
  // A base class's part inside a streamer's Write: its class version as 4
  // bytes, then its fields through the base's streamer.
  void Write_Base_Object(const TStreamer& base);

 protected:
  // For writers that open their sink first and then write the header.
  opstream() = default;
  void Write_Header();
  // Puts n bytes into the sink; false when the sink refused them.
  virtual bool Put(const void* p, size_t n);
  // Starts over: no objects written.
  void Forget_Objects() {
    written.clear();
    next_number = 1;
  }

 private:
  // Number of an object already written, 0 when none.
  uint32_t Number_Of(const TStreamableBase* object) const;

  std::vector<uint8_t>* memory = nullptr;
  // (object, number), sorted by object address.
  std::vector<std::pair<const TStreamableBase*, uint32_t>> written;
  uint32_t next_number = 1;
};

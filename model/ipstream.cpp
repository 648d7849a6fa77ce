#include "model/ipstream.h"

#include <cstring>
#include <memory>

#include "model/tstreamableclass.h"
#include "model/tstreamer.h"

namespace {

constexpr uint32_t Current_Version = 0x101;
constexpr size_t Longest_Class_Name = 127;
// Deeper nesting than any stored data has is taken as damage, before it can
// exhaust the stack.
constexpr int Deepest_Nesting = 64;

uint32_t Little_Endian(const uint8_t* b, size_t n) {
  uint32_t value = 0;
  for (size_t i = n; i-- > 0;) value = (value << 8) | b[i];
  return value;
}

}  // namespace

ipstream::ipstream(std::span<const uint8_t> data_) : data(data_) {}

void ipstream::Reset(std::span<const uint8_t> new_data) {
  data = new_data;
  position = 0;
  version = 0;
  depth = 0;
  objects.assign(1, nullptr);
}

bool ipstream::Take(void* p, size_t n) {
  if (Fail() || n > Bytes_Left()) {
    if (n > 0) std::memset(p, 0, n);
    Fail_With("The data ends early");
    return false;
  }
  if (n > 0) std::memcpy(p, data.data() + position, n);
  position += n;
  return true;
}

uint32_t ipstream::Read_Version() {
  version = 0;
  if (Fail()) return 0;
  if (Bytes_Left() == 0) {
    Set_State(eofbit);
    return 0;
  }
  if (data[position] != ':') return 0;
  ++position;
  version = Read_Word32();
  return version;
}

uint8_t ipstream::Read_Byte() {
  uint8_t b = 0;
  Take(&b, 1);
  return b;
}

void ipstream::Read_Bytes(void* p, size_t n) { Take(p, n); }

uint32_t ipstream::Read_Word() {
  uint8_t b[4] = {};
  const size_t n = version == 0 ? 2 : 4;
  Take(b, n);
  return Little_Endian(b, n);
}

uint32_t ipstream::Read_Word32() {
  uint8_t b[4] = {};
  Take(b, 4);
  return Little_Endian(b, 4);
}

uint32_t ipstream::Read_String_Length(bool* is_null) {
  if (version < Current_Version) {
    const uint8_t length = Read_Byte();
    *is_null = length == 0xFF;
    return length;
  }
  const uint32_t length = Read_Word32();
  *is_null = length == 0xFFFFFFFF;
  return length;
}

std::optional<std::string> ipstream::Read_String() {
  bool is_null = false;
  const uint32_t length = Read_String_Length(&is_null);
  if (Fail() || is_null) return std::nullopt;
  // A length beyond the bytes that exist is damage, not a reason to
  // allocate.
  if (length > Bytes_Left()) {
    Fail_With("A text is longer than the data");
    return std::nullopt;
  }
  std::string text(length, '\0');
  Take(text.data(), length);
  return text;
}

std::optional<std::string> ipstream::Read_Class_Name() {
  bool is_null = false;
  const uint32_t length = Read_String_Length(&is_null);
  if (Fail()) return std::nullopt;
  if (is_null || length == 0 || length > Longest_Class_Name || length > Bytes_Left()) {
    Fail_With("A class name is damaged");
    return std::nullopt;
  }
  std::string name(length, '\0');
  Take(name.data(), length);
  return name;
}

TStreamableBase* ipstream::Read_Framed(TStreamableBase* existing, Object_Check check,
                                       bool* built_new) {
  if (Read_Byte() != '[' || Fail()) {
    Fail_With("An object does not start with '['");
    return nullptr;
  }
  const std::optional<std::string> name = Read_Class_Name();
  if (!name) return nullptr;
  const TStreamableClass* record = TStreamableClass::Lookup(*name, 1);
  if (record == nullptr) {
    Fail_With("Attempt to stream unregistered type '" + *name + "'");
    return nullptr;
  }
  // Read by reference, the stored class must be the object's own: another
  // class's reader would write fields the object does not have.
  if (existing != nullptr && *name != existing->Streamable_Name()) {
    Fail_With("An object of class '" + *name + "' stands where '" + existing->Streamable_Name() + "' belongs");
    return nullptr;
  }
  if (depth >= Deepest_Nesting) {
    Fail_With("Objects are nested too deeply");
    return nullptr;
  }
  std::unique_ptr<TStreamer> streamer = record->Build()(existing);
  if (streamer == nullptr || streamer->Get_Object() == nullptr) {
    Fail_With("An object of class '" + *name + "' could not be made");
    return nullptr;
  }
  TStreamableBase* object = streamer->Get_Object();
  std::unique_ptr<TStreamableBase> made(existing == nullptr ? object : nullptr);
  // Numbered as soon as its reading starts, as the writer numbered it.
  const size_t number = objects.size();
  objects.push_back(object);

  const uint32_t class_version = version == 0 ? 0 : Read_Word32();
  ++depth;
  if (!Fail()) streamer->Read(*this, class_version);
  --depth;
  streamer.reset();
  const bool closed = !Fail() && Read_Byte() == ']';
  if (!closed || (made != nullptr && check != nullptr && !check(*object))) {
    if (!Fail())
      Fail_With(closed ? "An object of class '" + *name + "' stands where another class belongs"
                       : "An object of class '" + *name + "' does not end with ']'");
    // Forget this object and everything read inside it: none may be found
    // again by number, and a new one is deleted with what it holds.
    objects.resize(number);
    return nullptr;
  }
  if (built_new != nullptr) *built_new = made != nullptr;
  return made != nullptr ? made.release() : object;
}

void ipstream::Read_Object(TStreamableBase& existing) {
  if (Fail()) return;
  // A read that fails part way must leave the object as it was. The whole
  // frame is therefore read first into a new object of the stored class,
  // then, only when that succeeds, again into the object itself. Reads
  // nested inside either pass need no trial of their own: a failed trial is
  // thrown away whole, and the second pass reads bytes already found sound.
  if (depth == 0) {
    const size_t start = position, known = objects.size();
    std::unique_ptr<TStreamableBase> trial(Read_Framed(nullptr, nullptr, nullptr));
    if (Fail()) return;
    if (std::string(trial->Streamable_Name()) != existing.Streamable_Name()) {
      Fail_With(std::string("An object of class '") + trial->Streamable_Name() + "' stands where '" +
                existing.Streamable_Name() + "' belongs");
      return;
    }
    trial.reset();
    position = start;
    objects.resize(known);
  }
  Read_Framed(&existing, nullptr, nullptr);
}

void ipstream::Read_Object_Keeping_What_Was_Read(TStreamableBase& existing) {
  if (!Fail()) Read_Framed(&existing, nullptr, nullptr);
}

TStreamableBase* ipstream::Read_Object_Pointer(Object_Check check, bool* built_new) {
  if (built_new != nullptr) *built_new = false;
  if (Fail()) return nullptr;
  const uint8_t tag = Read_Byte();
  if (Fail()) return nullptr;
  switch (tag) {
    case 0:
      return nullptr;
    case 1: {
      const uint32_t number = Read_Word();
      if (Fail()) return nullptr;
      // Only objects whose reading has started can be referred to.
      if (number >= objects.size()) {
        Fail_With("An object refers to one not read before it");
        return nullptr;
      }
      TStreamableBase* object = objects[number];
      if (object != nullptr && check != nullptr && !check(*object)) {
        Fail_With("An object refers to one of another class");
        return nullptr;
      }
      return object;
    }
    case 2:
      return Read_Framed(nullptr, check, built_new);
    default:
      Fail_With("An object pointer is damaged");
      return nullptr;
  }
}

void ipstream::Read_Base_Object(TStreamer& base) {
  const uint32_t base_version = version == 0 ? 0 : Read_Word32();
  if (!Fail()) base.Read(*this, base_version);
}

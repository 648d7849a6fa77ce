#include "model/opstream.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "model/tstreamableclass.h"
#include "model/tstreamer.h"

namespace {

constexpr uint32_t Current_Version = 0x101;

bool Address_Before(const std::pair<const TStreamableBase*, uint32_t>& entry,
                    const TStreamableBase* object) {
  return std::less<const TStreamableBase*>()(entry.first, object);
}

}  // namespace

opstream::opstream(std::vector<uint8_t>& sink) : memory(&sink) { Write_Header(); }

void opstream::Write_Header() {
  Write_Byte(':');
  Write_Word(Current_Version);
}

bool opstream::Put(const void* p, size_t n) {
  if (memory == nullptr) return false;
  const auto* bytes = static_cast<const uint8_t*>(p);
  memory->insert(memory->end(), bytes, bytes + n);
  return true;
}

void opstream::Write_Bytes(const void* p, size_t n) {
  if (Fail() || n == 0) return;
  if (!Put(p, n)) Set_State(failbit);
}

void opstream::Write_Byte(uint8_t b) { Write_Bytes(&b, 1); }

void opstream::Write_Word(uint32_t w) {
  const uint8_t b[4] = {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8),
                        static_cast<uint8_t>(w >> 16), static_cast<uint8_t>(w >> 24)};
  Write_Bytes(b, 4);
}

void opstream::Write_String(const char* s) {
  if (s == nullptr) {
    Write_Word(0xFFFFFFFF);
  } else {
    Write_String(std::string_view(s));
  }
}

void opstream::Write_String(std::string_view s) {
  if (s.size() >= 0xFFFFFFFF) {
    Set_State(failbit);
    return;
  }
  Write_Word(static_cast<uint32_t>(s.size()));
  Write_Bytes(s.data(), s.size());
}

uint32_t opstream::Number_Of(const TStreamableBase* object) const {
  auto place = std::lower_bound(written.begin(), written.end(), object, Address_Before);
  return place != written.end() && place->first == object ? place->second : 0;
}

void opstream::Write_Object(const TStreamableBase& object) {
  if (Fail()) return;
  const char* name = object.Streamable_Name();
  const TStreamableClass* record = TStreamableClass::Lookup(name, 1);
  std::unique_ptr<TStreamer> streamer =
      record != nullptr ? record->Build()(const_cast<TStreamableBase*>(&object)) : nullptr;
  if (streamer == nullptr) {
    Fail_With("Attempt to stream unregistered type '" + std::string(name) + "'");
    return;
  }
  Write_Byte('[');
  Write_String(name);
  // Numbered before its fields, so nested objects follow their container.
  if (Number_Of(&object) == 0) {
    auto place = std::lower_bound(written.begin(), written.end(), &object, Address_Before);
    written.insert(place, {&object, next_number});
  }
  ++next_number;
  Write_Word(streamer->Class_Version());
  streamer->Write(*this);
  Write_Byte(']');
}

void opstream::Write_Object_Pointer(const TStreamableBase* object) {
  if (object == nullptr) {
    Write_Byte(0);
    return;
  }
  if (const uint32_t number = Number_Of(object); number != 0) {
    Write_Byte(1);
    Write_Word(number);
    return;
  }
  Write_Byte(2);
  Write_Object(*object);
}

void opstream::Write_Base_Object(const TStreamer& base) {
  Write_Word(base.Class_Version());
  if (!Fail()) base.Write(*this);
}

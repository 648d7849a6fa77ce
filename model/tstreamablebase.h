// Base of every class that goes through the object stream.
#pragma once

// Selects the constructor that makes an empty object for a stream reader
// to fill.
struct For_Stream_Tag {};
inline constexpr For_Stream_Tag For_Stream{};

class TStreamableBase {
 public:
  virtual ~TStreamableBase() = default;
  // The name under which the object's most-derived class is registered and
  // stored; every streamable class gives its own.
  virtual const char* Streamable_Name() const = 0;
};

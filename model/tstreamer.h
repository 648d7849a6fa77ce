// A streamer wraps one object during one read or write of the object
// stream; each streamable class has its own, nested in the class.
#pragma once

#include <cstdint>

#include "model/tstreamablebase.h"

class ipstream;
class opstream;

class TStreamer {
 public:
  TStreamer(const TStreamer&) = delete;
  TStreamer& operator=(const TStreamer&) = delete;
  virtual ~TStreamer() = default;

  // Reads the object's fields as stored by a class of the given version;
  // returns the object.
  virtual TStreamableBase* Read(ipstream& is, uint32_t version) = 0;
  virtual void Write(opstream& os) const = 0;
  virtual uint32_t Class_Version() const = 0;

  TStreamableBase* Get_Object() const { return object; }

 protected:
  explicit TStreamer(TStreamableBase* object_) : object(object_) {}

 private:
  TStreamableBase* object;  // not owned
};

// The form every streamer of this program takes: built on an existing
// object, or on a new one that the stream reader then owns.
class TNewStreamer : public TStreamer {
 protected:
  explicit TNewStreamer(TStreamableBase* object_) : TStreamer(object_) {}
};

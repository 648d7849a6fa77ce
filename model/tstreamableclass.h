// A record of the streamable class registry: the stored class name and the
// function that builds a streamer for an object of the class. Constructing a
// record registers it; destroying it unregisters it.
//
// A class registers by keeping a static record in the same source file as
// its own code, so the record is linked whenever the class is. The classes
// of the pattern model register on the first look-up instead (see
// model/model_stream_classes.h), so that a program that only reads a stream
// still finds them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/tstreamer.h"

// Given an object, a streamer on it; given none, a streamer on a new object
// of the class. Null when the object is not of the class.
using Streamer_Builder = std::unique_ptr<TStreamer> (*)(TStreamableBase* object);

class TStreamableClass {
 public:
  // Module 0 records are never entered in the registry.
  TStreamableClass(const char* name, Streamer_Builder build, int32_t delta = -1,
                   int32_t module = 1);
  TStreamableClass(const TStreamableClass&) = delete;
  TStreamableClass& operator=(const TStreamableClass&) = delete;
  ~TStreamableClass();

  const std::string& Name() const { return name; }
  Streamer_Builder Build() const { return build; }
  int32_t Delta() const { return delta; }
  int32_t Module() const { return module; }

  // The registered class of that name; module 0 matches any module. Null
  // when none is registered.
  static const TStreamableClass* Lookup(std::string_view name, int32_t module);

 private:
  std::string name;
  Streamer_Builder build;
  int32_t delta;
  int32_t module;
};

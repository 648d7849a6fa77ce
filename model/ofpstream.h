// The object-stream writer into a file, created or truncated on opening.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "model/opstream.h"

class ofpstream : public opstream {
 public:
  ofpstream() = default;
  // Opens the file and writes the stream header.
  explicit ofpstream(const std::string& path);
  ~ofpstream() override;

  // Opening an open stream sets fail; a file that cannot be created sets
  // bad; success clears the state (except hardfail) and writes the header.
  void Open(const std::string& path);
  // A close that fails to put everything on disk sets fail; otherwise the
  // state is cleared, unless a write already failed (the file is then
  // incomplete, and the failure stays visible).
  void Close();
  bool Is_Open() const { return file != nullptr; }

 protected:
  bool Put(const void* p, size_t n) override;

 private:
  FILE* file = nullptr;
};

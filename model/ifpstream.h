// The object-stream reader over a file, read whole on opening.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ipstream.h"

class ifpstream : public ipstream {
 public:
  ifpstream() = default;
  explicit ifpstream(const std::string& path);

  // Opening an open stream sets fail; a file that cannot be read sets bad;
  // success clears the state (except hardfail).
  void Open(const std::string& path);
  // Clears the state; fail when the stream was not open.
  void Close();
  bool Is_Open() const { return is_open; }

 private:
  std::vector<uint8_t> contents;
  bool is_open = false;
};

// The object-stream writer into a file. The stream is gathered in memory
// and saved on closing through the atomic save, so a crash or a failed
// write leaves the old file whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/opstream.h"

class ofpstream : public opstream {
 public:
  ofpstream() = default;
  // Opens the file and writes the stream header.
  explicit ofpstream(const std::string& path);
  ~ofpstream() override;

  // Opening an open stream sets fail; a file that cannot be made there (no
  // such directory, something other than a plain file in the way) sets
  // bad; success clears the state (except hardfail) and writes the header.
  void Open(const std::string& path);
  // Saves the stream. A save that fails, or a stream that failed while it
  // was written, leaves the old file as it was and sets fail; otherwise the
  // state is cleared.
  void Close();
  bool Is_Open() const { return open; }

 protected:
  bool Put(const void* p, size_t n) override;

 private:
  std::string path;
  std::vector<uint8_t> bytes;
  bool open = false;
};

#include "model/ofpstream.h"

ofpstream::ofpstream(const std::string& path) { Open(path); }

ofpstream::~ofpstream() {
  if (file != nullptr) std::fclose(file);
}

void ofpstream::Open(const std::string& path) {
  if (file != nullptr) {
    Set_State(failbit);
    return;
  }
  file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    Set_State(badbit);
    return;
  }
  Clear();
  Forget_Objects();
  Write_Header();
}

void ofpstream::Close() {
  if (file == nullptr) {
    Set_State(failbit);
    return;
  }
  const bool closed = std::fclose(file) == 0;
  file = nullptr;
  // A write that failed earlier stays reported: the file is incomplete.
  if (!closed) {
    Set_State(failbit);
  } else if (!Fail()) {
    Clear();
  }
}

bool ofpstream::Put(const void* p, size_t n) {
  return file != nullptr && std::fwrite(p, 1, n, file) == n;
}

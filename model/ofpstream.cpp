#include "model/ofpstream.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/atomic_file.h"

namespace {

// Whether a plain file can be saved at path: its directory exists and can be
// written, and nothing but a plain file has the name.
bool Can_Save_At(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  struct stat info;
  if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || access(directory.c_str(), W_OK) != 0)
    return false;
  return stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode);
}

}  // namespace

ofpstream::ofpstream(const std::string& path) { Open(path); }

ofpstream::~ofpstream() = default;  // an unclosed stream saves nothing

void ofpstream::Open(const std::string& new_path) {
  if (open) {
    Fail_With("The stream is already open");
    return;
  }
  if (new_path.empty() || !Can_Save_At(new_path)) {
    Fail_With("The file cannot be made", badbit);
    return;
  }
  path = new_path;
  bytes.clear();
  open = true;
  Clear();
  Forget_Objects();
  Write_Header();
}

void ofpstream::Close() {
  if (!open) {
    Fail_With("The stream is not open");
    return;
  }
  open = false;
  // A stream that failed part way is not saved: the file would be incomplete.
  if (!Fail() && !Write_File_Atomically(path, bytes)) Fail_With("The file cannot be saved");
  if (!Fail()) Clear();
  bytes.clear();
  bytes.shrink_to_fit();
}

bool ofpstream::Put(const void* p, size_t n) {
  if (!open) return false;
  const auto* from = static_cast<const uint8_t*>(p);
  bytes.insert(bytes.end(), from, from + n);
  return true;
}

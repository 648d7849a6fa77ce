// Copies of the bytes of a shared file mapping that survive the file being
// cut short under it. Another program may truncate a mapped file at any
// moment (a copy over it truncates it first, an editor or a sync tool writes
// it in place); a page beyond the new end then faults with SIGBUS when it is
// touched, whatever the size looked like a moment before. Every touch of
// such a mapping goes through Copy, which turns that fault into a false
// result on the thread that made it.
#pragma once

#include <cstddef>

class TMapped_Bytes {
 public:
  // Copies size bytes from from to to, either of which may lie in a mapping.
  // False when a page of the mapping went away during the copy: to then
  // holds a part of the bytes at most. The first call installs the SIGBUS
  // handler, once for the process; a fault outside a copy still goes to
  // whatever handled SIGBUS before (or ends the process as it would have).
  static bool Copy(void* to, const void* from, size_t size);
};

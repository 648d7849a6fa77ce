// What start-up tells the users about the place they live: the user data
// directory, whether it can be written, and the flag that opens help at the
// first start.
#pragma once

#include <string>

struct User_Data {
  // The user data directory, ending in '/'.
  std::string directory;
  // Files may be written there; when not, nothing is saved, moved or recycled.
  bool writable = true;
  // Help opens at start (no user file was read, or one of another version).
  bool show_help_at_start = true;
};

extern User_Data The_User_Data;

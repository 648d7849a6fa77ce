// The desktop trash (the freedesktop.org Trash layout, version 1.0) in the user's
// data directory: $XDG_DATA_HOME/Trash, with the deleted item under files/
// and its origin and time in info/<name>.trashinfo.
#pragma once

#include <functional>
#include <string>

// Moves a file (or a directory on the same file system) to the trash: the
// info file is written whole and linked to its name first (never over
// another), then the item is moved, under a name made unique; across file
// systems a file is copied and the original deleted. What a cut left
// halfway is cleared the next time. False, with nothing left behind, when
// the item is missing, its full path is too long, or any step fails.
// A file set aside under a name of its own before it goes is recorded at
// `origin` instead, the place it had where the person knew it.
bool Move_To_Trash(const std::string& path, const std::string& origin = {});

// The directory of the trash; empty when no data directory is known.
std::string Trash_Directory();

// Path values of info files: bytes outside the unreserved characters and
// '/' are written as %XX.
std::string Trash_Escape_Path(const std::string& path);

// Test hook: called at each point where a cut could stop a move to the
// trash. Test use only.
void Set_Trash_Cut_Hook(std::function<void()> hook);

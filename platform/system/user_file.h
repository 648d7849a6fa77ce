// The rules every user file lives by beyond the atomic save: a file that
// could not be read is looked at for why (the person is told), a file that
// could not be read whole is set aside under a name that says so before
// anything may replace it, and the temporary files of a save that was
// killed midway are cleared at the next start, and a file it held aside is
// put back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Why a user file was not read whole.
enum class TFile_Fault {
  None,
  Missing,
  No_Permission,  // it exists but this user may not open it
  Not_Regular,    // a directory, FIFO, device or socket
  Too_Large,
  Unreadable,     // the disk failed while reading
  Damaged,        // read, but its contents are not what they should be
  Broken_Link,    // a symbolic link to nothing
  Link_Loop,      // symbolic links that lead round in a circle
  In_Use,         // another program holds it locked
};

struct TUser_File_Read {
  std::optional<std::vector<uint8_t>> bytes;
  TFile_Fault fault = TFile_Fault::None;
};

// The whole of a regular file of at most `largest` bytes, or why not.
TUser_File_Read Read_User_File(const std::string& path, size_t largest);

// True for the faults after which the file must stay exactly where and as
// it is: it could not even be opened, so nothing of it is known.
bool File_Must_Stay(TFile_Fault fault);

// A sentence saying why the file was refused ("The file is damaged").
std::string File_Fault_Reason(TFile_Fault fault);

// The refusal as the person reads it: "Unable to read file <path>", then on
// a second line the reason and what the program does about it.
std::string Unreadable_File_Message(const std::string& path, TFile_Fault fault, const std::string& outcome);

// Why a user file could not be written, from the errno of the failure
// ("The disk is full").
std::string Write_Failure_Reason(int error);

// The refusal to write as the person reads it: "Unable to write file
// <path>", then on a second line the reason and what happens next.
std::string Unwritable_File_Message(const std::string& path, int error, const std::string& outcome);

// Moves a file that could not be read whole out of the way of the next save,
// in the same directory, as "<name>.damaged-YYYYMMDD-HHMMSS" (a "-2", "-3"...
// added when that name is taken; another word for a file kept for another
// reason). The new path; empty when it could not be moved, and the caller
// must then never replace the file.
std::string Keep_File_Aside(const std::string& path, const std::string& word = "damaged");

// Removes, in the user data directory only, the temporary files an
// interrupted save of a user file left: "<name>.usr.XXXXXX" and the same
// for "clr", "man" and "gal", with six letters or digits as the save makes
// them. Only regular files are removed. The count removed.
int Remove_Interrupted_Saves(const std::string& directory);

// The same for the saves of one file: "<path>.XXXXXX" beside it. The count
// removed.
int Remove_Interrupted_Saves_Of(const std::string& path);

// Whether a name is one an interrupted save of a user file leaves behind.
bool Is_Interrupted_Save_Name(const std::string& name);

// The name a save holds a user file under while it writes it, beside it:
// ".saving-<name>". A program that opens the file's own name meanwhile
// meets no file.
std::string Held_For_Save_Name(const std::string& path);

// At the start, before anyone's files are looked for or moved: each
// gallery (a file whose name ends in ".gal", and that is_held takes for one
// a save wrote) that a save stopped midway still holds aside goes back
// under its own name, where no file has taken that name since (then both
// stay, and the owner's gallery says so when it opens). Anything else under
// such a name is another program's and stays; put_back (if any) is told
// each held name emptied. The count put back.
int Put_Back_Files_Held_For_Save(const std::string& directory,
                                 const std::function<bool(const std::string& path)>& is_held,
                                 const std::function<void(const std::string& path)>& put_back = nullptr);

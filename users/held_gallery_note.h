// What a save notes of the file it puts at the name it holds a gallery under
// while it writes (".saving-<name>"): a small record of its own beside it,
// "<held name>.id", written whole or not at all. A file there is a held
// gallery only when it is one the record names, itself (a link is its own
// file, never the one it leads to): a device, an inode and the time that
// inode was made, so that a file made later in a freed inode is not taken
// for it. How a file looks never makes it hers.
//
// The record also names the folder it was written in: in a copy of the
// folder it names nothing, and a file at the held name there is one that
// may hold a newer gallery of hers, which only she can tell.
//
// Record: "QHELDID1", then little-endian u64s: the folder's device and
// inode, a count of 1 or 2, and per file its device, inode and birth time
// (seconds, nanoseconds; both 0 where the file system keeps none).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class Held_Gallery_Note {
 public:
  struct File {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t born_seconds = 0;
    uint32_t born_nanoseconds = 0;
    bool operator==(const File& other) const = default;
  };
  // The file at name itself, a link not followed; none when there is none.
  static bool Of_Name(const std::string& name, File& file);
  // The open file itself: how a writer knows the file it wrote.
  static bool Of_Descriptor(int descriptor, File& file);

  // What is at the held name.
  enum class Standing {
    Nothing,   // no file
    Noted,     // the file the record names: her held gallery
    Unnoted,   // no record of this folder: hers or not, only she can tell
    Other,     // the record names another file: another program's
  };
  static Standing Of_Held(const std::string& held);
  static bool Is_Held(const std::string& held) { return Of_Held(held) == Standing::Noted; }

  // Notes the files that may stand at the held name (the one there, and
  // one about to replace it); false, with errno, when it could not be
  // written.
  static bool Note(const std::string& held, const std::vector<File>& files);
  // The record goes: nothing the save made stands at the held name.
  static void Forget(const std::string& held);
  static std::string Record_Name(const std::string& held) { return held + ".id"; }

 private:
  static bool Of_Folder(const std::string& held, uint64_t& device, uint64_t& inode);
  static bool Read(const std::string& held, std::vector<File>& files, bool& this_folder);
};

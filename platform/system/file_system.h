// The file operations the program uses on paths: existence and attributes,
// move without overwriting, delete, free space and a writability probe.
// Every path is checked against the system's path limit first; a path at
// or beyond it is refused like a missing file, never cut short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The longest path the kernel takes, with its terminating zero.
constexpr size_t MAX_PATH = 4096;

constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

// A path this layer accepts: not empty, shorter than MAX_PATH (room for the
// terminating zero), without embedded zeros.
bool Path_Fits(const std::string& path);

// FILE_ATTRIBUTE_DIRECTORY for a directory, FILE_ATTRIBUTE_READONLY when this
// user cannot write it, FILE_ATTRIBUTE_NORMAL for a plain writable file;
// INVALID_FILE_ATTRIBUTES when it does not exist or the path is refused.
uint32_t Get_File_Attributes(const std::string& path);
bool File_Exists(const std::string& path);

// The whole of a regular file of at most `largest` bytes. Anything else at
// the path (a FIFO would block the reader for ever, a device never end, a
// directory) or a larger file is refused without reading it.
std::optional<std::vector<uint8_t>> Read_Regular_File(const std::string& path, size_t largest);

// Moves or renames a file or directory; fails when the target exists. A file
// moved to another file system is copied and the original deleted; when the
// original cannot be deleted the copy is removed again and the move fails.
bool Move_File(const std::string& from, const std::string& to);

// Gives a file a second name in the same file system, never over anything:
// false with errno EEXIST when the name is taken, or EPERM, EOPNOTSUPP or
// EMLINK when the file system keeps no second names.
bool Link_File(const std::string& from, const std::string& to);

// Whether the administrator has made the file unchangeable or append-only:
// then no one may rename, delete or rewrite it until she makes it
// changeable again.
bool Is_Unchangeable(const std::string& path);

// Test hooks: behave as a file system without the no-replace rename or
// without second names (hard links), or as one where the original of a
// move cannot be deleted, or one whose directory syncs fail with
// sync_error (0 none) once sync_passes of them have passed, sync_failures
// of them (0: all the rest). Test use only.
struct TFile_System_Faults {
  bool no_replace_rename = false;
  bool original_stays = false;
  bool no_hard_links = false;
  int sync_error = 0;
  int sync_passes = 0;
  int sync_failures = 0;
};
void Set_File_System_Faults(TFile_System_Faults faults);

// Deletes a file (not a directory).
bool Delete_File(const std::string& path);

// Puts the directory's entries on disk, so moves and deletions made in it
// outlast a power cut. False, with errno saying why, when the directory
// could not be synced.
bool Sync_Directory(const std::string& directory);

// The folder a path names a file in: "." for a bare name, "/" for a file
// at the root.
std::string Folder_Of(const std::string& path);

// The free space of the volume holding path. A volume with no file left to
// make (every inode taken) has no free space, whatever its blocks say.
struct TFree_Space {
  uint64_t free_clusters = 0;      // available to this user
  uint32_t bytes_per_cluster = 0;  // the file system's allocation unit
  uint64_t Free_Bytes() const { return free_clusters * bytes_per_cluster; }
};
std::optional<TFree_Space> Get_Free_Space(const std::string& path);

// True when a temporary file can be created (and is deleted again) in the
// directory: the test of whether user data can be saved there. When not,
// error (if given) says why (an errno value).
bool Directory_Writable(const std::string& directory, int* error = nullptr);

// Copies a regular file to a new path (which must not exist), keeping its
// permission bits; a partial copy is removed.
bool Copy_New_File(const std::string& from, const std::string& to);

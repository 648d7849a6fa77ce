// The one way user files are saved: the bytes go to a temporary file in the
// same directory, every write is checked, the file is flushed to disk and
// renamed over the old one, and the directory is synced so the rename itself
// survives a crash. A reader therefore sees the whole old file or the whole
// new one, never a mixture or a stub.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// Writes `bytes` to `path` atomically; false (old file untouched) on any
// failure, with errno saying why (EACCES for a file that is not a regular
// file this user may read). A symbolic link is written through: the file it ends at is
// replaced and the link stays. A file at the path that is not a regular file,
// or that this user may not read, is never replaced.
bool Write_File_Atomically(const std::string& path, std::span<const uint8_t> bytes);

// The same for a caller that decides how the new file takes its place: the
// bytes go to a temporary file beside path (path itself is taken as it
// stands, never followed as a link), flushed and synced, and place moves it
// to path, or fails with errno set; the directory is synced after. On any
// failure the temporary file is removed.
bool Write_New_File_Beside(const std::string& path, std::span<const uint8_t> bytes,
                           const std::function<bool(const std::string& temporary)>& place);
// The same, place also given a descriptor of the file written (open until
// place returns).
bool Write_New_File_Beside(const std::string& path, std::span<const uint8_t> bytes,
                           const std::function<bool(const std::string& temporary, int written)>& place);

// Test hook: once this many bytes have been written (counted over the
// following saves), every save fails as on a full disk, 0 failing the next
// save outright; -1 turns the fault off. Test use only.
void Fail_Atomic_Write_After(int64_t bytes);

// Test hook: the directory sync after the rename fails with this errno (the
// new file already in place), 0 turning the fault off. Test use only.
void Fail_Atomic_Directory_Sync(int error);

#include "users/held_gallery_note.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/system/file_system.h"
#include "platform/system/user_file.h"

namespace {

constexpr char Magic[8] = {'Q', 'H', 'E', 'L', 'D', 'I', 'D', '1'};
constexpr size_t Fixed_Size = 8 + 3 * 8;
constexpr size_t File_Size = 4 * 8;
constexpr size_t Most_Files = 2;

void Put_U64(std::vector<uint8_t>& out, uint64_t value) {
  for (int i = 0; i < 8; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

uint64_t Get_U64(const uint8_t* at) {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

// statx of a path (AT_SYMLINK_NOFOLLOW) or of a descriptor (AT_EMPTY_PATH).
bool Fill(int directory, const char* name, int flags, Held_Gallery_Note::File& file) {
  struct statx info;
  if (statx(directory, name, flags, STATX_INO | STATX_BTIME, &info) != 0) return false;
  file.device = makedev(info.stx_dev_major, info.stx_dev_minor);
  file.inode = info.stx_ino;
  // A file system that keeps no birth time leaves the device and inode.
  const bool born = (info.stx_mask & STATX_BTIME) != 0;
  file.born_seconds = born ? info.stx_btime.tv_sec : 0;
  file.born_nanoseconds = born ? info.stx_btime.tv_nsec : 0;
  return true;
}

}  // namespace

bool Held_Gallery_Note::Of_Name(const std::string& name, File& file) {
  return Fill(AT_FDCWD, name.c_str(), AT_SYMLINK_NOFOLLOW, file);
}

bool Held_Gallery_Note::Of_Descriptor(int descriptor, File& file) {
  return descriptor >= 0 && Fill(descriptor, "", AT_EMPTY_PATH, file);
}

bool Held_Gallery_Note::Of_Folder(const std::string& held, uint64_t& device, uint64_t& inode) {
  struct stat info;
  if (stat(Folder_Of(held).c_str(), &info) != 0) return false;
  device = info.st_dev;
  inode = info.st_ino;
  return true;
}

bool Held_Gallery_Note::Note(const std::string& held, const std::vector<File>& files) {
  uint64_t folder_device = 0, folder_inode = 0;
  if (files.empty() || files.size() > Most_Files || !Of_Folder(held, folder_device, folder_inode)) {
    errno = EINVAL;
    return false;
  }
  std::vector<uint8_t> bytes(Magic, Magic + sizeof Magic);
  Put_U64(bytes, folder_device);
  Put_U64(bytes, folder_inode);
  Put_U64(bytes, files.size());
  for (const File& file : files) {
    Put_U64(bytes, file.device);
    Put_U64(bytes, file.inode);
    Put_U64(bytes, uint64_t(file.born_seconds));
    Put_U64(bytes, file.born_nanoseconds);
  }
  // Whole or not at all, renamed over the record's name itself: a link
  // another program put there is replaced, never written through. Not
  // synced, as a save costs what it writes: a record a crash of the system
  // lost or cut leaves a held gallery unnoted, which is named at the start
  // as one that may be hers, and nothing moves.
  const std::string record = Record_Name(held);
  std::string temporary = record + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool written = true;
  for (size_t at = 0; written && at < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
    written = n > 0;
    at += written ? size_t(n) : 0;
  }
  const int write_error = errno;
  const bool closed = close(fd) == 0;
  if (written && closed && rename(temporary.c_str(), record.c_str()) == 0) return true;
  const int error = !written ? write_error : errno;
  unlink(temporary.c_str());
  errno = error;
  return false;
}

void Held_Gallery_Note::Forget(const std::string& held) {
  const std::string record = Record_Name(held);
  unlink(record.c_str());
  // A note a kill stopped before its rename stays under its temporary name.
  Remove_Interrupted_Saves_Of(record);
}

bool Held_Gallery_Note::Read(const std::string& held, std::vector<File>& files, bool& this_folder) {
  files.clear();
  this_folder = false;
  const int fd = open(Record_Name(held).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  std::array<uint8_t, Fixed_Size + Most_Files * File_Size + 1> bytes{};
  size_t size = 0;
  while (size < bytes.size()) {
    const ssize_t n = read(fd, bytes.data() + size, bytes.size() - size);
    if (n <= 0) break;
    size += size_t(n);
  }
  close(fd);
  // Only a record of the very length its count gives is one.
  if (size < Fixed_Size || std::memcmp(bytes.data(), Magic, sizeof Magic) != 0) return false;
  const uint64_t count = Get_U64(bytes.data() + 24);
  if (count < 1 || count > Most_Files || size != Fixed_Size + count * File_Size) return false;
  for (uint64_t i = 0; i < count; ++i) {
    const uint8_t* at = bytes.data() + Fixed_Size + i * File_Size;
    files.push_back(File{Get_U64(at), Get_U64(at + 8), int64_t(Get_U64(at + 16)), uint32_t(Get_U64(at + 24))});
  }
  uint64_t device = 0, inode = 0;
  this_folder = Of_Folder(held, device, inode) && Get_U64(bytes.data() + 8) == device &&
                Get_U64(bytes.data() + 16) == inode;
  return true;
}

Held_Gallery_Note::Standing Held_Gallery_Note::Of_Held(const std::string& held) {
  File there;
  if (!Of_Name(held, there)) return Standing::Nothing;
  std::vector<File> noted;
  bool this_folder = false;
  if (!Read(held, noted, this_folder) || !this_folder) return Standing::Unnoted;
  for (const File& file : noted)
    if (file == there) return Standing::Noted;
  return Standing::Other;
}

#include "platform/system/user_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/system/file_system.h"

namespace {

// The extensions of the user files saved through the atomic writer.
constexpr const char* Saved_Extensions[] = {".usr.", ".clr.", ".man.", ".gal.", ".jnl."};
// The letters the atomic writer's mkstemp puts in place of "XXXXXX".
constexpr size_t Temporary_Letters = 6;

bool Alphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Stamp_Now() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &parts);
  return text;
}

}  // namespace

TUser_File_Read Read_User_File(const std::string& path, size_t largest) {
  TUser_File_Read result;
  if (!Path_Fits(path)) {
    result.fault = TFile_Fault::Missing;
    return result;
  }
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    result.fault = errno == EACCES || errno == EPERM ? TFile_Fault::No_Permission
                   : errno == ENOENT || errno == ENOTDIR ? TFile_Fault::Missing
                   : errno == ENXIO || errno == EISDIR  ? TFile_Fault::Not_Regular
                                                        : TFile_Fault::Unreadable;
    return result;
  }
  struct stat info;
  if (fstat(fd, &info) != 0) {
    result.fault = TFile_Fault::Unreadable;
  } else if (!S_ISREG(info.st_mode)) {
    result.fault = TFile_Fault::Not_Regular;
  } else if (uint64_t(info.st_size) > largest) {
    result.fault = TFile_Fault::Too_Large;
  } else {
    // One byte more than allowed tells a file that grew while read.
    std::vector<uint8_t> bytes(largest + 1);
    size_t size = 0;
    for (;;) {
      const ssize_t got = read(fd, bytes.data() + size, bytes.size() - size);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) result.fault = TFile_Fault::Unreadable;
      if (got <= 0) break;
      size += size_t(got);
      if (size > largest) {
        result.fault = TFile_Fault::Too_Large;
        break;
      }
    }
    if (result.fault == TFile_Fault::None) {
      bytes.resize(size);
      result.bytes = std::move(bytes);
    }
  }
  close(fd);
  return result;
}

bool File_Must_Stay(TFile_Fault fault) {
  return fault == TFile_Fault::No_Permission || fault == TFile_Fault::Not_Regular ||
         fault == TFile_Fault::Broken_Link || fault == TFile_Fault::Link_Loop || fault == TFile_Fault::In_Use;
}

std::string File_Fault_Reason(TFile_Fault fault) {
  switch (fault) {
    case TFile_Fault::None:
    case TFile_Fault::Missing:
      return "The file is missing";
    case TFile_Fault::No_Permission:
      return "You have no permission to read the file";
    case TFile_Fault::Not_Regular:
      return "It is not a regular file";
    case TFile_Fault::Too_Large:
      return "The file is too large";
    case TFile_Fault::Unreadable:
      return "The disk could not read the file";
    case TFile_Fault::Damaged:
      return "The file is damaged";
    case TFile_Fault::Broken_Link:
      return "It is a link to a file that does not exist";
    case TFile_Fault::Link_Loop:
      return "It is a link that leads round in a circle";
    case TFile_Fault::In_Use:
      return "The file is in use by another program";
  }
  return "The file is damaged";
}

std::string Write_Failure_Reason(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "The disk is full";
    case EACCES:
    case EPERM:
      return "You have no permission to write the file";
    case EROFS:
      return "The disk is read-only";
    case EBUSY:
    case ETXTBSY:
      return "The file is in use by the system";
    case EISDIR:
    case ENXIO:
      return "It is not a regular file";
    case ELOOP:
      return "It is a link that leads round in a circle";
    case ENAMETOOLONG:
      return "The file's name is too long";
    default:
      return "The disk could not write the file";
  }
}

std::string Unwritable_File_Message(const std::string& path, int error, const std::string& outcome) {
  return "Unable to write file " + path + "\n" + Write_Failure_Reason(error) + ": " + outcome + ".";
}

std::string Unreadable_File_Message(const std::string& path, TFile_Fault fault, const std::string& outcome) {
  return "Unable to read file " + path + "\n" + File_Fault_Reason(fault) + ": " + outcome + ".";
}

std::string Keep_File_Aside(const std::string& path, const std::string& word) {
  const std::string base = path + "." + word + "-" + Stamp_Now();
  std::string aside = base;
  for (int n = 2; n < 1000; ++n) {
    // Move_File never replaces: a taken name fails and the next is tried.
    if (Move_File(path, aside)) return aside;
    if (!File_Exists(aside)) return std::string();
    aside = base + "-" + std::to_string(n);
  }
  return std::string();
}

bool Is_Interrupted_Save_Name(const std::string& name) {
  if (name.size() < 1 + 5 + Temporary_Letters) return false;
  const size_t letters = name.size() - Temporary_Letters;
  for (size_t i = letters; i < name.size(); ++i)
    if (!Alphanumeric(name[i])) return false;
  for (const char* extension : Saved_Extensions)
    if (name.compare(letters - 5, 5, extension) == 0) return true;
  return false;
}

int Remove_Interrupted_Saves_Of(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string start = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".";
  DIR* folder = opendir(directory.c_str());
  if (folder == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.size() != start.size() + Temporary_Letters || name.compare(0, start.size(), start) != 0 ||
        !std::all_of(name.begin() + long(start.size()), name.end(), Alphanumeric))
      continue;
    struct stat info;
    const std::string leftover = directory + name;
    if (lstat(leftover.c_str(), &info) == 0 && S_ISREG(info.st_mode) && unlink(leftover.c_str()) == 0) ++removed;
  }
  closedir(folder);
  return removed;
}

int Remove_Interrupted_Saves(const std::string& directory) {
  DIR* folder = opendir(directory.c_str());
  if (folder == nullptr) return 0;
  const std::string prefix = directory.empty() || directory.back() == '/' ? directory : directory + "/";
  int removed = 0;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (!Is_Interrupted_Save_Name(name)) continue;
    struct stat info;
    const std::string path = prefix + name;
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && unlink(path.c_str()) == 0) ++removed;
  }
  closedir(folder);
  return removed;
}

namespace {
constexpr const char Held_Prefix[] = ".saving-";
}

std::string Held_For_Save_Name(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, start) + Held_Prefix + path.substr(start);
}

int Put_Back_Files_Held_For_Save(const std::string& directory,
                                 const std::function<bool(const std::string& path)>& is_held,
                                 const std::function<void(const std::string& path)>& put_back) {
  DIR* folder = opendir(directory.c_str());
  if (folder == nullptr) return 0;
  const std::string prefix = directory.empty() || directory.back() == '/' ? directory : directory + "/";
  std::vector<std::string> held;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    // Only a gallery is held aside by its save: any other file under such a
    // name (a journal, the user file) is not put under the name it ends in.
    constexpr const char Gallery[] = ".gal";
    if (name.size() > sizeof Held_Prefix - 1 + sizeof Gallery - 1 &&
        name.compare(0, sizeof Held_Prefix - 1, Held_Prefix) == 0 &&
        name.compare(name.size() - (sizeof Gallery - 1), sizeof Gallery - 1, Gallery) == 0)
      held.push_back(name.substr(sizeof Held_Prefix - 1));
  }
  closedir(folder);
  int count = 0;
  for (const std::string& name : held) {
    struct stat info;
    const std::string aside = prefix + Held_Prefix + name;
    // Move_File never replaces: a file that took the name meanwhile stays.
    if (lstat(aside.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) && is_held(aside) &&
        Move_File(aside, prefix + name)) {
      ++count;
      if (put_back) put_back(aside);
    }
  }
  if (count > 0) Sync_Directory(directory);
  return count;
}

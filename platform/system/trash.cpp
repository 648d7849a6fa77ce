#include "platform/system/trash.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/system/file_system.h"
#include "platform/system/settings.h"

namespace {

constexpr int Most_Tries = 10000;

bool Write_Text(int fd, const std::string& text) {
  const char* data = text.data();
  size_t size = text.size();
  while (size > 0) {
    ssize_t done = write(fd, data, size);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    size -= static_cast<size_t>(done);
  }
  return true;
}

// The name tried the n-th time: "drawing.gal", "drawing.2.gal", ...
std::string Candidate(const std::string& name, int n) {
  if (n == 1) return name;
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return name + "." + std::to_string(n);
  return name.substr(0, dot) + "." + std::to_string(n) + name.substr(dot);
}

std::string Deletion_Date() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// A record is written under this ending first and linked to its name only
// once whole, so a cut never leaves a short record; trash readers look only
// at names ending in ".trashinfo".
constexpr const char* Partial_Ending = ".trashinfo.partial";

std::function<void()>& Cut_Hook() {
  static std::function<void()> hook;
  return hook;
}

void Cut_Point() {
  if (Cut_Hook()) Cut_Hook()();
}

bool Is_Partial(const std::string& name) {
  const std::string ending = Partial_Ending;
  return name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

// Clears what a cut left: a partial record goes; the record linked from it
// is this program's own (the same file), and goes with it when its item
// never reached files/, the item still being where it was.
void Clear_Partials(const std::string& files, const std::string& info) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(info, error)) {
    const std::string name = entry.path().filename().string();
    if (!Is_Partial(name)) continue;
    const std::string trashed = name.substr(0, name.size() - strlen(Partial_Ending));
    const std::string partial = entry.path().string(), record = info + "/" + trashed + ".trashinfo";
    struct stat left, linked, item;
    if (lstat(partial.c_str(), &left) == 0 && lstat(record.c_str(), &linked) == 0 && left.st_dev == linked.st_dev &&
        left.st_ino == linked.st_ino && lstat((files + "/" + trashed).c_str(), &item) != 0 && errno == ENOENT)
      unlink(record.c_str());
    unlink(partial.c_str());
  }
}

// Writes the whole record under a partial name, on disk, and links it to
// info_path, which must not exist. Returns 0, or the errno of the failing
// step (EEXIST: the name is taken). The partial name stays until the item
// is in place, so a cut between the two is known by it.
int Write_Record(const std::string& partial, const std::string& info_path, const std::string& record) {
  int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return errno;
  Cut_Point();
  errno = 0;
  bool written = Write_Text(fd, record);
  Cut_Point();
  written = written && fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && written) written = false, error = errno;
  if (written && Link_File(partial, info_path)) return 0;
  if (written) error = errno;
  // A file system without second names: the whole record is renamed into
  // place instead, never over another.
  if (written && (error == EPERM || error == EOPNOTSUPP || error == EMLINK)) {
    if (Move_File(partial, info_path)) return 0;
    struct stat taken;
    error = lstat(info_path.c_str(), &taken) == 0 ? EEXIST : EIO;
  }
  unlink(partial.c_str());
  return error != 0 ? error : EIO;
}

}  // namespace

std::string Trash_Directory() {
  std::string data = Xdg_Directory("XDG_DATA_HOME", ".local/share");
  return data.empty() ? data : data + "/Trash";
}

std::string Trash_Escape_Path(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                 c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

bool Move_To_Trash(const std::string& path, const std::string& origin) {
  if (!Path_Fits(path)) return false;
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(path, error).lexically_normal();
  if (error) return false;
  std::string original = full.string();
  while (original.size() > 1 && original.back() == '/') original.pop_back();
  std::string name = std::filesystem::path(original).filename().string();
  struct stat item;
  if (!Path_Fits(original) || name.empty() || name == "." || name == ".." ||
      lstat(original.c_str(), &item) != 0)
    return false;

  const std::string trash = Trash_Directory();
  if (trash.empty()) return false;
  const std::string files = trash + "/files", info = trash + "/info";
  // A fresh account may have no data directory yet; the trash is made
  // as needed, and so is the directory it lives in.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(trash).parent_path(), ignored);
  for (const std::string& dir : {trash, files, info}) {
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }

  std::string recorded = original;
  if (!origin.empty()) {
    recorded = std::filesystem::absolute(origin, error).lexically_normal().string();
    if (error || !Path_Fits(recorded)) return false;
  }
  const std::string record = "[Trash Info]\nPath=" + Trash_Escape_Path(recorded) +
                             "\nDeletionDate=" + Deletion_Date() + "\n";
  Clear_Partials(files, info);
  for (int n = 1; n <= Most_Tries; ++n) {
    const std::string trashed = Candidate(name, n);
    const std::string info_path = info + "/" + trashed + ".trashinfo";
    const std::string partial = info + "/" + trashed + Partial_Ending;
    const std::string target = files + "/" + trashed;
    // Linking the whole record to its name claims the name, as an exclusive
    // create would, against other programs that trash at the same time.
    const int error = Write_Record(partial, info_path, record);
    if (error == EEXIST) continue;
    if (error != 0) return false;
    // The record reaches the disk before the item moves, so a power cut
    // cannot leave the item in the trash with no word of where it was.
    Sync_Directory(info);
    Cut_Point();
    struct stat existing;
    if (lstat(target.c_str(), &existing) == 0) {
      // An item without its info file (left by a crash): keep it, try on.
      unlink(info_path.c_str());
      unlink(partial.c_str());
      continue;
    }
    // Never replaces anything; a file on another file system is copied and
    // then deleted.
    const bool moved = Move_File(original, target);
    Cut_Point();
    if (!moved) unlink(info_path.c_str());
    unlink(partial.c_str());
    return moved;
  }
  return false;
}

void Set_Trash_Cut_Hook(std::function<void()> hook) { Cut_Hook() = std::move(hook); }

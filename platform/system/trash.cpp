#include "platform/system/trash.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

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
  for (int n = 1; n <= Most_Tries; ++n) {
    const std::string trashed = Candidate(name, n);
    const std::string info_path = info + "/" + trashed + ".trashinfo";
    const std::string target = files + "/" + trashed;
    // The exclusive create claims the name against other programs that
    // trash at the same time.
    int fd = open(info_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    bool written = Write_Text(fd, record);
    written = close(fd) == 0 && written;
    struct stat existing;
    if (written && lstat(target.c_str(), &existing) == 0) {
      // An item without its info file (left by a crash): keep it, try on.
      unlink(info_path.c_str());
      continue;
    }
    // Never replaces anything; a file on another file system is copied and
    // then deleted.
    if (written && Move_File(original, target)) return true;
    unlink(info_path.c_str());
    return false;
  }
  return false;
}

#include "platform/system/settings.h"

#include "platform/system/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace {

constexpr size_t Largest_File = 1 << 20;

std::string_view Trim(std::string_view text) {
  const char* blank = " \t\r";
  size_t first = text.find_first_not_of(blank);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(blank);
  return text.substr(first, last - first + 1);
}

bool Same_Name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}


// The value of name in the settings file; the last line that sets it wins.
// Lines without '=', comments (# or ;) and section headers are skipped.
std::optional<std::string> Read_File_Value(const std::string& name) {
  std::string path = TSettings::File_Path();
  if (path.empty()) return std::nullopt;
  std::optional<std::vector<uint8_t>> read = Read_Regular_File(path, Largest_File);
  if (!read) return std::nullopt;
  const std::string text(read->begin(), read->end());

  std::optional<std::string> value;
  std::string_view rest = text;
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (!Same_Name(Trim(line.substr(0, equals)), name)) continue;
    std::string_view found = Trim(line.substr(equals + 1));
    // Values are plain strings; one with a zero byte in it is not.
    if (found.find('\0') != std::string_view::npos) continue;
    value = std::string(found);
  }
  return value;
}

}  // namespace

std::string Xdg_Directory(const char* variable, const char* home_fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/" + home_fallback;
  return {};
}

std::string TSettings::File_Path() {
  std::string config = Xdg_Directory("XDG_CONFIG_HOME", ".config");
  return config.empty() ? config : config + "/quendar/settings";
}

std::optional<std::string> TSettings::Read(const std::string& name) {
  if (name.empty()) return std::nullopt;
  std::optional<std::string> value = Read_File_Value(name);
  if (!value && Same_Name(name, "UserPath")) value = Default_User_Path();
  return value;
}

bool TSettings::Sets(const std::string& name) { return !name.empty() && Read_File_Value(name).has_value(); }

uint32_t TSettings::Read(const std::string& name, char* buffer, uint32_t size) {
  std::optional<std::string> value = Read(name);
  if (!value || !buffer || value->size() >= size) return 0;
  std::memcpy(buffer, value->c_str(), value->size() + 1);
  return static_cast<uint32_t>(value->size() + 1);
}

std::optional<std::string> TSettings::Default_User_Path() {
  std::string data = Xdg_Directory("XDG_DATA_HOME", ".local/share");
  if (data.empty()) return std::nullopt;
  std::string path = data + "/Quendar";
  // Made here as an installer would have; when that fails the caller's
  // writability check reports the directory.
  std::error_code ignored;
  std::filesystem::create_directories(path, ignored);
  return path;
}

// The program's settings: the string values it reads under its one key (the
// user data path, and values that help links name), kept in a small file of
// "Name=Value" lines in the XDG config directory, quendar/settings. Names
// compare without regard to case. Missing or unreadable settings are simply
// no value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class TSettings {
 public:
  // $XDG_CONFIG_HOME/quendar/settings, or ~/.config/quendar/settings; empty
  // when neither variable gives an absolute directory.
  static std::string File_Path();

  // The value of name. "UserPath", when the file does not set it, is the
  // installed default: Default_User_Path().
  static std::optional<std::string> Read(const std::string& name);
  // Whether the file itself sets name (rather than a default standing in).
  static bool Sets(const std::string& name);

  // The value copied into buffer with its terminating zero, giving the bytes
  // stored; 0 when there is no value or it does not fit.
  static uint32_t Read(const std::string& name, char* buffer, uint32_t size);

  // $XDG_DATA_HOME/Quendar (or ~/.local/share/Quendar), made when missing.
  // Nothing when no data directory is known.
  static std::optional<std::string> Default_User_Path();
};

// The XDG base directories: the variable when it holds an absolute path,
// else $HOME joined with the fallback; empty when neither is usable.
std::string Xdg_Directory(const char* variable, const char* home_fallback);

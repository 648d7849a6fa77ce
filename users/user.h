// One user: the name, level, colour and font in which the user is listed,
// which of the user's own files exist, and the points won in the matching
// game.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/tstreamablebase.h"
#include "model/tstreamer.h"
#include "platform/gdi/color.h"

class TFont;
class ipstream;
class opstream;

class User : public TStreamableBase {
 public:
  static constexpr uint32_t Class_Version = 4608;
  static constexpr int32_t Level_Count = 5;

  // A blank user (level index 0, empty name, colour 0), for the stream.
  User() = default;
  // A new user: the level and name given, scheme colour 1, no font, no
  // points; with a name, the file flags say which of its files exist.
  User(int32_t level_, const char* name_);
  // Copies share the font and point back at their source.
  User(const User& other);
  User& operator=(const User& other);

  // The per-user file for an extension ("clr", "man", "gal"): the user data
  // directory, the name ("Anonymous" when empty), for "man" only ", level N"
  // with N the level index given (or the user's own when -1) plus 1, then
  // the extension. Empty for a name that is not safe in a file name.
  std::string File_Path(const char* extension, int32_t level_index = -1) const;

  // The level index kept within 0..4, for per-level tables.
  int32_t Level_Index() const { return level >= 0 && level < Level_Count ? level : 0; }

  const char* Streamable_Name() const override { return "User"; }
  class Streamer;

  int32_t level = 0;
  std::string name;
  TColor color;
  // Shared by copies; null when the user is listed in the list's font.
  std::shared_ptr<const TFont> font;
  bool has_color_file = false;
  bool has_level4_manipulators = false;
  bool has_level5_manipulators = false;
  int32_t points = 0;
  // The record this one was copied from, not owned.
  User* source_record = nullptr;
};

// Stored as the level, the name, the colour as RGB, the font (a flag, then
// height and face), the three file flags and the points (not in version 1).
// Whatever a damaged file holds, the user comes out whole: a level outside
// 0..4 is 0, a missing name is empty.
class User::Streamer : public TNewStreamer {
 public:
  explicit Streamer(User* user_) : TNewStreamer(user_), user(user_) {}
  TStreamableBase* Read(ipstream& is, uint32_t version) override;
  void Write(opstream& os) const override;
  uint32_t Class_Version() const override { return User::Class_Version; }
  static std::unique_ptr<TStreamer> Build(TStreamableBase* object);

 private:
  User* user;
};

// What the manipulator palette asks of the rest of the program, as small
// interfaces that app/ implements with the users, the editor and the game.
#pragma once

#include <cstdint>
#include <string>

class Shape_Transform;
class TWindow;

// The users, the application's data directory and the demonstrations.
class Palette_Users {
 public:
  struct Person {
    std::string name;
    int32_t level = 0;  // 0 to 4 for levels 1 to 5
  };

  virtual ~Palette_Users() = default;
  virtual Person Current() const = 0;
  // The user current before the last change of user.
  virtual Person Previous() const = 0;
  // The current user is that same person (perhaps under a new name).
  virtual bool Same_Person() const = 0;
  virtual bool Previous_Exists() const = 0;
  // The previous user was removed in the user dialog with its files.
  virtual bool Previous_Removed_With_Files() const = 0;
  // The user's own manipulator file is the source at level (3 or 4).
  virtual bool File_Flag(const std::string& name, int32_t level) const = 0;
  virtual void Set_File_Flag(const std::string& name, int32_t level, bool on) = 0;
  // The user's manipulator file of a level: "<dir>/<name>, level <n>.man".
  virtual std::string File_Path(const std::string& name, int32_t level) const = 0;
  virtual void Save_Database() = 0;
  virtual bool Data_Directory_Writable() const = 0;
  virtual bool Demonstration_Running() const = 0;
};

// The manipulator editor: opens on a copy that the palette owns and edits
// its maps and name in place; when editing ends it posts
// Manipulator_Edited_Message to the palette.
class Manipulator_Editor {
 public:
  virtual ~Manipulator_Editor() = default;
  virtual void Open(Shape_Transform& copy, char* name_buffer, TWindow& palette) = 0;
};

// The match game, once it exists.
class Palette_Game {
 public:
  virtual ~Palette_Game() = default;
  virtual bool Run_In_Progress() const = 0;
  virtual void Refresh_Targets() = 0;
};

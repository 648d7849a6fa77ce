// The users as the shell sees them: the current user's name, level and
// points, the user who was current before the last change, and saving.
// This is the small face the frame, the main window and the game read; the
// full database (the user list, its file and the change of users) is built
// behind the same names.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TWindow;

class User {
 public:
  explicit User(int32_t level = 0, const std::string& name = "") : level(level), name(name) {}

  // Level index 0 to 4; people see level + 1.
  int32_t level = 0;
  std::string name;
  uint8_t has_color_file = 0;
  uint8_t has_level4_manipulators = 0;
  uint8_t has_level5_manipulators = 0;
  int32_t points = 0;
  const User* source_record = nullptr;
};

class User_Database {
 public:
  // An empty database with the default user current; becomes
  // The_User_Database.
  User_Database();
  ~User_Database();
  User_Database(const User_Database&) = delete;
  User_Database& operator=(const User_Database&) = delete;

  // index -1 (or any index outside the list) selects the default user.
  void Set_Current(int32_t index);
  int32_t Add_User(std::unique_ptr<User> user);
  // Writes nothing yet: there is no user file so far.
  void Save(TWindow* owner);
  void Recycle_Previous_Gallery();

  User default_user;
  User previous_user;
  User* previous_user_record = nullptr;
  std::vector<std::unique_ptr<User>> users;
  int32_t current_index = -1;
  User* current_user = &default_user;
  uint8_t previous_user_removed = 0;
};

extern User_Database* The_User_Database;

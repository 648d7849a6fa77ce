#include "app/palette_links.h"

#include "manipulators/shape_transform.h"
#include "manipulators/transform_edit_window.h"
#include "toolkit/demonstration_state.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

// The flag of the user's own manipulator file at a level index; only levels
// 4 and 5 (indexes 3 and 4) have one.
bool* Flag_Of(User& user, int32_t level) {
  if (level == 3) return &user.has_level4_manipulators;
  if (level == 4) return &user.has_level5_manipulators;
  return nullptr;
}

}  // namespace

Palette_Users::Person Program_Palette_Users::Current() const {
  const User& user = *The_User_Database->current_user;
  return {user.name, user.Level_Index()};
}

Palette_Users::Person Program_Palette_Users::Previous() const {
  const User& user = The_User_Database->previous_user;
  return {user.name, user.Level_Index()};
}

bool Program_Palette_Users::Same_Person() const {
  return The_User_Database->current_user->source_record == &The_User_Database->previous_user;
}

bool Program_Palette_Users::Previous_Exists() const { return The_User_Database->previous_user_record != nullptr; }

bool Program_Palette_Users::Previous_Removed_With_Files() const { return The_User_Database->previous_user_removed; }

User* Program_Palette_Users::Record_Named(const std::string& name) {
  User_Database& db = *The_User_Database;
  if (db.current_user->name == name) return db.current_user;
  if (db.previous_user_record && db.previous_user_record->name == name) return db.previous_user_record;
  const int32_t index = db.Find_User(name);
  if (index >= 0) return db.At(index);
  return db.default_user.name == name ? &db.default_user : nullptr;
}

bool Program_Palette_Users::File_Flag(const std::string& name, int32_t level) const {
  User* user = Record_Named(name);
  const bool* flag = user ? Flag_Of(*user, level) : nullptr;
  return flag && *flag;
}

void Program_Palette_Users::Set_File_Flag(const std::string& name, int32_t level, bool on) {
  User* user = Record_Named(name);
  if (bool* flag = user ? Flag_Of(*user, level) : nullptr) *flag = on;
}

std::string Program_Palette_Users::File_Path(const std::string& name, int32_t level) const {
  User user;
  user.name = name;
  return user.File_Path("man", level);
}

void Program_Palette_Users::Save_Database() { The_User_Database->Save(); }

bool Program_Palette_Users::Data_Directory_Writable() const { return The_User_Data.writable; }

bool Program_Palette_Users::Demonstration_Running() const { return ::Demonstration_Running(); }

void Program_Manipulator_Editor::Open(Shape_Transform& copy, char* name_buffer, TWindow& palette) {
  editor->Open(&copy, name_buffer, &palette);
}

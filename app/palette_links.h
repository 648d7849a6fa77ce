// The manipulator palette's links to the program: the users come from the
// user database and the application's data directory, the editor is the
// main window's editor window. (The game's link is the safari controls.)
#pragma once

#include "manipulators/palette_links.h"

class Transform_Edit_Window;
class User;

class Program_Palette_Users : public Palette_Users {
 public:
  Person Current() const override;
  Person Previous() const override;
  bool Same_Person() const override;
  bool Previous_Exists() const override;
  bool Previous_Removed_With_Files() const override;
  bool File_Flag(const std::string& name, int32_t level) const override;
  void Set_File_Flag(const std::string& name, int32_t level, bool on) override;
  std::string File_Path(const std::string& name, int32_t level) const override;
  void Save_Database() override;
  bool Data_Directory_Writable() const override;
  bool Demonstration_Running() const override;

 private:
  // The record of that name: the current user, the previous user's record,
  // then the list, then the default user; null when there is none.
  static User* Record_Named(const std::string& name);
};

class Program_Manipulator_Editor : public Manipulator_Editor {
 public:
  explicit Program_Manipulator_Editor(Transform_Edit_Window* editor_) : editor(editor_) {}
  void Open(Shape_Transform& copy, char* name_buffer, TWindow& palette) override;

 private:
  Transform_Edit_Window* editor;
};

// A user data directory and a trash of their own for each test, the colour
// scheme users take their colour from, and message boxes answered by the
// test and written down.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/gui_colors.h"
#include "platform/window/message_box.h"
#include "tests/platform/system/temp_home.h"
#include "users/rename_journal.h"
#include "users/user_data.h"
#include "users/user_database.h"

class Users_Test : public Temp_Home {
 protected:
  Users_Test() {
    The_User_Data.directory = root_ + "/data/Quendar/";
    std::filesystem::create_directories(The_User_Data.directory);
    The_User_Data.writable = true;
    The_User_Data.show_help_at_start = true;
    Set_Message_Box_Hook([this](const TMessage_Box_Request& request) {
      Boxes.push_back(request.caption + ": " + request.text);
      return Answer;
    });
  }
  ~Users_Test() override {
    Set_Message_Box_Hook(nullptr);
    delete The_User_Database;
  }

  std::string Dir(const std::string& name = "") const { return The_User_Data.directory + name; }
  bool Has(const std::string& name) const { return std::filesystem::exists(Dir(name)); }
  // Names of the files in the trash.
  std::vector<std::string> Trashed() const {
    std::vector<std::string> names;
    std::error_code none_yet;  // no trash folder: no names
    for (const auto& entry : std::filesystem::directory_iterator(root_ + "/data/Trash/files", none_yet))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  GUI_Colors colors;
  std::vector<std::string> Boxes;
  int Answer = IDOK;
};

// The four files of each user at the start, known by device and inode, so
// that a user's own file is told from any other, even one with her bytes.
class Owned_Files {
 public:
  static constexpr const char* Suffixes[] = {".gal", ", level 4.man", ", level 5.man", ".clr"};

  // Gives the user her four files in the user data directory.
  void Give(const std::string& owner) {
    for (const char* suffix : Suffixes) {
      const std::string path = The_User_Data.directory + owner + suffix;
      Temp_Home::Write(path, owner + suffix);
      files[owner + suffix] = Identity_Of(path);
    }
  }

  // The file that was this user's at the start, wherever it is now; empty
  // when it is nowhere in the folder or a folder of the folder.
  std::string Where_Is(const std::string& name) const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(The_User_Data.directory))
      if (Identity_Of(entry.path().string()) == files.at(name)) return entry.path().string();
    return std::string();
  }

  // Every listed user has under her name the very files of the user she was
  // at the start (owners[points - 1]); the folder holds nothing else but the
  // user file and the names in also.
  void Expect_With_Owners(const User_Database& db, const std::vector<std::string>& owners, const std::string& what,
                          const std::set<std::string>& also = {}) const {
    std::set<std::string> owned = also;
    owned.insert("quendar.usr");
    for (int32_t i = 0; i < db.Count(); ++i) {
      const User& user = *db.At(i);
      const std::string& owner = owners[size_t(user.points - 1)];
      for (const char* suffix : Suffixes) {
        owned.insert(user.name + suffix);
        EXPECT_EQ(Identity_Of(The_User_Data.directory + user.name + suffix), files.at(owner + suffix))
            << what << ": " << user.name << suffix << " is not " << owner << "'s";
      }
    }
    for (const auto& entry : std::filesystem::directory_iterator(The_User_Data.directory))
      EXPECT_EQ(owned.count(entry.path().filename().string()), 1u) << what << ": " << entry.path();
  }

  std::map<std::string, File_Id> files;
};


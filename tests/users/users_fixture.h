// A user data directory and a trash of their own for each test, the colour
// scheme users take their colour from, and message boxes answered by the
// test and written down.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/gui_colors.h"
#include "platform/window/message_box.h"
#include "tests/platform/system/temp_home.h"
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

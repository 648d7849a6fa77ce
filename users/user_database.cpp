#include "users/user_database.h"

User_Database* The_User_Database = nullptr;

User_Database::User_Database() { The_User_Database = this; }

User_Database::~User_Database() {
  if (The_User_Database == this) The_User_Database = nullptr;
}

void User_Database::Set_Current(int32_t index) {
  if (index < 0 || index >= int32_t(users.size())) index = -1;
  current_index = index;
  current_user = index < 0 ? &default_user : users[size_t(index)].get();
}

int32_t User_Database::Add_User(std::unique_ptr<User> user) {
  users.push_back(std::move(user));
  // The current user's record does not move: only the pointer is kept.
  if (current_index >= 0) current_user = users[size_t(current_index)].get();
  return int32_t(users.size()) - 1;
}

void User_Database::Save(TWindow*) {}

void User_Database::Recycle_Previous_Gallery() { previous_user_removed = 0; }

// Installing the Name and Level dialog's edited copy of the users: the
// per-user files follow their users' new names, and the files of removed
// users may go to the trash. The order keeps every file that still has an
// owner: removed users are dealt with first, then the renamed users' files
// move in two steps, each first to a name of its own in the same directory,
// then to its new name, so that users who swap names keep their own files.
#include <unistd.h>

#include <cstring>
#include <set>

#include "platform/system/file_system.h"
#include "platform/window/message_box.h"
#include "toolkit/small_utilities.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

// The per-user files of one user, as (extension, level index).
struct File_Kind {
  const char* extension;
  int32_t level_index;
};
constexpr File_Kind Gallery_File{"gal", -1};
constexpr File_Kind User_Files[] = {{"gal", -1}, {"man", 3}, {"man", 4}, {"clr", -1}};

std::string Path_Of(const User& user, const File_Kind& kind) {
  return user.File_Path(kind.extension, kind.level_index);
}

// A name in the user data directory that no file has.
std::string Unused_Name() {
  static int counter = 0;
  std::string path;
  do {
    path = The_User_Data.directory + ".quendar-move-" + std::to_string(getpid()) + "-" +
           std::to_string(++counter);
  } while (File_Exists(path));
  return path;
}

void Report_Failed_Moves(HWND owner, const std::vector<std::string>& failed) {
  for (const std::string& path : failed)
    MessageBox(owner, "Unable to move file " + path, "WARNING", MB_OK | MB_ICONSTOP);
}

}  // namespace

class Install_Run {
 public:
  Install_Run(User_Database& copy_, User_Database& installed_, HWND owner_)
      : copy(copy_), installed(installed_), owner(owner_) {
    for (const auto& user : copy.users)
      if (user->source_record != nullptr) continued.insert(user->source_record);
    open_gallery = Path_Of(*installed.current_user, Gallery_File);
  }

  // Asks about each removed user that has files and recycles them on Yes;
  // the current user's gallery waits until the gallery has let it go.
  void Offer_Removed_Files() {
    for (const auto& removed : installed.users) {
      if (continued.count(removed.get()) != 0) continue;
      std::vector<std::string> existing;
      for (const File_Kind& kind : User_Files) {
        const std::string path = Path_Of(*removed, kind);
        if (!path.empty() && File_Exists(path)) existing.push_back(path);
      }
      if (existing.empty()) continue;
      const std::string question = removed->name + " has been removed,\n Recycle associated disk files?";
      if (MessageBox(owner, question, "User Database Update", MB_YESNO | MB_ICONQUESTION) != IDYES) continue;
      const bool was_current = removed.get() == installed.current_user;
      if (was_current) copy.previous_user_removed = true;
      for (const std::string& path : existing)
        if (!(was_current && path == open_gallery)) Recycle_File(path);
    }
  }

  // Moves the files of every renamed user; a change of case is a rename too,
  // the file system telling cases apart. The gallery file of the user who
  // was current stays where the gallery has it open.
  void Move_Renamed_Files() {
    struct Move {
      std::string from, parked, to;
    };
    std::vector<Move> moves;
    for (const auto& user : copy.users) {
      const User* source = user->source_record;
      if (source == nullptr || source->name == user->name) continue;
      for (const File_Kind& kind : User_Files) {
        if (std::strcmp(kind.extension, "gal") == 0 && source == installed.current_user) continue;
        Move move{Path_Of(*source, kind), "", Path_Of(*user, kind)};
        if (move.from.empty() || move.to.empty() || !File_Exists(move.from)) continue;
        move.parked = Unused_Name();
        if (Move_File(move.from, move.parked))
          moves.push_back(move);
        else
          failed.push_back(move.from);
      }
    }
    for (const Move& move : moves) {
      if (File_Exists(move.to)) {
        if (move.to == open_gallery) {
          copy.held_gallery_moves.emplace_back(move.parked, move.to);
          continue;
        }
        // No continuing user owns it any more: its owner moved away or was
        // removed.
        Recycle_File(move.to);
      }
      if (!Move_File(move.parked, move.to)) {
        if (!File_Exists(move.from)) Move_File(move.parked, move.from);
        failed.push_back(move.from);
      }
    }
  }

  std::vector<std::string> failed;

 private:
  User_Database& copy;
  User_Database& installed;
  HWND owner;
  std::set<const User*> continued;
  std::string open_gallery;
};

void User_Database::Install(HWND owner) {
  User_Database* installed = The_User_Database;
  if (installed == nullptr || installed == this) {
    The_User_Database = this;
    return;
  }
  previous_user = *installed->current_user;
  previous_user_record = nullptr;
  previous_user_removed = false;
  held_gallery_moves.clear();
  const bool same_user = current_user->source_record == installed->current_user;

  Install_Run run(*this, *installed, owner);
  if (The_User_Data.writable) {
    run.Offer_Removed_Files();
    run.Move_Renamed_Files();
  }

  // Points and file flags may have changed in the installed database while
  // the dialog was open; the dialog never changes them, so the installed
  // values stand.
  auto carry_over = [](User& user) {
    const User* source = user.source_record;
    if (source == nullptr) return;
    user.points = source->points;
    user.has_color_file = source->has_color_file;
    user.has_level4_manipulators = source->has_level4_manipulators;
    user.has_level5_manipulators = source->has_level5_manipulators;
    user.source_record = nullptr;
  };
  for (const auto& user : users) {
    if (user->source_record != nullptr && user->source_record == previous_user.source_record)
      previous_user_record = user.get();
    carry_over(*user);
  }
  carry_over(default_user);
  if (same_user) current_user->source_record = &previous_user;
  // The installed database goes now; nothing may point into it.
  previous_user.source_record = nullptr;
  delete installed;
  The_User_Database = this;
  Report_Failed_Moves(owner, run.failed);
}

void User_Database::Recycle_Previous_Gallery(HWND owner) {
  const bool removed = previous_user_removed;
  previous_user_removed = false;
  std::vector<std::pair<std::string, std::string>> held;
  held.swap(held_gallery_moves);
  if (!The_User_Data.writable) return;

  const std::string current_gallery = Path_Of(*current_user, Gallery_File);
  const std::string old_gallery = Path_Of(previous_user, Gallery_File);
  std::vector<std::string> failed;
  if (removed) {
    // A user who was removed and added again under the same name is now
    // using that file.
    if (!old_gallery.empty() && old_gallery != current_gallery && File_Exists(old_gallery))
      Recycle_File(old_gallery);
  } else if (previous_user_record != nullptr && previous_user_record != current_user &&
             previous_user_record->name != previous_user.name) {
    // The previous user was renamed and someone else is current: the
    // gallery saved under the old name, so the file follows the user here.
    const std::string new_gallery = Path_Of(*previous_user_record, Gallery_File);
    if (!old_gallery.empty() && !new_gallery.empty() && File_Exists(old_gallery)) {
      if (File_Exists(new_gallery) && new_gallery != current_gallery) Recycle_File(new_gallery);
      if (!Move_File(old_gallery, new_gallery)) failed.push_back(old_gallery);
    }
  }
  for (const auto& [parked, to] : held)
    if (File_Exists(to) || !Move_File(parked, to)) failed.push_back(parked);
  Report_Failed_Moves(owner, failed);
}

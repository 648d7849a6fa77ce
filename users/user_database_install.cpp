// Installing the Name and Level dialog's edited copy of the users: the
// per-user files follow their users' new names, and the files of removed
// users may go to the trash. The order keeps every file that still has an
// owner: removed users are dealt with first, then the renamed users' files
// move in two steps, each first to a name of its own in the same directory,
// then to its new name, so that users who swap names keep their own files.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "platform/system/file_system.h"
#include "platform/system/user_file.h"
#include "platform/window/message_box.h"
#include "toolkit/small_utilities.h"
#include "users/gallery_file.h"
#include "users/held_gallery_note.h"
#include "users/user_data.h"
#include "users/rename_journal.h"
#include "users/user_database.h"
#include "users/user_names.h"

namespace {

// The per-user files of one user, as (extension, level index).
struct File_Kind {
  const char* extension;
  int32_t level_index;
};
constexpr File_Kind Gallery_Kind{"gal", -1};
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

}  // namespace

class Install_Run {
 public:
  Install_Run(User_Database& copy_, User_Database& installed_, HWND owner_)
      : copy(copy_), installed(installed_), owner(owner_) {
    for (const auto& user : copy.users)
      if (user->source_record != nullptr) continued.insert(user->source_record);
    open_gallery = Path_Of(*installed.current_user, Gallery_Kind);
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

  // Plans the moves of every renamed user's files (a change of case is a
  // rename too, the file system telling cases apart) and makes them. Each
  // file first moves to a name of its own, so that users who swap names keep
  // their own files; a file under a new name that no continuing user owns is
  // moved out of the way and recycled once the change is whole. The gallery
  // file the gallery has open moves with the others (an open file keeps its
  // contents under any name), and the gallery follows it. The journal
  // records every move, and the file it moves, before any is made: false
  // when it could not, or when a move failed, and the moves made must go
  // back.
  bool Move_Renamed_Files() {
    std::vector<Step> parking, displacing, finals;
    std::set<std::string> parked_names;
    struct Chain {
      std::string from, parked, to;
    };
    std::vector<Chain> chains;
    for (const auto& user : copy.users) {
      const User* source = user->source_record;
      if (source == nullptr || source->name == user->name) continue;
      if (Gallery_Held(*source, *user)) return false;
      for (const File_Kind& kind : User_Files) {
        const std::string from = Path_Of(*source, kind), to = Path_Of(*user, kind);
        // A user's file and a link of hers move (the link itself, which her
        // saves write through); nothing else has her name.
        if (from.empty() || to.empty() || !Movable(from)) continue;
        chains.push_back({from, Unused_Name(), to});
        parked_names.insert(from);
      }
    }
    for (const Chain& chain : chains) {
      parking.push_back(Move_Of(chain.from, chain.parked));
      // No continuing user owns a file or link left under the new name: its
      // owner was removed, or it is a stray. Anything else (a folder) is not
      // moved: the rename is refused.
      struct stat info;
      if (lstat(chain.to.c_str(), &info) == 0 && parked_names.count(chain.to) == 0) {
        if (!Movable(chain.to)) {
          failed.push_back({chain.from, chain.to, EEXIST});
          return false;
        }
        displacing.push_back(Aside(chain.to));
      }
      finals.push_back(Move_Of(chain.parked, chain.to));
    }
    std::vector<Step> steps = parking;
    for (auto* group : {&displacing, &finals}) steps.insert(steps.end(), group->begin(), group->end());
    if (!copy.rename_journal.Begin(The_User_Data.directory, User_Database::File_Path(), steps)) return false;
    failed = copy.rename_journal.Run();
    return !copy.rename_journal.Stopped();
  }

  std::vector<Rename_Journal::Failed_Move> failed;
  // Why the change was refused before any move, when not for a move.
  std::string held;

 private:
  // A gallery a stopped save holds aside (".saving-<name>") goes back under
  // its name at the next start: a change of names now would give it to
  // whoever has that name then. The change is refused until it is back.
  // Anything else under that name is another program's, and in the way of
  // her saves: the change waits until it is moved out.
  bool Gallery_Held(const User& source, const User& renamed) {
    for (const User* user : {&source, &renamed}) {
      const std::string gallery = Path_Of(*user, Gallery_Kind);
      const std::string aside = gallery.empty() ? gallery : Held_For_Save_Name(gallery);
      struct stat info;
      if (gallery.empty() || lstat(aside.c_str(), &info) != 0) continue;
      const std::string refused = "Unable to rename " + source.name + "\n";
      const std::string unchanged = ": no user is renamed and every file stays with its owner.\n";
      const std::string hidden = " (its name begins with a dot, so most folders show it only after Ctrl+H)";
      if (!Held_Gallery_Note::Is_Held(aside)) {
        held = refused + "The file " + aside + " beside the gallery " + gallery +
               " is not a gallery a save kept there but another program's file" + unchanged + "Move that file out of the folder" +
               hidden + ", then change the names again.";
      } else if (Is_Unchangeable(aside)) {
        held = refused + "A save that was stopped holds the gallery " + gallery + " aside as " + aside +
               ", which the administrator has made unchangeable, and a change of names now would part them" +
               unchanged + "Have the administrator make that file changeable again, close the program and start it "
               "again: the gallery goes back under its name. Then change the names again.";
      } else {
        held = refused + "A save that was stopped holds the gallery " + gallery + " aside as " + aside +
               ", and a change of names now would part them" + unchanged +
               "Close the program and start it again: the gallery goes back under its name (if another file has "
               "that name, move that file out of the folder first). Then change the names again.";
      }
      return true;
    }
    return false;
  }

  using Step = Rename_Journal::Step;

  static std::string Name_Of(const std::string& path) { return path.substr(The_User_Data.directory.size()); }

  // The move of a file no continuing user owns out of a name: to a folder
  // of its own, where it keeps its name for the recycle bin.
  static Step Aside(const std::string& path) {
    Step step = Move_Of(path, Unused_Name() + "/" + path.substr(path.rfind('/') + 1));
    step.displaced = true;
    return step;
  }

  static Step Move_Of(const std::string& from, const std::string& to) {
    Step step;
    step.from = Name_Of(from);
    step.to = Name_Of(to);
    return step;
  }

  // A regular file or a symbolic link, itself.
  static bool Movable(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode));
  }

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
  const bool same_user = current_user->source_record == installed->current_user;
  // The gallery file of the user who was current, as it is now: only that
  // file is recycled once the gallery lets it go.
  previous_gallery_file = Identity_Of(Path_Of(previous_user, Gallery_Kind));

  // Names changed by earlier installs not saved yet stay changed.
  names_changed = installed->names_changed;
  Install_Run run(*this, *installed, owner);
  bool moved_whole = true;
  std::string refusal, refusal_not_whole;
  if (The_User_Data.writable) {
    run.Offer_Removed_Files();
    rename_journal = std::move(installed->rename_journal);
    // Files an earlier change could not bring back find their owners first.
    if (!rename_journal.Active()) Recover_Renames();
    moved_whole = run.Move_Renamed_Files();
    if (!moved_whole) {
      refusal = Refusal_Text(run.failed, "no user is renamed and every file stays with its owner");
      refusal_not_whole = Refusal_Text(run.failed, "no user is renamed");
    }
    if (!run.held.empty()) refusal = refusal_not_whole = run.held;
  }
  // Until the new names are saved, the renamed users' files are under names
  // the user file does not know: these are the names to give back.
  names_before.clear();
  saved_names.clear();
  for (const auto& user : users) {
    if (user->source_record == nullptr) continue;
    const auto earlier = installed->saved_names.find(user->source_record->name);
    const std::string& saved = earlier == installed->saved_names.end() ? user->source_record->name : earlier->second;
    if (saved != user->name) saved_names[user->name] = saved;
  }
  for (const auto& user : users) {
    if (user->source_record == nullptr || user->source_record->name == user->name) continue;
    if (!moved_whole || rename_journal.Active()) names_before.emplace_back(user.get(), user->source_record->name);
    names_changed.insert({user->source_record->name, user->name});
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
  if (moved_whole) return;
  std::vector<Rename_Journal::Failed_Move> stayed = Give_Back_Old_Names();
  if (!stayed.empty())
    refusal = refusal_not_whole + "\n" + Rename_Journal::Failed_Moves_Text(stayed) +
              Rename_Journal::Failed_Moves_Advice(stayed);
  if (rename_journal.Take_Sync_Error() != 0)
    refusal += "\n" + Rename_Journal::Sync_Failure_Text(The_User_Data.directory) + "; the disk may be failing.";
  MessageBox(owner, refusal, "WARNING", MB_OK | MB_ICONSTOP);
}

std::string User_Database::Refusal_Text(const std::vector<Rename_Journal::Failed_Move>& failed,
                                        const std::string& outcome) const {
  // A move the file system refused: which file, and why.
  if (!failed.empty()) return rename_journal.Move_Refused_Text(failed.front(), outcome);
  const std::string journal = Rename_Journal::File_Path(The_User_Data.directory);
  if (rename_journal.Error() == EEXIST)
    return "Unable to write file " + journal +
           "\nFiles of an earlier change of names are not back with their owners yet: no user is renamed and no "
           "file moves.";
  return Unwritable_File_Message(journal, rename_journal.Error(), "no user is renamed and no file moves");
}

std::vector<Rename_Journal::Failed_Move> User_Database::Give_Back_Old_Names() {
  std::vector<Rename_Journal::Failed_Move> stayed = rename_journal.Abandon();
  std::vector<std::pair<User*, std::string>> renamed = std::move(names_before);
  names_before.clear();
  std::vector<std::string> saved;
  for (auto& [user, name] : renamed) {
    const auto was = saved_names.find(user->name);
    saved.push_back(was == saved_names.end() ? user->name : was->second);
  }
  for (auto& [user, name] : renamed) saved_names.erase(user->name);
  for (size_t i = 0; i < renamed.size(); ++i)
    if (saved[i] != renamed[i].second) saved_names[renamed[i].second] = saved[i];
  for (auto& [user, name] : renamed) {
    names_changed.erase(user->name);
    names_changed.erase(name);
    user->name = name;
  }
  // A user added in the dialog under a name given back would share its
  // files: it is not kept.
  for (int32_t i = Count() - 1; i >= 0; --i) {
    const bool given_back = std::any_of(renamed.begin(), renamed.end(), [&](const auto& entry) { return entry.first == At(i); });
    if (given_back) continue;
    for (const auto& entry : renamed)
      if (Same_Name_Ignoring_Case(entry.second, At(i)->name)) {
        Remove_User(i);
        break;
      }
  }
  for (const auto& entry : renamed)
    for (int32_t i = 0; i < Count(); ++i)
      if (At(i) == entry.first) {
        Resort_User(i);
        break;
      }
  return stayed;
}

void User_Database::Recycle_Previous_Gallery(HWND) {
  const bool removed = previous_user_removed;
  previous_user_removed = false;
  if (!The_User_Data.writable) return;

  const std::string current_gallery = Path_Of(*current_user, Gallery_Kind);
  const std::string old_gallery = Path_Of(previous_user, Gallery_Kind);
  // A user who was removed and added again under the same name is now
  // using that file.
  // Another user's file may have taken the name since: only the file the
  // removed user had goes.
  if (removed && !old_gallery.empty() && old_gallery != current_gallery && File_Exists(old_gallery) &&
      Identity_Of(old_gallery) == previous_gallery_file)
    Recycle_File(old_gallery);
}

// All users: the listed ones in the user order, the built-in default user
// (current when no listed user is chosen), a copy of the user who was current
// before the last change of users, and which user is current. The one
// database of the program is The_User_Database; the Name and Level dialog
// edits a copy and installs it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/system/user_file.h"
#include "platform/window/messages.h"
#include "users/rename_journal.h"
#include "users/user.h"

class User_Database : public TStreamableBase {
 public:
  static constexpr uint32_t Class_Version = 4608;

  // An empty database: no users, the default user current.
  explicit User_Database(For_Stream_Tag);
  // The start-up database: reads "quendar.usr" in the user data directory,
  // or, when there is none, lists the user "Sample" with the default user
  // current. Becomes The_User_Database.
  User_Database();
  // The copy the Name and Level dialog edits: the default user and every
  // listed user copied (each copy points back at its record), the same user
  // current, no previous user.
  User_Database(const User_Database& other);
  User_Database& operator=(const User_Database&) = delete;
  ~User_Database() override;

  int32_t Count() const { return int32_t(users.size()); }
  User* At(int32_t index) const { return users[size_t(index)].get(); }

  // Takes the user and inserts it after every user that does not come after
  // it; its index. The current user stays the same record, so its index may
  // move.
  int32_t Add_User(std::unique_ptr<User> user);
  // Takes the user at index out of the list and hands it over; null for an
  // index outside the list. A current user taken out leaves the default user
  // current.
  std::unique_ptr<User> Remove_User(int32_t index);
  // Puts the user at index back in its place after a change of name; its
  // new index.
  int32_t Resort_User(int32_t index);
  // Makes the user at index current; -1 (or any index outside the list)
  // chooses the default user.
  void Set_Current(int32_t index);
  // Makes the named user current again without the dialog (-1's default
  // user for an empty name or one not listed), the one current until now
  // becoming the previous user, as a change of users leaves them.
  void Return_To_User(const std::string& name);
  // Index of the first user of that name ignoring case, -1 when none.
  int32_t Find_User(const std::string& name) const;
  // The index the file gives as current: that of the person a
  // demonstration stands in for while it plays as another user, so that a
  // program ended or killed in the middle starts as that person again.
  int32_t Stored_Current_Index() const;

  // Writes the database to its file through a temporary file, so a failed
  // or interrupted save leaves the old file whole; a failure is shown in a
  // "WARNING" box. Nothing happens when the user data cannot be written.
  // True when the file was written.
  bool Save(HWND owner = 0);
  // Reads the file; a damaged file leaves the users read whole before the
  // damage. False when it could not be read whole (read_fault says why).
  bool Read_File();
  // The file is larger than any list of users could make it.
  static constexpr size_t Largest_File = 4 << 20;
  // The file of the database: quendar.usr in the user data directory.
  static std::string File_Path();

  // Run on the dialog's edited copy at OK: moves the files of renamed users,
  // offers to recycle those of removed users, and makes the copy
  // The_User_Database in place of the installed one, which is deleted.
  void Install(HWND owner);
  // Run by the change of users after the gallery has let go of the previous
  // user's gallery file: recycles it when that user was removed.
  void Recycle_Previous_Gallery(HWND owner = 0);

  const char* Streamable_Name() const override { return "User_Database"; }
  class Streamer;

  User default_user;
  User previous_user;
  User* previous_user_record = nullptr;
  std::vector<std::unique_ptr<User>> users;
  int32_t current_index = -1;
  User* current_user = &default_user;
  bool previous_user_removed = false;
  // Set while a demonstration plays as another user: the name of the person
  // who started it (empty for the default user), current in the file.
  std::optional<std::string> person_away;
  // Why the last Read_File did not read the file whole.
  TFile_Fault read_fault = TFile_Fault::None;
  // The file could not be read whole and stays where it is: it is never
  // saved over.
  bool file_must_stay = false;
  // Set while the program starts: a failed save is told only after the
  // start-up warnings, over the finished main window, not over a window
  // still being built. Tell_Held_Reports shows what waited and ends it.
  bool hold_reports = false;
  void Tell_Held_Reports(HWND owner);

 private:
  // The renames of the last install could not be carried through or saved:
  // every file moved goes back and every renamed user gets her old name
  // back; the files that would not go back.
  std::vector<Rename_Journal::Failed_Move> Give_Back_Old_Names();

  // The box's text when the renamed users' files could not all be moved:
  // the move refused (with the outcome), or the journal that could not be
  // written.
  std::string Refusal_Text(const std::vector<Rename_Journal::Failed_Move>& failed, const std::string& outcome) const;
  // Finishes or undoes a change of names a journal on disk records; false
  // when the journal is still there.
  static bool Recover_Renames();

  // Tells the person why the file was not read whole and what happens now:
  // a file that could be opened is set aside for the next save, one that
  // could not stays and is never written over.
  void Report_Read_Fault();
  // A failed save's "WARNING" box, or its text kept while reports are held
  // (the same text once).
  void Report_Save_Failure(HWND owner, const std::string& text);
  std::vector<std::string> held_reports;

  // The moves of renamed users' files under way, on disk until they are all
  // made and the new names are saved.
  Rename_Journal rename_journal;
  // The renamed users and their names before, while their files are under
  // the new names and the new names are not saved yet.
  std::vector<std::pair<User*, std::string>> names_before;
  // Every name given up or taken since the user file was last saved, moved
  // files or not: records of earlier changes kept for a later start stop
  // following the user file once it saves any of them.
  std::set<std::string> names_changed;
  // Each user renamed since the user file was last saved: her name now and
  // the name that file gives her. Records kept aside name people by it.
  std::map<std::string, std::string> saved_names;
  // The gallery file of the user who was current before the last install.
  File_Id previous_gallery_file;

  friend class Install_Run;
};

extern User_Database* The_User_Database;

// Stored as the default user, the count of users, the users, the current
// index. A count larger than the bytes could hold, or any failure, stops
// the reading with the users read whole so far.
class User_Database::Streamer : public TNewStreamer {
 public:
  explicit Streamer(User_Database* database_) : TNewStreamer(database_), database(database_) {}
  TStreamableBase* Read(ipstream& is, uint32_t version) override;
  void Write(opstream& os) const override;
  uint32_t Class_Version() const override { return User_Database::Class_Version; }
  static std::unique_ptr<TStreamer> Build(TStreamableBase* object);

 private:
  User_Database* database;
};

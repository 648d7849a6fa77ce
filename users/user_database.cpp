#include "users/user_database.h"

#include <algorithm>
#include <cerrno>

#include "model/ipstream.h"
#include "model/opstream.h"
#include "model/tstreamableclass.h"
#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "platform/system/user_file.h"
#include "platform/window/message_box.h"
#include "users/gallery_file.h"
#include "users/held_gallery_note.h"
#include "users/user_data.h"
#include "users/user_names.h"

User_Database* The_User_Database = nullptr;

namespace {

const TStreamableClass database_class("User_Database", &User_Database::Streamer::Build);

// The fewest bytes a stored user takes: the frame with its class name and
// version, and the fields of a version-1 user with an empty name and no font.
constexpr size_t Smallest_Stored_User = 1 + 4 + 4 + 4 + 4 + 4 + 4 + 4 + 12 + 1;

// Makes the user a new one: level 1, no name, scheme colour 1.
void Renew(User& user) {
  user = User(0, nullptr);
  user.source_record = nullptr;
}

// The names of the users the file lists (those read whole); nothing when
// there is no file.
std::optional<std::vector<std::string>> Names_In_File() {
  if (!File_Exists(User_Database::File_Path())) return std::nullopt;
  User_Database file(For_Stream);
  file.Read_File();
  std::vector<std::string> names;
  for (const auto& user : file.users) names.push_back(user->name);
  return names;
}

// Whether a save that failed had put its file in place all the same: a new
// file took the name, and it holds the bytes saved (when it can be read at
// all, the disk failing).
bool Saved_Despite_Failure(const std::string& path, const File_Id& before, const std::vector<uint8_t>& bytes) {
  if (Identity_Of(path) == before) return false;
  const std::optional<std::vector<uint8_t>> there = Read_Regular_File(path, User_Database::Largest_File);
  return !there || *there == bytes;
}

}  // namespace

User_Database::User_Database(For_Stream_Tag) {}

User_Database::User_Database() : User_Database(For_Stream) {
  // Every new user, the default one too, starts in scheme colour 1, also
  // when the file fails before its default user.
  Renew(default_user);
  // No save of an earlier run is under way any more: its leftovers go.
  if (The_User_Data.writable) {
    Remove_Interrupted_Saves(The_User_Data.directory);
    Put_Back_Files_Held_For_Save(The_User_Data.directory, Held_Gallery_Note::Is_Held, Held_Gallery_Note::Forget);
    // A change of names cut short finishes or is undone before anyone's
    // files are looked for. Records kept aside by earlier starts are looked
    // through again; one kept at this start has told all it knows.
    const bool cut_short = File_Exists(Rename_Journal::File_Path(The_User_Data.directory));
    if (Recover_Renames() && !cut_short)
      Rename_Journal::Retry_Missing(The_User_Data.directory, File_Path(), Names_In_File());
  }
  if (File_Exists(File_Path())) {
    The_User_Data.show_help_at_start = false;
    if (!Read_File()) Report_Read_Fault();
  } else {
    Add_User(std::make_unique<User>(0, "Sample"));
  }
  The_User_Database = this;
}

bool User_Database::Recover_Renames() {
  if (!File_Exists(Rename_Journal::File_Path(The_User_Data.directory))) return true;
  return Rename_Journal::Recover(The_User_Data.directory, File_Path(), Names_In_File());
}

void User_Database::Report_Read_Fault() {
  const std::string path = File_Path();
  std::string outcome;
  if (File_Must_Stay(read_fault)) {
    file_must_stay = true;
    outcome = "the program runs without the users in it and will not change the file";
  } else {
    const std::string whole = read_fault != TFile_Fault::Damaged ? "the program runs without the users in it"
                              : Count() == 1 ? "the 1 user read whole is listed"
                                             : "the " + std::to_string(Count()) + " users read whole are listed";
    const std::string aside = The_User_Data.writable ? Keep_File_Aside(path) : std::string();
    if (aside.empty()) {
      file_must_stay = true;
      outcome = whole + ", and the file is left as it is and will not be changed";
    } else {
      outcome = whole + ", and the file is kept as " + aside;
    }
  }
  MessageBox(0, Unreadable_File_Message(path, read_fault, outcome), "WARNING", MB_OK | MB_ICONSTOP);
}

User_Database::User_Database(const User_Database& other)
    : TStreamableBase(other), default_user(other.default_user), person_away(other.person_away) {
  users.reserve(other.users.size());
  for (const auto& user : other.users) users.push_back(std::make_unique<User>(*user));
  Set_Current(other.current_index);
}

User_Database::~User_Database() {
  if (The_User_Database == this) The_User_Database = nullptr;
}

int32_t User_Database::Add_User(std::unique_ptr<User> user) {
  User* const current = current_user;
  auto place = std::upper_bound(users.begin(), users.end(), user->name,
                                [](const std::string& name, const std::unique_ptr<User>& listed) {
                                  return Compare_User_Names(name, listed->name) < 0;
                                });
  const auto index = int32_t(place - users.begin());
  users.insert(place, std::move(user));
  if (current != &default_user && index <= current_index) ++current_index;
  return index;
}

std::unique_ptr<User> User_Database::Remove_User(int32_t index) {
  if (index < 0 || index >= Count()) return nullptr;
  std::unique_ptr<User> user = std::move(users[size_t(index)]);
  users.erase(users.begin() + index);
  if (previous_user_record == user.get()) previous_user_record = nullptr;
  if (index == current_index)
    Set_Current(-1);
  else if (index < current_index)
    --current_index;
  return user;
}

int32_t User_Database::Resort_User(int32_t index) {
  if (index < 0 || index >= Count()) return index;
  const bool was_current = index == current_index;
  std::unique_ptr<User> user = Remove_User(index);
  const int32_t new_index = Add_User(std::move(user));
  if (was_current) Set_Current(new_index);
  return new_index;
}

void User_Database::Set_Current(int32_t index) {
  if (index < 0 || index >= Count()) {
    current_index = -1;
    current_user = &default_user;
  } else {
    current_index = index;
    current_user = users[size_t(index)].get();
  }
}

void User_Database::Return_To_User(const std::string& name) {
  User* const before = current_user;
  previous_user = *before;
  previous_user.source_record = nullptr;
  previous_user_record = before == &default_user ? nullptr : before;
  previous_user_removed = false;
  // Another person: nothing of theirs continues the one before.
  before->source_record = nullptr;
  Set_Current(name.empty() ? -1 : Find_User(name));
  current_user->source_record = nullptr;
}

int32_t User_Database::Find_User(const std::string& name) const {
  for (int32_t i = 0; i < Count(); ++i)
    if (Same_Name_Ignoring_Case(users[size_t(i)]->name, name)) return i;
  return -1;
}

int32_t User_Database::Stored_Current_Index() const {
  if (!person_away) return current_index;
  return person_away->empty() ? -1 : Find_User(*person_away);
}

std::string User_Database::File_Path() { return The_User_Data.directory + "quendar.usr"; }

bool User_Database::Save(HWND owner) {
  // A file that could not be read whole and could not be set aside is never
  // written over: the person was told at start.
  if (!The_User_Data.writable || file_must_stay) return false;
  std::vector<uint8_t> bytes;
  opstream os(bytes);
  os.Write_Object(*this);
  const File_Id before = Identity_Of(File_Path());
  // A change of names under way notes the file it writes before the file
  // takes its place: the next start knows from the file on disk which way
  // the change went. Without that note the file is not written.
  const bool noted = os.Fail() || !rename_journal.Active() || rename_journal.Note_Saving(Database_Hash_Of(bytes));
  errno = noted ? 0 : rename_journal.Error();
  const bool written = noted && !os.Fail() && Write_File_Atomically(File_Path(), bytes);
  const int why = errno;
  // A save can fail after the new file took the old one's place (the folder
  // could not be synced): what the disk holds decides whether the new names
  // stand.
  if (written || (noted && !os.Fail() && Saved_Despite_Failure(File_Path(), before, bytes))) {
    // A change of this session notes its own file (Note_Saving); one left
    // for a later start follows the file saved.
    std::map<std::string, std::string> names_now;
    for (const auto& [now, saved] : saved_names) names_now[saved] = now;
    Rename_Journal::Follow_Saved(The_User_Data.directory, Database_Hash_Of(bytes), !rename_journal.Active(),
                                 names_changed, names_now);
    names_changed.clear();
    saved_names.clear();
    const bool renamed = !names_before.empty();
    names_before.clear();
    rename_journal.Database_Saved();
    // A folder sync that failed after a move or the journal's deletion is
    // the same news as one after the user file: told once.
    const bool moves_unsynced = rename_journal.Take_Sync_Error() != 0;
    if (!written || moves_unsynced)
      MessageBox(owner,
                 (!written ? "The disk reported an error after saving file " + File_Path()
                           : Rename_Journal::Sync_Failure_Text(The_User_Data.directory)) +
                     "\nThe changes to the users are saved" +
                     (renamed ? ", and the renamed users' files are under their new names" : "") +
                     "; the disk may be failing.",
                 "WARNING", MB_OK | MB_ICONSTOP);
    return true;
  }
  std::string outcome = "the changes to the users are not saved";
  std::vector<Rename_Journal::Failed_Move> stayed;
  // The file will name the users as before: so must their files.
  if (!names_before.empty()) {
    stayed = Give_Back_Old_Names();
    outcome += ", and the renamed users keep their old names, their files back under them";
  }
  // A note the journal could not write keeps the user file from being
  // written: the same failure to the person.
  std::string text = Unwritable_File_Message(File_Path(), why, outcome);
  if (!stayed.empty()) text += "\n" + Rename_Journal::Failed_Moves_Text(stayed);
  if (rename_journal.Take_Sync_Error() != 0)
    text += "\n" + Rename_Journal::Sync_Failure_Text(The_User_Data.directory) + "; the disk may be failing.";
  Report_Save_Failure(owner, text);
  return false;
}

void User_Database::Report_Save_Failure(HWND owner, const std::string& text) {
  if (!hold_reports) {
    MessageBox(owner, text, "WARNING", MB_OK | MB_ICONSTOP);
  } else if (std::find(held_reports.begin(), held_reports.end(), text) == held_reports.end()) {
    held_reports.push_back(text);
  }
}

void User_Database::Tell_Held_Reports(HWND owner) {
  hold_reports = false;
  const std::vector<std::string> reports = std::move(held_reports);
  held_reports.clear();
  for (const std::string& text : reports) MessageBox(owner, text, "WARNING", MB_OK | MB_ICONSTOP);
}

bool User_Database::Read_File() {
  TUser_File_Read read = Read_User_File(File_Path(), Largest_File);
  read_fault = read.fault;
  if (!read.bytes) return false;
  ipstream is(*read.bytes);
  is.Read_Version();
  // A damaged file still gives the users read whole before the damage.
  if (!is.Fail()) is.Read_Object_Keeping_What_Was_Read(*this);
  // Whatever failed, the current user is one that exists.
  Set_Current(current_index);
  if (is.Fail()) read_fault = TFile_Fault::Damaged;
  return !is.Fail();
}

TStreamableBase* User_Database::Streamer::Read(ipstream& is, uint32_t version) {
  if (version != User_Database::Class_Version) The_User_Data.show_help_at_start = true;
  database->users.clear();
  database->Set_Current(-1);
  is.Read_Object(database->default_user);
  database->default_user.source_record = nullptr;
  const auto count = static_cast<int32_t>(is.Read_Word());
  // The loop never runs longer than the bytes could hold users; a count
  // beyond them marks the file damaged once those users are in.
  const size_t room = is.Bytes_Left() / Smallest_Stored_User;
  const int32_t readable = count < 0 ? 0 : int32_t(std::min<size_t>(size_t(count), room));
  for (int32_t i = 0; i < readable && !is.Fail(); ++i) {
    auto user = std::make_unique<User>();
    is.Read_Object(*user);
    if (!is.Fail()) database->users.push_back(std::move(user));
  }
  if (readable != count) is.Set_State(ipstream::failbit);
  const auto index = static_cast<int32_t>(is.Read_Word());
  if (!is.Fail()) database->Set_Current(index);
  return database;
}

void User_Database::Streamer::Write(opstream& os) const {
  os.Write_Object(database->default_user);
  os.Write_Word(static_cast<uint32_t>(database->Count()));
  for (const auto& user : database->users) os.Write_Object(*user);
  os.Write_Word(static_cast<uint32_t>(database->Stored_Current_Index()));
}

std::unique_ptr<TStreamer> User_Database::Streamer::Build(TStreamableBase* object) {
  if (object == nullptr) return std::make_unique<Streamer>(new User_Database(For_Stream));
  auto* database = dynamic_cast<User_Database*>(object);
  return database != nullptr ? std::make_unique<Streamer>(database) : nullptr;
}

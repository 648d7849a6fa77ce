// The palette's files and sources: reading and writing whole collections,
// choosing between the level's built-in set and the user's own file, and the
// change of user.
#include <cerrno>
#include <filesystem>

#include "manipulators/manipulator_file.h"
#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_palette.h"
#include "model/ipstream.h"
#include "model/opstream.h"
#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "platform/system/resource.h"
#include "platform/system/user_file.h"
#include "platform/window/cursor.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "toolkit/small_utilities.h"

namespace {

// Far above the largest palette (five sections of forty manipulators of
// twelve maps), so only a file that is not a manipulator file is refused.
constexpr size_t Largest_Manipulator_File = 4 << 20;

}  // namespace

// ---- Whole collections

bool Transform_Palette::Read_All(ipstream& is) {
  // Everything is read and checked before the collection changes: a damaged
  // set leaves the palette as it was.
  std::optional<std::vector<Manipulator_Ref>> records = Read_Manipulator_Records(is);
  if (!records) return false;
  Place_All(*records);
  return true;
}

void Transform_Palette::Place_All(std::vector<Manipulator_Ref>& records) {
  Clear_All();
  for (Manipulator_Ref& manipulator : records) {
    if (manipulator->Count() == 0) continue;
    Make_Diagram(*manipulator);
    Place(std::move(manipulator), nullptr);
  }
  window->Show_Page(&sections[0], sections[0].Page(0), false);
  Select_Tab(0, 0);
}

void Transform_Palette::Write_All(opstream& os) const {
  std::vector<const Shape_Transform*> list;
  for (int32_t s = 0; s < Section_Count; ++s) {
    for (int32_t p = 0; p < sections[size_t(s)].Page_Count(); ++p) {
      const Shape_Transform_Page* page = sections[size_t(s)].Page(p);
      for (int32_t i = 0; i < page->Count(); ++i) list.push_back(page->At(i));
    }
  }
  Write_Manipulator_Records(os, list);
}

bool Transform_Palette::Load_Defaults() {
  const TResource block = Find_Resource(RT_RCDATA, uint32_t(Default_Manipulator_Ids[size_t(level)]));
  ipstream is(block.data, block.size);
  is.Read_Version();
  if (!Read_All(is)) return false;
  Set_User_File_Flag(users.Current().name, level, false);
  return true;
}

bool Transform_Palette::Read_File(const std::string& path) {
  const TUser_File_Read read = Read_User_File(path, Largest_Manipulator_File);
  Manipulator_Records kept;
  kept.whole = false;
  if (read.bytes) {
    ipstream is(*read.bytes);
    is.Read_Version();
    kept = Read_Manipulator_Records_Kept(is);
  }
  if (read.bytes && kept.whole) {
    Place_All(kept.records);
    Set_User_File_Flag(users.Current().name, level, true);
    return true;
  }
  // What was read whole before the damage is used; the file itself is never
  // saved over: one that could be opened goes aside first, one that could
  // not stays (the writer never replaces it).
  const TFile_Fault fault = read.bytes ? TFile_Fault::Damaged : read.fault;
  const size_t count = kept.records.size();
  std::string outcome = count == 0   ? std::string("no shape manipulator in it could be used")
                        : count == 1 ? std::string("the 1 shape manipulator read whole is kept")
                                     : "the " + std::to_string(count) + " shape manipulators read whole are kept";
  const std::string aside =
      File_Must_Stay(fault) || !users.Data_Directory_Writable() ? std::string() : Keep_File_Aside(path);
  outcome += aside.empty() ? ", and the file is left as it is" : ", and the file is kept as " + aside;
  Stop(Unreadable_File_Message(path, fault, outcome), "WARNING");
  if (count == 0) return false;
  Place_All(kept.records);
  const Palette_Users::Person& user = users.Current();
  // The user's file holds again what could be kept, the damaged one aside.
  if (!aside.empty() && path == users.File_Path(user.name, user.level)) {
    Write_User_File(user);
  } else {
    Set_User_File_Flag(user.name, level, true);
  }
  return true;
}

bool Transform_Palette::Write_User_File(const Palette_Users::Person& user) {
  const std::string path = users.File_Path(user.name, user.level);
  std::vector<uint8_t> bytes;
  opstream os(bytes);
  Write_All(os);
  errno = 0;
  if (os.Fail() || !Write_File_Atomically(path, bytes)) {
    Stop(Unwritable_File_Message(path, errno, "the manipulators are not saved"), "WARNING");
    return false;
  }
  Source_Id = File_Source;
  Source_Name = path;
  Modified = false;
  if (user.name == users.Current().name) User_File_Exists = true;
  Set_User_File_Flag(user.name, user.level, true);
  return true;
}

// Only levels 4 and 5 have a file of their own; the database is saved after
// every change of a flag.
void Transform_Palette::Set_User_File_Flag(const std::string& name, int32_t at_level, bool on) {
  if (!Custom_Files_Level_Table[size_t(at_level)]) return;
  users.Set_File_Flag(name, at_level, on);
  users.Save_Database();
}

// ---- Sources

std::pair<int32_t, std::string> Transform_Palette::Manipulator_Source(const Palette_Users::Person& user) const {
  if (Custom_Files_Level_Table[size_t(user.level)] && users.File_Flag(user.name, user.level)) {
    std::string path = users.File_Path(user.name, user.level);
    std::error_code error;
    if (std::filesystem::exists(path, error)) return {File_Source, path};
  }
  return {Default_Manipulator_Ids[size_t(user.level)], std::string()};
}

bool Transform_Palette::Level_File_Exists(const Palette_Users::Person& user) const {
  if (!Custom_Files_Level_Table[size_t(user.level)]) return false;
  std::error_code error;
  return std::filesystem::exists(users.File_Path(user.name, user.level), error);
}

bool Transform_Palette::Source_Differs(const std::pair<int32_t, std::string>& source) const {
  if (source.first != Source_Id) return true;
  return source.first == File_Source && source.second != Source_Name;
}

bool Transform_Palette::Source_Changed() const {
  if (users.Same_Person() && users.Previous().level == users.Current().level) return false;
  return Source_Differs(Manipulator_Source(users.Current()));
}

void Transform_Palette::Load_Source() {
  const auto [id, name] = Manipulator_Source(users.Current());
  bool loaded = false;
  if (id == File_Source) loaded = Read_File(name);
  if (!loaded) {
    loaded = Load_Defaults();
    Source_Id = Default_Manipulator_Ids[size_t(level)];
    Source_Name.clear();
  } else {
    Source_Id = id;
    Source_Name = name;
  }
}

bool Transform_Palette::Reload() {
  if (Source_Id == File_Source) return Read_File(Source_Name);
  return Load_Defaults();
}

void Transform_Palette::Rebuild_Tabs() {
  const bool allowed = Manipulator_Tabs_Level_Table[size_t(level)] != 0;
  if (allowed && !Has_Tabs()) {
    Add_Section_Tabs();
  } else if (!allowed && Has_Tabs()) {
    Remove_All();
    Layout();
  } else if (allowed) {
    for (uint32_t i = 0; i < Dividers.size(); ++i) Remove_Sub_Dividers(i);
  }
  Section_Count = Has_Tabs() ? Max_Sections : 1;
}

void Transform_Palette::Change_User() {
  const Palette_Users::Person previous = users.Previous();
  const Palette_Users::Person current = users.Current();
  const bool same_person = users.Same_Person();
  const bool same_level = previous.level == current.level;
  if (Modified && !same_person) Source_Id = No_Source;

  if (Modified && users.Data_Directory_Writable()) {
    const bool due = !(same_level && (same_person || users.Previous_Removed_With_Files()));
    if (due) {
      std::string text = same_person ? "Save changes to shape manipulators?"
                                     : "Save changes to shape manipulators belonging to " + previous.name + "?";
      if (User_File_Exists && Source_Id != File_Source) text += Overwrite_Note;
      // A demonstration cannot ask (the person's input is blocked): its
      // changes go. The person was asked before it began.
      const bool yes = !users.Demonstration_Running() && Ask(text, "User Change", MB_YESNO) == IDYES;
      if (yes && Write_User_File(previous) && users.Previous_Exists()) {
        Set_User_File_Flag(previous.name, previous.level, true);
      }
      Modified = false;
    }
  }

  const int32_t previous_level = level;
  if (same_person && same_level) {
    // A new name: the collection stays; it is saved under the new name
    // from now on. A built-in source stays built-in (there is no file of
    // the new name to reload from).
    if (previous.name != current.name && Source_Id == File_Source) {
      Source_Name = users.File_Path(current.name, current.level);
    }
    return;
  }

  level = current.level;
  const auto source = Manipulator_Source(current);
  User_File_Exists = Level_File_Exists(current);
  if (Source_Differs(source)) {
    Busy_Cursor_Scope busy;
    Rebuild_Tabs();
    Load_Source();
    Show(0, 0, false);
    window->Resize(false);
    Invalidate();
    Modified = false;
    Notify_Changed();
  }
  window->Update_Buttons(previous_level, level);
}

void Transform_Palette::Offer_Save_Before_Demonstration() {
  if (!Modified || !users.Data_Directory_Writable()) return;
  const Palette_Users::Person person = users.Current();
  std::string text = "Save changes to shape manipulators belonging to " + person.name + "?";
  if (User_File_Exists && Source_Id != File_Source) text += Overwrite_Note;
  if (Ask(text, "User Change", MB_YESNO) == IDYES) Write_User_File(person);
}

bool Transform_Palette::CanClose() {
  // The system ends the program: the changes are kept without a question,
  // as the answer Yes keeps them (a demonstration's go, as at a change of
  // users), and the program ends whatever the write did.
  if (TDesktop::System_Ending()) {
    if (Modified && users.Data_Directory_Writable() && !users.Demonstration_Running())
      Write_User_File(users.Current());
    return Divided_Notebook::CanClose();
  }
  if (Modified && users.Data_Directory_Writable()) {
    std::string text = "Save changes to shape manipulators?";
    if (User_File_Exists && Source_Id != File_Source) text += Overwrite_Note;
    const int answer = Ask(text, "Program Exit", MB_YESNOCANCEL);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES && !Write_User_File(users.Current())) return false;
  }
  return Divided_Notebook::CanClose();
}

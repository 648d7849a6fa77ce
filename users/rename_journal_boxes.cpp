// The texts of the boxes a change of users' names shows.
#include "users/rename_journal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "platform/system/atomic_file.h"
#include "platform/system/file_system.h"
#include "platform/system/user_file.h"
#include "platform/window/message_box.h"
#include "toolkit/small_utilities.h"
#include "users/rename_journal_parts.h"

using namespace rename_parts;

namespace rename_parts {

std::string Move_Failure_Reason(int error) {
  switch (error) {
    case EEXIST:
    case ENOTEMPTY: return "Another file has that name";
    case ENOENT: return "The file or its folder is gone";
    case EACCES:
    case EPERM: return "You have no permission to move the file";
    default: return Write_Failure_Reason(error);
  }
}

std::string Kept_Text(const std::string& path, const std::string& aside) {
  return aside.empty() ? "\nThe record of the change " + path + " is left as it is."
                       : "\nThe record of the change is kept as " + aside + ".";
}

// Files under names of the change that its notes do not prove to be any of
// its files (another program may have written them, or an earlier program
// noted too little), each of which could be more than one person's (a line
// for each).
std::string Unsure_Text(const std::vector<std::string>& lines) {
  return "These files under names of a change of users' names are not known by their bytes as files it moved, and "
         "Quendar cannot tell whose each one is: they stay under the names they have now:" +
         Listed(lines);
}

// What the teacher can do about them: give each file a name it could have
// to see it in the program, look at whose drawings each holds, and give
// each its owner's name, through spare names when names are taken.
// `owners` holds a user's name of each file's way: the kind of file it is.
std::string Unsure_Advice(const std::string& directory, const std::vector<std::string>& names,
                          const std::vector<std::string>& owners) {
  std::vector<std::string> kinds;
  bool hidden = false;
  for (const std::string& name : names) hidden |= User_File_Kind(name).empty();
  for (const std::string& name : owners) {
    const std::string kind = User_File_Kind(name);
    if (kind.empty()) continue;
    const std::string words = kind == ".gal" ? "galleries" : Kind_Words(kind);
    if (std::find(kinds.begin(), kinds.end(), words) == kinds.end()) kinds.push_back(words);
  }
  std::string text = kinds.empty() ? "files" : "";
  for (size_t i = 0; i < kinds.size(); ++i) text += (i == 0 ? "" : " and ") + kinds[i];
  if (!hidden)
    return "\nTo give each person her own: open these people's " + text + " and note whose each one is; then close "
           "Quendar and, in " + directory + ", first give each of these files a spare name (put \"old \" before it), "
           "then give each the name of its owner's file; then start Quendar again.";
  // A hidden file is seen only under a person's name, and every name it
  // could have may be taken by another of these files: the spare names
  // come first, so that each step can be taken when its turn comes.
  return "\nTo give each person her own: close Quendar and, in " + directory +
         ", first give each of these files a spare name (put \"old \" before it; names beginning with a dot are "
         "hidden: show hidden files to see them). Then, one file at a time, give it the name of one of the people it "
         "could be who has no such file, start Quendar, open that person's " + text + " and note whose the file is, "
         "close Quendar and give the file back its spare name. Last, give each of these files the name of its owner's "
         "file, and start Quendar again.";
}

}  // namespace rename_parts

std::string Rename_Journal::Failed_Moves_Text(const std::vector<Failed_Move>& failed) {
  // A few are named; a long list would be a box taller than the screen.
  constexpr size_t Named = 8;
  // A parking name means nothing to the person: only a user's new name is said.
  auto new_name = [](const Failed_Move& move) {
    const std::string name = move.to.substr(move.to.rfind('/') + 1);
    const std::string folder = Folder_Of(move.to);
    return Parking_Name(name) || Parking_Name(folder.substr(folder.rfind('/') + 1)) ? std::string() : name;
  };
  // Each file is named by whose it is, the person whose name it waits for
  // as she is called now: a hidden name says nothing, and another
  // person's name says the wrong thing.
  auto whose = [&](const Failed_Move& move) {
    const std::string name = new_name(move);
    return name.empty() || User_File_Kind(name).empty()
               ? std::string()
               : ", which is " + Owner_Of(name) + "'s " + Kind_Words(User_File_Kind(name));
  };
  if (failed.size() == 1) {
    const Failed_Move& move = failed[0];
    const std::string name = new_name(move), which = whose(move);
    return "Unable to move file " + move.at + (which.empty() ? "" : which + ",") + (name.empty() ? "" : " to " + name) +
           "\n" + Move_Failure_Reason(move.error) + ": the file stays as " + move.at + ".";
  }
  std::string text = "Unable to move " + std::to_string(failed.size()) + " files of renamed users; each stays where it is:";
  for (size_t i = 0; i < failed.size() && i < Named; ++i) {
    const std::string name = new_name(failed[i]);
    const std::string which = whose(failed[i]);
    text += "\n" + failed[i].at + which + (name.empty() ? "" : " (to be " + name + ")") + ": " +
            Move_Failure_Reason(failed[i].error);
  }
  if (failed.size() > Named)
    text += "\nand " + std::to_string(failed.size() - Named) + " more in " + Folder_Of(failed[Named].at) + ".";
  return text;
}

// A file in the way stays there until the person moves it: each is named,
// with what to do. One the administrator made unchangeable no one else can
// move: she must make it changeable first. Any other failure may pass, and
// each start tries again.
std::string Rename_Journal::Failed_Moves_Advice(const std::vector<Failed_Move>& failed) {
  std::vector<std::string> in_the_way, unchangeable;
  auto add = [](std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  bool others = false;
  for (const Failed_Move& move : failed) {
    if (Is_Unchangeable(In_The_Way(move) ? move.to : move.at)) add(unchangeable, In_The_Way(move) ? move.to : move.at);
    else if (In_The_Way(move)) add(in_the_way, move.to);
    else others = true;
  }
  if (in_the_way.empty() && unchangeable.empty()) return "\nThe program tries again at the next start.";
  bool hidden = false;
  auto named = [&](const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size() && i < 8; ++i) {
      text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
      hidden |= names[i][Folder_Of(names[i]).size() + 1] == '.';
    }
    if (names.size() > 8) text += " and " + std::to_string(names.size() - 8) + " other files";
    return text;
  };
  std::string text = "\nTo put each file home, ";
  if (!unchangeable.empty()) {
    const bool one = unchangeable.size() == 1;
    bool any_in_the_way = false;
    for (const Failed_Move& move : failed) any_in_the_way |= In_The_Way(move) && Is_Unchangeable(move.to);
    text += "have the administrator make " + named(unchangeable) + " changeable again (" +
            (one ? "it was made unchangeable, and no one else can move it" : "they were made unchangeable, and no one "
                                                                             "else can move them") +
            ")" + (any_in_the_way ? " and move each one in the way out of the folder" : "") + ", ";
  }
  if (!in_the_way.empty())
    text += "close Quendar, move " + named(in_the_way) +
            (in_the_way.size() == 1 ? " (it is in the way)" : " (they are in the way)") + " out of the folder, ";
  text += "then start Quendar again: each file goes home." +
          std::string(others ? " The program tries again to move the others at each start." : "");
  if (hidden) text += "\nNames beginning with a dot are hidden: show hidden files to see them.";
  return text;
}

std::string Rename_Journal::Sync_Failure_Text(const std::string& directory) {
  return "The disk reported an error after moving files in " + directory;
}

std::string Rename_Journal::Move_Refused_Text(const Failed_Move& move, const std::string& outcome) const {
  // A file stopped on its way to a parking name is named with the user's
  // new name it was going to.
  std::string to = move.to.substr(move.to.rfind('/') + 1);
  for (const Step& step : steps)
    if (Parking_Name(to) && step.from == to) to = step.to;
  const bool named = !Parking_Name(to) && Folder_Of(move.to) == Folder_Of(move.at);
  return "Unable to move file " + move.at + (named ? " to " + to : "") + "\n" + Move_Failure_Reason(move.error) +
         ": " + outcome + ".";
}

// Where a way's file is and where it was going: "<path>: was Ann.gal, to be
// Bob.gal", or, for a file not found, where it may have been at the cut.
std::string Rename_Journal::Way_Line(const Way& way, size_t at) const {
  if (!way.whose.empty()) return Whose_Line(way, at);
  const std::string going = way.displaced ? "no user's file, to go to the trash" : "to be " + way.names.back();
  if (at != std::string::npos) return directory + way.names[at] + ": was " + way.names.front() + ", " + going;
  std::string line = way.names.front() + " (" + going + "): not found; it was ";
  const std::vector<std::string> was = Names_At_Cut(way);
  for (size_t i = 0; i < was.size(); ++i) line += (i == 0 ? "" : " or ") + directory + was[i];
  return line;
}

// Where a way's file is, named by whose it is as people are called now:
// "<path>, which is Cy's gallery, Cy.gal"; when the way it went was never
// decided, every person it could be.
std::string Rename_Journal::Whose_Line(const Way& way, size_t at) const {
  const std::string kind = User_File_Kind(way.names.front());
  std::string whose = way.whose.size() == 1 ? "which is " : "whose it is cannot be told: it could be ";
  for (size_t k = 0; k < way.whose.size(); ++k) whose += (k == 0 ? "" : " or ") + Described(way.whose[k] + kind);
  if (at != std::string::npos) return directory + way.names[at] + ", " + whose;
  std::string line = "A file " + whose + ": not found; it was ";
  const std::vector<std::string> was = Names_At_Cut(way);
  for (size_t i = 0; i < was.size(); ++i) line += (i == 0 ? "" : " or ") + directory + was[i];
  return line;
}

// Whose a way's file is, by the name it belongs under now: "Bob's gallery,
// Bob.gal"; a file in the way belongs to no user, whatever its name.
std::string Rename_Journal::Whose(const Way& way, bool forward) const {
  if (way.displaced) return "the file " + way.names.front() + " of no user";
  return Described(forward ? way.names.back() : way.names.front());
}

// A file the start looked for in vain, by the name it belongs under now,
// and where it may have been: "Bob's gallery, Bob.gal: it was D/.quendar-move-…".
// A place that holds a file the box tells elsewhere (`told`, paths) is not
// named here, so that no path is told both as empty and as holding a file.
std::string Rename_Journal::Missing_Line(const Way& way, bool forward, const std::set<std::string>& told) const {
  std::string line = Whose(way, forward) + ": it was ";
  line[0] = char(std::toupper(static_cast<unsigned char>(line[0])));
  std::vector<std::string> was = Names_At_Cut(way);
  std::erase_if(was, [&](const std::string& name) { return told.count(directory + name) != 0; });
  if (was.empty()) return line + "under a name that now holds another file, told below";
  for (size_t i = 0; i < was.size(); ++i) line += (i == 0 ? "" : " or ") + directory + was[i];
  return line;
}

std::string Rename_Journal::Disk_Failing_Text() const {
  return sync_error != 0 ? "\n" + Sync_Failure_Text(directory) + "; the disk may be failing." : std::string();
}

std::string Rename_Journal::Trashed_Text(const Recovery& r) {
  return r.trashed.empty() ? std::string()
                           : "\nThese files of no user were in the way of renamed users' files, and are in the trash "
                             "now (from where they can be brought back):" + Listed(r.trashed);
}

std::string Rename_Journal::Unsure_Box_Text(const Recovery& r) const {
  return r.unsure_lines.empty()
             ? std::string()
             : "\n" + Unsure_Text(r.unsure_lines) + Unsure_Advice(directory, r.unsure_names, r.unsure_owners);
}

// What would not move, what no one can tell whose it is and what went to
// the trash; empty when there is none.
std::string Rename_Journal::Failed_And_Unsure_Text(const Recovery& r) const {
  const std::string text =
      (r.failed.empty() ? std::string() : "\n" + Failed_Moves_Text(r.failed) + Failed_Moves_Advice(r.failed)) +
      Unsure_Box_Text(r) + Trashed_Text(r);
  return text.empty() ? text : text.substr(1);
}

// Files hidden under names of the change since a start kept its record
// while the user file was none it knew: each line says whose each one was
// before the change, or, noted when a later change renamed its people,
// whose it is as people are called now.
std::string Rename_Journal::Hidden_Since_Text(const Recovery& r, const std::vector<std::string>& lines) const {
  bool noted = false, unsure_whose = false;
  for (size_t w = 0; w < r.ways.size(); ++w) {
    if (r.at[w] == std::string::npos || !Hidden_Name(r.ways[w].names[r.at[w]])) continue;
    noted |= !r.ways[w].whose.empty();
    unsure_whose |= r.ways[w].whose.size() > 1;
  }
  const std::string whose_now =
      noted ? "give each of these files whose owner its line names the name of its owner's file, if she has no such file" +
                  std::string(unsure_whose ? "; one that could be more than one person's, the name of one of them "
                                             "who has no such file: start Quendar again, open it to see whose it "
                                             "is, then close Quendar and give it its owner's name"
                                           : "")
            : "give each of these files the name of the same kind of file of the person whose it is now (each "
              "line says whose it was before the change), if she has no such file";
  return "These files of a change of users' names that was cut short are hidden in " + directory +
         (noted ? std::string()
                : ", and the user file " + r.database_path +
                      " no longer tells whose each one is (names were changed since, or the file was replaced)") +
         ": they stay where they are:" + Listed(lines, 32) +
         "\nTo give each person her own: close Quendar, show hidden files (names beginning with a dot are hidden) "
         "and " + whose_now + "; then start Quendar again.";
}

// A change cut short whose user file is none it knew, or does not match
// the folder: where each file is and where it was going, and what puts
// each home.
std::string Rename_Journal::Undecided_Text(const Recovery& r, const std::vector<std::string>& lines,
                                           const std::vector<std::string>& not_folders,
                                           const std::string& aside) const {
  const bool neither = !r.as_before && !r.as_written;
  const std::string why = r.now == "none" ? " is gone"
                          : neither       ? " is neither the one it began from nor the one it wrote (it was restored "
                                            "or replaced since)"
                                          : " does not match the folder as the change left it";
  const std::string advice =
      neither ? "\nTo give each person her files, bring back the user file " + r.database_path +
                    " as it was when the change was cut short (from a backup, or from wherever it went), then start "
                    "Quendar again: each file goes to its owner."
      : not_folders.empty()
          ? "\nTo give each person her files, bring back the user file " + r.database_path +
                " as it was when the change was cut short, then start Quendar again: each file goes to its owner."
          : "\nTo give each person her files, close Quendar, move" + Listed(not_folders) +
                "\nout of the folder (names beginning with a dot are hidden: show hidden files to see them; the "
                "change made no such file), then start Quendar again: each file goes to its owner.";
  return "A change of users' names in " + directory + " was cut short, and the user file " + r.database_path + why +
         ": no file moves. Where each file of the change is, and where it was going:" + Listed(lines, 32) + advice +
         Kept_Text(r.path, aside);
}

// Files of the change not in the folder: where each was (`lines`), what
// else stands under its names, and how to give them back. Why they are gone
// the start cannot see (a copy that left hidden names behind, a person or
// program that moved or deleted them): its advice holds whatever happened.
std::string Rename_Journal::Missing_Text(const Recovery& r, const std::vector<std::string>& lines,
                                         const std::vector<std::string>& unknown, const std::string& aside) const {
  std::string text = "Files of users whose names were being changed are not in " + directory +
                     ", where the change left them. Where each file was:" + Listed(lines, 32);
  if (!unknown.empty())
    text += "\nThese files have names the change used, but none is a file it moved; each stays as it is:" +
            Listed(unknown);
  if (!r.unsure_lines.empty()) text += "\n" + Unsure_Text(r.unsure_lines);
  text += r.failed.empty() ? "\nEvery other file of the change is with its owner." : "\n" + Failed_Moves_Text(r.failed);
  text += Trashed_Text(r);
  text += "\nTo give them back, bring each of these files back into " + directory +
          " under the same name, from where it went (the trash, another folder, or a copy or backup of this folder) "
          "(names beginning with a dot are hidden: show hidden files to see them), then start Quendar again: each "
          "file goes to its owner.";
  if (!r.unsure_lines.empty()) text += Unsure_Advice(directory, r.unsure_names, r.unsure_owners);
  return text + Kept_Text(r.path, aside) + Disk_Failing_Text();
}

// Files no one can tell whose they are, some out of place: told at every
// start until each is where it belongs.
std::string Rename_Journal::Until_Home_Text(const Recovery& r, const std::string& aside) const {
  return Unsure_Text(r.unsure_lines) + "\nEvery other file of the change is with its owner." +
         Unsure_Advice(directory, r.unsure_names, r.unsure_owners) +
         "\nEach start names these files until each is where it belongs." + Trashed_Text(r) +
         (r.retry ? std::string() : Kept_Text(r.path, aside)) + Disk_Failing_Text();
}

// Every file home, or under the name of a person whose it could be: those
// (told once: a later start told them already), what went to the trash and
// what else is under names of the change; empty when nothing needs saying.
std::string Rename_Journal::Finished_Text(const Recovery& r, const std::vector<std::string>& strangers) const {
  const std::string told_text =
      (r.unsure_lines.empty() || r.retry ? std::string()
                                         : "\n" + Unsure_Text(r.unsure_lines) +
                                               "\nEvery other file of the change is with its owner." +
                                               Unsure_Advice(directory, r.unsure_names, r.unsure_owners)) +
      Trashed_Text(r);
  std::string text = told_text.empty() ? std::string() : told_text.substr(1);
  const std::string all_home = r.unsure_lines.empty() ? "Every user's files are under her name" : "";
  if (!strangers.empty())
    text += (text.empty() ? "" : "\n") + (all_home.empty() ? std::string() : all_home + ". ") +
            "What is under these names of the change is no user's file, and stays as it is:" + Listed(strangers);
  if (sync_error != 0)
    text += (text.empty() ? "" : "\n") + Sync_Failure_Text(directory) + "\n" +
            (all_home.empty() ? std::string("The disk may be failing.") : all_home + "; the disk may be failing.");
  return text;
}

std::string Rename_Journal::Unrecorded_Advice() {
  return "\nTo give each person her own: close Quendar, show hidden files (names beginning with a dot are hidden), "
         "and give each of these files a name of the same kind of file (ending in .gal for a gallery, .clr for colour "
         "cycles, \", level 4.man\" for level 4 manipulators) of a user who has no such file; start Quendar again and "
         "open it to see whose it is; then close Quendar and give it its owner's name. Each start names these files "
         "until none is left under such a name.";
}

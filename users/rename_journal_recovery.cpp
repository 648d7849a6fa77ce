// What a start does with a change of users' names that was cut short: finds
// each file of the change by its bytes and puts it home, or tells where it is.
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

// Each file moves from a user of the old names to the user of her new name.
// When the change took, the new names are listed and the old ones no longer
// are, unless another user took one up; when it did not, the other way round.
bool Rename_Journal::Between_Listed_Users(const std::vector<std::string>& listed, bool took) const {
  std::set<std::string> old_names, new_names;
  std::map<std::string, std::string> parked;  // parking name: the owner of the file there
  for (const Step& step : steps) {
    if (step.displaced) continue;
    if (Parking_Name(step.to)) {
      parked[step.to] = Owner_Of(step.from);
      continue;
    }
    old_names.insert(Parking_Name(step.from) ? parked[step.from] : Owner_Of(step.from));
    new_names.insert(Owner_Of(step.to));
  }
  const std::set<std::string> on_disk(listed.begin(), listed.end());
  const std::set<std::string>& now = took ? new_names : old_names;
  const std::set<std::string>& then = took ? old_names : new_names;
  for (const std::string& name : now)
    if (on_disk.count(name) == 0) return false;
  for (const std::string& name : then)
    if (on_disk.count(name) != 0 && now.count(name) == 0) return false;
  return true;
}

// Nothing the journal names leads out of the directory: a folder a
// displaced file waits in is a real folder, never a link.
bool Rename_Journal::Safe_On_Disk() const {
  for (const Step& step : steps) {
    struct stat info;
    const std::string folder = directory + Folder_Of(step.to);
    if (step.displaced && lstat(folder.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) return false;
  }
  return true;
}

// One file's way through a change: from its user's name to its parking
// name and on to its new user's name, or, for a file in the way, from its
// name into a folder of its own; the steps that move it (none: npos).
struct Rename_Journal::Chain {
  std::string origin, parked, target;
  size_t park = std::string::npos, final = std::string::npos;
  File_Id file;
};

std::vector<Rename_Journal::Chain> Rename_Journal::Chains() const {
  std::vector<Chain> chains;
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    if (step.displaced || Parking_Name(step.to)) {
      chains.push_back({step.from, step.to, "", i, std::string::npos, step.file});
    } else if (Parking_Name(step.from)) {
      for (Chain& chain : chains)
        if (chain.parked == step.from) {
          chain.target = step.to;
          chain.final = i;
        }
    }
  }
  return chains;
}

// Before any move, a journal noting files must agree with the disk: no file
// on two ways, nothing but its own file under a parking name, and no way
// whose file is at none of its names while a file the journal does not know
// has one of them (moving on would park a file for good). found: whether
// any file is where the journal noted it; when none is, the folder was
// copied or moved, and the files are looked for by name instead.
bool Rename_Journal::Agrees_With_Disk(bool& found) const {
  found = true;
  if (!Identified()) return true;
  const std::vector<Chain> chains = Chains();
  std::set<std::pair<uint64_t, uint64_t>> known;
  for (const Chain& chain : chains)
    if (!known.insert({chain.file.device, chain.file.inode}).second) return false;
  auto unknown_at = [&](const std::string& name) {
    const File_Id there = Identity_Here(name);
    return there.Known() && known.count({there.device, there.inode}) == 0;
  };
  std::vector<bool> in_place;
  for (const Chain& chain : chains)
    in_place.push_back(Identity_Here(chain.origin) == chain.file || Identity_Here(chain.parked) == chain.file ||
                       (!chain.target.empty() && Identity_Here(chain.target) == chain.file));
  found = std::find(in_place.begin(), in_place.end(), true) != in_place.end();
  if (!found) return true;
  for (size_t i = 0; i < chains.size(); ++i) {
    const Chain& chain = chains[i];
    const File_Id parked = Identity_Here(chain.parked);
    if (parked.Known() && !(parked == chain.file)) return false;
    if (!in_place[i] && (unknown_at(chain.origin) || (!chain.target.empty() && unknown_at(chain.target)))) return false;
  }
  return true;
}

// For a journal none of whose files is where it noted them: a file under a
// parking name is the one the change put there; one under a user's name is
// the only file that can be there by the count of moves made (a move at the
// count may or may not have been made, an undo cut short may have taken any
// back). Each file found is noted in the steps as it is now. What stays
// untold: a line for each file whose owner cannot be told, saying where it
// is and whose it may be.
std::vector<std::string> Rename_Journal::Find_Files_By_Name() {
  std::vector<Chain> chains = Chains();
  std::vector<bool> placed(chains.size(), false);
  const bool undone = database_hash == Being_Undone;
  auto may_be_at = [&](const Chain& chain, const std::string& name) {
    return (name == chain.origin && (undone || chain.park >= done)) ||
           (name == chain.target && chain.final != std::string::npos && chain.final <= done);
  };
  std::set<std::pair<uint64_t, uint64_t>> taken;
  for (size_t i = 0; i < chains.size(); ++i) {
    const File_Id there = Identity_Here(chains[i].parked);
    if (!there.Known()) continue;
    chains[i].file = there;
    placed[i] = true;
    taken.insert({there.device, there.inode});
  }
  std::set<std::string> names;
  for (const Chain& chain : chains) {
    names.insert(chain.origin);
    if (!chain.target.empty()) names.insert(chain.target);
  }
  // Each file placed may leave a single owner for another.
  std::map<std::string, std::vector<size_t>> open;
  for (bool progress = true; progress;) {
    progress = false;
    open.clear();
    for (const std::string& name : names) {
      const File_Id there = Identity_Here(name);
      if (!there.Known() || taken.count({there.device, there.inode}) != 0) continue;
      std::vector<size_t> owners;
      for (size_t i = 0; i < chains.size(); ++i)
        if (!placed[i] && may_be_at(chains[i], name)) owners.push_back(i);
      if (owners.size() == 1) {
        chains[owners[0]].file = there;
        placed[owners[0]] = true;
        taken.insert({there.device, there.inode});
        progress = true;
      } else if (owners.size() > 1) {
        open[name] = owners;
      }
    }
  }
  std::vector<std::string> untold;
  for (const auto& [name, owners] : open) {
    std::string line = directory + name + ": the file of";
    for (size_t k = 0; k < owners.size(); ++k)
      line += (k == 0 ? " " : k + 1 == owners.size() ? " or of " : ", ") + chains[owners[k]].origin;
    untold.push_back(line + " before the change");
  }
  if (!untold.empty()) {
    for (const Chain& chain : chains)
      if (File_Exists(directory + chain.parked))
        untold.push_back(directory + chain.parked + ": the file of " + chain.origin + " before the change");
    return untold;
  }
  for (const Chain& chain : chains) {
    steps[chain.park].file = chain.file;
    if (chain.final != std::string::npos) steps[chain.final].file = chain.file;
  }
  return {};
}

bool Rename_Journal::Recover(const std::string& directory, const std::string& database_path,
                             const std::optional<std::vector<std::string>>& listed) {
  const std::string path = File_Path(directory);
  if (Get_File_Attributes(path) == INVALID_FILE_ATTRIBUTES) return true;
  TUser_File_Read read = Read_User_File(path, Largest_Journal);
  Rename_Journal journal;
  journal.directory = directory;
  const bool read_whole = read.bytes && journal.Read(*read.bytes);
  if (read_whole && journal.By_Bytes()) return Recover_By_Bytes(journal, path, false, database_path, listed);
  // A journal of an earlier kind. The old user database still there: the
  // change never took, so every file goes back. Another one: the change
  // took, and every file follows it.
  const bool took = read_whole && journal.database_hash != Being_Undone &&
                    Database_Hash(database_path) != journal.database_hash;
  bool found = true;
  if (!read_whole || !journal.Safe_On_Disk() || (listed && !journal.Between_Listed_Users(*listed, took)) ||
      !journal.Agrees_With_Disk(found)) {
    const TFile_Fault fault = read.bytes ? TFile_Fault::Damaged : read.fault;
    const std::string aside = File_Must_Stay(fault) ? std::string() : Keep_File_Aside(path);
    std::string outcome = "files of users whose names were being changed may be under names beginning "
                          "\".quendar-move-\" in " + directory;
    outcome += aside.empty() ? ", and the file is left as it is" : ", and the file is kept as " + aside;
    const std::vector<std::string> hidden = Unrecorded_Files(directory, {});
    MessageBox(0,
               Unreadable_File_Message(path, fault, outcome) +
                   (hidden.empty() ? std::string()
                                   : "\nThese files are hidden under such names; they stay where they are:" +
                                         Listed(hidden, 32) + Unrecorded_Advice()),
               "WARNING", MB_OK | MB_ICONSTOP);
    return !aside.empty();
  }
  if (!found) {
    const std::vector<std::string> untold = journal.Find_Files_By_Name();
    if (!untold.empty()) {
      // Nothing may be guessed: every file stays, and the person learns where.
      const std::string aside = Keep_File_Aside(path);
      // Only the identities are seen to differ; whether a copy, a restore
      // or a program writing each file anew made them differ is not known.
      std::string text = "Unable to tell whose file is which in " + directory +
                         ": a change of users' names was cut short, and no file under its names is the very file it "
                         "noted. No file moves:";
      for (size_t i = 0; i < untold.size() && i < 8; ++i) text += "\n" + untold[i];
      if (untold.size() > 8) text += "\nand " + std::to_string(untold.size() - 8) + " more.";
      text += aside.empty() ? "\nThe record of the change " + path + " is left as it is."
                            : "\nThe record of the change is kept as " + aside + ".";
      MessageBox(0, text, "WARNING", MB_OK | MB_ICONSTOP);
      return !aside.empty();
    }
    // The files as they are now, should the moves be cut short.
    journal.Note_Progress();
  }
  const std::vector<Failed_Move> failed = took ? journal.Finish() : journal.Undo();
  journal.Sync();
  Kill_Point();
  const std::string disk_failing =
      "\n" + Sync_Failure_Text(directory) + "; the disk may be failing.";
  if (!failed.empty()) {
    // An undo cut short stays one, whatever user file is saved meanwhile.
    if (!took) {
      journal.database_hash = Being_Undone;
      journal.Note_Progress();
    }
    // The journal stays: the next start tries again to put every file with
    // its owner.
    MessageBox(0, Failed_Moves_Text(failed) + Failed_Moves_Advice(failed) +
                      (journal.sync_error != 0 ? disk_failing : ""),
               "WARNING", MB_OK | MB_ICONSTOP);
    return false;
  }
  Delete_File(path);
  journal.Sync();
  Kill_Point();
  if (journal.sync_error != 0)
    MessageBox(0, Sync_Failure_Text(directory) + "\nEvery user's files are under her name; the disk may be failing.",
               "WARNING", MB_OK | MB_ICONSTOP);
  return true;
}

std::vector<Rename_Journal::Way> Rename_Journal::Ways() const {
  std::vector<Way> ways;
  auto ending_at = [&](const std::string& name, const File_Fingerprint& bytes) -> Way* {
    for (Way& way : ways)
      if (!way.displaced && way.names.back() == name && way.bytes == bytes) return &way;
    return nullptr;
  };
  for (const Step& step : steps) {
    if (step.displaced) {
      ways.push_back({{step.from, step.to}, step.bytes, true, {}});
    } else if (Parking_Name(step.to)) {
      // A later change parking a file an earlier one brought to its name
      // carries it further on the same way.
      Way* way = Parking_Name(step.from) ? nullptr : ending_at(step.from, step.bytes);
      if (way != nullptr && way->names.size() > 2) way->names.push_back(step.to);
      else ways.push_back({{step.from, step.to}, step.bytes, false, step.whose});
    } else if (Way* way = ending_at(step.from, step.bytes)) {
      way->names.push_back(step.to);
    }
  }
  return ways;
}

// Where each way's file is (an index into its names; npos when it is at
// none of them): each name holds at most one file, and a way's file is a
// regular file of the very bytes noted, or a link leading where its link
// led (nothing in a folder that is not a real folder of the directory). As
// many files as can be are found; ways whose files have the same bytes may
// take each other's, for they are the same to everyone.
std::vector<size_t> Rename_Journal::Locate(const std::vector<Way>& ways, Claims* unsure) const {
  std::map<std::string, std::optional<File_Fingerprint>> seen;
  auto holds = [&](const Way& way, const std::string& name) {
    // A note of sampled blocks proves no file: nothing is read for it.
    if (!way.bytes.whole) return false;
    auto [entry, added] = seen.try_emplace(name);
    if (added && (name.find('/') == std::string::npos || Real_Folder(Folder_Of(directory + name))))
      entry->second = File_Fingerprint::Of(directory + name, way.bytes.earlier);
    return entry->second && way.bytes.Same_Bytes(*entry->second);
  };
  std::vector<size_t> at(ways.size(), std::string::npos);
  std::map<std::string, size_t> holder;  // name: the way found there
  // Finds a name for the way, moving others found earlier to other names
  // of theirs when that makes room (the augmenting paths of a matching).
  std::function<bool(size_t, std::set<std::string>&)> place = [&](size_t w, std::set<std::string>& tried) {
    for (size_t k = 0; k < ways[w].names.size(); ++k) {
      const std::string& name = ways[w].names[k];
      if (!tried.insert(name).second || !holds(ways[w], name)) continue;
      const auto there = holder.find(name);
      if (there != holder.end() && !place(there->second, tried)) continue;
      holder[name] = w;
      at[w] = k;
      return true;
    }
    return false;
  };
  for (size_t w = 0; w < ways.size(); ++w) {
    std::set<std::string> tried;
    place(w, tried);
  }
  if (unsure != nullptr) *unsure = Unproven(ways, at, holder);
  return at;
}

// What is under a name of a way whose file was not found, and is no file of
// the change: an older or newer copy of her file, a real edit, another
// child's file alike. Nothing shows whose it is: it stays where it is, each
// with every way whose file was under that name at some time (the ways not
// found first).
Rename_Journal::Claims Rename_Journal::Unproven(const std::vector<Way>& ways, const std::vector<size_t>& at,
                                                const std::map<std::string, size_t>& holder) const {
  Claims claims;
  for (size_t w = 0; w < ways.size(); ++w) {
    if (at[w] != std::string::npos) continue;
    for (const std::string& name : ways[w].names) {
      struct stat info;
      if (holder.count(name) != 0 || claims.count(name) != 0 || lstat((directory + name).c_str(), &info) != 0 ||
          (name.find('/') != std::string::npos && !Real_Folder(Folder_Of(directory + name))))
        continue;
      std::vector<size_t>& could_be = claims[name];
      for (const bool found : {false, true})
        for (size_t u = 0; u < ways.size(); ++u)
          if ((at[u] != std::string::npos) == found &&
              std::find(ways[u].names.begin(), ways[u].names.end(), name) != ways[u].names.end())
            could_be.push_back(u);
    }
  }
  return claims;
}

// Moves each file found to the end of its way (forward) or its start,
// straight to a free name; files waiting on each other's names (a swap)
// make room through a parking name of their own. Nothing is ever moved
// over a file, and a name held by something that is not a file of the
// change is a move that fails. `at` follows the files.
std::vector<Rename_Journal::Failed_Move> Rename_Journal::Carry(const std::vector<Way>& ways, std::vector<size_t>& at,
                                                               bool forward) {
  std::vector<Failed_Move> failed;
  std::vector<bool> stuck(ways.size(), false);
  auto destination = [&](size_t w) -> const std::string& {
    return forward ? ways[w].names.back() : ways[w].names.front();
  };
  auto home = [&](size_t w) { return at[w] == std::string::npos || ways[w].names[at[w]] == destination(w); };
  auto taken = [&](const std::string& name) {
    struct stat info;
    return lstat((directory + name).c_str(), &info) == 0;
  };
  auto move = [&](size_t w, const std::string& name) {
    const std::string from = directory + ways[w].names[at[w]], to = directory + name;
    errno = ENOTDIR;
    if (name.find('/') != std::string::npos && !Make_Aside_Folder(to)) {
      failed.push_back({from, to, errno});
      return false;
    }
    if (!Move(from, to, failed)) return false;
    if (ways[w].names[at[w]].find('/') != std::string::npos) rmdir(Folder_Of(from).c_str());
    at[w] = size_t(std::find(ways[w].names.begin(), ways[w].names.end(), name) - ways[w].names.begin());
    Kill_Point();
    return true;
  };
  for (size_t round = 0; round <= 2 * ways.size(); ++round) {
    bool progress = false;
    for (size_t w = 0; w < ways.size(); ++w) {
      if (home(w) || stuck[w] || taken(destination(w))) continue;
      if (move(w, destination(w))) progress = true;
      else stuck[w] = true;
    }
    if (progress) continue;
    // Every way left waits on a name another file of the change holds:
    // that file steps aside under a parking name of its way.
    for (size_t w = 0; w < ways.size() && !progress; ++w) {
      if (home(w) || stuck[w]) continue;
      for (size_t u = 0; u < ways.size() && !progress; ++u) {
        if (u == w || home(u) || stuck[u] || ways[u].names[at[u]] != destination(w) || Parking_Name(destination(w)))
          continue;
        for (const std::string& name : ways[u].names)
          if (Parking_Name(name) && !taken(name)) {
            if (move(u, name)) progress = true;
            else stuck[u] = true;
            break;
          }
      }
    }
    if (!progress) break;
  }
  // What is left waits on a name that something else holds; never under a
  // person's name, which would give it to her, but under a parking name of
  // its way.
  for (size_t w = 0; w < ways.size(); ++w) {
    if (home(w) || stuck[w]) continue;
    bool told = false;  // a move aside that failed says where the file is
    if (!User_File_Kind(ways[w].names[at[w]]).empty())
      for (const std::string& name : ways[w].names)
        if (Parking_Name(name) && !taken(name)) {
          told = !move(w, name);
          break;
        }
    if (!told) failed.push_back({directory + ways[w].names[at[w]], directory + destination(w), EEXIST});
  }
  // A folder made for a file in the way that did not go there, or came back.
  if (!forward)
    for (const Way& way : ways)
      if (way.displaced) rmdir(Folder_Of(directory + way.names[1]).c_str());
  return failed;
}

// Whatever is under a parking name or in a parking folder of the change
// once every file of it is home: no file of the change, left as it is.
std::vector<std::string> Rename_Journal::Strangers(const std::vector<Way>& ways) const {
  std::set<std::string> names;
  for (const Way& way : ways)
    for (const std::string& name : way.names)
      if (Parking_Name(name) || name.find('/') != std::string::npos) names.insert(name);
  std::vector<std::string> found;
  for (const std::string& name : names) {
    struct stat info;
    if (lstat((directory + name).c_str(), &info) == 0) found.push_back(directory + name);
  }
  return found;
}

// What is under a name of a way whose file was not found, and is no file
// of the change (another program put it there): it stays, named.
std::vector<std::string> Rename_Journal::Unknown_Files(const std::vector<Way>& ways, const std::vector<size_t>& at) const {
  std::set<std::string> held, names;
  for (size_t w = 0; w < ways.size(); ++w) {
    if (at[w] != std::string::npos) held.insert(ways[w].names[at[w]]);
    else names.insert(ways[w].names.begin(), ways[w].names.end());
  }
  std::vector<std::string> found;
  for (const std::string& name : names) {
    struct stat info;
    if (held.count(name) == 0 && lstat((directory + name).c_str(), &info) == 0) found.push_back(directory + name);
  }
  return found;
}

// The names the way's file may have had when the change was cut: the one
// the last move noted as made took it to, and the next when that move may
// have been made before its note; once an undo began, those before too.
std::vector<std::string> Rename_Journal::Names_At_Cut(const Way& way) const {
  size_t last = 0;
  bool next_too = false;
  for (size_t k = 1; k < way.names.size(); ++k) {
    const auto step = std::find_if(steps.begin(), steps.end(), [&](const Step& s) {
      return s.from == way.names[k - 1] && s.to == way.names[k] && s.bytes == way.bytes;
    });
    const size_t i = size_t(step - steps.begin());
    if (i >= done) {
      next_too = i == done && i < steps.size();
      break;
    }
    last = k;
  }
  std::vector<std::string> names;
  if (next_too) names.push_back(way.names[last + 1]);
  for (size_t k = last + 1; k-- > (course == Course::Back ? 0 : last);) names.push_back(way.names[k]);
  // A hidden name first: the likelier place of a file not found.
  std::stable_partition(names.begin(), names.end(), Hidden_Name);
  return names;
}

// Whether a file whose owner cannot be told lies where no one would look
// for it as hers: under a hidden name, a name no listed user has, or the
// name of a person it could not be (after the change as it went).
bool Rename_Journal::Out_Of_Place(const std::string& name, const std::vector<Way>& ways,
                                  const std::vector<size_t>& could_be, bool forward,
                                  const std::optional<std::vector<std::string>>& listed) {
  if (!Users_Name(name)) return true;
  const std::string owner = Owner_Of(name);
  if (listed && std::find(listed->begin(), listed->end(), owner) == listed->end()) return true;
  return std::none_of(could_be.begin(), could_be.end(), [&](size_t w) {
    return !ways[w].displaced && Owner_Of(forward ? ways[w].names.back() : ways[w].names.front()) == owner;
  });
}

// Files no one can tell whose they are, some out of place: the record is
// kept (or stays) where each start looks at it, and each start names them
// until each is home by its bytes or the person has moved it.
bool Rename_Journal::Tell_Until_Home(Recovery& r) {
  std::string aside = r.path;
  if (!r.retry) {
    course = r.course;
    Note_Progress();
    aside = Keep_File_Aside(r.path, Unsure_Word);
  }
  MessageBox(0, Until_Home_Text(r, aside), "WARNING", MB_OK | MB_ICONSTOP);
  return r.retry || !aside.empty();
}

// The user file decides: as before the change, the files go back; as the
// change wrote it, they go on; any other, nothing is guessed. A way decided
// earlier holds while the user file is the one the program saved last with
// it (Follow_Saved): a journal saying so of another file was not left by
// the program.
void Rename_Journal::Decide_Course(Recovery& r) const {
  r.now = Database_Hash(r.database_path);
  r.as_before = r.now == database_hash;
  r.as_written = saved_hash != "none" && r.now == saved_hash;
  r.course = course == Course::Back ? (r.as_before ? Course::Back : Course::Undecided)
             : course == Course::On ? (r.as_written ? Course::On : Course::Undecided)
             : r.as_before          ? Course::Back
             : r.as_written         ? Course::On
                                    : Course::Undecided;
  if (r.course != Course::Undecided &&
      (!Safe_On_Disk() || (r.listed && !Between_Listed_Users(*r.listed, r.course == Course::On))))
    r.course = Course::Undecided;
}

// A record kept while the user file was none the change knew was told at
// the start that kept it: later starts tell only files hidden under names
// of the change (brought back since), which no one else would.
bool Rename_Journal::Tell_Hidden_Since(const Recovery& r) const {
  std::vector<std::string> lines;
  for (size_t w = 0; w < r.ways.size(); ++w)
    if (r.at[w] != std::string::npos && Hidden_Name(r.ways[w].names[r.at[w]]))
      lines.push_back(Way_Line(r.ways[w], r.at[w]));
  if (!lines.empty()) MessageBox(0, Hidden_Since_Text(r, lines), "WARNING", MB_OK | MB_ICONSTOP);
  return true;
}

// Kept where each later start looks again: once the user file is one the
// change knows, each file goes to its owner.
bool Rename_Journal::Keep_Undecided(const Recovery& r) const {
  std::vector<std::string> lines;
  for (size_t w = 0; w < r.ways.size(); ++w) lines.push_back(Way_Line(r.ways[w], r.at[w]));
  const std::string aside = Keep_File_Aside(r.path, Kept_Word);
  // Not a folder the change made where a file in the way was to wait: it
  // goes, and the change can go on.
  std::vector<std::string> not_folders;
  for (const Step& step : steps) {
    const std::string folder = directory + Folder_Of(step.to);
    if (step.displaced && !Real_Folder(folder) && File_Exists(folder) &&
        std::find(not_folders.begin(), not_folders.end(), folder) == not_folders.end())
      not_folders.push_back(folder);
  }
  MessageBox(0, Undecided_Text(r, lines, not_folders, aside), "WARNING", MB_OK | MB_ICONSTOP);
  return !aside.empty();
}

// A file no user had goes to the trash once the change stands.
void Rename_Journal::Trash_Strays(Recovery& r) const {
  for (size_t w = 0; w < r.ways.size(); ++w) {
    const Way& way = r.ways[w];
    if (!way.displaced || r.at[w] == std::string::npos) continue;
    if (r.Forward() && way.names[r.at[w]] == way.names.back() &&
        Recycle_Aside(directory + way.names[r.at[w]], directory + way.names.front()))
      r.trashed.push_back(directory + way.names.front());
  }
}

// Each file no one can tell whose it is, by where it is and every person
// whose it could be; a way not found whose file could be one of them is not
// missing: a file is there, under a name no one can tell whose it is. A file
// known to be hers that waits on a name holding one of those stays too,
// told with them, for the person to put right with them.
void Rename_Journal::Name_Unsure(Recovery& r) const {
  r.undecided.assign(r.ways.size(), false);
  for (const auto& [name, claimants] : r.unsure) {
    r.unsure_names.push_back(name);
    r.misplaced |= Out_Of_Place(name, r.ways, claimants, r.Forward(), r.listed);
    std::vector<std::string> whose;
    bool of_one_not_found = false;
    for (const size_t w : claimants) {
      of_one_not_found |= r.at[w] == std::string::npos;
      if (r.at[w] == std::string::npos) r.undecided[w] = true;
      r.unsure_owners.push_back(r.ways[w].names.front());
      const std::string one = Whose(r.ways[w], r.Forward());
      if (std::find(whose.begin(), whose.end(), one) == whose.end()) whose.push_back(one);
    }
    r.unsure_files += of_one_not_found;
    std::string line = directory + name + ", which could be ";
    for (size_t k = 0; k < whose.size(); ++k) line += (k == 0 ? "" : " or ") + whose[k];
    r.unsure_lines.push_back(line);
  }
  for (size_t w = 0; w < r.ways.size(); ++w) {
    const std::string& destination = r.Forward() ? r.ways[w].names.back() : r.ways[w].names.front();
    if (r.at[w] == std::string::npos || r.ways[w].names[r.at[w]] == destination || r.unsure.count(destination) == 0)
      continue;
    const std::string there = directory + r.ways[w].names[r.at[w]];
    std::erase_if(r.failed, [&](const Failed_Move& move) { return move.at == there; });
    r.unsure_names.push_back(r.ways[w].names[r.at[w]]);
    r.unsure_owners.push_back(r.ways[w].names.front());
    r.misplaced = true;
    r.unsure_lines.push_back(there + ", which is " + Whose(r.ways[w], r.Forward()) + ", whose name another of them has");
  }
}

// The ways whose file is nowhere. Fewer files no one can tell whose they
// are than ways they could be: some way's file is not here at all (gone
// from the folder), and whose cannot be told: each of those ways is
// missing, as when its file is found nowhere. A record kept for files no
// one could tell whose they are told them at the start that kept it: a way
// whose file is no longer there is one the person has moved. A file no user
// had, once the change stands, is in the trash already.
void Rename_Journal::Find_Missing(Recovery& r) const {
  if (size_t(std::count(r.undecided.begin(), r.undecided.end(), true)) > r.unsure_files)
    r.undecided.assign(r.ways.size(), false);
  const bool told_before = Kept_With(r.path.substr(r.path.rfind('/') + 1), Unsure_Word);
  for (size_t w = 0; w < r.ways.size(); ++w)
    if (r.at[w] == std::string::npos && !r.undecided[w] && !told_before && !(r.Forward() && r.ways[w].displaced))
      r.missing.push_back(w);
}

// Kept until the person brings the missing files back: each later start
// looks for them again, and puts each one home once it is there. A later
// start says only what became of the files that are here.
bool Rename_Journal::Keep_For_Missing(Recovery& r) {
  if (r.retry) {
    const std::string text = Failed_And_Unsure_Text(r);
    if (!text.empty()) MessageBox(0, text, "WARNING", MB_OK | MB_ICONSTOP);
    return true;
  }
  std::vector<std::string> unknown = Unknown_Files(r.ways, r.at);
  std::erase_if(unknown, [&](const std::string& there) { return r.unsure.count(there.substr(directory.size())) != 0; });
  // Each path is told once, in the list that says what is there.
  std::set<std::string> told(unknown.begin(), unknown.end());
  for (const std::string& name : r.unsure_names) told.insert(directory + name);
  for (const Failed_Move& move : r.failed) told.insert(move.at);
  // Where each was at the cut, read before the course is noted.
  std::vector<std::string> lines;
  for (const size_t w : r.missing) lines.push_back(Missing_Line(r.ways[w], r.Forward(), told));
  course = r.course;
  Note_Progress();
  const std::string aside = Keep_File_Aside(r.path, Missing_Word);
  MessageBox(0, Missing_Text(r, lines, unknown, aside), "WARNING", MB_OK | MB_ICONSTOP);
  return !aside.empty();
}

// The way decided stays, whatever user file is saved meanwhile; each file
// waits on a name another file holds, and comes home once it goes.
bool Rename_Journal::Keep_For_Failed(Recovery& r) {
  if (!r.retry) {
    course = r.course;
    Note_Progress();
  }
  MessageBox(0, Failed_And_Unsure_Text(r), "WARNING", MB_OK | MB_ICONSTOP);
  return r.retry;
}

// Every file of the change is home, or under the name of a person whose it
// could be, which stays as it is: the record goes.
bool Rename_Journal::Finish_Told(Recovery& r) {
  Delete_File(r.path);
  Sync();
  Kill_Point();
  std::vector<std::string> strangers = Strangers(r.ways);
  std::erase_if(strangers, [&](const std::string& there) {
    const std::string name = there.substr(directory.size());
    return std::find(r.unsure_names.begin(), r.unsure_names.end(), name) != r.unsure_names.end();
  });
  const std::string text = Finished_Text(r, strangers);
  if (!text.empty()) MessageBox(0, text, "WARNING", MB_OK | MB_ICONSTOP);
  return true;
}

bool Rename_Journal::Recover_By_Bytes(Rename_Journal& journal, const std::string& path, bool retry,
                                      const std::string& database_path,
                                      const std::optional<std::vector<std::string>>& listed) {
  Recovery r;
  r.path = path;
  r.retry = retry;
  r.database_path = database_path;
  r.listed = listed;
  journal.Decide_Course(r);
  r.ways = journal.Ways();
  r.at = journal.Locate(r.ways, &r.unsure);
  if (r.course == Course::Undecided) return retry ? journal.Tell_Hidden_Since(r) : journal.Keep_Undecided(r);
  r.failed = journal.Carry(r.ways, r.at, r.Forward());
  journal.Trash_Strays(r);
  journal.Sync();
  Kill_Point();
  journal.Name_Unsure(r);
  journal.Find_Missing(r);
  if (!r.missing.empty()) return journal.Keep_For_Missing(r);
  if (!r.failed.empty()) return journal.Keep_For_Failed(r);
  if (r.misplaced) return journal.Tell_Until_Home(r);
  return journal.Finish_Told(r);
}

// Journals kept aside while files they noted were missing, or while the
// user file was none the change knew: each file the person has brought back
// since goes home (the user file too), and a journal whose files are all
// home is deleted. Nothing is told unless a file would not move.
void Rename_Journal::Retry_Missing(const std::string& directory, const std::string& database_path,
                                   const std::optional<std::vector<std::string>>& listed) {
  std::vector<std::string> kept, unreadable;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error))
    for (const char* word : {Missing_Word, Kept_Word, Unsure_Word})
      if (Kept_With(entry.path().filename().string(), word)) kept.push_back(entry.path().string());
  std::sort(kept.begin(), kept.end());
  std::set<std::string> recorded;  // names of the records read
  for (const std::string& path : kept) {
    const std::optional<std::vector<uint8_t>> bytes = Read_Regular_File(path, Largest_Journal);
    Rename_Journal journal;
    journal.directory = directory;
    if (!bytes || !journal.Read(*bytes) || !journal.By_Bytes()) {
      unreadable.push_back(path);
      continue;
    }
    for (const Step& step : journal.steps)
      for (const std::string& name : {step.from, step.to}) recorded.insert(name.substr(0, name.find('/')));
    Recover_By_Bytes(journal, path, true, database_path, listed);
  }
  Tell_Unrecorded(directory, recorded, unreadable);
}

// Every entry of the directory under a parking name (a folder's entries
// one by one) that none of the names given is: hidden there by a change
// whose record cannot be read.
std::vector<std::string> Rename_Journal::Unrecorded_Files(const std::string& directory,
                                                          const std::set<std::string>& recorded) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    const std::string name = entry.path().filename().string();
    if (!Parking_Name(name) || recorded.count(name) != 0) continue;
    std::error_code not_folder;
    if (entry.is_directory(not_folder) && !entry.is_symlink(not_folder)) {
      for (const auto& inner : std::filesystem::directory_iterator(entry.path(), not_folder))
        found.push_back(inner.path().string());
    } else {
      found.push_back(entry.path().string());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Files hidden by a change of names whose record is damaged, refused or
// gone: nothing may be guessed of whose each is, and each start names them
// with what the person can do, until she has moved them.
void Rename_Journal::Tell_Unrecorded(const std::string& directory, const std::set<std::string>& recorded,
                                     const std::vector<std::string>& unreadable) {
  const std::vector<std::string> files = Unrecorded_Files(directory, recorded);
  if (files.empty()) return;
  std::string text = "These files are hidden in " + directory +
                     " under names a change of users' names gives files while they move, and no record Quendar can "
                     "read says whose each one is; they stay where they are:" + Listed(files, 32);
  if (!unreadable.empty())
    text += "\nThese records of changes of users' names cannot be read:" + Listed(unreadable);
  text += Unrecorded_Advice();
  MessageBox(0, text, "WARNING", MB_OK | MB_ICONSTOP);
}

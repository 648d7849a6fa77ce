// Arbitrary bytes as the journal of a change of users' names. Whatever it
// holds, a journal read names only files directly in the user data
// directory (a displaced file one folder down), never the user file itself,
// counts no more moves made than it lists, knows the file of every step when
// it is of a kind that notes them (a parked file coming out with the bytes it
// went in with), brings every parked file out again, and writes and reads
// back the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "users/rename_journal.h"

namespace {

bool Leaves_The_Directory(const std::string& name, bool one_folder) {
  const size_t slash = name.find('/');
  if (slash == std::string::npos) return name.empty() || name == "." || name == "..";
  if (!one_folder || name.find('/', slash + 1) != std::string::npos) return true;
  return Leaves_The_Directory(name.substr(0, slash), false) || Leaves_The_Directory(name.substr(slash + 1), false);
}

// ".quendar-move-<digits>-<digits>", the names files are parked under.
bool Parking(const std::string& name) {
  const std::string prefix = ".quendar-move-";
  if (name.rfind(prefix, 0) != 0) return false;
  size_t dashes = 0, digits = 0;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] == '-' && digits > 0) {
      ++dashes;
      digits = 0;
    } else if (name[i] >= '0' && name[i] <= '9') {
      ++digits;
    } else {
      return false;
    }
  }
  return dashes == 1 && digits > 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Rename_Journal journal;
  if (!journal.Read(std::vector<uint8_t>(data, data + size))) return 0;
  if (journal.done > journal.steps.size()) std::abort();
  std::set<std::string> parked;
  std::map<std::string, File_Fingerprint> parked_bytes;
  for (const Rename_Journal::Step& step : journal.steps) {
    if (Leaves_The_Directory(step.from, false) || Leaves_The_Directory(step.to, step.displaced) ||
        step.from == "quendar.usr" || step.to == "quendar.usr" || step.from == "quendar.jnl" || step.to == "quendar.jnl")
      std::abort();
    if (journal.version == 2 && !step.file.Known()) std::abort();
    if (journal.version >= 3 && (step.after_gallery || step.by_gallery)) std::abort();
    // A note of the present kind is of every byte; the earlier program's
    // only when it says so.
    if (step.bytes.earlier != (journal.version == 3) || (journal.version >= 4 && !step.bytes.whole)) std::abort();
    if (step.bytes.link && (step.bytes.size == 0 || step.bytes.size >= 4096)) std::abort();
    // Whose a file is, only for a file parked from a user's name, each
    // person once, by a name of her own.
    if (!step.whose.empty() && (journal.version != 5 || step.displaced || !Parking(step.to))) std::abort();
    for (const std::string& person : step.whose)
      if (Leaves_The_Directory(person, false) || std::count(step.whose.begin(), step.whose.end(), person) != 1)
        std::abort();
    if (!step.displaced && Parking(step.to)) {
      parked.insert(step.to);
      parked_bytes[step.to] = step.bytes;
    }
    if (Parking(step.from) && (parked.erase(step.from) != 1 || !(parked_bytes[step.from] == step.bytes))) std::abort();
  }
  if (!parked.empty()) std::abort();
  Rename_Journal again;
  if (!again.Read(journal.Bytes()) || again.Bytes() != journal.Bytes()) std::abort();
  return 0;
}

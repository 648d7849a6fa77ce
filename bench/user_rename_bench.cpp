// Renaming a person whose gallery is as large as galleries get (144
// drawings at side 1440, about 300 MB) with her other files, through the
// user database's install and save as the Name and Level dialog makes them:
// the rename's journal notes a digest of every byte of each file before the
// first move. Beside it, reading that gallery once, and the same moves made
// with plain renames and a folder sync, in the same run. Two people who
// swap names with galleries of the same bytes read both galleries.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "users/user_data.h"
#include "users/user_database.h"

namespace {

constexpr size_t Gallery_Bytes = size_t(144) * 1440 * 1440;  // one byte a pixel: 298.6 MB
constexpr const char* Suffixes[] = {".gal", ", level 4.man", ", level 5.man", ".clr"};

void Write(const std::string& path, size_t bytes) {
  std::vector<uint8_t> block(1 << 20);
  std::mt19937_64 random(bytes);
  FILE* file = std::fopen(path.c_str(), "wb");
  for (size_t written = 0; written < bytes; written += block.size()) {
    for (size_t i = 0; i + 8 <= block.size(); i += 8) *reinterpret_cast<uint64_t*>(&block[i]) = random();
    std::fwrite(block.data(), 1, std::min(block.size(), bytes - written), file);
  }
  std::fclose(file);
}

struct Folder {
  explicit Folder(bool twins = false) {
    char pattern[] = "/tmp/quendar-rename-bench-XXXXXX";
    root = mkdtemp(pattern);
    The_User_Data.directory = root + "/";
    The_User_Data.writable = true;
    for (const char* suffix : Suffixes)
      Write(The_User_Data.directory + "Ann" + suffix, std::string(suffix) == ".gal" ? Gallery_Bytes : 4096);
    if (twins) std::filesystem::copy_file(root + "/Ann.gal", root + "/Bob.gal");
    auto* db = new User_Database(For_Stream);
    db->Add_User(std::make_unique<User>(3, "Ann"));
    if (twins) db->Add_User(std::make_unique<User>(3, "Bob"));
    db->Add_User(std::make_unique<User>(3, "Cy"));
    db->Set_Current(db->Find_User("Cy"));
    The_User_Database = db;
    db->Save();
  }
  ~Folder() {
    delete The_User_Database;
    std::filesystem::remove_all(root);
  }
  std::string root;
  // Ann's name now; each rename gives her the other one.
  std::string name = "Ann";
};

void BM_Rename_Person_With_300_MB_Gallery(benchmark::State& state) {
  Folder folder;
  for (auto _ : state) {
    const std::string next = folder.name == "Ann" ? "Annie" : "Ann";
    auto copy = std::make_unique<User_Database>(*The_User_Database);
    copy->At(copy->Find_User(folder.name))->name = next;
    copy.release()->Install(0);
    The_User_Database->Save();
    folder.name = next;
  }
  if (!std::filesystem::exists(folder.root + "/" + folder.name + ".gal") ||
      std::filesystem::file_size(folder.root + "/" + folder.name + ".gal") != Gallery_Bytes)
    state.SkipWithError("the gallery did not follow its owner");
  state.counters["gallery_MB"] = double(Gallery_Bytes) / 1e6;
}
BENCHMARK(BM_Rename_Person_With_300_MB_Gallery)->Unit(benchmark::kMillisecond);

void BM_Swap_Two_People_With_The_Same_300_MB_Gallery(benchmark::State& state) {
  Folder folder(true);
  for (auto _ : state) {
    auto copy = std::make_unique<User_Database>(*The_User_Database);
    User* ann = copy->At(copy->Find_User("Ann"));
    User* bob = copy->At(copy->Find_User("Bob"));
    ann->name = "Bob";
    bob->name = "Ann";
    copy.release()->Install(0);
    The_User_Database->Save();
  }
  if (std::filesystem::file_size(folder.root + "/Bob.gal") != Gallery_Bytes)
    state.SkipWithError("the galleries did not follow their owners");
}
BENCHMARK(BM_Swap_Two_People_With_The_Same_300_MB_Gallery)->Unit(benchmark::kMillisecond);

// Every byte of the gallery read once, as the journal reads it: what the
// rename cannot do in less.
void BM_Read_300_MB_Gallery_Once(benchmark::State& state) {
  Folder folder;
  std::vector<uint8_t> buffer(1 << 20);
  for (auto _ : state) {
    const int fd = open((The_User_Data.directory + "Ann.gal").c_str(), O_RDONLY);
    size_t total = 0;
    for (ssize_t got; (got = read(fd, buffer.data(), buffer.size())) > 0;) total += size_t(got);
    close(fd);
    benchmark::DoNotOptimize(total);
    if (total != Gallery_Bytes) state.SkipWithError("the gallery could not be read whole");
  }
}
BENCHMARK(BM_Read_300_MB_Gallery_Once)->Unit(benchmark::kMillisecond);

// The same four files moved twice each (to a parking name and on) with
// plain renames, a folder sync after each, and the user file written and
// synced: what the rename costs without its journal.
void BM_Baseline_Plain_Moves_And_Save(benchmark::State& state) {
  Folder folder;
  const std::string dir = The_User_Data.directory;
  const int directory = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  std::vector<uint8_t> bytes(300, 1);
  for (auto _ : state) {
    const std::string next = folder.name == "Ann" ? "Annie" : "Ann";
    int parked = 0;
    for (const char* suffix : Suffixes) {
      std::rename((dir + folder.name + suffix).c_str(), (dir + ".park-" + std::to_string(++parked)).c_str());
      fsync(directory);
    }
    parked = 0;
    for (const char* suffix : Suffixes) {
      std::rename((dir + ".park-" + std::to_string(++parked)).c_str(), (dir + next + suffix).c_str());
      fsync(directory);
    }
    const int fd = open((dir + "plain.usr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(write(fd, bytes.data(), bytes.size()));
    fsync(fd);
    close(fd);
    folder.name = next;
  }
  close(directory);
}
BENCHMARK(BM_Baseline_Plain_Moves_And_Save)->Unit(benchmark::kMillisecond);

}  // namespace

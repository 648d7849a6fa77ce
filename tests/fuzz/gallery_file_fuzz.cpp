// Gallery files from untrusted bytes, through the whole store: the file is
// opened, every drawing shown at full and reduced size, one dropped and the
// rest saved. Nothing may read or write outside a buffer, and what a save
// writes must always read back whole.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gallery/drawing_collection.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "platform/window/message_box.h"
#include "users/gallery_file.h"
#include "users/user.h"
#include "users/user_data.h"

namespace {

// A directory of its own, in memory where there is one: every save syncs,
// which on a disk would make each run slow.
struct Fuzz_Directory {
  Fuzz_Directory() {
    char in_memory[] = "/dev/shm/quendar-gallery-fuzz-XXXXXX";
    char on_disk[] = "/tmp/quendar-gallery-fuzz-XXXXXX";
    const char* made = mkdtemp(in_memory);
    if (!made) made = mkdtemp(on_disk);
    if (!made) __builtin_trap();
    path = std::string(made) + "/";
    Set_Message_Box_Hook([](const TMessage_Box_Request&) { return IDOK; });
  }
  ~Fuzz_Directory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

std::string Directory() {
  static Fuzz_Directory directory;
  return directory.path;
}

std::vector<uint8_t> Read_All(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static GUI_Colors colors;
  static DIB_Allocator pool{2, 5, 360};
  The_User_Data.directory = Directory();
  The_User_Data.writable = true;

  // An exact copy, so that a read past the end is caught.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
  if (size) std::memcpy(bytes.get(), data, size);
  const Gallery_File::Contents contents = Gallery_File::Scan(bytes.get(), size);
  uint64_t previous_end = 0;
  for (const Gallery_File::Record& record : contents.records) {
    if (record.offset < previous_end || record.offset + record.length >= size) __builtin_trap();
    if (record.row < 0 || record.row > 11 || record.column < 0 || record.column > 11) __builtin_trap();
    previous_end = record.offset + record.length;
    // Large pictures make the run slow without reaching new code.
    const uint8_t* picture = bytes.get() + record.offset + Gallery_File::Header_Size;
    if (uint64_t(Gallery_File::Read_U32(picture)) * Gallery_File::Read_U32(picture + 4) > 400 * 400) return 0;
  }
  if (contents.records.size() > 12) return 0;

  User user(0, "Fuzz");
  const std::string path = user.File_Path("gal");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
  {
    Drawing_Collection store(user);
    Drawing_Place first;
    for (int32_t cell = 0; cell < 144; ++cell) {
      const Drawing_Place place{Drawing_Place::Grid, cell / 12, cell % 12};
      if (!store.Find(place)) continue;
      // Records of another size are scaled, which is slow: the full picture
      // of the first only.
      if (first.kind == 0) {
        first = place;
        store.Picture(place, Full_Picture_Size, 0, HWND());
      }
      if (!store.Picture(place, Twelfth_Picture_Size, 60000, HWND())) __builtin_trap();
    }
    if (first.kind) store.Move(Drawing_Place{Drawing_Place::Bin, 0, 0}, first);
    store.Save(user, HWND());
  }
  if (std::filesystem::exists(path)) {
    const std::vector<uint8_t> saved = Read_All(path);
    if (!Gallery_File::Scan(saved.data(), saved.size()).whole) __builtin_trap();
  }
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(Directory(), ignored))
    std::filesystem::remove(entry.path(), ignored);
  return 0;
}

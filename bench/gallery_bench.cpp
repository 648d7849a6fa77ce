// The gallery store's hot paths, each beside a baseline timed in the same
// run:
// - opening a gallery of 144 drawings of side 576 and of side 1440 (raw
//   records, 48 MB and 300 MB) beside reading the 28 header bytes of each
//   record with pread: opening reads headers only, so it must not grow with
//   the pictures;
// - saving one new drawing into a gallery of 143 of side 576 and of side
//   1440 (about 48 MB and 300 MB), every drawing already read, beside
//   writing and syncing that one record to a file of its own: a save reads
//   back what it wrote, not the whole file, so it must not grow with the
//   gallery;
// - a full preparation pass over 144 drawings of side 576 beside decoding
//   and reducing them on one thread;
// - the first requested cell after opening beside one drawing's reduction.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gallery/drawing_collection.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/window/message_box.h"
#include "toolkit/gui_sizes.h"
#include "users/gallery_file.h"
#include "users/user.h"
#include "users/user_data.h"

namespace {

// The layouts whose drawing square is 576 and 1440.
TSize Screen_For(int32_t side) { return side == 1440 ? TSize(2560, 1920) : TSize(1024, 768); }

// Noise does not pack: every record is stored raw, as large as it gets.
std::unique_ptr<Shape_Drawing> Noisy_Drawing(int32_t side, uint32_t seed) {
  auto drawing = std::make_unique<Shape_Drawing>(side, side, nullptr, TColor(255, 255, 255));
  uint8_t* bits = drawing->Writable_Pixels();
  const size_t n = size_t(drawing->Bitmap->Pitch()) * size_t(side);
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1664525u + 1013904223u;
    bits[i] = uint8_t(10 + (x >> 24) % 200);
  }
  drawing->Blank = false;
  return drawing;
}

// Everything a store needs, for one drawing square, with a gallery of count
// drawings saved once per process and kept as a pristine copy.
class Gallery_Stores {
 public:
  Gallery_Stores(int32_t side, int count) : sizes(Screen_For(side).cx, Screen_For(side).cy), pool(2, 5, side) {
    Set_Message_Box_Hook([](const TMessage_Box_Request&) { return IDOK; });
    Drawing_Collection::Release_Statics();
    const std::string key = std::to_string(side) + "-" + std::to_string(count);
    std::string& directory = Directories()[key];
    if (directory.empty()) {
      char pattern[] = "/tmp/quendar-gallery-bench-XXXXXX";
      directory = std::string(mkdtemp(pattern)) + "/";
      The_User_Data.directory = directory;
      The_User_Data.writable = true;
      Drawing_Collection store(user);
      for (int cell = 0; cell < count; ++cell) {
        auto drawing = Noisy_Drawing(side, uint32_t(cell));
        store.Add(drawing, Drawing_Place::Grid, cell / 12, cell % 12);
      }
      store.Save(user, HWND());
      std::filesystem::copy_file(user.File_Path("gal"), directory + "pristine");
      sync();
    }
    The_User_Data.directory = directory;
    The_User_Data.writable = true;
  }
  ~Gallery_Stores() {
    Drawing_Collection::Release_Statics();
    Set_Message_Box_Hook(nullptr);
  }

  std::string Path() const { return user.File_Path("gal"); }
  // Undoes an append: the old end marker back, the file cut to its old
  // length, and all of it on the disk, so that no earlier write is left for
  // the timed save to flush.
  void Restore_Pristine() const {
    const uint64_t length = std::filesystem::file_size(The_User_Data.directory + "pristine");
    const int fd = open(Path().c_str(), O_RDWR);
    const uint8_t zero[4] = {};
    benchmark::DoNotOptimize(pwrite(fd, zero, 4, off_t(length - Gallery_File::End_Size)));
    benchmark::DoNotOptimize(ftruncate(fd, off_t(length)));
    fsync(fd);
    close(fd);
  }

  GUI_Colors colors;
  GUI_Sizes sizes;
  DIB_Allocator pool;
  User user{0, "Bench"};

 private:
  struct Cleanup {
    std::map<std::string, std::string> directories;
    ~Cleanup() {
      std::error_code ignored;
      for (const auto& [key, directory] : directories) std::filesystem::remove_all(directory, ignored);
    }
  };
  static std::map<std::string, std::string>& Directories() {
    static Cleanup cleanup;
    return cleanup.directories;
  }
};

void Wait_Until_Ready(Drawing_Collection& store) {
  for (;;) {
    bool all = true;
    for (int cell = 0; cell < 144 && all; ++cell) {
      const int32_t state = store.State(Drawing_Place{Drawing_Place::Grid, cell / 12, cell % 12});
      all = state == 0 || state == Drawing_Collection::Presentation_Data::Ready;
    }
    if (all) return;
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
}

// ---- Opening

void BM_Gallery_Open_144(benchmark::State& state) {
  Gallery_Stores stores(int32_t(state.range(0)), 144);
  for (auto _ : state) {
    auto store = std::make_unique<Drawing_Collection>(stores.user);
    benchmark::DoNotOptimize(store.get());
    state.PauseTiming();
    store.reset();  // pauses the thread, which may be reducing a drawing
    state.ResumeTiming();
  }
  state.counters["file_MB"] = double(std::filesystem::file_size(stores.Path())) / 1e6;
}
BENCHMARK(BM_Gallery_Open_144)->Arg(576)->Arg(1440)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Pread_144_Headers(benchmark::State& state) {
  Gallery_Stores stores(int32_t(state.range(0)), 144);
  std::vector<uint64_t> offsets;
  {
    const int fd = open(stores.Path().c_str(), O_RDONLY);
    uint8_t header[4];
    for (uint64_t offset = 0; pread(fd, header, 4, off_t(offset)) == 4 && Gallery_File::Read_U32(header);)
      offsets.push_back(offset), offset += Gallery_File::Read_U32(header);
    close(fd);
  }
  for (auto _ : state) {
    const int fd = open(stores.Path().c_str(), O_RDONLY);
    uint8_t header[28];
    for (uint64_t offset : offsets) benchmark::DoNotOptimize(pread(fd, header, sizeof header, off_t(offset)));
    close(fd);
  }
}
BENCHMARK(BM_Baseline_Pread_144_Headers)->Arg(576)->Arg(1440)->Unit(benchmark::kMicrosecond);

// ---- Saving one new drawing

void BM_Gallery_Save_One_New(benchmark::State& state) {
  const int32_t side = int32_t(state.range(0));
  Gallery_Stores stores(side, 143);
  uint64_t written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    stores.Restore_Pristine();
    const uint64_t before = std::filesystem::file_size(stores.Path());
    auto store = std::make_unique<Drawing_Collection>(stores.user);
    // Every drawing read, as after she has looked through her gallery.
    Wait_Until_Ready(*store);
    auto drawing = Noisy_Drawing(side, 999);
    store->Add(drawing, Drawing_Place::Grid, 11, 11);
    state.ResumeTiming();
    store->Save(stores.user, HWND());
    state.PauseTiming();
    written = std::filesystem::file_size(stores.Path()) - before + Gallery_File::End_Size;
    store.reset();
    state.ResumeTiming();
  }
  state.counters["bytes_written"] = double(written);
  state.counters["file_MB"] = double(std::filesystem::file_size(stores.Path())) / 1e6;
}
// Each opening reads every drawing (seconds for the larger gallery): a few
// saves are enough.
BENCHMARK(BM_Gallery_Save_One_New)->Arg(576)->Arg(1440)->Iterations(12)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Write_And_Sync_One_Record(benchmark::State& state) {
  const int32_t side = int32_t(state.range(0));
  Gallery_Stores stores(side, 143);
  auto drawing = Noisy_Drawing(side, 999);
  std::vector<uint8_t> record(Gallery_File::Header_Size + drawing->Stored_Size());
  Gallery_File::Write_Header(record.data(), uint32_t(record.size()), 11, 11);
  drawing->Write(record.data() + Gallery_File::Header_Size);
  const std::string path = The_User_Data.directory + "one-record";
  for (auto _ : state) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(write(fd, record.data(), record.size()));
    fsync(fd);
    close(fd);
  }
  state.counters["bytes_written"] = double(record.size());
  unlink(path.c_str());
}
BENCHMARK(BM_Baseline_Write_And_Sync_One_Record)->Arg(576)->Arg(1440)->Unit(benchmark::kMicrosecond);

// ---- The preparation pass

void BM_Gallery_Preparation_Pass_144(benchmark::State& state) {
  Gallery_Stores stores(576, 144);
  for (auto _ : state) {
    Drawing_Collection store(stores.user);
    Wait_Until_Ready(store);
  }
}
BENCHMARK(BM_Gallery_Preparation_Pass_144)->Unit(benchmark::kMillisecond)->UseRealTime();

// Decoding and reducing every record on this thread, as the pass does.
void BM_Baseline_Decode_And_Reduce_144(benchmark::State& state) {
  Gallery_Stores stores(576, 144);
  const int64_t count = state.range(0);
  std::vector<uint8_t> bytes(std::filesystem::file_size(stores.Path()));
  {
    const int fd = open(stores.Path().c_str(), O_RDONLY);
    benchmark::DoNotOptimize(read(fd, bytes.data(), bytes.size()));
    close(fd);
  }
  const Gallery_File::Contents contents = Gallery_File::Scan(bytes.data(), bytes.size());
  Shape_Drawing full(576, 576, nullptr, TColor(255, 255, 255));
  for (auto _ : state) {
    for (int64_t i = 0; i < count; ++i) {
      const Gallery_File::Record& record = contents.records[size_t(i)];
      full.Read(bytes.data() + record.offset + 12, record.length - 12, true);
      Shape_Drawing third(192, 192, nullptr, full.Background), sixth(96, 96, nullptr, full.Background),
          twelfth(48, 48, nullptr, full.Background);
      third.Shrink_From(full, 3);
      sixth.Shrink_From(third, 2);
      twelfth.Shrink_From(sixth, 2);
      third.Pack(false, false);
      sixth.Pack(false, false);
      twelfth.Pack(false, false);
    }
  }
}
BENCHMARK(BM_Baseline_Decode_And_Reduce_144)->Arg(144)->Arg(1)->Unit(benchmark::kMicrosecond);

// ---- The first requested cell

void BM_Gallery_First_Requested_Cell(benchmark::State& state) {
  Gallery_Stores stores(576, 144);
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<Drawing_Collection>(stores.user);
    state.ResumeTiming();
    benchmark::DoNotOptimize(
        store->Picture(Drawing_Place{Drawing_Place::Grid, 11, 11}, Twelfth_Picture_Size, 60000, HWND()));
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Gallery_First_Requested_Cell)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

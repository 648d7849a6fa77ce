// The users' hot paths, each beside a baseline timed in the same run:
// - saving 200 users (through the atomic helper, with its syncs) beside a
//   plain write and fsync of the same bytes;
// - reading that file beside reading its bytes;
// - the user list's full redraw with 16 rows beside a memcpy of its pixels.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/user_list_window.h"
#include "model/gui_colors.h"
#include "model/opstream.h"
#include "platform/backend/headless/headless_backend.h"
#include "platform/window/desktop.h"
#include "platform/window/window.h"
#include "toolkit/gui_sizes.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

struct Files {
  Files() {
    char pattern[] = "/tmp/quendar-bench-XXXXXX";
    root = mkdtemp(pattern);
    The_User_Data.directory = root + "/";
    for (int i = 0; i < 200; ++i) {
      auto user = std::make_unique<User>(i % 5, nullptr);
      user->name = "User number " + std::to_string(i);
      user->points = i * 37;
      db.Add_User(std::move(user));
    }
    opstream os(bytes);
    os.Write_Object(db);
  }
  ~Files() { std::filesystem::remove_all(root); }
  std::string root;
  User_Database db{For_Stream};
  std::vector<uint8_t> bytes;
};

Files& The_Files() {
  static Files files;
  return files;
}

void BM_Save_200_Users(benchmark::State& state) {
  Files& f = The_Files();
  for (auto _ : state) benchmark::DoNotOptimize(f.db.Save());
}
BENCHMARK(BM_Save_200_Users)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Write_And_Fsync(benchmark::State& state) {
  Files& f = The_Files();
  const std::string path = f.root + "/plain";
  for (auto _ : state) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(write(fd, f.bytes.data(), f.bytes.size()));
    fsync(fd);
    close(fd);
  }
}
BENCHMARK(BM_Baseline_Write_And_Fsync)->Unit(benchmark::kMicrosecond);

void BM_Read_File_200_Users(benchmark::State& state) {
  Files& f = The_Files();
  f.db.Save();
  for (auto _ : state) {
    User_Database db(For_Stream);
    benchmark::DoNotOptimize(db.Read_File());
  }
}
BENCHMARK(BM_Read_File_200_Users)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Read_Bytes(benchmark::State& state) {
  Files& f = The_Files();
  f.db.Save();
  for (auto _ : state) {
    std::ifstream in(User_Database::File_Path(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_Baseline_Read_Bytes)->Unit(benchmark::kMicrosecond);

struct List_Stores {
  List_Stores() {
    TDesktop::Start(std::make_unique<THeadless_Backend>(TSize(1024, 768)));
    sizes = std::make_unique<GUI_Sizes>(1024, 768);
    colors = std::make_unique<GUI_Colors>();
    for (int i = 0; i < 20; ++i) {
      auto user = std::make_unique<User>(0, nullptr);
      user->name = "User " + std::to_string(i);
      user->points = i * 1234;
      db.Add_User(std::move(user));
    }
    db.Set_Current(3);
    main = new TWindow(nullptr, "Main");
    main->Attr.Style = WS_POPUP | WS_VISIBLE;
    main->Attr.W = 1024;
    main->Attr.H = 768;
    main->Create();
    const int s = (*sizes)[35];
    list = new User_List_Window(main, TRect(0, 0, 400, 16 * (s + s / 4)), db, TFont("Times New Roman", s, FW_BOLD));
    list->Create();
    TDesktop::Current().Run_Until_Idle();
  }
  ~List_Stores() {
    delete main;
    colors.reset();
    sizes.reset();
    TDesktop::Stop();
  }
  std::unique_ptr<GUI_Sizes> sizes;
  std::unique_ptr<GUI_Colors> colors;
  User_Database db{For_Stream};
  TWindow* main = nullptr;
  User_List_Window* list = nullptr;
};

void BM_User_List_Full_Redraw_16_Rows(benchmark::State& state) {
  List_Stores stores;
  state.counters["rows"] = stores.list->Row_Count();
  for (auto _ : state) {
    stores.list->Invalidate();
    stores.list->UpdateWindow();
  }
}
BENCHMARK(BM_User_List_Full_Redraw_16_Rows)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Memcpy_List_Pixels(benchmark::State& state) {
  const int s = GUI_Sizes(1024, 768)[35];
  const size_t bytes = size_t(400) * size_t(16 * (s + s / 4)) * 4;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
  }
}
BENCHMARK(BM_Baseline_Memcpy_List_Pixels)->Unit(benchmark::kMicrosecond);

}  // namespace

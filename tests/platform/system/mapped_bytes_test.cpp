// Copies out of and into a shared mapping whose file another program cut
// short: a copy that meets a page beyond the end fails instead of ending the
// process, on any thread, any number of times; a fault outside a copy still
// goes where it went before. (These also run under ThreadSanitizer.)
#include "platform/system/mapped_bytes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "platform/system/address_range.h"
#include "platform/system/mapped_file_view.h"
#include "tests/platform/system/temp_home.h"

namespace {

class Mapped_Bytes : public Temp_Home {
 protected:
  // A mapped file of three pages, each byte its offset's low bits, then cut
  // to a page and 100 bytes: its third page is gone.
  void Map_And_Cut() {
    std::string text(3 * page, '\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = char(i * 7);
    Write(Work("gal"), text);
    file = TMapped_File_Handle::Open(Work("gal"), GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_TRUE(file);
    view = TMapped_File_View::Map(*file, 0);
    ASSERT_TRUE(view);
    std::filesystem::resize_file(Work("gal"), page + 100);
  }
  static uint8_t Byte_At(size_t offset) { return uint8_t(offset * 7); }

  const size_t page = TAddress_Range::Page_Size();
  std::unique_ptr<TMapped_File_Handle> file;
  std::unique_ptr<TMapped_File_View> view;
};

TEST_F(Mapped_Bytes, ACopyThatMeetsAPageBeyondTheEndFailsAndTheNextOnesStillWork) {
  Map_And_Cut();
  struct Case {
    const char* what;
    size_t offset, size;
    bool into_view, copied;
  };
  // Twice a fault in a row: the first one's jump must leave SIGBUS open for
  // the second.
  const Case cases[] = {
      {"the first page", 0, page, false, true},
      {"up to the end", page, 100, false, true},
      {"into the page gone", page, page + 1, false, false},
      {"wholly beyond the end", 2 * page + 8, 16, false, false},
      {"written beyond the end", 2 * page, 4, true, false},
      {"the first page again", 0, page, false, true},
      {"written before the end", 8, 4, true, true},
  };
  std::vector<uint8_t> buffer(2 * page, 0xEE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    uint8_t* mapped = view->Data() + c.offset;
    const bool copied = c.into_view ? TMapped_Bytes::Copy(mapped, buffer.data(), c.size)
                                    : TMapped_Bytes::Copy(buffer.data(), mapped, c.size);
    EXPECT_EQ(copied, c.copied);
    if (copied && !c.into_view) {
      for (size_t i = 0; i < c.size; ++i) ASSERT_EQ(buffer[i], Byte_At(c.offset + i)) << i;
    }
  }
  // The view reads through the same copy, and never outside itself.
  uint8_t bytes[8];
  EXPECT_TRUE(view->Read(page, bytes, sizeof bytes));
  EXPECT_EQ(bytes[7], Byte_At(page + 7));
  EXPECT_FALSE(view->Read(2 * page, bytes, sizeof bytes));
  EXPECT_FALSE(view->Read(3 * page - 4, bytes, sizeof bytes));
  EXPECT_FALSE(view->Read(UINT64_MAX, bytes, 1));
}

// Each thread jumps back into its own copy: faults on several threads at
// once never cross.
TEST_F(Mapped_Bytes, ThreadsFaultingTogetherEachGetTheirOwnFailure) {
  Map_And_Cut();
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      uint8_t bytes[64];
      for (int round = 0; round < 300; ++round) {
        const size_t offset = (round + t) % 2 ? 2 * page + size_t(round) : size_t(round);
        const bool copied = TMapped_Bytes::Copy(bytes, view->Data() + offset, sizeof bytes);
        if (copied != (offset < page) || (copied && bytes[5] != Byte_At(offset + 5))) ++wrong;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

// Where the fault outside a copy happens, for the earlier handler to check.
volatile uint8_t* faulting_address = nullptr;

// A fault outside a copy is not swallowed: it reaches the handler the
// process had before, of either kind, with what the system told of the
// fault, or ends the process when there was none.
TEST_F(Mapped_Bytes, AFaultOutsideACopyGoesWhereItWentBefore) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Map_And_Cut();
  faulting_address = view->Data() + 2 * page;
  const struct {
    const char* name;
    void (*install)();  // the handler the process had before ours
    std::function<bool(int)> ended;
  } cases[] = {
      {"a plain handler",
       [] {
         struct sigaction before {};
         before.sa_handler = [](int signal) { _exit(signal == SIGBUS ? 3 : 5); };
         sigemptyset(&before.sa_mask);
         sigaction(SIGBUS, &before, nullptr);
       },
       testing::ExitedWithCode(3)},
      {"a handler that takes the fault's details",
       [] {
         struct sigaction before {};
         before.sa_sigaction = [](int signal, siginfo_t* info, void* context) {
           const bool told = signal == SIGBUS && info && info->si_addr == faulting_address && context;
           _exit(told ? 4 : 5);
         };
         before.sa_flags = SA_SIGINFO;
         sigemptyset(&before.sa_mask);
         sigaction(SIGBUS, &before, nullptr);
       },
       testing::ExitedWithCode(4)},
      // None at all, not even a sanitizer's: the fault ends the process as
      // it would have without ours.
      {"none", [] { signal(SIGBUS, SIG_DFL); }, testing::KilledBySignal(SIGBUS)},
  };
  const auto touch_beyond_the_end = [this](void (*install)()) {
    // A fault swallowed instead of passed on repeats for ever: the
    // processor time it spends soon ends it (SIGXCPU), which no row takes
    // for its ending, instead of the test's time limit.
    rlimit cpu;
    getrlimit(RLIMIT_CPU, &cpu);
    cpu.rlim_cur = 2;
    setrlimit(RLIMIT_CPU, &cpu);
    install();
    uint8_t byte = 0;
    if (TMapped_Bytes::Copy(&byte, view->Data(), 1)) byte = *faulting_address;
    _exit(byte == 0 ? 0 : 1);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(touch_beyond_the_end(c.install), c.ended, "");
  }
}

}  // namespace

#include "platform/system/mapped_file_view.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "tests/platform/system/temp_home.h"

namespace {

class Mapped_File : public Temp_Home {
 protected:
  std::unique_ptr<TMapped_File_Handle> Open(const std::string& name, uint32_t access, uint32_t disposition) {
    return TMapped_File_Handle::Open(Work(name), access, disposition);
  }
  static constexpr uint32_t Read_Write = GENERIC_READ | GENERIC_WRITE;
};

TEST_F(Mapped_File, OpenDispositionsAndASecondOpenerRefusedUntilTheFirstCloses) {
  EXPECT_FALSE(Open("none", GENERIC_READ, OPEN_EXISTING) || std::filesystem::exists(Work("none")));
  auto created = Open("new", Read_Write, OPEN_ALWAYS);
  ASSERT_TRUE(created);
  EXPECT_TRUE(created->Size() == 0 && std::filesystem::exists(Work("new")));
  // A directory is not a file to map, and other dispositions are refused.
  EXPECT_FALSE(Open("", GENERIC_READ, OPEN_EXISTING));
  EXPECT_FALSE(Open("other", GENERIC_READ, 2));
  // A second opener is refused until the first closes.
  Write(Work("locked"), "data");
  auto first = Open("locked", GENERIC_READ, OPEN_EXISTING);
  ASSERT_TRUE(first);
  EXPECT_FALSE(Open("locked", GENERIC_READ, OPEN_EXISTING));
  EXPECT_FALSE(Open("locked", Read_Write, OPEN_ALWAYS));
  // Another process is refused too.
  pid_t child = fork();
  if (child == 0) _exit(Open("locked", GENERIC_READ, OPEN_EXISTING) ? 1 : 0);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  first.reset();
  EXPECT_TRUE(Open("locked", GENERIC_READ, OPEN_EXISTING));
}

TEST_F(Mapped_File, ViewsReadOnlyReadWriteAndGrowing) {
  Write(Work("f"), "hello");
  for (uint32_t access : {uint32_t(GENERIC_READ), Read_Write}) {
    auto file = Open("f", access, OPEN_EXISTING);
    ASSERT_TRUE(file);
    auto view = TMapped_File_View::Map(*file, 0);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Writable(), access == Read_Write);
    if (access == Read_Write) {
      std::memcpy(view->Data(), "HE", 2);
      EXPECT_TRUE(view->Flush());
      continue;
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(view->Data()), view->Size()), "hello");
    // A read-only file cannot be mapped or set larger than it is.
    EXPECT_FALSE(TMapped_File_View::Map(*file, 4096) || file->Set_Size(100));
    EXPECT_EQ(file->Size(), 5u);
  }
  EXPECT_EQ(Read(Work("f")), "HEllo");
  // A larger writable mapping grows the file; empty files do not map.
  auto file = Open("g", Read_Write, OPEN_ALWAYS);
  ASSERT_TRUE(file);
  EXPECT_FALSE(TMapped_File_View::Map(*file, 0));
  auto view = TMapped_File_View::Map(*file, 10000);
  ASSERT_TRUE(view);
  EXPECT_TRUE(file->Size() == 10000 && view->Data()[9999] == 0);
  view->Data()[9999] = 7;
  view.reset();
  // Growing again keeps what was written; shrinking cuts.
  ASSERT_TRUE(file->Set_Size(20000));
  view = TMapped_File_View::Map(*file, 0);
  ASSERT_TRUE(view);
  EXPECT_TRUE(view->Size() == 20000 && view->Data()[9999] == 7);
  view.reset();
  ASSERT_TRUE(file->Set_Size(3));
  EXPECT_EQ(file->Size(), 3u);
}

// A file size limit stands in for a full disk: growth fails cleanly and the
// file keeps its length.
TEST_F(Mapped_File, GrowthBeyondTheSpaceLeftFailsWithoutACrash) {
  Write(Work("full"), std::string(1000, 'x'));
  pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {64 * 1024, 64 * 1024};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(10);
    auto file = Open("full", Read_Write, OPEN_EXISTING);
    if (!file) _exit(11);
    if (file->Set_Size(1 << 20) || file->Size() != 1000) _exit(12);
    if (TMapped_File_View::Map(*file, 1 << 20) || file->Size() != 1000) _exit(14);
    if (!file->Set_Size(32 * 1024)) _exit(16);  // within the limit it works
    auto view = TMapped_File_View::Map(*file, 0);
    if (!view || view->Size() != 32 * 1024) _exit(17);
    view->Data()[32 * 1024 - 1] = 'z';
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
  EXPECT_EQ(std::pair(int(WEXITSTATUS(status)), std::filesystem::file_size(Work("full"))), std::pair(0, uintmax_t(32 * 1024)));
}

}  // namespace

#include "platform/system/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/platform/system/small_disk.h"
#include "tests/platform/system/temp_home.h"

namespace {

using File_System = Temp_Home;

TEST_F(File_System, AttributesDeletionFreeSpaceAndWritability) {
  // Delete takes files only; free space and writability are probed.
  Write(Work("f"), "x");
  EXPECT_TRUE(Delete_File(Work("f")));
  EXPECT_FALSE(Delete_File(Work("f")) || Delete_File(Work("")));
  EXPECT_TRUE(File_Exists(Work("")));
  auto space = Get_Free_Space(Work(""));
  ASSERT_TRUE(space);
  EXPECT_GT(space->bytes_per_cluster, 0u);
  EXPECT_FALSE(Get_Free_Space(Work("missing/dir")));

  EXPECT_TRUE(Directory_Writable(Work("")));
  EXPECT_TRUE(std::filesystem::is_empty(Work("")));  // the probe file is gone again
  EXPECT_FALSE(Directory_Writable(Work("missing")) || Directory_Writable("/proc"));
  // Attributes of files, directories and missing paths.
  Write(Work("a.txt"), "x");
  EXPECT_EQ(Get_File_Attributes(Work("a.txt")), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Get_File_Attributes(Work("")), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Get_File_Attributes(Work("missing")), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(File_Exists(Work("a.txt")) && !File_Exists(Work("missing")));
  std::filesystem::create_directory(Work("locked"));
  chmod(Work("locked").c_str(), 0555);
  if (geteuid() != 0) {  // the administrator may write anywhere
    EXPECT_EQ(Get_File_Attributes(Work("locked")), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  }
}

// A disk with blocks to spare but no file left to make is full: nothing can
// be saved on it, and the person is told so.
TEST_F(File_System, ADiskWithoutAFreeInodeHasNoFreeSpaceAndSaysItIsFull) {
  Small_Disk disk(Work("small"), "1m", 16);
  if (!disk.mounted) return disk.Not_Mounted();
  int error = 0;
  EXPECT_TRUE(Directory_Writable(disk.path, &error));
  EXPECT_EQ(error, 0);
  ASSERT_GT(Get_Free_Space(disk.path).value_or(TFree_Space{}).free_clusters, 0u);
  ASSERT_GT(disk.Fill_Inodes(), 0);
  EXPECT_EQ(Get_Free_Space(disk.path).value_or(TFree_Space{1, 1}).free_clusters, 0u);
  EXPECT_FALSE(Directory_Writable(disk.path, &error));
  EXPECT_EQ(error, ENOSPC);
  for (const auto& entry : std::filesystem::directory_iterator(disk.path)) std::filesystem::remove(entry.path());
}

TEST_F(File_System, PathsAtTheLimitAreRefusedNotCut) {
  // Long paths are the system's to refuse: folders of 200 letters deep
  // enough to reach the limit (one name may not pass 255 bytes).
  std::string fits = Work("");
  while (fits.size() + 201 + 200 < MAX_PATH) fits += std::string(200, 'd') + "/";
  std::filesystem::create_directories(fits);
  EXPECT_GT(fits.size(), 3000u);
  EXPECT_EQ(Get_File_Attributes(fits), FILE_ATTRIBUTE_DIRECTORY);
  fits += std::string(MAX_PATH - 1 - fits.size(), 'a');
  std::string too_long = fits + "b";
  ASSERT_EQ(fits.size(), MAX_PATH - 1);
  EXPECT_TRUE(Path_Fits(fits));
  for (const std::string& bad : {too_long, std::string(), std::string("a\0b", 3)}) EXPECT_FALSE(Path_Fits(bad));
  // A path too long must not reach the file under its first characters.
  Write(fits, "x");
  EXPECT_FALSE(File_Exists(too_long) || Delete_File(too_long) || Move_File(fits, too_long));
  EXPECT_TRUE(File_Exists(fits));
  EXPECT_FALSE(Directory_Writable(std::string(MAX_PATH, 'd')));
}

// The same on a file system without the no-replace rename, where the target
// name is claimed by an exclusive create first.
TEST_F(File_System, MoveRefusesAnExistingTarget) {
  for (bool plain_rename : {false, true}) {
    Set_File_System_Faults({.no_replace_rename = plain_rename});
    Write(Work("old"), "old");
    Write(Work("taken"), "taken");
    std::filesystem::create_directories(Work("dir/inside"));
    EXPECT_FALSE(Move_File(Work("old"), Work("taken")));
    EXPECT_FALSE(Move_File(Work("dir"), Work("taken")));
    EXPECT_FALSE(Move_File(Work("taken"), Work("dir")));
    EXPECT_EQ(Read(Work("taken")) + Read(Work("old")), "takenold");
    EXPECT_TRUE(Move_File(Work("old"), Work("new")) && Move_File(Work("dir"), Work("moved")));
    EXPECT_TRUE(std::filesystem::is_directory(Work("moved/inside")));
    EXPECT_EQ(Read(Work("new")), "old");
    EXPECT_FALSE(File_Exists(Work("old")) || File_Exists(Work("dir")));
    EXPECT_FALSE(Move_File(Work("old"), Work("other")) || File_Exists(Work("other")));
    std::filesystem::remove_all(Work(""));
    std::filesystem::create_directory(Work(""));
  }
  Set_File_System_Faults({});
}

TEST_F(File_System, MoveAcrossFileSystemsCopiesAndDeletes) {
  struct stat here, shm;
  if (stat("/dev/shm", &shm) != 0 || stat(root_.c_str(), &here) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system";
  std::string target = "/dev/shm/quendar-move-" + std::to_string(getpid());
  Write(Work("big"), std::string(200000, 'q'));
  ASSERT_TRUE(Move_File(Work("big"), target));
  EXPECT_TRUE(Read(target) == std::string(200000, 'q') && !File_Exists(Work("big")));
  Write(Work("again"), "x");
  EXPECT_FALSE(Move_File(Work("again"), target));  // still no overwrite
  unlink(target.c_str());
  // An original that cannot be deleted: the move fails and leaves no copy.
  Set_File_System_Faults({.original_stays = true});
  EXPECT_FALSE(Move_File(Work("again"), target));
  Set_File_System_Faults({});
  EXPECT_FALSE(File_Exists(target));
  EXPECT_EQ(Read(Work("again")), "x");
}

}  // namespace

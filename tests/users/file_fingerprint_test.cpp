// What the rename's journal knows of a file's bytes: regular files and links,
// every byte of them, so that a file alike (a byte apart, the same size, the
// same blocks here and there) is another file; the earlier program's notes,
// which prove a file only where they covered every byte; and a text read
// back only as the program writes it.
#include <sys/stat.h>

#include "tests/users/users_fixture.h"
#include "users/file_fingerprint.h"

class File_Fingerprint_Test : public Users_Test {};

TEST_F(File_Fingerprint_Test, OnlyARegularFileOrALinkHasOne) {
  Write(Dir("file"), "bytes");
  std::filesystem::create_symlink(Dir("file"), Dir("link"));
  std::filesystem::create_symlink(Dir("file"), Dir("same link"));
  std::filesystem::create_symlink(Dir("other"), Dir("other link"));
  std::filesystem::create_directory(Dir("folder"));
  mkfifo(Dir("fifo").c_str(), 0600);
  const std::optional<File_Fingerprint> file = File_Fingerprint::Of(Dir("file")), link = File_Fingerprint::Of(Dir("link"));
  ASSERT_TRUE(file && link);
  EXPECT_FALSE(file->link);
  // A link is known by where it leads, never by what is there.
  EXPECT_TRUE(link->link);
  EXPECT_FALSE(link->Same_Bytes(*file));
  EXPECT_TRUE(link->Same_Bytes(*File_Fingerprint::Of(Dir("same link"))));
  EXPECT_FALSE(link->Same_Bytes(*File_Fingerprint::Of(Dir("other link"))));
  File_Fingerprint as_file = *link;
  as_file.link = false;
  EXPECT_FALSE(link->Same_Bytes(as_file));
  for (const char* name : {"folder", "fifo", "none"}) EXPECT_FALSE(File_Fingerprint::Of(Dir(name))) << name;
}

// Files a child really has that differ in little: each is another file.
TEST_F(File_Fingerprint_Test, OnlyEveryByteTheSameIsTheSameFile) {
  const size_t large = 3 << 20;
  std::string base(large, '\0');
  for (size_t i = 0; i < base.size(); ++i) base[i] = char(i * 7 >> 3);
  const std::string cycles(225, 'c');
  const struct {
    const char* what;
    std::string noted;
    size_t at;  // where the file now differs (npos: nowhere; size: one byte more)
  } cases[] = {
      {"the same bytes", base, std::string::npos},
      {"the first byte", base, 0},
      {"the last byte", base, large - 1},
      {"a byte between where blocks were sampled", base, 100000},
      {"a byte in the second piece read", base, (1 << 20) + 17},
      {"one byte longer", base, large},
      {"colour cycles a colour apart", cycles, 112},
      {"manipulators a byte apart", "level 4 manipulators", 19},
      {"an empty file, noted empty", "", std::string::npos},
      {"an empty file grown a byte", "", 0},
  };
  for (const auto& c : cases) {
    std::string now = c.noted;
    if (c.at == now.size()) now += 'x';
    else if (c.at != std::string::npos) now[c.at] ^= 1;
    Write(Dir("noted"), c.noted);
    Write(Dir("now"), now);
    const std::optional<File_Fingerprint> noted = File_Fingerprint::Of(Dir("noted")), there = File_Fingerprint::Of(Dir("now"));
    ASSERT_TRUE(noted && there) << c.what;
    EXPECT_EQ(noted->size, c.noted.size()) << c.what;
    EXPECT_EQ(noted->Same_Bytes(*there), c.at == std::string::npos) << c.what;
  }
}

// A journal of the earlier program: a file read whole for its note (small,
// or one whose whole digest it took) is known again by every byte; a larger
// one noted by sampled blocks only proves no file, itself included.
TEST_F(File_Fingerprint_Test, AnEarlierNoteProvesAFileOnlyWhereItCoveredEveryByte) {
  std::string large(100000, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = char(i * 7 >> 3);
  std::string changed = large;
  changed[50000] ^= 1;
  const std::string sampled_parts =
      "/3f0515a4df8dfc0b9805996512995b1dd61349a9834a800ca605734f73c7b27adbbe62f67994e15faec18ff1504746cbb5fd1bf7fa6858"
      "4852020532b57de81a";
  const struct {
    const char* what;
    std::string note, bytes;
    bool proves;
  } cases[] = {
      {"a small file", "7:0cd1b17eeab41e43/2961dea029621b3d29621b3d296228fd2962336a296230c029621447", "Ann.gal", true},
      {"a small file a byte apart", "7:0cd1b17eeab41e43/2961dea029621b3d29621b3d296228fd2962336a296230c029621447",
       "Ann.gam", false},
      {"a large file with its whole digest", "100000:a204e07b74b77c7e:4659ac27a6e85d88" + sampled_parts, large, true},
      {"a large file with its whole digest, changed", "100000:a204e07b74b77c7e:4659ac27a6e85d88" + sampled_parts,
       changed, false},
      {"a large file by its samples", "100000:a204e07b74b77c7e" + sampled_parts, large, false},
  };
  for (const auto& c : cases) {
    Write(Dir("file"), c.bytes);
    const std::optional<File_Fingerprint> noted = File_Fingerprint::Parse_Earlier(c.note);
    const std::optional<File_Fingerprint> now = File_Fingerprint::Of(Dir("file"), true);
    ASSERT_TRUE(noted && now) << c.what;
    EXPECT_EQ(noted->Same_Bytes(*now), c.proves) << c.what;
    EXPECT_EQ(noted->Text(), c.note) << c.what;
    // Never the same as a note of the present kind.
    EXPECT_FALSE(noted->Same_Bytes(*File_Fingerprint::Of(Dir("file")))) << c.what;
  }
}

TEST_F(File_Fingerprint_Test, TheTextReadsBackOnlyAsWritten) {
  File_Fingerprint large{1 << 20, 0x0123456789abcdefull, 0xfedcba9876543210ull, false, false, true, ""};
  File_Fingerprint link{12, 0, 0xaull, true, false, true, ""};
  for (const File_Fingerprint& print : {large, link})
    EXPECT_EQ(File_Fingerprint::Parse(print.Text()), print) << print.Text();
  EXPECT_EQ(large.Text(), "1048576:0123456789abcdeffedcba9876543210");
  EXPECT_EQ(link.Text(), "link:12:0000000000000000000000000000000a");
  for (const char* text : {"", "12", "12:", ":0123456789abcdeffedcba9876543210", "12:a",
                           "12:0123456789abcdeffedcba987654321", "12:0123456789abcdeffedcba98765432100",
                           "12:0123456789abcdeffedcba987654321g", "+12:0123456789abcdeffedcba9876543210",
                           "012:0123456789abcdeffedcba9876543210", "12:0123456789abcdef:fedcba9876543210",
                           "99999999999999999999999:0123456789abcdeffedcba9876543210", "link:",
                           "link:link:12:0123456789abcdeffedcba9876543210", "link:0:0123456789abcdeffedcba9876543210",
                           "link:4096:0123456789abcdeffedcba9876543210", "12:000000000000000a",
                           "3:0123456789abcdeffedcba9876543210/00000001"})
    EXPECT_FALSE(File_Fingerprint::Parse(text)) << text;
  // The earlier program's text, as it wrote it and nothing else.
  for (const char* text : {"1048576:0123456789abcdef:fedcba9876543210", "12:000000000000000a", "link:12:000000000000000a",
                           "3:000000000000000a/00000001abcdef01ffffffff"}) {
    const std::optional<File_Fingerprint> print = File_Fingerprint::Parse_Earlier(text);
    ASSERT_TRUE(print) << text;
    EXPECT_EQ(print->Text(), text);
  }
  for (const char* text : {"", "12", "12:", ":000000000000000a", "12:a", "12:000000000000000g", "+12:000000000000000a",
                           "012:000000000000000a", "12:000000000000000a:000000000000000b",
                           "1048576:0123456789abcdef:", "1048576:0123456789abcdef:fedcba9876543210:0",
                           "link:", "link:link:12:000000000000000a", "link:0:000000000000000a",
                           "link:4096:000000000000000a", "link:12:000000000000000a:000000000000000b",
                           "3:000000000000000a/", "3:000000000000000a/00000001abcdef01",
                           "3:000000000000000a/00000001abcdef01ffffffff0", "0:000000000000000a/00000001",
                           "3:000000000000000a/00000001abcdef01fffffffg", "link:3:000000000000000a/00000001abcdef0100000000"})
    EXPECT_FALSE(File_Fingerprint::Parse_Earlier(text)) << text;
}

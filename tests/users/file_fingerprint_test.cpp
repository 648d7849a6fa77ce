// What the rename's journal knows of a file's bytes: regular files and links,
// larger ones by sampled blocks that tell apart what differs there, every
// byte when asked, and a text read back only as the program writes it.
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
  EXPECT_FALSE(link->Ties_With(*file));
  EXPECT_TRUE(link->Ties_With(*File_Fingerprint::Of(Dir("same link"))));
  EXPECT_FALSE(link->Ties_With(*File_Fingerprint::Of(Dir("other link"))));
  File_Fingerprint as_file = *link;
  as_file.link = false;
  EXPECT_FALSE(link->Ties_With(as_file));
  for (const char* name : {"folder", "fifo", "none"}) EXPECT_FALSE(File_Fingerprint::Of(Dir(name))) << name;
}

TEST_F(File_Fingerprint_Test, SampledBlocksTellApartWhatDiffersThereAndTheWholeDigestTheRest) {
  const size_t large = 1 << 20, all_blocks = File_Fingerprint::Block * File_Fingerprint::Blocks;
  std::string base(large + 1, '\0');
  for (size_t i = 0; i < base.size(); ++i) base[i] = char(i * 7 >> 3);
  // In a file one byte longer than the sampled blocks, the byte just before
  // the last block is between them.
  const size_t unsampled = all_blocks + 1 - File_Fingerprint::Block - 1;
  const struct {
    const char* what;
    size_t size;
    size_t at;  // where the second file's byte differs (npos: nowhere; size: one byte more)
    bool sampled_tie, whole_tie;
  } cases[] = {
      {"the same bytes", large, std::string::npos, true, true},
      {"the first byte", large, 0, false, false},
      {"the last byte", large, large - 1, false, false},
      {"a byte between the sampled blocks", large, 100000, true, false},
      {"one byte longer", large, large, false, false},
      // No larger than the sampled blocks: read whole by them.
      {"a small file, a byte inside", 60000, 30000, false, false},
      {"a byte short of the sampled blocks", all_blocks - 1, unsampled, false, false},
      {"exactly the sampled blocks", all_blocks, unsampled, false, false},
      {"exactly the sampled blocks, the same bytes", all_blocks, std::string::npos, true, true},
      {"a byte more than the sampled blocks", all_blocks + 1, unsampled, true, false},
  };
  for (const auto& c : cases) {
    const std::string one = base.substr(0, c.size);
    std::string other = one;
    if (c.at == c.size) other += 'x';
    else if (c.at != std::string::npos) other[c.at] ^= 1;
    Write(Dir("one"), one);
    Write(Dir("other"), other);
    std::optional<File_Fingerprint> print = File_Fingerprint::Of(Dir("one")), two = File_Fingerprint::Of(Dir("other"));
    ASSERT_TRUE(print && two) << c.what;
    EXPECT_EQ(print->size, c.size) << c.what;
    EXPECT_EQ(print->Ties_With(*two), c.sampled_tie) << c.what;
    ASSERT_TRUE(print->Take_Whole(Dir("one")) && two->Take_Whole(Dir("other"))) << c.what;
    EXPECT_EQ(print->whole == two->whole, c.whole_tie) << c.what;
  }
  // The file changed since it was fingerprinted: no whole digest of it.
  Write(Dir("one"), base);
  std::optional<File_Fingerprint> print = File_Fingerprint::Of(Dir("one"));
  Write(Dir("one"), base + "more");
  EXPECT_FALSE(print->Take_Whole(Dir("one")));
}

// A file another program changed in place is still mostly the file noted;
// another file of the same size, or the same file grown, is not.
TEST_F(File_Fingerprint_Test, AFileIsMostlyTheOneNotedOnlyByItsSizeAndMostOfItsParts) {
  const size_t block = File_Fingerprint::Block, blocks = File_Fingerprint::Blocks, large = 1 << 20;
  std::string base(large, '\0');
  for (size_t i = 0; i < base.size(); ++i) base[i] = char(i * 7 >> 3);
  // The large file with its first n sampled blocks rewritten.
  auto rewritten = [&](size_t n) {
    std::string bytes = base;
    for (size_t i = 0; i < n; ++i) bytes[i * ((large - block) / (blocks - 1)) + 5] ^= 1;
    return bytes;
  };
  const struct {
    const char* what;
    std::string noted, now;
    bool mostly;
  } cases[] = {
      {"a byte rewritten in a small file", "Ann.gal", "~nn.gal", true},
      {"an older copy of another's small file", "Ann.gal", "Bob.ga1", false},
      {"half the parts the same", "abcdefgh", "abcdWXYZ", false},
      {"just over half the parts the same", "abcdefgh", "abcdeXYZ", true},
      {"the same bytes and one more", "Ann.gal", "Ann.gal!", false},
      {"a large file of zeros and one zero more", std::string(large, '\0'), std::string(large + 1, '\0'), false},
      {"an empty file, noted empty", "", "", false},
      {"an empty file in place of one", "Ann.gal", "", false},
      {"the same bytes", base, base, true},
      {"seven sampled blocks of sixteen rewritten", base, rewritten(7), true},
      {"eight sampled blocks of sixteen rewritten", base, rewritten(8), false},
  };
  for (const auto& c : cases) {
    Write(Dir("noted"), c.noted);
    Write(Dir("now"), c.now);
    const std::optional<File_Fingerprint> noted = File_Fingerprint::Of(Dir("noted")), now = File_Fingerprint::Of(Dir("now"));
    ASSERT_TRUE(noted && now) << c.what;
    EXPECT_EQ(noted->parts.size(), File_Fingerprint::Parts(c.noted.size())) << c.what;
    EXPECT_EQ(noted->Mostly(*now), c.mostly) << c.what;
    // Noted by an earlier program, without its parts: nothing shows it.
    File_Fingerprint earlier = *noted;
    earlier.parts.clear();
    EXPECT_FALSE(earlier.Mostly(*now)) << c.what;
  }
  // A link is never mostly a file, nor another link.
  std::filesystem::create_symlink(Dir("noted"), Dir("link"));
  const std::optional<File_Fingerprint> link = File_Fingerprint::Of(Dir("link"));
  ASSERT_TRUE(link);
  EXPECT_FALSE(link->Mostly(*link));
}

TEST_F(File_Fingerprint_Test, TheTextReadsBackOnlyAsWritten) {
  File_Fingerprint large{1 << 20, 0x0123456789abcdefull, 0xfedcba9876543210ull, true, false, {}};
  File_Fingerprint small{12, 0xaull, 0, false, false, {}};
  File_Fingerprint link{12, 0xaull, 0, false, true, {}};
  File_Fingerprint parted{3, 0xaull, 0, false, false, {0x1, 0xabcdef01, 0xffffffff}};
  for (const File_Fingerprint& print : {large, small, link, parted})
    EXPECT_EQ(File_Fingerprint::Parse(print.Text()), print) << print.Text();
  EXPECT_EQ(large.Text(), "1048576:0123456789abcdef:fedcba9876543210");
  EXPECT_EQ(link.Text(), "link:12:000000000000000a");
  EXPECT_EQ(parted.Text(), "3:000000000000000a/00000001abcdef01ffffffff");
  for (const char* text : {"", "12", "12:", ":000000000000000a", "12:a", "12:000000000000000g", "+12:000000000000000a",
                           "012:000000000000000a", "12:000000000000000a:000000000000000b",
                           "1048576:0123456789abcdef:", "1048576:0123456789abcdef:fedcba9876543210:0",
                           "99999999999999999999999:000000000000000a", "link:", "link:link:12:000000000000000a",
                           "link:0:000000000000000a", "link:4096:000000000000000a",
                           "link:12:000000000000000a:000000000000000b", "3:000000000000000a/",
                           "3:000000000000000a/00000001abcdef01", "3:000000000000000a/00000001abcdef01ffffffff0",
                           "0:000000000000000a/00000001",
                           "3:000000000000000a/00000001abcdef01fffffffg", "link:3:000000000000000a/00000001abcdef0100000000"})
    EXPECT_FALSE(File_Fingerprint::Parse(text)) << text;
}

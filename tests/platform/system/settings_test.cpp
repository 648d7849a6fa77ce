#include "platform/system/settings.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "tests/platform/system/temp_home.h"

namespace {

using Settings = Temp_Home;

TEST_F(Settings, ValuesFromTheConfigFile) {
  Write(root_ + "/config/quendar/settings",
        "# the program's settings\n"
        "[Quendar]\n"
        "UserPath=/srv/children\r\n"
        "  ProgPath =  /opt/quendar  \n"
        "Empty=\n"
        "Twice=first\n"
        "twice=second\n"
        "Equation=a=b\n");
  EXPECT_EQ(TSettings::File_Path(), root_ + "/config/quendar/settings");
  // Names ignore case, values are trimmed, the last of a name counts.
  const std::pair<const char*, std::optional<std::string>> values[] = {
      {"UserPath", "/srv/children"}, {"userpath", "/srv/children"}, {"ProgPath", "/opt/quendar"}, {"Empty", ""},
      {"Twice", "second"}, {"Equation", "a=b"}, {"Missing", std::nullopt}, {"", std::nullopt}};
  for (const auto& [name, value] : values) EXPECT_EQ(TSettings::Read(name), value) << name;

  char buffer[16];
  EXPECT_EQ(TSettings::Read("ProgPath", buffer, sizeof buffer), 13u);  // with its zero
  EXPECT_STREQ(buffer, "/opt/quendar");
  // Too small a buffer, and a missing name, give nothing.
  EXPECT_TRUE(TSettings::Read("ProgPath", buffer, 12) == 0 && TSettings::Read("Missing", buffer, sizeof buffer) == 0);
}

TEST_F(Settings, MissingFileGivesNoValueAndTheInstalledUserPathThenTheHomeDirectoriesServe) {
  EXPECT_FALSE(TSettings::Read("ProgPath"));
  EXPECT_EQ(TSettings::Read("UserPath"), root_ + "/data/Quendar");
  EXPECT_TRUE(std::filesystem::is_directory(root_ + "/data/Quendar"));  // made when missing
  Set("XDG_CONFIG_HOME", std::nullopt);
  Set("XDG_DATA_HOME", "relative/is/ignored");
  Write(root_ + "/home/.config/quendar/settings", "ProgPath=/p\n");
  EXPECT_EQ(TSettings::Read("ProgPath"), "/p");
  EXPECT_EQ(TSettings::Read("UserPath"), root_ + "/home/.local/share/Quendar");
  Set("HOME", std::nullopt);
  EXPECT_FALSE(TSettings::Read("ProgPath") || TSettings::Read("UserPath"));
}

TEST_F(Settings, MalformedOrUnreadableSettingsAreNoValue) {
  const char text[] = "no equals sign here\n=nameless\nBinary=a\0b\n\xff\xfe=junk\nGood=yes";
  Write(root_ + "/config/quendar/settings", std::string(text, sizeof text - 1));
  EXPECT_FALSE(TSettings::Read("no equals sign here") || TSettings::Read("Binary"));
  EXPECT_EQ(TSettings::Read("Good"), "yes");
  // A directory where the file should be, and a file too large to be ours.
  const std::string file = root_ + "/config/quendar/settings";
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  EXPECT_FALSE(TSettings::Read("Good"));
  std::filesystem::remove(file);
  Write(file, "Good=yes\n" + std::string(2 << 20, '#'));
  EXPECT_FALSE(TSettings::Read("Good"));
  // A FIFO would block a reader for ever: refused unread.
  std::filesystem::remove(file);
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
  auto read = std::async(std::launch::async, [] { return TSettings::Read("Good"); });
  if (read.wait_for(std::chrono::seconds(60)) == std::future_status::timeout) {  // a busy machine may be slow
    ADD_FAILURE() << "the reader blocks on a FIFO";
    close(open(file.c_str(), O_WRONLY));  // lets it go
  }
  EXPECT_FALSE(read.get());
  // The user path falls back to the installed default whatever the file is.
  EXPECT_EQ(TSettings::Read("UserPath"), root_ + "/data/Quendar");
}

}  // namespace

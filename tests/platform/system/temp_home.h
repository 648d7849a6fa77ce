// A fresh home for one test: a temporary directory that HOME and the XDG
// variables point into while the test runs, removed afterwards, so no test
// touches the real ones.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// While it lives, a test run by the administrator acts as an ordinary user
// (the effective user "nobody"), so that file permissions bite as they do
// for a person; every folder under root is opened to that user first.
// Nothing changes for a test run by an ordinary user.
class Ordinary_User_Scope {
 public:
  explicit Ordinary_User_Scope(const std::string& root) {
    if (geteuid() != 0) return;
    chmod(root.c_str(), 0777);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
      if (entry.is_directory()) chmod(entry.path().c_str(), 0777);
    was_root_ = seteuid(65534) == 0;
  }
  ~Ordinary_User_Scope() {
    if (was_root_) (void)!seteuid(0);
  }
  Ordinary_User_Scope(const Ordinary_User_Scope&) = delete;
  Ordinary_User_Scope& operator=(const Ordinary_User_Scope&) = delete;

 private:
  bool was_root_ = false;
};

class Temp_Home : public ::testing::Test {
 public:
  static void Write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 protected:
  Temp_Home() {
    char pattern[] = "/tmp/quendar-test-XXXXXX";
    root_ = mkdtemp(pattern);
    for (const char* dir : {"home", "config", "data", "runtime", "work"})
      std::filesystem::create_directory(root_ + "/" + dir);
    chmod((root_ + "/runtime").c_str(), 0700);
    Set("HOME", root_ + "/home");
    Set("XDG_CONFIG_HOME", root_ + "/config");
    Set("XDG_DATA_HOME", root_ + "/data");
    Set("XDG_RUNTIME_DIR", root_ + "/runtime");
  }
  ~Temp_Home() override {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) Put(it->first, it->second);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // Sets (or with nullopt unsets) a variable until the test ends.
  void Set(const std::string& name, std::optional<std::string> value) {
    const char* old = getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    Put(name, value);
  }

  std::string Work(const std::string& name) const { return root_ + "/work/" + name; }

  std::string root_;

 private:
  static void Put(const std::string& name, const std::optional<std::string>& value) {
    value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Cases of a test that only the administrator can run (a file made
// unchangeable, a file shown to another user). Run by anyone else, the
// test leaves them out and ends skipped, naming them and why. Run by the
// administrator, nothing may be left out: a case left out then fails the
// test, and so does a test that came to run none of these cases, so that a
// case wrongly left out is never reported as passed.
//
//   Root_Only_Cases root_only("only the administrator may ...");
//   for (const Case& c : cases) {
//     if (c.needs_root && root_only.Left_Out(c.name)) continue;
//     ...
//   }
//   root_only.End();
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

class Root_Only_Cases {
 public:
  explicit Root_Only_Cases(std::string why_) : why(std::move(why_)) {}

  // Whether the case is left out here (noted for the end); one that is not
  // is counted as run.
  bool Left_Out(const std::string& name) {
    if (geteuid() == 0) {
      ++run;
      return false;
    }
    const std::string entry = " \"" + name + "\"";
    if (left_out.find(entry) == std::string::npos) left_out += entry;
    return true;
  }

  // At the test's end: skipped when anything was left out; failed when that
  // happened under the administrator, or when none of these cases came to
  // be run there at all.
  void End() const {
    if (geteuid() == 0) {
      if (!left_out.empty()) ADD_FAILURE() << "left out though run by the administrator:" << left_out;
      if (run == 0) ADD_FAILURE() << "no case only the administrator can run was run: " << why;
      return;
    }
    if (!left_out.empty()) GTEST_SKIP() << "left out:" << left_out << ": " << why;
  }

 private:
  std::string why;
  std::string left_out;
  int run = 0;
};

// Opening a link in the desktop's default browser: the program $BROWSER
// names (when set and found), else xdg-open, is started with the target as
// its one argument, never through a shell, and not waited for.
#pragma once

#include <string>

enum class Browser_Result {
  Started,
  Not_Found,    // no opener on the search path
  Not_Started,  // the opener was found but could not be run
};

Browser_Result Open_In_Browser(const std::string& target);

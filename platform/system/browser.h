// Opening a link in the desktop's default browser: xdg-open is started with
// the target and not waited for.
#pragma once

#include <string>

enum class Browser_Result {
  Started,
  Not_Found,    // no opener on the search path
  Not_Started,  // the opener was found but could not be run
};

Browser_Result Open_In_Browser(const std::string& target);

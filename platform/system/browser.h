// Opening a link in the desktop's default browser: the program $BROWSER
// names (when set and found), else xdg-open, is started with the target as
// its one argument, never through a shell, and not waited for: a watch,
// when given, hears on its own thread whether the opener failed.
#pragma once

#include <string>

#include "platform/system/opener_watch.h"

enum class Browser_Result {
  Started,
  Not_Found,    // no opener on the search path
  Not_Started,  // the opener was found but could not be run
};

Browser_Result Open_In_Browser(const std::string& target, TOpener_Watch* watch = nullptr);

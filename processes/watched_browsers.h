#pragma once
// The browsers and other programs that keep their caches open while they run, and which of them
// run now.
#include <string>
#include <vector>

#include "platform/processes.h"

struct TWatchedBrowser {
  std::string ProcessName;  // the executable name it runs under
  std::string DisplayName;  // as the running-applications dialog lists it
};

// The watched programs among the running processes, once per running process, in snapshot
// order. Names are compared exactly: only the names these programs really run under.
std::vector<TWatchedBrowser> RunningWatchedBrowsers(platform::Processes& processes);

#include "processes/watched_browsers.h"

#include "processes/myprocessunit.h"

namespace {

struct WatchedApplication {
  const char* process_name;
  const char* display_name;
};

constexpr WatchedApplication kWatchedApplications[] = {
    {"firefox.exe", "Mozilla Firefox"},
    {"opera.exe", "Opera"},
};

}  // namespace

std::vector<TWatchedBrowser> RunningWatchedBrowsers(platform::Processes& processes) {
  std::vector<TProcessEntry> running;
  ListRunningProcesses(processes, running);
  std::vector<TWatchedBrowser> found;
  for (const TProcessEntry& process : running)
    for (const WatchedApplication& watched : kWatchedApplications)
      if (process.Name == watched.process_name) found.push_back({watched.process_name, watched.display_name});
  return found;
}

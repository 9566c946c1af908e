#include "processes/watched_browsers.h"

#include "processes/myprocessunit.h"

namespace {

struct WatchedApplication {
  const char* process_name;
  const char* display_name;
};

// Each holds its cache open while it runs. The Chromium family after the two first watched, in
// the order of their rules in the trace definitions.
constexpr WatchedApplication kWatchedApplications[] = {
    {"firefox.exe", "Mozilla Firefox"}, {"opera.exe", "Opera"}, {"chrome.exe", "Google Chrome"},
    {"msedge.exe", "Microsoft Edge"},   {"brave.exe", "Brave"}, {"vivaldi.exe", "Vivaldi"},
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

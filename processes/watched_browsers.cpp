#include "processes/watched_browsers.h"

#include "processes/myprocessunit.h"

namespace {

struct WatchedApplication {
  const char* process_name;
  const char* display_name;
};

// Each holds its cache open while it runs. The Chromium family after the two first watched, in
// the order of their rules in the trace definitions; then the other programs whose caches and logs
// the rules clean, under the names their executables have.
constexpr WatchedApplication kWatchedApplications[] = {
    {"firefox.exe", "Mozilla Firefox"},
    {"opera.exe", "Opera"},
    {"chrome.exe", "Google Chrome"},
    {"msedge.exe", "Microsoft Edge"},
    {"brave.exe", "Brave"},
    {"vivaldi.exe", "Vivaldi"},
    {"ms-teams.exe", "Microsoft Teams"},
    {"Teams.exe", "Microsoft Teams (classic)"},
    {"Discord.exe", "Discord"},
    {"DiscordPTB.exe", "Discord PTB"},
    {"DiscordCanary.exe", "Discord Canary"},
    {"slack.exe", "Slack"},
    {"Zoom.exe", "Zoom"},
    {"Code.exe", "Visual Studio Code"},
    {"Spotify.exe", "Spotify"},
    {"steam.exe", "Steam"},
    {"EpicGamesLauncher.exe", "Epic Games Launcher"},
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

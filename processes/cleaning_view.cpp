// PrepareCleaningView: the running-applications check before a cleaning run, and the results
// page's layout for the run (or its restoration after a refused one). Main thread only.
#include <vector>

#include "app/dlgMain.h"
#include "processes/dlgStartedApps.h"
#include "processes/myprocessunit.h"

namespace {

struct WatchedApplication {
  const char* process_name;
  const char* display_name;
};

// Browsers that keep their caches open while they run.
constexpr WatchedApplication kWatchedApplications[] = {
    {"firefox.exe", "Mozilla Firefox"},
    {"opera.exe", "Opera"},
};

void SetColumnWidth(ui::TListView& list, const std::string& caption, int width) {
  for (size_t i = 0; i < list.Columns().size(); ++i)
    if (list.Columns()[i].Caption == caption) list.SetColumnWidth(i, width);
}

}  // namespace

bool TfrmMain::PrepareCleaningView(bool Starting) {
  if (Starting) {
    platform::Processes& processes = ctx_.os.processes;
    TfrmStartedApps* dialog = ctx_.forms.frmStartedApps;
    std::vector<TProcessEntry> running;
    ListRunningProcesses(processes, running);
    dialog->ListBox1->Clear();
    std::vector<std::string> to_close;
    for (const TProcessEntry& process : running) {
      for (const WatchedApplication& watched : kWatchedApplications) {
        // Exact comparison: only the names these browsers really run under.
        if (process.Name != watched.process_name) continue;
        dialog->ListBox1->Add(watched.display_name);
        to_close.push_back(watched.process_name);
      }
    }
    if (!dialog->ListBox1->Items().empty()) {
      const ui::TModalResult answer = dialog->ShowModal();
      if (answer == ui::TModalResult::mrYes) {
        for (const std::string& name : to_close) TerminateProcessesByName(processes, name);
      } else if (answer != ui::TModalResult::mrIgnore) {
        return false;  // Cancel, the close box, or any answer that is not a go-ahead
      }
    }
  }

  lbTracesLabel->SetVisible(false);
  lbSummarySize->SetVisible(false);
  lbBinsFound->SetVisible(false);
  lbBinsSize->SetVisible(false);
  TimerTicks = 0;
  lbCurrentPosition->SetVisible(Starting);
  lbCurrentPath->SetVisible(Starting);

  if (Starting) {
    RepaintAboutLink();
    SetColumnWidth(*lvFound, "Cleaning Status", 150);
    SetColumnWidth(*lvFound, "Garbage Items", 370);
  }
  return true;
}

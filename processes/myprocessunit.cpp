#include "processes/myprocessunit.h"

#include "platform/text.h"

namespace {

std::string ExtractFileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool ListRunningProcesses(platform::Processes& processes, std::vector<TProcessEntry>& List) {
  List.clear();
  const auto snapshot = processes.Snapshot();
  if (!snapshot) return false;
  for (const platform::SnapshotEntry& entry : *snapshot) {
    TProcessEntry process;
    process.ProcessId = entry.process_id;
    if (entry.process_id == 0) {
      process.Name = "System Idle Process";
    } else {
      process.Name = GetProcessImageName(processes, entry.process_id);
      if (process.Name.empty()) process.Name = entry.exe_file;
    }
    List.push_back(process);
  }
  return true;
}

std::string GetProcessImageName(platform::Processes& processes, uint32_t ProcessId) {
  return processes.ModuleBaseName(ProcessId);
}

bool TerminateProcessesByName(platform::Processes& processes, const std::string& Name) {
  const auto snapshot = processes.Snapshot();
  if (!snapshot) return false;
  bool last_outcome = false;
  for (const platform::SnapshotEntry& entry : *snapshot) {
    if (!platform::SameText(Name, ExtractFileName(entry.exe_file)) && !platform::SameText(Name, entry.exe_file))
      continue;
    last_outcome = processes.Terminate(entry.process_id, 0);
  }
  return last_outcome;
}

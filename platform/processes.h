#pragma once
// Process snapshot, names and termination.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct SnapshotEntry {
  uint32_t process_id = 0;
  std::string exe_file;  // szExeFile of the snapshot entry
};

class Processes {
 public:
  virtual ~Processes() = default;
  // CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS) walked with Process32First/Next; nothing when
  // no snapshot can be taken.
  virtual std::optional<std::vector<SnapshotEntry>> Snapshot() = 0;
  // OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ) + GetModuleBaseNameA; empty when
  // the process cannot be opened or psapi is missing.
  virtual std::string ModuleBaseName(uint32_t process_id) = 0;
  // OpenProcess(PROCESS_TERMINATE) + TerminateProcess(exit code); false when either fails.
  virtual bool Terminate(uint32_t process_id, uint32_t exit_code) = 0;
};

}  // namespace platform

// The process service over the tool-help snapshot, PSAPI and TerminateProcess.
#include <windows.h>
// windows.h first: tlhelp32.h needs its types.
#include <tlhelp32.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

// The ANSI entry as a 32-bit program passes it; a wrong size makes Process32First fail.
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32) == 296);

constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x0410

using GetModuleBaseNameAFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

// PSAPI is loaded on first use, so that a system without it still lists processes (under the
// snapshot's names). The library stays loaded for the life of the process.
GetModuleBaseNameAFn ModuleBaseNameFunction() {
  static const GetModuleBaseNameAFn function = [] {
    HMODULE psapi = LoadLibraryA("psapi.dll");
    if (psapi == nullptr) return GetModuleBaseNameAFn{nullptr};
    return reinterpret_cast<GetModuleBaseNameAFn>(reinterpret_cast<void*>(GetProcAddress(psapi, "GetModuleBaseNameA")));
  }();
  return function;
}

class Win32Processes : public Processes {
 public:
  std::optional<std::vector<SnapshotEntry>> Snapshot() override {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<SnapshotEntry> entries;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
      entry.szExeFile[MAX_PATH - 1] = '\0';
      entries.push_back({entry.th32ProcessID, entry.szExeFile});
    }
    CloseHandle(snapshot);
    return entries;
  }

  std::string ModuleBaseName(uint32_t process_id) override {
    const GetModuleBaseNameAFn base_name = ModuleBaseNameFunction();
    if (base_name == nullptr) return "";
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, process_id);
    if (process == nullptr) return "";
    char buffer[MAX_PATH] = {};
    const DWORD length = base_name(process, nullptr, buffer, MAX_PATH);
    CloseHandle(process);
    if (length == 0) return "";
    buffer[MAX_PATH - 1] = '\0';
    return buffer;
  }

  bool Terminate(uint32_t process_id, uint32_t exit_code) override {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, process_id);
    if (process == nullptr) return false;
    const bool ended = TerminateProcess(process, exit_code) != FALSE;
    CloseHandle(process);
    return ended;
  }
};

}  // namespace

std::unique_ptr<Processes> CreateProcesses() { return std::make_unique<Win32Processes>(); }

}  // namespace platform::win32

// The process service over the tool-help snapshot, PSAPI and TerminateProcess.
#include <windows.h>
// windows.h first: tlhelp32.h needs its types.
#include <tlhelp32.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

// The wide entry as a 32-bit program passes it; a wrong size makes Process32FirstW fail.
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32W) == 556);

constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x0410

using GetModuleBaseNameWFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);

// PSAPI is loaded on first use, so that a system without it still lists processes (under the
// snapshot's names). The library stays loaded for the life of the process.
GetModuleBaseNameWFn ModuleBaseNameFunction() {
  static const GetModuleBaseNameWFn function = [] {
    HMODULE psapi = LoadLibraryA("psapi.dll");
    if (psapi == nullptr) return GetModuleBaseNameWFn{nullptr};
    return reinterpret_cast<GetModuleBaseNameWFn>(reinterpret_cast<void*>(GetProcAddress(psapi, "GetModuleBaseNameW")));
  }();
  return function;
}

class Win32Processes : public Processes {
 public:
  std::optional<std::vector<SnapshotEntry>> Snapshot() override {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<SnapshotEntry> entries;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
      entry.szExeFile[MAX_PATH - 1] = L'\0';
      entries.push_back({entry.th32ProcessID, Utf8(entry.szExeFile)});
    }
    CloseHandle(snapshot);
    return entries;
  }

  std::string ModuleBaseName(uint32_t process_id) override {
    const GetModuleBaseNameWFn base_name = ModuleBaseNameFunction();
    if (base_name == nullptr) return "";
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, process_id);
    if (process == nullptr) return "";
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = base_name(process, nullptr, buffer, MAX_PATH);
    CloseHandle(process);
    if (length == 0) return "";
    buffer[MAX_PATH - 1] = L'\0';
    return Utf8(buffer);
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

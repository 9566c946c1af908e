#include "tests/wine/support/fake_browser.h"

#include <string>

namespace {

// The build folder that holds firefox.exe. The tests run from a Unix path (the prefix has no
// drive for it), which Wine opens through its \\?\unix\ namespace.
std::string BuildFolder() {
  std::string folder = std::string("\\\\?\\unix") + CX_EXE_DIR + "/";
  for (char& c : folder)
    if (c == '/') c = '\\';
  return folder;
}

}  // namespace

HANDLE StartFakeFirefox(const std::string& arguments) {
  std::string command = "\"" + BuildFolder() + "firefox.exe\"";
  if (!arguments.empty()) command += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return nullptr;
  CloseHandle(info.hThread);
  return info.hProcess;
}

void EndFakeFirefox(HANDLE firefox) {
  if (!firefox) return;
  if (WaitForSingleObject(firefox, 0) != WAIT_OBJECT_0) TerminateProcess(firefox, 1);
  CloseHandle(firefox);
}

#include "tests/wine/support/fake_browser.h"

#include <string>

namespace {

// The build folder that holds the stand-ins. The tests run from a Unix path (the prefix has no
// drive for it), which Wine opens through its \\?\unix\ namespace.
std::string BuildFolder() {
  std::string folder = std::string("\\\\?\\unix") + CX_EXE_DIR + "/";
  for (char& c : folder)
    if (c == '/') c = '\\';
  return folder;
}

}  // namespace

HANDLE StartFakeBrowser(const std::string& executable, const std::string& arguments) {
  std::string command = "\"" + BuildFolder() + executable + "\"";
  if (!arguments.empty()) command += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return nullptr;
  CloseHandle(info.hThread);
  return info.hProcess;
}

void EndFakeBrowser(HANDLE browser) {
  if (!browser) return;
  if (WaitForSingleObject(browser, 0) != WAIT_OBJECT_0) TerminateProcess(browser, 1);
  CloseHandle(browser);
}

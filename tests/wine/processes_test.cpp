// The process service and the process functions against the real snapshot, PSAPI and
// TerminateProcess, with a stand-in browser (firefox.exe, built beside this program).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "processes/myprocessunit.h"
#include "tests/wine/support/fake_browser.h"

namespace {

std::string OwnBaseName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  return name.substr(name.find_last_of('\\') + 1);
}

// Starts firefox.exe from beside this program; the destructor signals it to end if the test did
// not, and waits for it.
class StandInBrowser {
 public:
  StandInBrowser() {
    event_name_ = "cx-firefox-quit-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count_);
    quit_ = CreateEventA(nullptr, TRUE, FALSE, event_name_.c_str());
    process_ = StartFakeBrowser("firefox.exe", event_name_);
    if (process_) id_ = GetProcessId(process_);
  }
  ~StandInBrowser() {
    SetEvent(quit_);
    if (process_) {
      WaitForSingleObject(process_, INFINITE);
      CloseHandle(process_);
    }
    CloseHandle(quit_);
  }
  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // Waits until the process has ended; true when it did within a generous bound.
  bool Ended() const { return WaitForSingleObject(process_, 30000) == WAIT_OBJECT_0; }

 private:
  static inline int count_ = 0;
  std::string event_name_;
  HANDLE quit_ = nullptr;
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

bool Lists(const std::vector<TProcessEntry>& list, const std::string& name, uint32_t id) {
  return std::any_of(list.begin(), list.end(),
                     [&](const TProcessEntry& e) { return e.ProcessId == id && e.Name == name; });
}

TEST(ProcessesWineTest, TheSnapshotListsThisProcessByItsModuleName) {
  auto processes = platform::win32::CreateProcesses();
  std::vector<TProcessEntry> list;
  ASSERT_TRUE(ListRunningProcesses(*processes, list));
  EXPECT_GT(list.size(), 1u);
  EXPECT_TRUE(Lists(list, OwnBaseName(), GetCurrentProcessId())) << OwnBaseName();
  EXPECT_EQ(GetProcessImageName(*processes, GetCurrentProcessId()), OwnBaseName());
  EXPECT_EQ(GetProcessImageName(*processes, 0xFFFFFFF0u), "");  // no such process
}

TEST(ProcessesWineTest, TerminateProcessesByNameEndsEveryStandInBrowser) {
  auto processes = platform::win32::CreateProcesses();
  StandInBrowser first, second;
  ASSERT_TRUE(first.started() && second.started()) << "firefox.exe must lie beside the tests";

  std::vector<TProcessEntry> list;
  ASSERT_TRUE(ListRunningProcesses(*processes, list));
  EXPECT_TRUE(Lists(list, "firefox.exe", first.id()));
  EXPECT_TRUE(Lists(list, "firefox.exe", second.id()));

  EXPECT_TRUE(TerminateProcessesByName(*processes, "FIREFOX.EXE"));
  EXPECT_TRUE(first.Ended());
  EXPECT_TRUE(second.Ended());
  EXPECT_FALSE(TerminateProcessesByName(*processes, "no-such-program.exe"));
}

}  // namespace

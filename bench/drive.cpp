// Drives the installed clutterix.exe through one benchmark job, as a person would: press the start
// picture, wait for the results page, and with "--clean" press "Clean All" and wait for the run to
// end. Meanwhile a second thread sends the main window a message every 50 ms and keeps the longest
// wait for its answer. Prints one line of figures:
//   scan_seconds=<s> rows=<n> found="<Traces Found label>" scan_answer_ms=<ms> scan_answer_at=<s>
//   [clean_seconds=<s> clean_answer_ms=<ms>] peak_working_set=<bytes>
#include <windows.h>
// clang-format off
#include <commctrl.h>
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "tests/wine/support/gui_driver.h"

#include "bench/clock.h"

namespace {

// The longest answer of the main window to a sent message, per phase of the run.
class Pinger {
 public:
  explicit Pinger(HWND window) : window_(window), thread_([this] { Run(); }) {}
  ~Pinger() {
    stop_ = true;
    thread_.join();
  }
  // The longest wait since the last call, in milliseconds, and when it began (seconds on Now()).
  double TakeLongest() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(longest_us_, 0) / 1000.0;
  }
  double LongestBegan() {
    std::lock_guard<std::mutex> lock(mutex_);
    return longest_began_;
  }

 private:
  void Run() {
    while (!stop_) {
      const double start = Now();
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
      const long long waited = static_cast<long long>((Now() - start) * 1e6);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (waited > longest_us_) {
          longest_us_ = waited;
          longest_began_ = start;
        }
      }
      Sleep(50);
    }
  }
  HWND window_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  long long longest_us_ = 0;
  double longest_began_ = 0;
  std::thread thread_;
};

bool Ready(HWND button) { return IsWindowVisible(button) && IsWindowEnabled(button); }

// Polls every 10 ms, so that the wait itself takes little of the machine from the program.
template <class Pred>
bool WaitFor(Pred pred, double timeout_s) {
  const double start = Now();
  while (!pred()) {
    if (Now() - start > timeout_s) return false;
    Sleep(10);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  bool clean = false;
  double timeout_s = 3600;  // per phase
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--clean") clean = true;
    if (arg.rfind("--timeout=", 0) == 0) timeout_s = std::atof(arg.c_str() + 10);
  }
  GuiProgram program;
  HWND main = program.WaitForWindow("Clutterix");
  if (!main) {
    std::fprintf(stderr, "drive: the main window did not appear\n");
    return 1;
  }
  if (HWND warning = program.WaitForWindow("Not enought rights.", 1000)) ClickControl(FindChild(warning, "Close"));
  HWND start = FindChildAt(main, "CxPicture", 459, 185);
  HWND clean_all = FindChild(main, "Clean All");
  if (!start || !clean_all) {
    std::fprintf(stderr, "drive: the start picture or \"Clean All\" not found\n");
    return 1;
  }

  Pinger pinger(main);
  pinger.TakeLongest();
  const double scan_start = Now();
  ClickControl(start);
  if (!WaitFor([&] { return Ready(clean_all); }, timeout_s)) {
    std::printf("scan_seconds=timeout\n");
    std::fprintf(stderr, "drive: the scan did not reach the results page within %.0f s\n", timeout_s);
    return 1;
  }
  const double scan_seconds = Now() - scan_start;
  const double scan_answer_at = pinger.LongestBegan() - scan_start;
  const double scan_answer = pinger.TakeLongest();
  // The results page places them.
  HWND list = nullptr;
  HWND found_label = nullptr;
  WaitFor(
      [&] {
        list = FindChildAt(main, "SysListView32", 24, 182);
        found_label = FindChildAt(main, "CxLabel", 550, 127);
        return list && found_label;
      },
      10);
  if (!list || !found_label) {
    std::fprintf(stderr, "drive: the results list or \"Traces Found\" not found after %.1f s\n", scan_seconds);
    return 1;
  }
  const long rows = static_cast<long>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  std::printf("scan_seconds=%.3f rows=%ld found=\"%s\" scan_answer_ms=%.1f scan_answer_at=%.1f", scan_seconds, rows,
              WindowText(found_label).c_str(), scan_answer, scan_answer_at);

  if (clean) {
    const double clean_start = Now();
    PostMessageA(clean_all, BM_CLICK, 0, 0);
    const bool began = WaitFor([&] { return !IsWindowEnabled(clean_all); }, 60);
    if (!began || !WaitFor([&] { return Ready(clean_all); }, timeout_s)) {
      std::printf(" clean_seconds=timeout\n");
      std::fprintf(stderr, "drive: the cleaning run did not %s within the time allowed\n", began ? "end" : "start");
      return 1;
    }
    const double clean_seconds = Now() - clean_start;
    // When the longest wait began tells the start of a run, its middle and its end apart.
    const double answer_at = pinger.LongestBegan() - clean_start;
    std::printf(" clean_seconds=%.3f clean_answer_ms=%.1f clean_answer_at=%.1f", clean_seconds, pinger.TakeLongest(),
                answer_at);
  }

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.id());
  if (process && GetProcessMemoryInfo(process, &memory, sizeof memory)) {
    std::printf(" peak_working_set=%lu", static_cast<unsigned long>(memory.PeakWorkingSetSize));
  }
  if (process) CloseHandle(process);
  std::printf("\n");
  std::fflush(stdout);
  PostMessageA(main, WM_CLOSE, 0, 0);
  return program.WaitForExit(120000) ? 0 : 1;
}

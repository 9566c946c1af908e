#include "platform/win32/main_thread_win32.h"

#include <windows.h>

#include <exception>

namespace platform::win32 {

namespace {

constexpr const char* kClassName = "CxMainThread";
constexpr UINT kRunTask = WM_APP + 1;

// One task in flight: filled by the worker, run and answered by the GUI thread.
struct Job {
  const std::function<void()>* task;
  bool ran = false;
  std::exception_ptr error;
};

LRESULT CALLBACK MainThreadProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kRunTask) {
    auto* job = reinterpret_cast<Job*>(lp);
    try {
      (*job->task)();
    } catch (...) {
      job->error = std::current_exception();
    }
    job->ran = true;
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

Win32MainThread::Win32MainThread() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = MainThreadProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);  // fails harmlessly when a second instance registers it again
  window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  worker_ended_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

Win32MainThread::~Win32MainThread() {
  Shutdown();
  if (worker_ended_) CloseHandle(worker_ended_);
}

void Win32MainThread::WorkerEnded() {
  if (worker_ended_) SetEvent(worker_ended_);
}

void Win32MainThread::RunTasksUntil(const std::function<bool()>& done) {
  HANDLE ended = worker_ended_;
  while (!done()) {
    // A task arrives as a message sent to our window: PeekMessage with PM_QS_SENDMESSAGE runs it
    // and leaves posted messages (clicks, keys, timers) queued. The time-out only bounds a wait
    // that a missed wake-up could otherwise stretch.
    MsgWaitForMultipleObjects(ended ? 1 : 0, ended ? &ended : nullptr, FALSE, 100, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void Win32MainThread::Shutdown() {
  HWND hwnd = static_cast<HWND>(window_.exchange(nullptr));
  if (hwnd) DestroyWindow(hwnd);
}

void Win32MainThread::RunAndWait(const std::function<void()>& task) {
  HWND hwnd = static_cast<HWND>(window_.load());
  if (!hwnd) return;
  Job job{&task};
  // A window destroyed meanwhile answers nothing and the job stays unrun.
  SendMessageA(hwnd, kRunTask, 0, reinterpret_cast<LPARAM>(&job));
  if (job.ran && job.error) std::rethrow_exception(job.error);
}

std::unique_ptr<Win32MainThread> CreateMainThread() { return std::make_unique<Win32MainThread>(); }

}  // namespace platform::win32

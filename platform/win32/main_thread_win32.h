#pragma once
// The main thread of the real program: a hidden message-only window owned by the GUI thread.
// RunAndWait sends its task to that window, so the task runs on the GUI thread inside whatever
// message loop that thread is in (modal loops and message boxes included) while the worker waits.
#include <atomic>
#include <memory>

#include "platform/main_thread.h"

namespace platform::win32 {

class Win32MainThread : public MainThread {
 public:
  // Construct on the GUI thread: the window belongs to the thread that makes it.
  Win32MainThread();
  ~Win32MainThread() override;
  Win32MainThread(const Win32MainThread&) = delete;
  Win32MainThread& operator=(const Win32MainThread&) = delete;

  // From a worker: runs task on the GUI thread and waits; the task's exception is rethrown
  // here. Called on the GUI thread itself, the task runs at once. After Shutdown the task is
  // not run and RunAndWait returns at once, so that a worker still running while the program
  // ends cannot reach windows that are gone.
  void RunAndWait(const std::function<void()>& task) override;
  // Runs only the workers' tasks (sent messages) while it waits; posted input stays queued.
  void RunTasksUntil(const std::function<bool()>& done) override;
  void WorkerEnded() override;

  // Destroys the window; GUI thread only. Called by the destructor too.
  void Shutdown();

 private:
  std::atomic<void*> window_{nullptr};
  void* worker_ended_ = nullptr;  // auto-reset event, set whenever a worker ends
};

std::unique_ptr<Win32MainThread> CreateMainThread();

}  // namespace platform::win32

#pragma once
// The one way for a worker to reach the main (GUI) thread.
#include <functional>

namespace platform {

class MainThread {
 public:
  virtual ~MainThread() = default;

  // Runs task on the main thread and returns once it has run; an exception thrown by the task
  // is rethrown here, on the calling worker. Called from worker threads only.
  virtual void RunAndWait(const std::function<void()>& task) = 0;

  // Main thread only: runs the tasks that workers hand over until done() holds. Nothing else of
  // the main thread's work (input, timers, painting) runs meanwhile. done() is checked at the
  // start, after each task and whenever a worker ends.
  virtual void RunTasksUntil(const std::function<bool()>& done) = 0;

  // Bookkeeping of live worker threads, so that a test's queue knows when everything has ended.
  virtual void WorkerStarted() {}
  virtual void WorkerEnded() {}
};

}  // namespace platform

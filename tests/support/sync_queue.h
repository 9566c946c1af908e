#pragma once
// The main thread of a test: workers hand their Synchronize calls to this queue and wait; the
// test's own thread runs them in order while it pumps, until every worker has ended.
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

#include "platform/main_thread.h"

class SyncQueue : public platform::MainThread {
 public:
  void RunAndWait(const std::function<void()>& task) override;
  void RunTasksUntil(const std::function<bool()>& done) override;
  void WorkerStarted() override;
  void WorkerEnded() override;

  // Runs queued tasks on the calling thread until no worker is alive and the queue is empty.
  void PumpUntilIdle();
  // Runs queued tasks until `done` holds (checked after each task), or until all workers ended.
  void PumpUntil(const std::function<bool()>& done);
  int live_workers();

 private:
  struct Task {
    const std::function<void()>* fn;
    bool done = false;
    std::exception_ptr error;
  };
  // Runs the oldest task with the lock released, calls before_answer, then lets its worker go on.
  void RunFrontTask(std::unique_lock<std::mutex>& lock, const std::function<void()>& before_answer);
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Task*> tasks_;
  int live_ = 0;
};

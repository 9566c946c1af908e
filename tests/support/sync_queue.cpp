#include "tests/support/sync_queue.h"

void SyncQueue::RunAndWait(const std::function<void()>& task) {
  Task t{&task};
  std::unique_lock lock(mutex_);
  tasks_.push_back(&t);
  changed_.notify_all();
  changed_.wait(lock, [&] { return t.done; });
  if (t.error) std::rethrow_exception(t.error);
}

void SyncQueue::WorkerStarted() {
  std::lock_guard lock(mutex_);
  ++live_;
}

void SyncQueue::WorkerEnded() {
  std::lock_guard lock(mutex_);
  --live_;
  changed_.notify_all();
}

int SyncQueue::live_workers() {
  std::lock_guard lock(mutex_);
  return live_;
}

void SyncQueue::PumpUntilIdle() {
  PumpUntil([] { return false; });
}

void SyncQueue::RunFrontTask(std::unique_lock<std::mutex>& lock, const std::function<void()>& before_answer) {
  Task* t = tasks_.front();
  tasks_.pop_front();
  lock.unlock();
  try {
    (*t->fn)();
  } catch (...) {
    t->error = std::current_exception();
  }
  if (before_answer) before_answer();
  lock.lock();
  t->done = true;
  changed_.notify_all();
}

void SyncQueue::PumpUntil(const std::function<bool()>& done) {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return !tasks_.empty() || live_ == 0; });
    if (tasks_.empty()) return;  // no worker left and nothing to run
    // Checked while the worker still waits for its task, so that the test sees that moment.
    bool stop = false;
    RunFrontTask(lock, [&] { stop = done(); });
    if (stop) return;
  }
}

void SyncQueue::RunTasksUntil(const std::function<bool()>& done) {
  std::unique_lock lock(mutex_);
  for (;;) {
    lock.unlock();
    if (done()) return;
    lock.lock();
    // Woken by a task, or by a worker's end (which may make done() true).
    changed_.wait(lock, [&] { return !tasks_.empty() || done(); });
    if (!tasks_.empty()) RunFrontTask(lock, {});
  }
}

#pragma once
// TThread: a worker thread in the manner of the VCL's class. It is created suspended, given its
// input, then resumed; Execute runs on a thread of its own. With FreeOnTerminate set the object
// deletes itself when Execute returns; without it, its owner keeps it and waits for it with
// WaitFor before destroying it. Synchronize runs a method on the main thread and waits.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

#include "platform/main_thread.h"

namespace platform {

class TThread {
 public:
  explicit TThread(MainThread& main_thread);
  // Joins the thread of an owned worker; its owner has waited for Finished() first.
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts Execute on a new thread. Call once; after it, with FreeOnTerminate set, the creator
  // must not touch the object once its last notification has been handled.
  void Resume();
  // True once Execute has returned (owned workers only).
  bool Finished() const { return finished_; }
  // Main thread only, owned workers only: returns once Execute has returned, running the tasks
  // that workers hand over meanwhile, so that a worker waiting in Synchronize can go on.
  void WaitFor();

  bool FreeOnTerminate = false;

 protected:
  virtual void Execute() = 0;
  // Runs method on the main thread while this worker waits (see MainThread::RunAndWait).
  void Synchronize(const std::function<void()>& method);
  MainThread& main_thread() { return main_thread_; }
  // How long Synchronize has held this worker so far, for the workers' closing "timer: " debug
  // lines: "<n> reports <ms> ms, longest <ms> ms". The worker's own thread only.
  std::string HandOverTimes() const;

 private:
  void Run();
  MainThread& main_thread_;
  size_t hand_overs_ = 0;
  std::chrono::steady_clock::duration held_{};
  std::chrono::steady_clock::duration longest_held_{};
  bool resumed_ = false;
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

// Whole milliseconds, for the debug lines that time the workers.
long long Milliseconds(std::chrono::steady_clock::duration duration);

}  // namespace platform

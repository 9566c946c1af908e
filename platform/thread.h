#pragma once
// TThread: a worker thread in the manner of the VCL's class. It is created suspended, given its
// input, then resumed; Execute runs on a thread of its own, and with FreeOnTerminate set the object
// deletes itself when Execute returns. Synchronize runs a method on the main thread and waits.
#include <functional>

#include "platform/main_thread.h"

namespace platform {

class TThread {
 public:
  explicit TThread(MainThread& main_thread);
  virtual ~TThread() = default;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts Execute on a new thread. Call once; after it, with FreeOnTerminate set, the creator
  // must not touch the object once its last notification has been handled.
  void Resume();

  bool FreeOnTerminate = false;

 protected:
  virtual void Execute() = 0;
  // Runs method on the main thread while this worker waits (see MainThread::RunAndWait).
  void Synchronize(const std::function<void()>& method);
  MainThread& main_thread() { return main_thread_; }

 private:
  void Run();
  MainThread& main_thread_;
  bool resumed_ = false;
};

}  // namespace platform

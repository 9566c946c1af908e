#include "platform/thread.h"

#include <thread>

namespace platform {

TThread::TThread(MainThread& main_thread) : main_thread_(main_thread) {}

void TThread::Resume() {
  if (resumed_) return;
  resumed_ = true;
  main_thread_.WorkerStarted();
  std::thread([this] { Run(); }).detach();
}

void TThread::Synchronize(const std::function<void()>& method) { main_thread_.RunAndWait(method); }

void TThread::Run() {
  MainThread& main_thread = main_thread_;
  try {
    Execute();
  } catch (...) {
    // A worker has nobody to report to but its own notifications; Execute handles what it can.
  }
  if (FreeOnTerminate) delete this;
  main_thread.WorkerEnded();
}

}  // namespace platform
